// A WCHAR buffer followed by guard units, all preset to a fill value, so a
// test sees every unit a function wrote and every unit it should have left.
#pragma once

#include <gtest/gtest.h>
#include <windef.h>

#include <string>
#include <string_view>
#include <vector>

namespace text_test {

inline constexpr WCHAR kFill = 0xBEEF;
inline constexpr size_t kGuardUnits = 8;

class GuardedBuffer {
  public:
    explicit GuardedBuffer(size_t size) : size_(size), units_(size + kGuardUnits, kFill) {}

    WCHAR* data() { return units_.data(); }
    size_t size() const { return size_; }

    // The buffer holds expected, then a terminator if terminated, and every
    // unit after that (to the end of the guard) is still the fill value.
    void expectContents(const char* file, int line, std::u16string_view expected,
                        bool terminated) const {
        ::testing::ScopedTrace trace(file, line, "buffer contents");
        const size_t written = expected.size() + (terminated ? 1 : 0);
        ASSERT_LE(written, units_.size());
        EXPECT_EQ(std::u16string(units_.data(), expected.size()), std::u16string(expected));
        if (terminated) {
            EXPECT_EQ(units_[expected.size()], 0) << "terminator";
        }
        for (size_t i = written; i < units_.size(); ++i) {
            EXPECT_EQ(units_[i], kFill)
                << "unit " << i << " overwritten" << (i >= size_ ? " past the buffer" : "");
        }
    }

  private:
    size_t size_;
    std::vector<WCHAR> units_;
};

}  // namespace text_test

#define EXPECT_BUFFER(buffer, expected, terminated) \
    (buffer).expectContents(__FILE__, __LINE__, (expected), (terminated))

// Dialog templates from a module's resources, in both forms, read back field
// by field as the compiler wrote them.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/window/dialog_template.h"
#include "support/device_fixture.h"

namespace {

using platform::window::DialogTemplate;
using platform::window::parseDialogTemplate;
using platform::window::TemplateName;

class DialogTemplateTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(TEXT("ResTest"));
        ASSERT_NE(module_, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    std::span<const uint8_t> resource(WORD id) {
        HRSRC info = FindResourceW(module_, MAKEINTRESOURCE(id), RT_DIALOG);
        if (!info) return {};
        return {static_cast<const uint8_t*>(LockResource(LoadResource(module_, info))), SizeofResource(module_, info)};
    }

    platform::testing::TemporaryStorageRoot root_{true};
    HMODULE module_ = nullptr;
};

TEST_F(DialogTemplateTest, PlainTemplateGivesStylesFontAndControlsInOrder) {
    auto t = parseDialogTemplate(resource(102));
    ASSERT_TRUE(t.has_value());
    EXPECT_FALSE(t->extended);
    EXPECT_EQ(t->style, 0x90C800C0u);
    EXPECT_EQ(t->exStyle, 0x80040000u);
    EXPECT_EQ(t->cx, 274);
    EXPECT_EQ(t->cy, 224);
    EXPECT_EQ(t->title, u"AirSwitch");
    EXPECT_EQ(t->menu.kind, TemplateName::Kind::None);
    EXPECT_EQ(t->windowClass.kind, TemplateName::Kind::None);
    EXPECT_TRUE(t->hasFont);
    EXPECT_EQ(t->pointSize, 9);
    EXPECT_EQ(t->face, u"Microsoft Sans Serif");

    struct Item {
        DWORD id, style;
        short x, y, cx, cy;
        const char16_t* className;
        TemplateName::Kind titleKind;
        std::u16string title;
        WORD titleNumber;
    } expected[] = {
        {1007, 0x50020000, 9, 60, 120, 8, u"Static", TemplateName::Kind::Text, u"무선랜을 켜거나 끄려면 클릭하세요.", 0},
        {1006, 0x5001000B, 34, 78, 126, 14, u"Button", TemplateName::Kind::Text, u"WLAN_ON", 0},
        {0xFFFF, 0x50000003, 12, 12, 21, 20, u"Static", TemplateName::Kind::Number, u"", 128},
    };
    ASSERT_EQ(t->items.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const auto& item = t->items[i];
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_EQ(item.x, expected[i].x);
        EXPECT_EQ(item.y, expected[i].y);
        EXPECT_EQ(item.cx, expected[i].cx);
        EXPECT_EQ(item.cy, expected[i].cy);
        ASSERT_EQ(item.windowClass.kind, TemplateName::Kind::Number);
        EXPECT_EQ(std::u16string(platform::window::predefinedClassName(item.windowClass.number)),
                  expected[i].className);
        EXPECT_EQ(item.title.kind, expected[i].titleKind);
        EXPECT_EQ(item.title.text, expected[i].title);
        EXPECT_EQ(item.title.number, expected[i].titleNumber);
    }
}

TEST_F(DialogTemplateTest, ExtendedTemplateGivesHelpIdsAndFontDetails) {
    auto t = parseDialogTemplate(resource(105));
    ASSERT_TRUE(t.has_value());
    EXPECT_TRUE(t->extended);
    EXPECT_EQ(t->style, 0x80C80040u);
    EXPECT_EQ(t->title, u"Padkeys 정보");
    EXPECT_EQ(t->weight, 400);
    EXPECT_EQ(t->charset, 0x81);
    EXPECT_FALSE(t->italic);
    EXPECT_EQ(t->face, u"MS Sans Serif");
    ASSERT_EQ(t->items.size(), 2u);
    EXPECT_EQ(t->items[0].id, 202u);
    EXPECT_EQ(t->items[0].style, 0x50020080u);  // SS_NOPREFIX
    EXPECT_EQ(t->items[1].id, 1u);
    EXPECT_EQ(t->items[1].exStyle, 0x4u);
    EXPECT_EQ(t->items[1].helpId, 77u);
    EXPECT_EQ(t->items[1].style, 0x50010000u);
}

TEST_F(DialogTemplateTest, TruncatedTemplatesAreRefused) {
    for (WORD id : {102, 105}) {
        auto bytes = resource(id);
        ASSERT_FALSE(bytes.empty());
        ASSERT_TRUE(parseDialogTemplate(bytes).has_value());
        // Every cut short of the last item's final word fails, never reads past.
        for (size_t size = 0; size + 2 <= bytes.size() - 2; size += 2) {
            SCOPED_TRACE(size);
            std::vector<uint8_t> copy(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size));
            EXPECT_FALSE(parseDialogTemplate(copy).has_value());
        }
    }
}

}  // namespace

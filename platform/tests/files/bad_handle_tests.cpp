// Every call that takes a file or device handle, given one that is NULL,
// invalid, closed, reused or of another kind: ERROR_INVALID_HANDLE and no
// out-parameter touched beyond what the platform documents.
#include <functional>

#include "files_test_support.h"
#include "recording_driver.h"

namespace files_test {
namespace {

struct HandleCall {
    const char* name;
    std::function<bool(HANDLE)> fails;  // makes the call; true when it reports failure
};

std::vector<HandleCall> handleCalls() {
    return {
        {"ReadFile",
         [](HANDLE h) {
             char buffer[4] = {'g', 'g', 'g', 'g'};
             DWORD read = kSentinel;
             const bool failed = !ReadFile(h, buffer, 4, &read, nullptr);
             EXPECT_EQ(read, 0u);  // zeroed before anything else
             EXPECT_EQ(std::string(buffer, 4), "gggg");
             return failed;
         }},
        {"WriteFile",
         [](HANDLE h) {
             DWORD written = kSentinel;
             const bool failed = !WriteFile(h, "data", 4, &written, nullptr);
             EXPECT_EQ(written, 0u);
             return failed;
         }},
        {"SetFilePointer",
         [](HANDLE h) {
             LONG high = 7;
             const bool failed = SetFilePointer(h, 1, &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER;
             EXPECT_EQ(high, 7);
             return failed;
         }},
        {"GetFileSize",
         [](HANDLE h) {
             DWORD high = kSentinel;
             const bool failed = GetFileSize(h, &high) == INVALID_FILE_SIZE;
             EXPECT_EQ(high, kSentinel);
             return failed;
         }},
        {"SetEndOfFile", [](HANDLE h) { return !SetEndOfFile(h); }},
        {"FlushFileBuffers", [](HANDLE h) { return !FlushFileBuffers(h); }},
        {"DeviceIoControl",
         [](HANDLE h) {
             DWORD returned = kSentinel;
             const bool failed = !DeviceIoControl(h, 1, nullptr, 0, nullptr, 0, &returned, nullptr);
             EXPECT_EQ(returned, kSentinel);
             return failed;
         }},
    };
}

class BadHandle : public FilesTest {
protected:
    void expectRefusedEverywhere(HANDLE h, const char* what) {
        for (const auto& call : handleCalls()) {
            SCOPED_TRACE(::testing::Message() << call.name << " on " << what);
            SetLastError(kSentinel);
            EXPECT_TRUE(call.fails(h));
            EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
        }
    }
};

TEST_F(BadHandle, MadeUpHandles) {
    expectRefusedEverywhere(nullptr, "NULL");
    expectRefusedEverywhere(INVALID_HANDLE_VALUE, "INVALID_HANDLE_VALUE");
    expectRefusedEverywhere(reinterpret_cast<HANDLE>(0x12345678), "a made-up value");
}

TEST_F(BadHandle, ClosedAndReusedHandles) {
    HANDLE file = open(u"\\a.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CloseHandle(file));
    expectRefusedEverywhere(file, "a closed file");

    // A new handle may take the old one's slot; the old value still finds nothing.
    ScopedHandle reused(open(u"\\b.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS));
    ASSERT_TRUE(reused.valid());
    expectRefusedEverywhere(file, "a closed file whose slot was reused");
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(reused.get(), "b", 1, &written, nullptr));
    EXPECT_EQ(storage.get("b.txt"), "b");

    ASSERT_EQ(platform::files::registerStreamDriver(u"CAM1:", std::make_shared<RecordingDriver>()),
              DWORD(ERROR_SUCCESS));
    HANDLE device = open(u"CAM1:", GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CloseHandle(device));
    expectRefusedEverywhere(device, "a closed device");
}

TEST_F(BadHandle, HandlesOfOtherKinds) {
    ScopedHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event.valid());
    expectRefusedEverywhere(event.get(), "an event");

    storage.put("x.txt", "x");
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(u"\\*", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    expectRefusedEverywhere(find, "a search");
    EXPECT_TRUE(FindClose(find));
}

}  // namespace
}  // namespace files_test

// Stream devices: device names, the driver model's calls, buffers passed
// through exactly, driver errors, registration and the life of a driver.
#include <chrono>
#include <cstring>
#include <future>
#include <thread>

#include "files_test_support.h"
#include "recording_driver.h"

namespace files_test {
namespace {

using platform::files::clearStreamDrivers;
using platform::files::registerStreamDriver;
using platform::files::unregisterStreamDriver;
using Ops = std::vector<std::string>;

class StreamDevice : public FilesTest {
protected:
    void SetUp() override { ASSERT_EQ(registerStreamDriver(u"CAM1:", camera), DWORD(ERROR_SUCCESS)); }
    HANDLE openCamera(DWORD access = GENERIC_READ | GENERIC_WRITE, DWORD share = 0) {
        SetLastError(kSentinel);
        // As a camera library opens it: overlapped flag and all.
        return CreateFileW(u"CAM1:", access, share, nullptr, OPEN_EXISTING, 0x40000080, nullptr);
    }
    std::shared_ptr<RecordingDriver> camera = std::make_shared<RecordingDriver>();
};

// Runs work on another thread and tells whether it finished in time, so that a
// deadlock fails the test instead of hanging it.
bool finishesInTime(std::function<void()> work) {
    auto done = std::make_shared<std::promise<void>>();
    auto finished = done->get_future();
    std::thread([work = std::move(work), done] {
        work();
        done->set_value();
    }).detach();
    return finished.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
}

TEST_F(StreamDevice, DeviceNamesOpenTheDriverWithTheCallersValues) {
    struct Case {
        std::u16string name;
        DWORD access, share, disposition;
    };
    const Case cases[] = {
        {u"CAM1:", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING},
        {u"cam1:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS},  // names ignore case
        {u"\\CAM1:", 0, 0, CREATE_ALWAYS},
        {u"CAM1:", 0x12345678, 0xFF, 0},  // values the device decides about reach it unchecked
    };
    std::vector<ScopedHandle> handles;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        SetLastError(kSentinel);
        HANDLE h = CreateFileW(c.name.c_str(), c.access, c.share, nullptr, c.disposition, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_LAST_ERROR(ERROR_SUCCESS);
        handles.emplace_back(h);
        const auto call = camera->calls().back();
        EXPECT_EQ(call.op, "open");
        EXPECT_EQ(call.a, c.access);
        EXPECT_EQ(call.b, c.share);
    }
    // Every open got a context of its own; the platform imposes no sharing on a device.
    EXPECT_EQ(camera->ops(), (Ops{"init", "open", "open", "open", "open"}));
    EXPECT_FALSE(storage.exists("CAM1:"));
}

TEST_F(StreamDevice, NamesWithoutADriverFail) {
    struct Case {
        std::u16string name;
        DWORD error;
    };
    const Case cases[] = {
        {u"NDS0:", ERROR_FILE_NOT_FOUND},    // a device name, no driver registered
        {u"\\CAM2:", ERROR_FILE_NOT_FOUND},
        {u"CAM10:", ERROR_INVALID_NAME},     // not a device name: a path with a colon
        {u"CA1:", ERROR_INVALID_NAME},
        {u"CAM1:x", ERROR_INVALID_NAME},
        {u"\\Nand\\CAM1:", ERROR_INVALID_NAME},
        {u"CAM1", ERROR_FILE_NOT_FOUND},     // a file in the root
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        SetLastError(kSentinel);
        EXPECT_EQ(CreateFileW(c.name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_LAST_ERROR(c.error);
    }
    EXPECT_EQ(camera->ops(), (Ops{"init"}));
}

TEST_F(StreamDevice, BuffersAndLengthsReachTheDriverExactly) {
    ScopedHandle h(openCamera());
    ASSERT_TRUE(h.valid());

    // A read length may carry flag bits in its top; the driver gets it as it is.
    constexpr DWORD kPreviewRead = 0x20000000 | 230400;
    unsigned char frame[16];
    std::memset(frame, 0xA5, sizeof frame);
    camera->onRead = [](void* buffer, DWORD) {
        std::memcpy(buffer, "pix", 3);
        return StreamResult::success(3);
    };
    DWORD read = kSentinel;
    EXPECT_TRUE(ReadFile(h.get(), frame, kPreviewRead, &read, nullptr));
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(std::memcmp(frame, "pix", 3), 0);
    EXPECT_EQ(frame[3], 0xA5);

    const char request[] = "request";
    DWORD written = kSentinel;
    EXPECT_TRUE(WriteFile(h.get(), request, 7, &written, nullptr));
    EXPECT_EQ(written, 7u);

    unsigned char in[12], out[40];
    DWORD returned = kSentinel;
    camera->onIoControl = [](DWORD, void*, DWORD, void* o, DWORD, DWORD* r) {
        std::memcpy(o, "\x01\x02\x03\x04", 4);
        *r = 4;
        return StreamResult::success();
    };
    const DWORD code = 0x00310000 | (7 << 2);
    SetLastError(kSentinel);
    EXPECT_TRUE(DeviceIoControl(h.get(), code, in, sizeof in, out, sizeof out, &returned, nullptr));
    EXPECT_EQ(returned, 4u);
    EXPECT_EQ(std::memcmp(out, "\x01\x02\x03\x04", 4), 0);
    EXPECT_LAST_ERROR(kSentinel);

    camera->onIoControl = nullptr;
    EXPECT_TRUE(DeviceIoControl(h.get(), code + 4, nullptr, 0, nullptr, 0, nullptr, nullptr));

    const auto calls = camera->calls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[2].op, "read");
    EXPECT_EQ(calls[2].out, frame);
    EXPECT_EQ(calls[2].outLength, kPreviewRead);
    EXPECT_EQ(calls[3].op, "write");
    EXPECT_EQ(calls[3].in, request);
    EXPECT_EQ(calls[3].inLength, 7u);
    EXPECT_EQ(calls[4].a, code);
    EXPECT_EQ(calls[4].in, in);
    EXPECT_EQ(calls[4].inLength, sizeof in);
    EXPECT_EQ(calls[4].out, out);
    EXPECT_EQ(calls[4].outLength, sizeof out);
    EXPECT_EQ(calls[4].bytesReturned, &returned);
    EXPECT_EQ(calls[5].a, code + 4);
    EXPECT_EQ(calls[5].in, nullptr);
    EXPECT_EQ(calls[5].out, nullptr);
    EXPECT_EQ(calls[5].bytesReturned, nullptr);
}

TEST_F(StreamDevice, DriverErrorsReachGetLastError) {
    ScopedHandle h(openCamera());
    struct Case {
        const char* name;
        StreamResult result;
        DWORD error;
    };
    const Case cases[] = {
        {"timeout", StreamResult::failure(ERROR_TIMEOUT), ERROR_TIMEOUT},
        {"bad parameter", StreamResult::failure(ERROR_INVALID_PARAMETER), ERROR_INVALID_PARAMETER},
        {"failure without an error", StreamResult::failure(ERROR_SUCCESS), ERROR_GEN_FAILURE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        camera->onRead = [&](void*, DWORD) { return c.result; };
        camera->onIoControl = [&](DWORD, void*, DWORD, void*, DWORD, DWORD*) { return c.result; };
        char buffer[8];
        DWORD read = kSentinel;
        SetLastError(kSentinel);
        EXPECT_FALSE(ReadFile(h.get(), buffer, sizeof buffer, &read, nullptr));
        EXPECT_EQ(read, 0u);
        EXPECT_LAST_ERROR(c.error);
        DWORD returned = kSentinel;
        SetLastError(kSentinel);
        EXPECT_FALSE(DeviceIoControl(h.get(), 1, nullptr, 0, buffer, sizeof buffer, &returned, nullptr));
        EXPECT_LAST_ERROR(c.error);
        EXPECT_EQ(returned, kSentinel);  // the driver did not set it, and nobody else does
    }
}

TEST_F(StreamDevice, SeekingAndWhatADeviceDoesNotOffer) {
    ScopedHandle h(openCamera());
    SetLastError(kSentinel);
    EXPECT_EQ(SetFilePointer(h.get(), -5, nullptr, FILE_END), 995u);
    LONG high = 0;
    EXPECT_EQ(SetFilePointer(h.get(), 7, &high, FILE_CURRENT), 1007u);
    EXPECT_EQ(high, 0);
    high = 1;  // a distance past 32 bits never reaches the driver
    SetLastError(kSentinel);
    EXPECT_EQ(SetFilePointer(h.get(), 0, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER);
    const auto calls = camera->calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2].a, DWORD(-5));
    EXPECT_EQ(calls[2].b, DWORD(FILE_END));
    EXPECT_EQ(calls[3].a, 7u);

    DWORD sizeHigh = kSentinel;
    SetLastError(kSentinel);
    EXPECT_EQ(GetFileSize(h.get(), &sizeHigh), INVALID_FILE_SIZE);
    EXPECT_LAST_ERROR(ERROR_INVALID_FUNCTION);
    EXPECT_EQ(sizeHigh, kSentinel);
    SetLastError(kSentinel);
    EXPECT_FALSE(SetEndOfFile(h.get()));
    EXPECT_LAST_ERROR(ERROR_INVALID_FUNCTION);
    SetLastError(kSentinel);
    EXPECT_FALSE(FlushFileBuffers(h.get()));
    EXPECT_LAST_ERROR(ERROR_INVALID_FUNCTION);
}

TEST_F(StreamDevice, OperationsADriverLeavesOutFail) {
    struct Bare : StreamOpenContext {};
    struct BareDriver : StreamDriver {
        OpenResult open(DWORD, DWORD) override { return OpenResult::opened(std::make_unique<Bare>()); }
    };
    ASSERT_EQ(registerStreamDriver(u"BAR0:", std::make_shared<BareDriver>()), DWORD(ERROR_SUCCESS));
    ScopedHandle h(open(u"BAR0:", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING));
    ASSERT_TRUE(h.valid());
    char buffer[4];
    DWORD count = kSentinel;
    SetLastError(kSentinel);
    EXPECT_FALSE(ReadFile(h.get(), buffer, 4, &count, nullptr));
    EXPECT_LAST_ERROR(ERROR_INVALID_FUNCTION);
    SetLastError(kSentinel);
    EXPECT_FALSE(WriteFile(h.get(), buffer, 4, &count, nullptr));
    EXPECT_LAST_ERROR(ERROR_INVALID_FUNCTION);
    SetLastError(kSentinel);
    EXPECT_EQ(SetFilePointer(h.get(), 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_LAST_ERROR(ERROR_INVALID_FUNCTION);
    SetLastError(kSentinel);
    EXPECT_FALSE(DeviceIoControl(h.get(), 1, nullptr, 0, nullptr, 0, &count, nullptr));
    EXPECT_LAST_ERROR(ERROR_INVALID_FUNCTION);
}

TEST_F(StreamDevice, RefusedOpens) {
    camera->openError = ERROR_BUSY;
    EXPECT_EQ(openCamera(), INVALID_HANDLE_VALUE);
    EXPECT_LAST_ERROR(ERROR_BUSY);
    camera->openError = ERROR_SUCCESS;
    camera->refuseOpenSilently = true;
    EXPECT_EQ(openCamera(), INVALID_HANDLE_VALUE);
    EXPECT_LAST_ERROR(ERROR_OPEN_FAILED);
    EXPECT_EQ(camera->ops(), (Ops{"init", "open", "open"}));  // nothing to close
}

TEST_F(StreamDevice, Registration) {
    struct Case {
        const char* what;
        std::u16string name;
        bool withDriver;
        DWORD error;
    };
    const Case cases[] = {
        {"taken", u"CAM1:", true, ERROR_ALREADY_EXISTS},
        {"taken, other case", u"cam1:", true, ERROR_ALREADY_EXISTS},
        {"no colon", u"NDS0", true, ERROR_INVALID_NAME},
        {"two digits", u"NDS10:", true, ERROR_INVALID_NAME},
        {"digit as letter", u"N1S0:", true, ERROR_INVALID_NAME},
        {"leading backslash", u"\\NDS0:", true, ERROR_INVALID_NAME},
        {"empty", u"", true, ERROR_INVALID_NAME},
        {"no driver", u"NDS0:", false, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(registerStreamDriver(c.name, c.withDriver ? std::make_shared<RecordingDriver>() : nullptr),
                  c.error);
    }

    // A driver whose init fails is not registered, and not deinitialised.
    auto failing = std::make_shared<RecordingDriver>();
    failing->initError = ERROR_DEV_NOT_EXIST;
    EXPECT_EQ(registerStreamDriver(u"NDS0:", failing), DWORD(ERROR_DEV_NOT_EXIST));
    EXPECT_EQ(failing->ops(), (Ops{"init"}));
    EXPECT_EQ(open(u"NDS0:", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_LAST_ERROR(ERROR_FILE_NOT_FOUND);
    // The name is free again.
    EXPECT_EQ(registerStreamDriver(u"nds0:", std::make_shared<RecordingDriver>()), DWORD(ERROR_SUCCESS));
    ScopedHandle h(open(u"NDS0:", GENERIC_READ, 0, OPEN_EXISTING));
    EXPECT_TRUE(h.valid());
}

TEST_F(StreamDevice, ADriverLivesUntilItsLastHandleCloses) {
    HANDLE first = openCamera();
    HANDLE second = openCamera();
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_EQ(camera->ops(), (Ops{"init", "open", "open", "close"}));
    EXPECT_EQ(camera->calls().back().context, 1);

    EXPECT_TRUE(unregisterStreamDriver(u"cam1:"));
    EXPECT_FALSE(unregisterStreamDriver(u"CAM1:"));
    EXPECT_EQ(openCamera(), INVALID_HANDLE_VALUE);
    EXPECT_LAST_ERROR(ERROR_FILE_NOT_FOUND);
    // The open handle keeps working.
    EXPECT_TRUE(DeviceIoControl(second, 1, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(camera->ops(), (Ops{"init", "open", "open", "close", "ioctl"}));

    EXPECT_TRUE(CloseHandle(second));
    EXPECT_EQ(camera->ops(), (Ops{"init", "open", "open", "close", "ioctl", "close", "deinit"}));
    SetLastError(kSentinel);
    EXPECT_FALSE(CloseHandle(second));
    EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);

    // A driver without open handles goes at once; clearing takes them all.
    auto other = std::make_shared<RecordingDriver>();
    ASSERT_EQ(registerStreamDriver(u"CAM1:", other), DWORD(ERROR_SUCCESS));
    clearStreamDrivers();
    EXPECT_EQ(other->ops(), (Ops{"init", "deinit"}));
}

TEST_F(StreamDevice, CloseWaitsForCallsInFlight) {
    Gate release;
    camera->onRead = [&](void*, DWORD) {
        release.wait();
        return StreamResult::success(1);
    };
    HANDLE h = openCamera();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::promise<BOOL> readResult;
    std::thread reader([&] {
        char byte;
        DWORD read = 0;
        readResult.set_value(ReadFile(h, &byte, 1, &read, nullptr));
    });
    while (camera->ops().back() != "read") std::this_thread::yield();

    EXPECT_TRUE(CloseHandle(h));  // the handle goes at once ...
    SetLastError(kSentinel);
    EXPECT_FALSE(DeviceIoControl(h, 1, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
    EXPECT_EQ(camera->ops(), (Ops{"init", "open", "read"}));  // ... the context only after the read
    release.open();
    reader.join();
    EXPECT_TRUE(readResult.get_future().get());
    EXPECT_EQ(camera->ops(), (Ops{"init", "open", "read", "close"}));
}

TEST_F(StreamDevice, DriversRunOutsideThePlatformsLocks) {
    // A driver blocked in a call holds up nobody else ...
    Gate release;
    camera->onRead = [&](void*, DWORD) {
        release.wait();
        return StreamResult::success(0);
    };
    ScopedHandle blocked(openCamera());
    std::thread reader([&] {
        char byte;
        ReadFile(blocked.get(), &byte, 1, nullptr, nullptr);
    });
    while (camera->ops().back() != "read") std::this_thread::yield();
    auto network = std::make_shared<RecordingDriver>();
    EXPECT_TRUE(finishesInTime([&] {
        ScopedHandle another(openCamera());
        DeviceIoControl(another.get(), 1, nullptr, 0, nullptr, 0, nullptr, nullptr);
        ScopedHandle file(open(u"\\file.txt", GENERIC_WRITE, 0, CREATE_ALWAYS));
        EXPECT_EQ(registerStreamDriver(u"NDS0:", network), DWORD(ERROR_SUCCESS));
        EXPECT_TRUE(unregisterStreamDriver(u"NDS0:"));
    }));
    release.open();
    reader.join();

    // ... and a driver may call back into the platform from inside a call.
    auto reentrant = std::make_shared<RecordingDriver>();
    reentrant->onOpen = [&] {
        ScopedHandle inner(openCamera());
        EXPECT_TRUE(inner.valid());
        ScopedHandle file(open(u"\\inner.txt", GENERIC_WRITE, 0, CREATE_ALWAYS));
        EXPECT_TRUE(file.valid());
        EXPECT_EQ(registerStreamDriver(u"NDS0:", network), DWORD(ERROR_ALREADY_EXISTS));
    };
    ASSERT_EQ(registerStreamDriver(u"NDS0:", reentrant), DWORD(ERROR_SUCCESS));
    EXPECT_TRUE(finishesInTime([&] { ScopedHandle h(open(u"NDS0:", GENERIC_READ, 0, OPEN_EXISTING)); }));
    EXPECT_TRUE(storage.exists("inner.txt"));
}

}  // namespace
}  // namespace files_test

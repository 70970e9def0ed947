// A stream driver for tests: it records every call with the exact pointers and
// lengths it was given, and answers as the test tells it to.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/files/stream_driver.h"

namespace files_test {

using platform::files::StreamDriver;
using platform::files::StreamOpenContext;
using platform::files::StreamResult;

struct DriverCall {
    std::string op;  // "init", "open", "read", "write", "seek", "ioctl", "close", "deinit"
    int context = 0;  // which open context, numbered from 1
    DWORD a = 0, b = 0;  // open: access, share; read/write: length; seek: distance, method; ioctl: code
    const void* in = nullptr;
    DWORD inLength = 0;
    void* out = nullptr;
    DWORD outLength = 0;
    DWORD* bytesReturned = nullptr;
};

class RecordingDriver : public StreamDriver {
public:
    // How the driver answers; tests set these before the calls.
    DWORD initError = ERROR_SUCCESS;
    DWORD openError = ERROR_SUCCESS;     // refuse opens with this error
    bool refuseOpenSilently = false;     // refuse opens without an error
    std::function<StreamResult(void* buffer, DWORD length)> onRead;
    std::function<StreamResult(DWORD code, void* in, DWORD inLength, void* out, DWORD outLength, DWORD* returned)>
        onIoControl;
    std::function<void()> onOpen;        // runs inside open, before it answers

    std::vector<DriverCall> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::vector<std::string> ops() const {
        std::vector<std::string> names;
        for (const auto& call : calls()) names.push_back(call.op);
        return names;
    }
    void record(DriverCall call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }

    DWORD init() override {
        record({"init"});
        return initError;
    }
    void deinit() override { record({"deinit"}); }
    OpenResult open(DWORD access, DWORD share) override;

private:
    mutable std::mutex mutex_;
    std::vector<DriverCall> calls_;
    int contexts_ = 0;
};

class RecordingContext : public StreamOpenContext {
public:
    RecordingContext(RecordingDriver& driver, int id) : driver_(driver), id_(id) {}

    StreamResult read(void* buffer, DWORD length) override {
        driver_.record({"read", id_, length, 0, nullptr, 0, buffer, length});
        return driver_.onRead ? driver_.onRead(buffer, length) : StreamResult::success(0);
    }
    StreamResult write(const void* buffer, DWORD length) override {
        driver_.record({"write", id_, length, 0, buffer, length});
        return StreamResult::success(length);
    }
    StreamResult seek(LONG distance, DWORD method) override {
        driver_.record({"seek", id_, DWORD(distance), method});
        return StreamResult::success(DWORD(distance) + 1000);
    }
    StreamResult ioControl(DWORD code, void* in, DWORD inLength, void* out, DWORD outLength,
                           DWORD* returned) override {
        driver_.record({"ioctl", id_, code, 0, in, inLength, out, outLength, returned});
        return driver_.onIoControl ? driver_.onIoControl(code, in, inLength, out, outLength, returned)
                                   : StreamResult::success();
    }
    void close() override { driver_.record({"close", id_}); }

private:
    RecordingDriver& driver_;
    const int id_;
};

inline StreamDriver::OpenResult RecordingDriver::open(DWORD access, DWORD share) {
    int id;
    {
        std::lock_guard lock(mutex_);
        id = ++contexts_;
    }
    record({"open", id, access, share});
    if (onOpen) onOpen();
    if (refuseOpenSilently) return OpenResult::refused(ERROR_SUCCESS);
    if (openError != ERROR_SUCCESS) return OpenResult::refused(openError);
    return OpenResult::opened(std::make_unique<RecordingContext>(*this, id));
}

// A gate a driver call can wait at until the test opens it.
class Gate {
public:
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

}  // namespace files_test

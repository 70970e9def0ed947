// Stream drivers: the devices that CreateFileW opens by a name of three letters,
// a digit and a colon ("CAM1:", "NDS0:") instead of a file.
//
// The model is the platform's stream interface. A driver is initialised once
// when it is registered; each CreateFileW on its name asks it to open, and the
// open context it hands out receives the reads, writes, seeks and device
// controls made through that handle; closing the handle closes the context.
// After the driver is unregistered and its last open context is closed, it is
// deinitialised.
//
// The platform calls a driver outside every lock of its own, so a driver may
// block (a capture that waits for the sensor) or call back into the platform.
// Calls through one handle may come from several threads at once; a driver that
// keeps state across them guards it itself. Buffers and lengths reach the
// driver exactly as the caller passed them: the same pointers, the same sizes,
// flag bits in a length word included, never copied or clamped.
#pragma once

#include <windef.h>
#include <winerror.h>

#include <memory>
#include <string_view>

namespace platform::files {

// What a driver call reports: a value (bytes moved, the new position) or the
// error that the caller's GetLastError then returns.
class StreamResult {
public:
    static StreamResult success(DWORD value = 0) { return StreamResult(value, ERROR_SUCCESS); }
    // A failure always carries an error: ERROR_SUCCESS becomes ERROR_GEN_FAILURE.
    static StreamResult failure(DWORD error) {
        return StreamResult(0, error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error);
    }

    bool ok() const { return error_ == ERROR_SUCCESS; }
    DWORD value() const { return value_; }
    DWORD error() const { return error_; }

private:
    StreamResult(DWORD value, DWORD error) : value_(value), error_(error) {}
    DWORD value_;
    DWORD error_;
};

// One open instance of a device, what the driver's open hands out. An operation
// a driver does not offer fails with ERROR_INVALID_FUNCTION.
class StreamOpenContext {
public:
    virtual ~StreamOpenContext() = default;

    // ReadFile: fills up to length bytes at buffer; the value is the count read.
    virtual StreamResult read(void* buffer, DWORD length);
    // WriteFile: the value is the count written.
    virtual StreamResult write(const void* buffer, DWORD length);
    // SetFilePointer: moveMethod is FILE_BEGIN, FILE_CURRENT or FILE_END; the
    // value is the new position.
    virtual StreamResult seek(LONG distance, DWORD moveMethod);
    // DeviceIoControl: the driver stores the count of output bytes through
    // bytesReturned itself, which is the caller's pointer and may be null. The
    // result's value is not used.
    virtual StreamResult ioControl(DWORD code, void* in, DWORD inLength, void* out, DWORD outLength,
                                   DWORD* bytesReturned);
    // CloseHandle: called once, after every call made through the handle has
    // returned; the context is destroyed right after.
    virtual void close() {}
};

class StreamDriver {
public:
    virtual ~StreamDriver() = default;

    // Once, at registration; an error refuses the registration.
    virtual DWORD init() { return ERROR_SUCCESS; }
    // Once, after unregistration, when the last open context has been closed.
    virtual void deinit() {}

    struct OpenResult {
        std::unique_ptr<StreamOpenContext> context;  // null when refused
        DWORD error = ERROR_SUCCESS;                 // why, when refused

        static OpenResult opened(std::unique_ptr<StreamOpenContext> context) {
            return {std::move(context), ERROR_SUCCESS};
        }
        static OpenResult refused(DWORD error) { return {nullptr, error}; }
    };

    // CreateFileW on the device's name, with the caller's access and share mode
    // as given. The driver decides whether to share itself between handles. A
    // refusal without an error reports ERROR_OPEN_FAILED.
    virtual OpenResult open(DWORD access, DWORD shareMode) = 0;
};

// Registers a driver under its device name ("CAM1:", case is ignored) and
// initialises it. Fails with ERROR_INVALID_NAME for a name not of that form,
// ERROR_INVALID_PARAMETER for no driver, ERROR_ALREADY_EXISTS when the name is
// taken, or the error the driver's init returns.
[[nodiscard]] DWORD registerStreamDriver(std::u16string_view deviceName, std::shared_ptr<StreamDriver> driver);

// Removes the name, so that new opens fail as for any unknown device. Handles
// already open keep working; the driver is deinitialised when the last closes.
// False when no driver had that name.
bool unregisterStreamDriver(std::u16string_view deviceName);

// Unregisters every driver (a power-off, or a test's teardown).
void clearStreamDrivers();

}  // namespace platform::files

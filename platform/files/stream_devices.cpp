#include "stream_devices.h"

#include <winbase.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device_path.h"
#include "platform/kernel/last_error.h"
#include "stream_driver.h"

namespace platform::files {

using kernel::setLastError;

StreamResult StreamOpenContext::read(void*, DWORD) { return StreamResult::failure(ERROR_INVALID_FUNCTION); }
StreamResult StreamOpenContext::write(const void*, DWORD) {
    return StreamResult::failure(ERROR_INVALID_FUNCTION);
}
StreamResult StreamOpenContext::seek(LONG, DWORD) { return StreamResult::failure(ERROR_INVALID_FUNCTION); }
StreamResult StreamOpenContext::ioControl(DWORD, void*, DWORD, void*, DWORD, DWORD*) {
    return StreamResult::failure(ERROR_INVALID_FUNCTION);
}

namespace {

// A registered driver. The registry and every open handle share it; the last
// one to let go deinitialises the driver.
class RegisteredDriver {
public:
    explicit RegisteredDriver(std::shared_ptr<StreamDriver> driver) : driver_(std::move(driver)) {}
    ~RegisteredDriver() { driver_->deinit(); }
    RegisteredDriver(const RegisteredDriver&) = delete;
    RegisteredDriver& operator=(const RegisteredDriver&) = delete;

    StreamDriver& driver() { return *driver_; }

private:
    std::shared_ptr<StreamDriver> driver_;
};

class DeviceObject final : public IoHandle {
public:
    DeviceObject(std::shared_ptr<RegisteredDriver> driver, std::unique_ptr<StreamOpenContext> context)
        : driver_(std::move(driver)), context_(std::move(context)) {}

    // Runs when the last reference goes: after CloseHandle (or the owning
    // process's end) and after every call in flight through the handle.
    ~DeviceObject() override {
        context_->close();
        context_.reset();
        driver_.reset();
    }

    std::string_view kindName() const override { return "stream device"; }

    bool read(void* buffer, DWORD length, DWORD& bytesRead) override {
        return report(context_->read(buffer, length), &bytesRead);
    }
    bool write(const void* buffer, DWORD length, DWORD& bytesWritten) override {
        return report(context_->write(buffer, length), &bytesWritten);
    }
    std::optional<uint64_t> setPointer(int64_t distance, bool, DWORD moveMethod) override {
        // A stream driver seeks by a 32-bit signed distance.
        if (distance < INT32_MIN || distance > INT32_MAX) {
            setLastError(ERROR_INVALID_PARAMETER);
            return std::nullopt;
        }
        DWORD position = 0;
        if (!report(context_->seek(static_cast<LONG>(distance), moveMethod), &position)) return std::nullopt;
        return position;
    }
    std::optional<uint64_t> size() override { return unsupported<std::optional<uint64_t>>(); }
    bool setEndOfFile() override { return unsupported<bool>(); }
    bool flush() override { return unsupported<bool>(); }
    bool ioControl(DWORD code, void* in, DWORD inLength, void* out, DWORD outLength,
                   DWORD* bytesReturned) override {
        return report(context_->ioControl(code, in, inLength, out, outLength, bytesReturned), nullptr);
    }

private:
    static bool report(const StreamResult& result, DWORD* value) {
        if (!result.ok()) {
            setLastError(result.error());
            return false;
        }
        if (value) *value = result.value();
        return true;
    }
    template <class T>
    static T unsupported() {
        setLastError(ERROR_INVALID_FUNCTION);
        return T{};
    }

    std::shared_ptr<RegisteredDriver> driver_;
    std::unique_ptr<StreamOpenContext> context_;
};

class DriverRegistry {
public:
    DWORD add(std::u16string_view deviceName, std::shared_ptr<StreamDriver> driver) {
        const auto name = streamDeviceName(deviceName);
        if (!name || deviceName.front() == u'\\') return ERROR_INVALID_NAME;
        if (!driver) return ERROR_INVALID_PARAMETER;
        uint64_t ticket;
        {
            // The name is taken before init runs, so that a second registration
            // under it fails at once and init runs outside the lock.
            std::lock_guard lock(mutex_);
            ticket = ++tickets_;
            if (!drivers_.try_emplace(*name, Entry{nullptr, ticket}).second) return ERROR_ALREADY_EXISTS;
        }
        const DWORD error = driver->init();
        std::shared_ptr<RegisteredDriver> registered;
        if (error == ERROR_SUCCESS) registered = std::make_shared<RegisteredDriver>(driver);
        std::shared_ptr<RegisteredDriver> dropped;  // let go of outside the lock
        {
            std::lock_guard lock(mutex_);
            const auto it = drivers_.find(*name);
            const bool stillOurs = it != drivers_.end() && it->second.ticket == ticket;
            if (error != ERROR_SUCCESS) {
                if (stillOurs) drivers_.erase(it);
            } else if (stillOurs) {
                it->second.driver = registered;
            } else {
                // Unregistered (or cleared) while init ran: the driver goes at once.
                dropped = std::move(registered);
            }
        }
        return error;
    }

    bool remove(std::u16string_view deviceName) {
        const auto name = streamDeviceName(deviceName);
        if (!name) return false;
        std::shared_ptr<RegisteredDriver> dropped;
        std::lock_guard lock(mutex_);
        const auto it = drivers_.find(*name);
        if (it == drivers_.end()) return false;
        dropped = std::move(it->second.driver);
        drivers_.erase(it);
        // Declared before the lock, dropped is released after it: a deinit
        // runs outside the registry's lock.
        return true;
    }

    void clear() {
        std::map<std::u16string, Entry> dropped;
        std::lock_guard lock(mutex_);
        dropped.swap(drivers_);
    }

    std::shared_ptr<RegisteredDriver> find(const std::u16string& name) {
        std::lock_guard lock(mutex_);
        const auto it = drivers_.find(name);
        return it == drivers_.end() ? nullptr : it->second.driver;
    }

private:
    struct Entry {
        std::shared_ptr<RegisteredDriver> driver;  // null while init runs
        uint64_t ticket = 0;                       // which registration made the entry
    };

    std::mutex mutex_;
    uint64_t tickets_ = 0;
    std::map<std::u16string, Entry> drivers_;
};

DriverRegistry& registry() {
    static DriverRegistry instance;
    return instance;
}

}  // namespace

DWORD registerStreamDriver(std::u16string_view deviceName, std::shared_ptr<StreamDriver> driver) {
    return registry().add(deviceName, std::move(driver));
}

bool unregisterStreamDriver(std::u16string_view deviceName) { return registry().remove(deviceName); }

void clearStreamDrivers() { registry().clear(); }

std::shared_ptr<IoHandle> openStreamDevice(std::u16string_view deviceName, DWORD access, DWORD share,
                                           DWORD& error) {
    auto driver = registry().find(std::u16string(deviceName));
    if (!driver) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    auto opened = driver->driver().open(access, share);
    if (!opened.context) {
        error = opened.error == ERROR_SUCCESS ? ERROR_OPEN_FAILED : opened.error;
        return nullptr;
    }
    return std::make_shared<DeviceObject>(std::move(driver), std::move(opened.context));
}

}  // namespace platform::files

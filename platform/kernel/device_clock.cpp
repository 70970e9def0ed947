#include "device_clock.h"

#include <ctime>

namespace platform::kernel {

namespace {
constexpr int64_t kMsFrom1601To1970 = 11644473600000LL;

int64_t hostLocalMsSince1601(int64_t& biasMs) {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    biasMs = static_cast<int64_t>(local.tm_gmtoff) * 1000;
    auto utcMs = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    return utcMs + biasMs + kMsFrom1601To1970;
}
}  // namespace

DeviceClock::DeviceClock() { reset(); }

uint64_t DeviceClock::nowMsLocked(HostClock::time_point hostNow) const {
    auto elapsed = std::chrono::duration<double, std::milli>(hostNow - hostBase_).count();
    if (elapsed < 0) elapsed = 0;
    return deviceBaseMs_ + static_cast<uint64_t>(elapsed * rate_);
}

uint64_t DeviceClock::nowMs() const {
    std::lock_guard lock(mutex_);
    return nowMsLocked(HostClock::now());
}

DeviceClock::HostClock::time_point DeviceClock::hostTimeAt(uint64_t deviceMs) const {
    std::lock_guard lock(mutex_);
    if (deviceMs <= deviceBaseMs_) return hostBase_;
    double hostMs = static_cast<double>(deviceMs - deviceBaseMs_) / rate_;
    // Round up so that a waiter woken at this host time sees the device time reached.
    auto offset = std::chrono::duration_cast<HostClock::duration>(
        std::chrono::duration<double, std::milli>(hostMs));
    return hostBase_ + offset + HostClock::duration(1);
}

double DeviceClock::rate() const {
    std::lock_guard lock(mutex_);
    return rate_;
}

void DeviceClock::setRate(double rate) {
    if (!(rate > 0)) return;
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        auto hostNow = HostClock::now();
        deviceBaseMs_ = nowMsLocked(hostNow);
        hostBase_ = hostNow;
        rate_ = rate;
        listener = listener_;
    }
    if (listener) listener();
}

int64_t DeviceClock::localTimeMs() const {
    std::lock_guard lock(mutex_);
    return localAtBootMs_ + static_cast<int64_t>(nowMsLocked(HostClock::now()));
}

void DeviceClock::setLocalTimeMs(int64_t msSince1601) {
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        localAtBootMs_ = msSince1601 - static_cast<int64_t>(nowMsLocked(HostClock::now()));
        listener = listener_;
    }
    if (listener) listener();
}

int64_t DeviceClock::localBiasMs() const {
    std::lock_guard lock(mutex_);
    return biasMs_;
}

void DeviceClock::reset() {
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        hostBase_ = HostClock::now();
        deviceBaseMs_ = 0;
        rate_ = 1.0;
        localAtBootMs_ = hostLocalMsSince1601(biasMs_);
        listener = listener_;
    }
    if (listener) listener();
}

void DeviceClock::setChangeListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

DeviceClock& deviceClock() {
    static DeviceClock* clock = new DeviceClock;
    return *clock;
}

}  // namespace platform::kernel

// The one device clock. Every sleep, timed wait, tick count and local-time query
// goes through it. It runs at real time by default; the simulator and tests may
// run it faster and set the local date and time.
#pragma once

#include <windef.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

namespace platform::kernel {

class DeviceClock {
public:
    using HostClock = std::chrono::steady_clock;

    DeviceClock();

    // Device milliseconds since boot (GetTickCount wraps this to 32 bits).
    uint64_t nowMs() const;

    // The host time at which the device clock reaches deviceMs (at the current rate).
    HostClock::time_point hostTimeAt(uint64_t deviceMs) const;

    // How many device milliseconds pass per host millisecond (1 = real time).
    double rate() const;
    void setRate(double rate);

    // Local time of day on the device, in milliseconds since 1601-01-01 (the
    // platform's file-time epoch), advancing with the device clock.
    int64_t localTimeMs() const;
    void setLocalTimeMs(int64_t msSince1601);
    // The device's time-zone offset: local = system + bias. Zero by default.
    int64_t localBiasMs() const;

    // Restarts the clock at zero ticks, real time, host local time (a fresh boot).
    void reset();

    // Called (without the clock's lock held) whenever the rate or time changes,
    // so that waiters recompute their host deadlines.
    void setChangeListener(std::function<void()> listener);

private:
    uint64_t nowMsLocked(HostClock::time_point hostNow) const;

    mutable std::mutex mutex_;
    HostClock::time_point hostBase_;
    uint64_t deviceBaseMs_ = 0;
    double rate_ = 1.0;
    int64_t localAtBootMs_ = 0;  // local time at device tick 0
    int64_t biasMs_ = 0;
    std::function<void()> listener_;
};

DeviceClock& deviceClock();

}  // namespace platform::kernel

// What the device clock costs in host time: a five-second device wait at the
// fast rates tests use, and a timed wait that an event ends at once.
#include <benchmark/benchmark.h>
#include <windows.h>

#include "platform/kernel/device_clock.h"

namespace {

void FiveSecondSleep(benchmark::State& state) {
    platform::kernel::deviceClock().setRate(static_cast<double>(state.range(0)));
    for (auto _ : state) {
        DWORD start = GetTickCount();
        Sleep(5000);
        state.counters["device_ms"] = GetTickCount() - start;
    }
    platform::kernel::deviceClock().setRate(1.0);
}
BENCHMARK(FiveSecondSleep)->Arg(20)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void SignalledWait(benchmark::State& state) {
    HANDLE hEvent = CreateEventW(NULL, TRUE, TRUE, NULL);
    for (auto _ : state) benchmark::DoNotOptimize(WaitForSingleObject(hEvent, 5000));
    CloseHandle(hEvent);
}
BENCHMARK(SignalledWait);

}  // namespace

BENCHMARK_MAIN();

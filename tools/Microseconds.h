// The performance counter in microseconds. Under Wine it counts the host's
// CLOCK_MONOTONIC_RAW, so the benchmarks compare it with host time stamps.
#pragma once

#include <windows.h>

#include <cstdint>

inline std::int64_t CounterFrequency() {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return frequency;
}

inline std::int64_t MicrosecondsNow() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const std::int64_t frequency = CounterFrequency();
    // Split to keep counter * 1000000 from overflowing.
    const std::int64_t seconds = counter.QuadPart / frequency;
    const std::int64_t rest = counter.QuadPart % frequency;
    return seconds * 1000000 + rest * 1000000 / frequency;
}

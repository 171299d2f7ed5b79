// The Win32 timing calls: the performance counter on CLOCK_MONOTONIC in
// nanoseconds and the wrapping 32-bit millisecond tick count.
#pragma once

#include "platform/win_types.h"

BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency);
BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount);
DWORD GetTickCount(void);

// Test hooks: a clock that tests move by hand instead of the real one.
namespace platform_test {
// Replaces the monotonic clock by a manual one starting at the given time.
void UseManualClock(uint64_t startNanoseconds);
// Moves the manual clock forward.
void AdvanceClock(uint64_t nanoseconds);
// Sets the manual clock to an absolute time (which may go backwards).
void SetClock(uint64_t nanoseconds);
// Makes QueryPerformanceFrequency fail (or report 0) as on a machine without
// a high-resolution counter.
void SetPerformanceCounterAvailable(bool available);
// Goes back to the real clock and the real counter.
void UseRealClock();
}  // namespace platform_test

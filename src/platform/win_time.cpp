// Timing on CLOCK_MONOTONIC, with a manual clock for tests.

#include "platform/win_time.h"

#include <time.h>

// ---- globals --------------------------------------------------------------

namespace {
bool s_manual = false;
uint64_t s_manualNanoseconds = 0;
bool s_counterAvailable = true;

// Nanoseconds on the clock in use.
uint64_t NowNanoseconds() {
  if (s_manual) return s_manualNanoseconds;
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (uint64_t)ts.tv_sec * 1000000000u + (uint64_t)ts.tv_nsec;
}
}  // namespace

// ---- functions ------------------------------------------------------------

// Counts per second of the performance counter: nanoseconds.
BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  if (!s_counterAvailable) {
    lpFrequency->QuadPart = 0;
    return FALSE;
  }
  lpFrequency->QuadPart = 1000000000;
  return TRUE;
}

// The performance counter reading in nanoseconds.
BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  lpPerformanceCount->QuadPart = (int64_t)NowNanoseconds();
  return TRUE;
}

// Milliseconds as a 32-bit count that wraps after about 49.7 days.
DWORD GetTickCount(void) { return (DWORD)(NowNanoseconds() / 1000000u); }

namespace platform_test {

// Switches to the manual clock.
void UseManualClock(uint64_t startNanoseconds) {
  s_manual = true;
  s_manualNanoseconds = startNanoseconds;
}

// Moves the manual clock forward.
void AdvanceClock(uint64_t nanoseconds) { s_manualNanoseconds += nanoseconds; }

// Sets the manual clock.
void SetClock(uint64_t nanoseconds) { s_manualNanoseconds = nanoseconds; }

// Makes the high-resolution counter appear or vanish.
void SetPerformanceCounterAvailable(bool available) { s_counterAvailable = available; }

// Restores the real clock.
void UseRealClock() {
  s_manual = false;
  s_counterAvailable = true;
}

}  // namespace platform_test

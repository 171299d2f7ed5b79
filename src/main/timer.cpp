// The frame timer. Elapsed time is measured from a base that moves every five
// seconds, so that single-precision seconds stay exact enough.

#include "main/timer.h"

// ---- globals --------------------------------------------------------------

BOOL g_bPerfCounter = 0;
uint64_t g_liTimerFrequency = 0;
float g_fSecondsPerCount = 0.0f;
uint64_t g_liTimerBase = 0;
float g_fTimerLast = 0.0f;
float g_fFrameTime = 0.0f;

// ---- functions ------------------------------------------------------------

// The current counter reading; the tick count widened with a high part of 0.
static uint64_t ReadCounter(void) {
  if (g_bPerfCounter) {
    LARGE_INTEGER li;
    QueryPerformanceCounter(&li);
    return (uint64_t)li.QuadPart;
  }
  return (uint64_t)GetTickCount();
}

// Sets up the timer on the best counter there is.
void InitFrameTimer(void) {
  LARGE_INTEGER freq;
  if (QueryPerformanceFrequency(&freq) && freq.QuadPart != 0) {
    g_liTimerFrequency = (uint64_t)freq.QuadPart;
    g_bPerfCounter = 1;
    g_liTimerBase = ReadCounter();
  } else {
    g_liTimerFrequency = 1000;
    g_bPerfCounter = 0;
    g_liTimerBase = ReadCounter();
  }
  g_fSecondsPerCount = (float)(1.0 / (double)g_liTimerFrequency);
  g_fTimerLast = 0.0f;
}

// Measures the time since the previous reading.
void UpdateFrameTime(void) {
  uint64_t reading = ReadCounter();
  uint64_t elapsed = reading - g_liTimerBase;
  if (!g_bPerfCounter) {
    // The tick count is only 32 bits wide: across its wrap the true difference
    // is the 32-bit one, not a 64-bit value near 2^64.
    elapsed = (uint32_t)((uint32_t)reading - (uint32_t)g_liTimerBase);
  } else if (reading < g_liTimerBase) {
    // A counter that stepped back measures nothing; never play 2^64 counts.
    elapsed = 0;
  }
  float t = (float)elapsed * g_fSecondsPerCount;
  g_fFrameTime = t - g_fTimerLast;
  if (g_fFrameTime < 0.0f) g_fFrameTime = 0.0f;
  g_fTimerLast = t;
  if (g_fTimerLast > 5.0f || reading < g_liTimerBase) {
    g_liTimerBase = reading;
    g_fTimerLast = 0.0f;
  }
  if (g_fFrameTime == 0.0f) g_fFrameTime = 0.0001f;
}

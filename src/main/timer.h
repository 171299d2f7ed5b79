// The frame timer: how much time each frame stands for.
#pragma once

#include "platform/win32.h"

// ---- globals --------------------------------------------------------------

extern BOOL g_bPerfCounter;
extern uint64_t g_liTimerFrequency;
extern float g_fSecondsPerCount;
extern uint64_t g_liTimerBase;
extern float g_fTimerLast;
extern float g_fFrameTime;

// ---- functions ------------------------------------------------------------

// Chooses the performance counter, or the millisecond count without one.
void InitFrameTimer(void);
// Reads the clock and sets g_fFrameTime to the seconds since the last read.
void UpdateFrameTime(void);

// Start-up, shut-down and the state the main loop shares with the windows.
#pragma once

#include "platform/win32.h"

// Bits of g_dwSuspendFlags: frames run only while the word is 0.
#define SUSPEND_NOFOCUS 0x10u
#define SUSPEND_MENU 0x20u
#define SUSPEND_INACTIVE 0x40u
#define SUSPEND_GFXERROR 0x80u

// ---- globals --------------------------------------------------------------

extern HINSTANCE g_hInstance;
extern DWORD g_dwSuspendFlags;
extern BOOL g_bResizePending;

// ---- functions ------------------------------------------------------------

// The program: start-up, the windows and their loop, shut-down. Returns 0
// after a normal end; a fatal failure ends the process from inside.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

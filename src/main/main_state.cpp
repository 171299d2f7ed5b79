// The state the main loop shares with the windows and the graphics device.

#include "main/main.h"

// ---- globals --------------------------------------------------------------

HINSTANCE g_hInstance = nullptr;
// No frame runs until the application is first activated.
DWORD g_dwSuspendFlags = SUSPEND_INACTIVE;
BOOL g_bResizePending = 0;

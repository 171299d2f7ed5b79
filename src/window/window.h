// The main window, its status bar and the view window.
#pragma once

#include "platform/win32.h"

// ---- globals --------------------------------------------------------------

extern HWND g_hwndMain;
extern char g_szStatusText[128];
// The view's client size and the screen position of its client origin.
extern INT g_nViewW;
extern INT g_nViewH;
extern INT g_nViewScreenX;
extern INT g_nViewScreenY;

// ---- functions ------------------------------------------------------------

// Sets the status message (null clears it) and refreshes the bar's first part.
void SetStatusText(const char* lpszText);
// Refreshes the level and score parts; recomputes the part widths when asked.
void UpdateStatusBar(BOOL bRecalcWidths);
// Destroys the main window if there is one.
void DestroyMainWindow(void);

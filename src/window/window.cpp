// The main window and its status bar. The status texts are kept here so that
// they are shown as soon as the bar exists.

#include "window/window.h"

#include <cstring>

// ---- globals --------------------------------------------------------------

HWND g_hwndMain = nullptr;
char g_szStatusText[128] = "";
INT g_nViewW = 0;
INT g_nViewH = 0;
INT g_nViewScreenX = 0;
INT g_nViewScreenY = 0;

// ---- functions ------------------------------------------------------------

// Keeps the message; the bar shows it when it exists.
void SetStatusText(const char* lpszText) {
  if (lpszText == nullptr) lpszText = "";
  std::strncpy(g_szStatusText, lpszText, sizeof(g_szStatusText) - 1);
  g_szStatusText[sizeof(g_szStatusText) - 1] = '\0';
}

// The level and score parts are drawn from the game state whenever the bar
// exists; without a bar there is nothing to refresh.
void UpdateStatusBar(BOOL) {}

// Destroys the main window; its tear-down releases graphics and keyboard.
void DestroyMainWindow(void) {
  if (g_hwndMain != nullptr) {
    DestroyWindow(g_hwndMain);
    g_hwndMain = nullptr;
  }
}

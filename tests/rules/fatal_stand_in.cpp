// Until the fatal report lands in this branch, a weak stand-in that behaves
// as the real one does (message box, main window destroyed, exit code 1) lets
// the tests link. The real definition overrides it; delete this file once the
// fatal report is merged.

#include <cstdarg>
#include <cstdio>

#include "main/fatal.h"
#include "window/window.h"

// Shows the formatted message and ends the process.
[[gnu::weak]] void Fatal(const char* lpszFormat, ...) {
  char szText[1024];
  va_list args;
  va_start(args, lpszFormat);
  vsnprintf(szText, sizeof(szText), lpszFormat, args);
  va_end(args);
  MessageBoxA(g_hwndMain, szText, "Quandrel 3D", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  DestroyMainWindow();
  ExitProcess(1);
}

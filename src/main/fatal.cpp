// The fatal report: formats the message, shows it in an error box, destroys
// the main window and ends the process through the normal exit, with a
// failure code. Nothing is saved on this road: the options and high scores
// keep what they held on disk.

#include "main/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "window/window.h"

// ---- globals --------------------------------------------------------------

HRESULT g_hr = 0;

// Three separate buffers, so that FatalDX and FatalDI can hand their text to
// Fatal as an argument while Fatal formats into its own.
static char g_szFatalText[1024];
static char g_szFatalDXText[1024];
static char g_szFatalDIText[1024];

// The statement text of a failed retry, after the null pointers are respelled.
static char g_szExpandedText[1024];

// ---- functions ------------------------------------------------------------

// Formats into a fixed buffer; a longer text is cut, never overrun.
static void FormatInto(char* lpszBuffer, size_t cbBuffer, const char* lpszFormat,
                       va_list args) {
  if (std::vsnprintf(lpszBuffer, cbBuffer, lpszFormat, args) < 0) lpszBuffer[0] = '\0';
  lpszBuffer[cbBuffer - 1] = '\0';
}

// Shows the report and ends the process; the box result does not matter.
void Fatal(const char* lpszFormat, ...) {
  va_list args;
  va_start(args, lpszFormat);
  FormatInto(g_szFatalText, sizeof(g_szFatalText), lpszFormat, args);
  va_end(args);

  MessageBoxA(NULL, g_szFatalText, "Quandrel 3D", MB_OK | MB_TASKMODAL | MB_ICONERROR);
  DestroyMainWindow();
  // A failure must not look like a normal end to whoever started the game;
  // the exit handlers still run, as at any end of the program.
  std::exit(1);
}

// The caller's text, then the name and description of g_hr.
void FatalDX(const char* lpszFormat, ...) {
  va_list args;
  va_start(args, lpszFormat);
  FormatInto(g_szFatalDXText, sizeof(g_szFatalDXText), lpszFormat, args);
  va_end(args);
  Fatal("%s\n\nDirectDraw or Direct3D error: %s", g_szFatalDXText, DXErrorText(g_hr));
}

// The caller's text, then the DirectInput name and description of g_hr.
void FatalDI(const char* lpszFormat, ...) {
  va_list args;
  va_start(args, lpszFormat);
  FormatInto(g_szFatalDIText, sizeof(g_szFatalDIText), lpszFormat, args);
  va_end(args);
  Fatal("%s\n\nDirectInput error: %s", g_szFatalDIText, DIErrorText(g_hr));
}

// True for the characters that can continue an identifier.
static bool IsIdentChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         c == '_';
}

// Copies the text, writing every stand-alone "__null" as "((void *)0)".
const char* FatalExpandedText(const char* lpszText) {
  static const char szCompilerNull[] = "__null";
  static const char szHeaderNull[] = "((void *)0)";
  const size_t cchCompilerNull = sizeof(szCompilerNull) - 1;
  const size_t cchLimit = sizeof(g_szExpandedText) - 1;

  size_t cchOut = 0;
  const char* p = lpszText ? lpszText : "";
  while (*p != '\0' && cchOut < cchLimit) {
    bool bStartsWord = p == lpszText || !IsIdentChar(p[-1]);
    if (bStartsWord && std::strncmp(p, szCompilerNull, cchCompilerNull) == 0 &&
        !IsIdentChar(p[cchCompilerNull])) {
      for (const char* q = szHeaderNull; *q != '\0' && cchOut < cchLimit; ++q)
        g_szExpandedText[cchOut++] = *q;
      p += cchCompilerNull;
    } else {
      g_szExpandedText[cchOut++] = *p++;
    }
  }
  g_szExpandedText[cchOut] = '\0';
  return g_szExpandedText;
}

// The one way the game reports a failure it cannot work round: a message box
// naming the place and the statement, then the main window is destroyed and
// the process ends.
#pragma once

#include "platform/win32.h"
#include "video_main/video_main.h"

// ---- globals --------------------------------------------------------------

// Result of the last checked DirectX or DirectInput call.
extern HRESULT g_hr;

// ---- functions ------------------------------------------------------------

// Shows the formatted message, destroys the main window and ends the process.
[[noreturn]] void Fatal(const char* lpszFormat, ...) __attribute__((format(printf, 1, 2)));
// As Fatal, with the DirectDraw/Direct3D text of g_hr appended.
[[noreturn]] void FatalDX(const char* lpszFormat, ...) __attribute__((format(printf, 1, 2)));
// As Fatal, with the DirectInput text of g_hr appended.
[[noreturn]] void FatalDI(const char* lpszFormat, ...) __attribute__((format(printf, 1, 2)));
// Name and description of a DirectDraw or Direct3D result code.
const char* DXErrorText(HRESULT hr);
// Name and description of a DirectInput result code.
const char* DIErrorText(HRESULT hr);

// ---- checking rules -------------------------------------------------------

// Two steps, so that the statement is stringized after macro expansion; variadic,
// so that an expansion with commas still counts as one text.
#define QUANDREL_STR2(...) #__VA_ARGS__
#define QUANDREL_STR(...) QUANDREL_STR2(__VA_ARGS__)

// The C++ compiler spells the expanded null pointer constant "__null"; the
// report shows it as the C headers spell it, "((void *)0)". Returns a static
// buffer (cut at 1023 characters) that the next call overwrites.
const char* FatalExpandedText(const char* lpszText);

#define CHECK_DX(x)                                                                   \
  do {                                                                                \
    g_hr = (x);                                                                       \
    if (FAILED(g_hr)) FatalDX("%s:%u { %s }", __FILE__, (unsigned)__LINE__, #x);      \
  } while (0)

// A call on a surface that may have been lost: restore and try once more. A
// failed retry reports the statement as the compiler expanded it.
#define CHECK_DX_RETRY(x)                                                             \
  do {                                                                                \
    g_hr = (x);                                                                       \
    if (g_hr == DDERR_SURFACELOST) {                                                  \
      RestoreSurfaces();                                                              \
      g_hr = (x);                                                                     \
      if (FAILED(g_hr))                                                               \
        FatalDX("%s:%u { %s }", __FILE__, (unsigned)__LINE__,                         \
                FatalExpandedText(QUANDREL_STR(x)));                                  \
    } else if (FAILED(g_hr)) {                                                        \
      FatalDX("%s:%u { %s }", __FILE__, (unsigned)__LINE__, #x);                      \
    }                                                                                 \
  } while (0)

#define CHECK_DI(x)                                                                   \
  do {                                                                                \
    g_hr = (x);                                                                       \
    if (FAILED(g_hr)) FatalDI("%s:%u { %s }", __FILE__, (unsigned)__LINE__, #x);      \
  } while (0)

#define CHECK_NULL(x)                                                                 \
  do {                                                                                \
    if ((x) == NULL)                                                                  \
      Fatal("%s:%u { %s }\n\nThe statement evaluated to NULL, which signals an error", \
            __FILE__, (unsigned)__LINE__, #x);                                        \
  } while (0)

#define CHECK_FALSE(x)                                                                 \
  do {                                                                                 \
    if (!(x))                                                                          \
      Fatal("%s:%u { %s }\n\nThe statement evaluated to FALSE, which signals an error", \
            __FILE__, (unsigned)__LINE__, #x);                                         \
  } while (0)

#define CHECK_TRUE(x)                                                                 \
  do {                                                                                \
    if (x)                                                                            \
      Fatal("%s:%u { %s }\n\nThe statement evaluated to TRUE, which signals an error", \
            __FILE__, (unsigned)__LINE__, #x);                                        \
  } while (0)

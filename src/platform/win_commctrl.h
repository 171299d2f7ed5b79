// Common controls: their initialisation and the status bar, a bar of parts
// along the bottom of its parent's client area.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"
#include "platform/win_user.h"

// ---- types ----------------------------------------------------------------

typedef struct tagINITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
} INITCOMMONCONTROLSEX, *LPINITCOMMONCONTROLSEX;

// ---- constants ------------------------------------------------------------

#define ICC_BAR_CLASSES 0x00000004u
#define ICC_WIN95_CLASSES 0x000000FFu

#define STATUSCLASSNAMEA "msctls_statusbar32"
#define SB_SETTEXTA (WM_USER + 1)
#define SB_SETPARTS (WM_USER + 4)
#define SB_SETTEXT SB_SETTEXTA
#define SBT_NOBORDERS 0x0100u
#define SBT_POPOUT 0x0200u

#define CreateStatusWindow CreateStatusWindowA

// ---- functions ------------------------------------------------------------

// Succeeds for a structure of the right size.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce);
// A status bar child of the parent with the control id; it places itself at
// the bottom of the parent's client area whenever it gets WM_SIZE.
HWND CreateStatusWindowA(LONG style, LPCSTR lpszText, HWND hwndParent, UINT wID);

// ---- test hooks -----------------------------------------------------------

namespace platform_test {
// The text of a part of the status bar.
std::string StatusBarText(HWND hWnd, int nPart);
// Whether the part is drawn without a border.
bool StatusBarPartBorderless(HWND hWnd, int nPart);
// The right edges of the parts as set (-1: to the right end).
std::vector<int> StatusBarParts(HWND hWnd);
}  // namespace platform_test

// The controls of dialogs: finding them by id, their texts, the combo box,
// button and edit messages the game sends, showing, hiding and focus.
#pragma once

#include <functional>
#include <string>

#include "platform/win_types.h"

class QFont;
class QWidget;
struct tagDLGCONTROL;

// ---- messages and notifications -------------------------------------------

#define BN_CLICKED 0
#define CBN_SELCHANGE 1

#define BM_GETCHECK 0x00F0u
#define BM_SETCHECK 0x00F1u
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001

#define EM_LIMITTEXT 0x00C5u
#define EM_SETLIMITTEXT EM_LIMITTEXT

#define CB_ERR (-1)
#define CB_ADDSTRING 0x0143u
#define CB_GETCOUNT 0x0146u
#define CB_GETCURSEL 0x0147u
#define CB_RESETCONTENT 0x014Bu
#define CB_SETCURSEL 0x014Eu

#ifndef SW_HIDE
#define SW_HIDE 0
#endif
#ifndef SW_SHOWNORMAL
#define SW_SHOWNORMAL 1
#endif
#ifndef SW_SHOW
#define SW_SHOW 5
#endif

#ifndef MAKEWPARAM
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)((WORD)(l) | ((DWORD)(WORD)(h) << 16)))
#endif

// ---- functions ------------------------------------------------------------

// The control of the dialog with the id, or null.
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
// Sets the text of a control.
BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
// Copies at most cchMax - 1 bytes of a control's text and a terminator;
// returns the number of bytes copied.
UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
// Sends a control message to a control of the dialog.
LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);
// Hides or shows a window; non-zero when it was visible before.
BOOL ShowWindow(HWND hWnd, int nCmdShow);
// Gives the keyboard focus to a window; returns the window that had it.
HWND SetFocus(HWND hWnd);
// Copies at most nMaxCount - 1 bytes of a window's text and a terminator.
int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
// The length of a window's text in bytes, terminator not counted.
int GetWindowTextLengthA(HWND hWnd);

namespace platform {
// Handles a control message for a control widget; false when the widget
// knows no such message (so that a general SendMessageA can hand on to it).
bool ControlMessage(QWidget* control, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
// The control id a widget was made with, or IDC_STATIC (-1) for none.
int ControlId(const QWidget* widget);
// A widget's text in the 8-bit character set, as the A functions give it.
std::string WindowText(const QWidget* widget);

// Called by a control when the player works it, with the notification code
// that goes into the high word of WM_COMMAND.
using ControlNotify = std::function<void(QWidget* control, int code)>;
// The dialog base units of a font: the average width of the letters and the
// height of a line, in pixels.
SIZE DialogBaseUnits(const QFont& font);
// Horizontal and vertical dialog units in pixels, rounded to the nearest.
int DialogUnitsToPixelsX(int units, SIZE baseUnits);
int DialogUnitsToPixelsY(int units, SIZE baseUnits);
// Makes the control of a template record on the dialog. Auto radio buttons
// with the same group number uncheck each other.
QWidget* CreateControl(QWidget* dialog, const tagDLGCONTROL& item, SIZE baseUnits, int group,
                       ControlNotify notify);
}  // namespace platform

// Windows, their procedures and messages, the message loop with accelerators,
// painting, and the resources of the executable (accelerators, strings, icon,
// cursor). Each window is a Qt widget; Qt's events become the messages a
// window procedure expects, in the order the window system sends them.
#pragma once

#include <functional>
#include <vector>

#include "platform/win_types.h"
#include "platform/win_paint.h"
#include "platform/win_window.h"

class QImage;

// ---- types ----------------------------------------------------------------

typedef WORD ATOM;
typedef struct HCURSOR__* HCURSOR;
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagWNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
} WNDCLASSA, WNDCLASS;

typedef struct tagCREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
} CREATESTRUCTA, CREATESTRUCT;

typedef struct tagMSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
} MSG, *LPMSG;

typedef struct tagACCEL {
  BYTE fVirt;
  WORD key;
  WORD cmd;
} ACCEL;

// ---- constants ------------------------------------------------------------

#define WM_NULL 0x0000u
#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_MOVE 0x0003u
#define WM_SIZE 0x0005u
#define WM_SETFOCUS 0x0007u
#define WM_KILLFOCUS 0x0008u
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_QUIT 0x0012u
#define WM_ACTIVATEAPP 0x001Cu
#define WM_GETFONT 0x0031u
#define WM_KEYDOWN 0x0100u
#define WM_KEYUP 0x0101u
#define WM_CHAR 0x0102u
#define WM_SYSKEYDOWN 0x0104u
#define WM_SYSKEYUP 0x0105u
#ifndef WM_COMMAND
#define WM_COMMAND 0x0111u
#endif
#define WM_INITMENUPOPUP 0x0117u
#define WM_MENUSELECT 0x011Fu
#define WM_ENTERMENULOOP 0x0211u
#define WM_EXITMENULOOP 0x0212u
#define WM_USER 0x0400u

#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u

// The dialog templates use some of these styles too, spelt the same.
#define WS_OVERLAPPED 0x00000000u
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_CAPTION 0x00C00000u
#define WS_SYSMENU 0x00080000u
#define WS_THICKFRAME 0x00040000u
#define WS_MINIMIZEBOX 0x00020000u
#define WS_MAXIMIZEBOX 0x00010000u
#define WS_EX_CLIENTEDGE 0x00000200u

#define CS_VREDRAW 0x0001u
#define CS_HREDRAW 0x0002u

#define CW_USEDEFAULT ((int)0x80000000u)

// Accelerator flags
#define FVIRTKEY TRUE
#define FNOINVERT 0x02
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10

// Virtual keys the layer knows
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_NUMPAD0 0x60
#define VK_F1 0x70

#define IDC_ARROW MAKEINTRESOURCEA(32512)

#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)((WORD)(l) | ((DWORD)(WORD)(h) << 16)))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))

#define RegisterClass RegisterClassA
#define CreateWindowEx CreateWindowExA
#define DefWindowProc DefWindowProcA
#define PeekMessage PeekMessageA
#define TranslateAccelerator TranslateAcceleratorA
#define DispatchMessage DispatchMessageA
#define SendMessage SendMessageA
#define LoadAccelerators LoadAcceleratorsA
#define LoadString LoadStringA
#define LoadIcon LoadIconA
#define LoadCursor LoadCursorA

// ---- functions: classes and windows ---------------------------------------

ATOM RegisterClassA(const WNDCLASSA* lpWndClass);
// Creates the window; its procedure gets WM_CREATE before this returns, then
// WM_SIZE and WM_MOVE.
HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                     int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                     LPVOID lpParam);
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL UpdateWindow(HWND hWnd);
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
// The device context of the screen (hWnd null): for measuring text.
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);

// ---- functions: the message loop ------------------------------------------

// Lets Qt handle what is pending, then hands back the oldest queued message;
// never waits.
BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
int TranslateAcceleratorA(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg);
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessageA(const MSG* lpMsg);
void PostQuitMessage(int nExitCode);
// Sleeps until something arrives for the program (an input, window or timer
// event, or a queued message); returns at once when a message waits.
BOOL WaitMessage(void);

// ---- functions: resources -------------------------------------------------

HACCEL LoadAcceleratorsA(HINSTANCE hInstance, LPCSTR lpTableName);
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);

namespace platform {
// The module handle the entry point hands to the game.
HINSTANCE ModuleInstance();
}  // namespace platform

// ---- test hooks -----------------------------------------------------------

namespace platform_test {
// Forgets every registered window class, so that a test can launch the
// windows again.
void UnregisterAllClasses();
// Makes the next creation of a window of the class (the status bar's too)
// fail, once, as a window system out of resources does; empty: none.
void FailWindowCreation(const char* className);
// Runs the hook at the start of every PeekMessageA (empty: none).
void SetPeekMessageHook(std::function<void()> hook);
// Off: WaitMessage returns at once instead of sleeping, so that a test can
// run loop passes of a program that waits for its activation. On by default.
void SetMessageWaits(bool on);
// Runs the hook when WaitMessage goes to sleep: what happens while the
// program sleeps (empty: none).
void SetWaitHook(std::function<void()> hook);
// Delivers a key press (and its release) to the window that has the keyboard
// focus, as the keyboard would: virtual key plus Ctrl, Shift and Alt.
void PressKey(HWND hWnd, UINT vk, bool ctrl, bool shift = false, bool alt = false);
// While on, Qt's own focus and activation changes are not passed on, so
// that only the calls below give and take them.
void IgnoreSystemActivation(bool ignore);
// Makes the application active or inactive (as switching programs does).
void SetApplicationActive(bool active);
// Gives the top-level window the keyboard focus, or takes it away.
void SetKeyboardFocus(HWND hWnd, bool focus);
// Minimises the top-level window, or restores it.
void SetMinimized(HWND hWnd, bool minimized);
// Moves or resizes the window as the player's dragging does (outer rectangle
// for a top-level window).
void DragWindow(HWND hWnd, int x, int y, int width, int height);
// Asks for the close of a top-level window as its close box does.
void CloseWindowBox(HWND hWnd);
// Number of messages waiting in the queue.
int QueuedMessageCount();
// Forgets queued messages and a pending quit.
void ClearMessageQueue();
// Renders the window as it shows on the screen, paint message included.
QImage GrabWindow(HWND hWnd);
// Records every message a window procedure receives (message, wParam) while
// on; Records() gives them in order.
struct MessageRecord {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
void RecordMessages(bool on);
const std::vector<MessageRecord>& Records();
}  // namespace platform_test

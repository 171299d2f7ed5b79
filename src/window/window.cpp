// The main window with its status bar and the view window, and the message
// loop that plays a frame whenever no message waits. The windows' messages
// feed the loop through shared flags: focus, activation and menu loop set and
// clear the suspension bits; the view's size is recorded for the next idle
// pass to rebuild the surfaces, never inside a message.

#include "window/window.h"

#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "input/input.h"
#include "main/fatal.h"
#include "main/main.h"
#include "main/timer.h"
#include "options/options.h"
#include "resources/resource.h"
#include "rules/rules.h"
#include "video_main/video_main.h"

// ---- globals --------------------------------------------------------------

const char gc_ChildWindowClass[] = "QN3D_MainChildWindow";
static const char gc_MainWindowClass[] = "QN3D_MainWindow";

HWND g_hwndMain = nullptr;
HWND g_hwndStatus = nullptr;
HWND g_hwndView = nullptr;
HACCEL g_hAccel = nullptr;
INT g_nLevelWidth = 0;
INT g_nScoreWidth = 0;
char g_szStatusText[128] = "";
char g_szMenuHint[128] = "";
INT g_nViewW = 0;
INT g_nViewH = 0;
INT g_nViewScreenX = 0;
INT g_nViewScreenY = 0;

// ---- functions: status bar ------------------------------------------------

// Copies a text into a 128-character buffer; null gives the empty string.
static void CopyText(char* lpszDest, const char* lpszText) {
  if (lpszText == nullptr) lpszText = "";
  std::strncpy(lpszDest, lpszText, 127);
  lpszDest[127] = '\0';
}

// The first part: the hint while a menu item has one, else the message.
static void ShowFirstPart(void) {
  if (g_hwndStatus == nullptr) return;
  const char* lpszText = g_szMenuHint[0] != '\0' ? g_szMenuHint : g_szStatusText;
  SendMessage(g_hwndStatus, SB_SETTEXT, 0 | SBT_NOBORDERS, (LPARAM)lpszText);
}

// Keeps the message; the bar shows it when it exists.
void SetStatusText(const char* lpszText) {
  CopyText(g_szStatusText, lpszText);
  ShowFirstPart();
}

// Keeps the hint; an empty hint brings the message back.
void SetMenuHint(const char* lpszText) {
  CopyText(g_szMenuHint, lpszText);
  ShowFirstPart();
}

// Level and score at the right, the message in the rest; the score part has
// room for the size grip.
void UpdateStatusBar(BOOL bRecalcWidths) {
  if (g_hwndStatus == nullptr) return;
  if (bRecalcWidths) {
    RECT r;
    GetWindowRect(g_hwndStatus, &r);
    const INT w = r.right - r.left, h = r.bottom - r.top;
    INT parts[3] = {w - g_nScoreWidth - g_nLevelWidth - h, w - g_nScoreWidth - h, -1};
    SendMessage(g_hwndStatus, SB_SETPARTS, 3, (LPARAM)parts);
  }
  ShowFirstPart();
  char szText[32];
  std::snprintf(szText, sizeof(szText), "Level %d", g_nLevel);
  SendMessage(g_hwndStatus, SB_SETTEXT, 1, (LPARAM)szText);
  std::snprintf(szText, sizeof(szText), "%u", g_uScore);
  SendMessage(g_hwndStatus, SB_SETTEXT, 2, (LPARAM)szText);
}

// Widths of the level and score parts in the bar's own font.
static void MeasureStatusParts(void) {
  HDC hdc = GetDC(NULL);
  HFONT hFont = (HFONT)SendMessage(g_hwndStatus, WM_GETFONT, 0, 0);
  HGDIOBJ hOldFont = SelectObject(hdc, hFont);
  SIZE size;
  GetTextExtentPoint32A(hdc, "Level WW", 8, &size);
  g_nLevelWidth = size.cx;
  GetTextExtentPoint32A(hdc, "4000000000WW", 12, &size);
  g_nScoreWidth = size.cx;
  SelectObject(hdc, hOldFont);
  ReleaseDC(NULL, hdc);
}

// ---- functions: main window -------------------------------------------------

// The menu hint of a highlighted item: none when the menu closed, a blank for
// a submenu title, else the item's string.
static void MenuSelect(UINT uItem, UINT uFlags, HMENU hMenu) {
  if (uFlags == 0xFFFF && hMenu == NULL) {
    SetMenuHint(NULL);
  } else if (uFlags & MF_POPUP) {
    SetMenuHint(" ");
  } else {
    char szHint[128];
    if (LoadString(g_hInstance, uItem, szHint, sizeof(szHint)) > 0)
      SetMenuHint(szHint);
    else
      SetMenuHint(" ");
  }
}

// Status bar, its part widths, then the view (which starts graphics and
// keyboard); the first size message lays them out.
static void CreateMainWindowParts(HWND hwnd) {
  g_hwndMain = hwnd;
  CHECK_FALSE(g_hwndStatus = CreateStatusWindow(WS_CHILD | WS_VISIBLE, "", g_hwndMain, IDS_STATUSBAR));
  MeasureStatusParts();
  CHECK_FALSE(CreateWindowEx(WS_EX_CLIENTEDGE, gc_ChildWindowClass, "Plumbo View", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, g_hwndMain, NULL, g_hInstance, NULL));
}

// The status bar along the bottom, the view over the rest (one pixel larger
// each way), and the window's size kept for the next start.
static void SizeMainWindow(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  if (wParam != SIZE_RESTORED && wParam != SIZE_MAXIMIZED) return;
  SendMessage(g_hwndStatus, WM_SIZE, wParam, lParam);
  RECT r;
  GetWindowRect(g_hwndStatus, &r);
  const INT nStatusH = r.bottom - r.top;
  UpdateStatusBar(TRUE);
  MoveWindow(g_hwndView, 0, 0, LOWORD(lParam) + 1, HIWORD(lParam) - nStatusH + 1, FALSE);
  GetWindowRect(hwnd, &r);
  g_nWindowW = r.right - r.left;
  g_nWindowH = r.bottom - r.top;
  UpdateFrameTime();
}

// The window's place kept for the next start, the view's for the blit.
static void MoveMainWindow(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  g_nWindowX = r.left;
  g_nWindowY = r.top;
  POINT pt = {0, 0};
  if (g_hwndView != NULL && ClientToScreen(g_hwndView, &pt)) {
    g_nViewScreenX = pt.x;
    g_nViewScreenY = pt.y;
  }
  UpdateFrameTime();
}

// Messages of the main window.
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_CREATE: CreateMainWindowParts(hwnd); return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      g_hwndMain = NULL;
      // The bar goes with the window; nothing may write to it after.
      g_hwndStatus = NULL;
      return 0;
    case WM_MOVE: MoveMainWindow(hwnd); return 0;
    case WM_SIZE: SizeMainWindow(hwnd, wParam, lParam); return 0;
    case WM_SETFOCUS: g_dwSuspendFlags &= ~SUSPEND_NOFOCUS; return 0;
    case WM_KILLFOCUS: g_dwSuspendFlags |= SUSPEND_NOFOCUS; return 0;
    case WM_ACTIVATEAPP:
      if (wParam) {
        g_dwSuspendFlags &= ~SUSPEND_INACTIVE;
        ResetPalette();
      } else {
        g_dwSuspendFlags |= SUSPEND_INACTIVE;
      }
      return 0;
    case WM_ENTERMENULOOP: g_dwSuspendFlags |= SUSPEND_MENU; return 0;
    case WM_EXITMENULOOP:
      // The time spent in the menu is not played.
      UpdateFrameTime();
      g_dwSuspendFlags &= ~SUSPEND_MENU;
      return 0;
    case WM_COMMAND: MenuCommand(LOWORD(wParam)); return 0;
    case WM_INITMENUPOPUP: InitMenuPopup((HMENU)wParam); return 0;
    case WM_MENUSELECT: MenuSelect(LOWORD(wParam), HIWORD(wParam), (HMENU)lParam); return 0;
    default: return DefWindowProc(hwnd, uMsg, wParam, lParam);
  }
}

// ---- functions: view window -------------------------------------------------

// Messages of the view: graphics and keyboard live as long as it does; its
// size is only recorded here.
LRESULT CALLBACK ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_CREATE:
      g_hwndView = hwnd;
      InitGraph();
      EnableLight(LIGHT_POINT1, TRUE);
      EnableLight(LIGHT_POINT2, TRUE);
      EnableLight(LIGHT_POINT3, TRUE);
      InitInput();
      return 0;
    case WM_DESTROY:
      ReleaseInput();
      FreeGraph();
      g_hwndView = NULL;
      return 0;
    case WM_MOVE: return 0;
    case WM_SIZE:
      if (wParam == SIZE_RESTORED || wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED) {
        g_bResizePending = TRUE;
        g_nViewW = LOWORD(lParam);
        g_nViewH = HIWORD(lParam);
      }
      SendMessage(g_hwndStatus, WM_SIZE, wParam, lParam);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      PaintView(&ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: return DefWindowProc(hwnd, uMsg, wParam, lParam);
  }
}

// ---- functions: launch and loop ---------------------------------------------

// Surfaces follow the view's size before anything is drawn; frames run only
// while the view has an area and nothing suspends them.
void IdlePass(void) {
  UpdateFrameTime();
  if (g_bResizePending) {
    RebuildSurfaces();
    g_bResizePending = FALSE;
    // The paint handler explains why nothing is drawn.
    if (g_dwSuspendFlags & SUSPEND_GFXERROR) InvalidateRect(g_hwndView, NULL, TRUE);
  }
  if (!g_bNoSurfaces && g_dwSuspendFlags == 0) {
    GameFrame();
    PresentFrame();
  } else {
    // Nothing is played until a message changes that (activation, focus, a
    // size): sleep until one comes instead of turning round and round, and
    // leave the time slept unplayed.
    WaitMessage();
    UpdateFrameTime();
  }
}

// One pass of the loop: a waiting message (accelerators of the main window
// before anything else), or else a frame. Waits only while no frame can run.
// FALSE at the quit message.
BOOL LoopPass(void) {
  MSG msg;
  if (!PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
    IdlePass();
    return TRUE;
  }
  // Thread messages: only the quit message means anything.
  if (msg.hwnd == NULL) return msg.message != WM_QUIT;
  if (!TranslateAccelerator(g_hwndMain, g_hAccel, &msg)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return TRUE;
}

// The two classes, the accelerators and the main window, whose creation makes
// everything else.
void CreateMainWindow(void) {
  WNDCLASS wc;
  std::memset(&wc, 0, sizeof(wc));
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = g_hInstance;
  wc.hIcon = LoadIcon(g_hInstance, MAKEINTRESOURCE(IDI_MAINICON));
  wc.hCursor = LoadCursor(NULL, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  wc.lpszMenuName = MAKEINTRESOURCE(IDR_MAINMENU);
  wc.lpszClassName = gc_MainWindowClass;
  CHECK_FALSE(RegisterClass(&wc));

  wc.lpfnWndProc = ViewWndProc;
  wc.hbrBackground = NULL;
  wc.lpszMenuName = NULL;
  wc.lpszClassName = gc_ChildWindowClass;
  CHECK_FALSE(RegisterClass(&wc));

  CHECK_NULL(g_hAccel = LoadAccelerators(g_hInstance, MAKEINTRESOURCE(IDR_ACCELERATOR)));

  CreateWindowEx(0, gc_MainWindowClass, "Quandrel 3D",
                 WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX,
                 g_nWindowX, g_nWindowY, g_nWindowW, g_nWindowH, NULL, NULL, g_hInstance, NULL);
  if (g_hwndMain == NULL) Fatal("Error: unable to create main window in function LaunchWindow().");

  UpdateWindow(g_hwndMain);
  // Whatever the start-up took is not played.
  UpdateFrameTime();
  UpdateFrameTime();
}

// The windows, then the loop until the quit message.
void LaunchWindow(void) {
  CreateMainWindow();
  while (LoopPass()) {
  }
}

// Destroys the main window; its tear-down releases graphics and keyboard.
void DestroyMainWindow(void) {
  if (g_hwndMain != nullptr) {
    DestroyWindow(g_hwndMain);
    g_hwndMain = nullptr;
  }
}

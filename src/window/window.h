// The main window, its status bar and the view window; the message loop; the
// menu commands, help and the About box.
#pragma once

#include "platform/win32.h"

// ---- globals --------------------------------------------------------------

// Class of the view window.
extern const char gc_ChildWindowClass[];

extern HWND g_hwndMain;
extern HWND g_hwndStatus;
extern HWND g_hwndView;
extern HACCEL g_hAccel;
// Pixel widths of "Level WW" and "4000000000WW" in the status bar's font.
extern INT g_nLevelWidth;
extern INT g_nScoreWidth;
extern char g_szStatusText[128];
extern char g_szMenuHint[128];
// The view's client size and the screen position of its client origin.
extern INT g_nViewW;
extern INT g_nViewH;
extern INT g_nViewScreenX;
extern INT g_nViewScreenY;

// ---- functions: windows ---------------------------------------------------

// Registers the classes, loads the accelerators, makes the main window and
// runs the message loop until the quit message.
void LaunchWindow(void);
// The first part of LaunchWindow: classes, accelerators, the main window
// (with status bar and view), shown and painted, the timer read.
void CreateMainWindow(void);
// One pass of the loop: dispatches one waiting message or, when none waits,
// runs IdlePass. FALSE when the quit message came.
BOOL LoopPass(void);
// One idle pass of the loop: reads the timer, rebuilds the surfaces when the
// view's size changed, and plays and shows a frame unless suspended.
void IdlePass(void);
// The main window's procedure.
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
// The view window's procedure.
LRESULT CALLBACK ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
// Destroys the main window if there is one.
void DestroyMainWindow(void);

// ---- functions: status bar ------------------------------------------------

// Sets the status message (null clears it) and refreshes the bar's first part.
void SetStatusText(const char* lpszText);
// Sets the menu hint (null clears it) and refreshes the bar's first part.
void SetMenuHint(const char* lpszText);
// Refreshes the level and score parts; recomputes the part widths when asked.
void UpdateStatusBar(BOOL bRecalcWidths);

// ---- functions: menu commands ---------------------------------------------

// Carries out a menu or accelerator command.
void MenuCommand(UINT uId);
// Sets the check marks of a popup menu about to open.
void InitMenuPopup(HMENU hMenu);
// The About box's procedure.
INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The menu commands and accelerators: new games at a start level, the view
// switches, the dialogs of the options and the high scores, help, the
// licence page and the About box; the check marks of the View menu.

#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "main/main.h"
#include "main/timer.h"
#include "options/options.h"
#include "platform/win_controls.h"
#include "platform/win_dialog.h"
#include "render/render.h"
#include "resources/dialog_ids.h"
#include "resources/resource.h"
#include "rules/rules.h"
#include "window/window.h"

// ---- functions ------------------------------------------------------------

// A topic of the help file. The buffer holds the longest path and the topic,
// so that a long help path is never cut into another file's name.
static void ShowHelpTopic(const char* lpszTopic) {
  char szTopic[MAX_PATH + 32];
  std::snprintf(szTopic, sizeof(szTopic), "%s::/%s", g_szHelpFile, lpszTopic);
  HtmlHelpA(g_hwndMain, szTopic, HH_DISPLAY_TOPIC, 0);
}

// A new game at the level; a running game is abandoned only if the player
// agrees. The time spent asking is not played.
static void StartNewGame(INT nLevel) {
  if (g_bGameRunning) {
    if (MessageBoxA(g_hwndMain, "Abandon current game and start a new game?", "Quandrel 3D",
                    MB_ICONQUESTION | MB_YESNO) == IDYES)
      NewGame(nLevel);
  } else {
    NewGame(nLevel);
  }
  UpdateFrameTime();
}

// A modal dialog of the options, then a fresh timer reading. The dialog
// layer binds each options template to its procedure.
static void RunDialog(WORD wTemplate, DLGPROC lpDialogFunc) {
  DialogBoxParamA(g_hInstance, MAKEINTRESOURCE(wTemplate), g_hwndMain, lpDialogFunc, 0);
  UpdateFrameTime();
}

// Carries out a command; ids that are not commands are ignored.
void MenuCommand(UINT uId) {
  if (uId < ID_HELP_LICENSE || uId > ID_HELP_HELP) return;
  if (uId == ID_GAME_NEWGAME) {
    StartNewGame(0);
    return;
  }
  if (uId >= ID_GAME_LEVEL0 && uId <= ID_GAME_LEVEL9) {
    StartNewGame((INT)(uId - ID_GAME_LEVEL0));
    return;
  }
  switch (uId) {
    case ID_HELP_LICENSE: ShowHelpTopic("license.htm"); break;
    case ID_HELP_ABOUT: RunDialog(IDD_ABOUT, AboutDlgProc); break;
    case ID_GAME_EXIT: SendMessage(g_hwndMain, WM_CLOSE, 0, 0); break;
    case ID_VIEW_STATISTICS:
      // No next block without the statistics beside it.
      g_bViewStats = !g_bViewStats;
      if (!g_bViewStats) g_bViewNext = 0;
      UpdateView();
      break;
    case ID_VIEW_NEXTBLOCK:
      g_bViewNext = !g_bViewNext;
      if (g_bViewNext) g_bViewStats = 1;
      UpdateView();
      break;
    case ID_VIEW_3DOPTIONS: RunDialog(IDD_RENDEROPTIONS, RenderOptionsDlgProc); break;
    case ID_VIEW_HIGHSCORES: ShowHighScores(); break;
    case ID_GAME_OPTIONS: RunDialog(IDD_GAMEOPTIONS, GameOptionsDlgProc); break;
    case ID_VIEW_FRAMERATE: g_bShowFPS = !g_bShowFPS; break;
    case ID_HELP_HELP: ShowHelpTopic("welcome.htm"); break;
    default: break;
  }
}

// Checks or clears one item, by command id.
static void CheckItem(HMENU hMenu, UINT uId, BOOL bChecked) {
  MENUITEMINFO mii;
  std::memset(&mii, 0, sizeof(mii));
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_STATE;
  mii.fState = bChecked ? MFS_CHECKED : MFS_UNCHECKED;
  SetMenuItemInfo(hMenu, uId, FALSE, &mii);
}

// The two view switches show their state; nothing else carries a mark.
void InitMenuPopup(HMENU hMenu) {
  const int nItems = GetMenuItemCount(hMenu);
  for (int i = 0; i < nItems; ++i) {
    const UINT uId = GetMenuItemID(hMenu, i);
    if (uId == ID_VIEW_STATISTICS) CheckItem(hMenu, uId, g_bViewStats);
    if (uId == ID_VIEW_NEXTBLOCK) CheckItem(hMenu, uId, g_bViewNext);
  }
}

// The version (the build's, the one the package carries too) and the date
// replace the template's placeholders. OK ends the box with 1; Escape and
// the close box end it too, as players expect of a box that only shows
// something.
INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
  switch (uMsg) {
    case WM_INITDIALOG:
      SetDlgItemTextA(hDlg, IDC_ABOUT_VERSION, "Version: " QUANDREL_VERSION);
      SetDlgItemTextA(hDlg, IDC_ABOUT_DATE, "Date: Dec  9 2000");
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) EndDialog(hDlg, 1);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(hDlg, IDCANCEL);
      return TRUE;
    default: return FALSE;
  }
}

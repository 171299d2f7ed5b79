// The two options dialogs. Game Options edits the five keys, the statistics
// and next-block switches and the high-score file; 3D Rendering Options
// edits the shading, the block appearance and the row burst. Both change
// the option variables only on OK; the store is written at exit.

#include <cstdio>
#include <cstring>

#include "high_scores/high_scores.h"
#include "input/input.h"
#include "options/options.h"
#include "render/render.h"
#include "resources/dialog_ids.h"
#include "video_main/video_main.h"

// ---- types and constants ----------------------------------------------------

// A key list of the Game Options dialog and the binding it edits.
typedef struct tagKEYLIST {
  int nId;
  UINT* puKey;
} KEYLIST;

static const KEYLIST gc_KeyLists[5] = {
    {IDC_KEY_LEFT, &g_uKeyLeft}, {IDC_KEY_ROTATE, &g_uKeyRotate}, {IDC_KEY_RIGHT, &g_uKeyRight},
    {IDC_KEY_DROP, &g_uKeyDrop}, {IDC_KEY_DOWN, &g_uKeyDown},
};

static const char gc_szHighScoreFilter[] =
    "High score files\0Quandrel3DHiScores\0All files (*.*)\0*.*\0";

// ---- helpers: Game Options --------------------------------------------------

// Selects the key's list position in one list.
static void SelectKey(HWND hDlg, int nId, UINT uKey) {
  SendDlgItemMessageA(hDlg, nId, CB_SETCURSEL, (WPARAM)KeyToListIndex(uKey), 0);
}

// Selects a whole layout; nothing is stored until OK.
static void SelectKeys(HWND hDlg, UINT uLeft, UINT uRight, UINT uRotate, UINT uDown, UINT uDrop) {
  SelectKey(hDlg, IDC_KEY_LEFT, uLeft);
  SelectKey(hDlg, IDC_KEY_RIGHT, uRight);
  SelectKey(hDlg, IDC_KEY_ROTATE, uRotate);
  SelectKey(hDlg, IDC_KEY_DOWN, uDown);
  SelectKey(hDlg, IDC_KEY_DROP, uDrop);
}

// Whether the box or button is checked.
static BOOL IsChecked(HWND hDlg, int nId) {
  return SendDlgItemMessageA(hDlg, nId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Checks or clears the box or button.
static void SetCheck(HWND hDlg, int nId, BOOL bChecked) {
  SendDlgItemMessageA(hDlg, nId, BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Fills the lists with the empty item and every key name, then shows the
// current options.
static void InitGameOptions(HWND hDlg) {
  for (const KEYLIST& list : gc_KeyLists)
    SendDlgItemMessageA(hDlg, list.nId, CB_ADDSTRING, 0, (LPARAM) "");
  for (UINT c = 0; c < 256; ++c) {
    if (g_lpszKeyNames[c] == nullptr) continue;
    for (const KEYLIST& list : gc_KeyLists)
      SendDlgItemMessageA(hDlg, list.nId, CB_ADDSTRING, 0, (LPARAM)g_lpszKeyNames[c]);
  }
  for (const KEYLIST& list : gc_KeyLists) SelectKey(hDlg, list.nId, *list.puKey);
  SetCheck(hDlg, IDC_VIEW_STATS, g_bViewStats != 0);
  SetCheck(hDlg, IDC_VIEW_NEXT, g_bViewNext != 0);
  SendDlgItemMessageA(hDlg, IDC_HIGHSCORE_FILE, EM_LIMITTEXT, MAX_PATH - 1, 0);
  SetDlgItemTextA(hDlg, IDC_HIGHSCORE_FILE, g_szHighScoreFile);
}

// Lets the player pick a file (which need not exist) and puts its path into
// the edit.
static void BrowseHighScoreFile(HWND hDlg) {
  char szFile[MAX_PATH];
  GetDlgItemTextA(hDlg, IDC_HIGHSCORE_FILE, szFile, MAX_PATH);
  OPENFILENAMEA ofn;
  std::memset(&ofn, 0, sizeof(ofn));
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = hDlg;
  ofn.lpstrFilter = gc_szHighScoreFilter;
  ofn.lpstrFile = szFile;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = "Select Highscore File";
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  if (GetOpenFileNameA(&ofn)) SetDlgItemTextA(hDlg, IDC_HIGHSCORE_FILE, szFile);
}

// Switches to the file in the edit when it names another one. FALSE when
// the player refuses to have an invalid file overwritten: the old file then
// stays in force. File names differ by letter case here, as the file system
// tells them apart; an empty edit names no file and keeps the current one.
static BOOL ApplyHighScoreFile(HWND hDlg) {
  char szFile[MAX_PATH];
  GetDlgItemTextA(hDlg, IDC_HIGHSCORE_FILE, szFile, MAX_PATH);
  if (szFile[0] == '\0' || std::strcmp(szFile, g_szHighScoreFile) == 0) return TRUE;
  char szOldFile[MAX_PATH];
  std::memcpy(szOldFile, g_szHighScoreFile, MAX_PATH);
  std::snprintf(g_szHighScoreFile, MAX_PATH, "%s", szFile);
  INT nOldState = g_nHighScoreFileState;
  g_nHighScoreFileState = 0;
  LoadHighScores();
  if (g_nHighScoreFileState == -1 && !AskToOverwriteHighScoreFile(hDlg, g_szHighScoreFile)) {
    std::memcpy(g_szHighScoreFile, szOldFile, MAX_PATH);
    g_nHighScoreFileState = nOldState;
    return FALSE;
  }
  return TRUE;
}

// The file first, since a refusal keeps the dialog open with nothing
// applied; then the keys and the switches.
static void ApplyGameOptions(HWND hDlg) {
  if (!ApplyHighScoreFile(hDlg)) return;
  for (const KEYLIST& list : gc_KeyLists)
    *list.puKey = ListIndexToKey((int)SendDlgItemMessageA(hDlg, list.nId, CB_GETCURSEL, 0, 0));
  BOOL bOldStats = g_bViewStats;
  g_bViewStats = IsChecked(hDlg, IDC_VIEW_STATS);
  g_bViewNext = IsChecked(hDlg, IDC_VIEW_NEXT);
  // The camera makes room for the statistics column, as the View menu does.
  if (g_bViewStats != bOldStats) UpdateView();
  EndDialog(hDlg, IDOK);
}

// ---- functions --------------------------------------------------------------

// The Game Options dialog (template 106).
INT_PTR CALLBACK GameOptionsDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
  switch (uMsg) {
    case WM_INITDIALOG:
      InitGameOptions(hDlg);
      return TRUE;

    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        // Num 7, Num 9, Num 8, left Shift, Space: the table's defaults.
        case IDC_KEYS_DEFAULT:
          SelectKeys(hDlg, 0x47, 0x49, 0x48, 0x2A, 0x39);
          break;
        // Left, right, up and down arrows, Space.
        case IDC_KEYS_ARROWS:
          SelectKeys(hDlg, 0xCB, 0xCD, 0xC8, 0xD0, 0x39);
          break;
        // The next block is never shown without the statistics. Each box
        // has toggled itself before its notification.
        case IDC_VIEW_STATS:
          if (IsChecked(hDlg, IDC_VIEW_NEXT) && !IsChecked(hDlg, IDC_VIEW_STATS))
            SetCheck(hDlg, IDC_VIEW_NEXT, FALSE);
          break;
        case IDC_VIEW_NEXT:
          if (IsChecked(hDlg, IDC_VIEW_NEXT) && !IsChecked(hDlg, IDC_VIEW_STATS))
            SetCheck(hDlg, IDC_VIEW_STATS, TRUE);
          break;
        case IDC_HIGHSCORE_BROWSE:
          BrowseHighScoreFile(hDlg);
          break;
        case IDOK:
          ApplyGameOptions(hDlg);
          break;
        case IDCANCEL:
          EndDialog(hDlg, IDCANCEL);
          break;
        default:
          break;
      }
      return TRUE;

    default:
      return FALSE;
  }
}

// The 3D Rendering Options dialog (template 107).
INT_PTR CALLBACK RenderOptionsDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
  switch (uMsg) {
    case WM_INITDIALOG:
      SetCheck(hDlg, IDC_GOURAUD, g_dwShadeMode == 2);
      SetCheck(hDlg, IDC_ROW_BURST, g_bRowBurst != 0);
      // A set from elsewhere than this dialog checks neither button.
      if (g_uBlockType == 0) SetCheck(hDlg, IDC_BLOCKS_SIMPLE, TRUE);
      if (g_uBlockType == 1) SetCheck(hDlg, IDC_BLOCKS_DEFAULT, TRUE);
      return TRUE;

    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          // The device takes the shade mode at once; the drawing picks up
          // the block set with the next frame.
          SetShadeMode(IsChecked(hDlg, IDC_GOURAUD) ? 2 : 1);
          SetRowBurst(IsChecked(hDlg, IDC_ROW_BURST) ? 1 : 0);
          if (IsChecked(hDlg, IDC_BLOCKS_DEFAULT))
            g_uBlockType = 1;
          else if (IsChecked(hDlg, IDC_BLOCKS_SIMPLE))
            g_uBlockType = 0;
          EndDialog(hDlg, IDOK);
          break;
        case IDCANCEL:
          EndDialog(hDlg, IDCANCEL);
          break;
        default:
          break;
      }
      return TRUE;

    default:
      return FALSE;
  }
}

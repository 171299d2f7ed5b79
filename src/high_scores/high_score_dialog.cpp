// The high-score dialog: in entry mode it announces a new score and takes
// the player's name, then shows the table with the new entry; in view mode
// it shows the table alone. The texts and the steps come from the entry
// logic; this procedure puts them into the dialog's controls.

#include <cstdlib>

#include "high_scores/high_scores.h"
#include "main/fatal.h"

// ---- globals --------------------------------------------------------------

// The texts the open dialog shows; one dialog is open at a time.
static HIGHSCOREDLGTEXT s_Text;

// ---- helpers --------------------------------------------------------------

// Puts the texts into the controls. Entry mode gives the name edit the
// focus; view mode hides the edit and Cancel and gives OK the focus.
static void ShowHighScoreText(HWND hDlg) {
  SetDlgItemTextA(hDlg, IDC_HIGHSCORE_MESSAGE, s_Text.szMessage);
  for (int k = 0; k < MAX_HIGHSCORES; ++k) {
    SetDlgItemTextA(hDlg, IDC_HIGHSCORE_NAME0 + 2 * k, s_Text.lpszNames[k]);
    SetDlgItemTextA(hDlg, IDC_HIGHSCORE_SCORE0 + 2 * k, s_Text.szScores[k]);
  }
  if (s_Text.bEntryMode) {
    SetFocus(GetDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT));
  } else {
    ShowWindow(GetDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT), SW_HIDE);
    ShowWindow(GetDlgItem(hDlg, IDCANCEL), SW_HIDE);
    SetFocus(GetDlgItem(hDlg, IDOK));
  }
}

// ---- functions ------------------------------------------------------------

// Fills the dialog on opening; OK and Cancel go through the entry logic,
// which may turn the dialog into the view of the updated table.
INT_PTR CALLBACK HighScoreDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_INITDIALOG:
      FillHighScoreDialog(&s_Text, reinterpret_cast<HIGHSCORE*>(lParam));
      // Longer names would be cut when kept, so the edit takes no more.
      if (s_Text.bEntryMode)
        SendDlgItemMessageA(hDlg, IDC_HIGHSCORE_NAMEEDIT, EM_LIMITTEXT, MAX_HIGHSCORE_NAME, 0);
      ShowHighScoreText(hDlg);
      return FALSE;  // the focus has been set

    case WM_COMMAND: {
      UINT uId = LOWORD(wParam);
      BOOL bWasEntry = s_Text.bEntryMode;
      // The whole typed text, in a buffer of its length plus one: the name
      // buffer, whose failed allocation the fatal report names as such.
      void* lpszName = nullptr;
      if (uId == IDOK && bWasEntry) {
        HWND hEdit = GetDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT);
        int nNameLen = GetWindowTextLengthA(hEdit) + 1;
        CHECK_NULL(lpszName = malloc(nNameLen));
        GetWindowTextA(hEdit, static_cast<char*>(lpszName), nNameLen);
      }
      INT_PTR nResult = HighScoreDialogCommand(&s_Text, uId, static_cast<char*>(lpszName));
      free(lpszName);
      if (bWasEntry && !s_Text.bEntryMode) ShowHighScoreText(hDlg);
      if (nResult != 0) EndDialog(hDlg, nResult);
      return TRUE;
    }

    default:
      return FALSE;
  }
}

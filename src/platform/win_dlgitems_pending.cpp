// PENDING MERGE: stand-ins for SetDlgItemTextA and EndDialog that only record
// what they were given, until the dialog layer with real dialogs lands (then
// this file goes; see win_dlgitems_pending.h).

#include "platform/win_dlgitems_pending.h"

#include <map>
#include <utility>

// ---- globals --------------------------------------------------------------

namespace {
std::map<std::pair<HWND, int>, std::string> s_Texts;
std::map<HWND, INT_PTR> s_Results;
}  // namespace

// ---- functions ------------------------------------------------------------

// Records the text for the control.
BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  s_Texts[{hDlg, nIDDlgItem}] = lpString != nullptr ? lpString : "";
  return TRUE;
}

// Records the result.
BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
  s_Results[hDlg] = nResult;
  return TRUE;
}

namespace platform_test {

std::string PendingDlgItemText(HWND hDlg, int nIDDlgItem) {
  auto it = s_Texts.find({hDlg, nIDDlgItem});
  return it != s_Texts.end() ? it->second : std::string();
}

INT_PTR PendingEndDialogResult(HWND hDlg) {
  auto it = s_Results.find(hDlg);
  return it != s_Results.end() ? it->second : -1;
}

void ForgetPendingDialogCalls() {
  s_Texts.clear();
  s_Results.clear();
}

}  // namespace platform_test

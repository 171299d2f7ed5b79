// PENDING MERGE: the two dialog calls the About box makes, declared here only
// until the dialog layer (win_dialog.h / win_controls.h on its own branch)
// lands; then this header and win_dlgitems_pending.cpp go, and the About box
// test reads the texts from the real dialog instead.
#pragma once

#include <string>

#include "platform/win_types.h"

// Sets the text of a dialog control.
BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
// Ends a modal dialog with the result.
BOOL EndDialog(HWND hDlg, INT_PTR nResult);

namespace platform_test {
// What SetDlgItemTextA last set for the control of the dialog handle ("" for
// none), and the result EndDialog was given (-1 when it was not called).
std::string PendingDlgItemText(HWND hDlg, int nIDDlgItem);
INT_PTR PendingEndDialogResult(HWND hDlg);
void ForgetPendingDialogCalls();
}  // namespace platform_test

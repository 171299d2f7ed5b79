// Modal dialogs. The templates are realised by the dialog layer; until a
// template is known here the call fails as Win32 does for a missing template.

#include "platform/win_dialog.h"

// ---- globals --------------------------------------------------------------

namespace {
std::function<INT_PTR(const platform_test::DialogCall&)> s_handler;
}

// ---- functions ------------------------------------------------------------

// Runs a dialog modally.
INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam) {
  platform_test::DialogCall call{(int)(uintptr_t)lpTemplateName, hWndParent, lpDialogFunc,
                                 dwInitParam};
  if (s_handler) return s_handler(call);
  return -1;
}

namespace platform_test {
// Installs or removes the scripted dialog run.
void SetDialogHandler(std::function<INT_PTR(const DialogCall&)> handler) {
  s_handler = std::move(handler);
}
}  // namespace platform_test

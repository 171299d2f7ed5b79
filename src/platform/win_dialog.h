// Modal dialogs from resource templates, with a scripted run for tests.
#pragma once

#include <functional>

#include "platform/win_types.h"

#define WM_INITDIALOG 0x0110u
#define WM_COMMAND 0x0111u

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

// Runs the dialog of the template modally and returns the value its
// procedure gave to EndDialog, or -1 when the dialog cannot be made.
INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                        DLGPROC lpDialogFunc, LPARAM dwInitParam);

namespace platform_test {
struct DialogCall {
  int templateId;
  HWND owner;
  DLGPROC proc;
  LPARAM param;
};
// Runs the handler instead of the dialog; its result is the dialog's result.
// An empty handler restores the real dialogs.
void SetDialogHandler(std::function<INT_PTR(const DialogCall&)> handler);
}  // namespace platform_test

// Modal dialogs from resource templates, the common open-file dialog, and
// the test hooks that replace a dialog or play it from inside.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win_controls.h"
#include "platform/win_types.h"

#define WM_INITDIALOG 0x0110u
#define WM_COMMAND 0x0111u

#define OFN_HIDEREADONLY 0x4u
#define OFN_PATHMUSTEXIST 0x800u
#define OFN_NOREADONLYRETURN 0x8000u

// ---- types ----------------------------------------------------------------

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

// The open-file dialog's question and answer. The filter is pairs of a
// description and a pattern list (";" between patterns), each ended by a
// terminator, the whole ended by a second one.
typedef struct tagOFNA {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
} OPENFILENAMEA, *LPOPENFILENAMEA;

// ---- functions ------------------------------------------------------------

// Runs the dialog of the template modally and returns the value its
// procedure gave to EndDialog, or -1 when the dialog cannot be made.
INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                        DLGPROC lpDialogFunc, LPARAM dwInitParam);
// Ends a modal dialog with the result; it closes once the procedure returns.
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
// Lets the player choose a file; TRUE with the full path in lpstrFile, FALSE
// when cancelled or when the path does not fit the buffer.
BOOL GetOpenFileNameA(LPOPENFILENAMEA lpofn);

namespace platform {
// The filter of an open-file dialog as description and pattern pairs.
std::vector<std::pair<std::string, std::string>> ParseFileFilter(LPCSTR lpstrFilter);
// Why a chosen file cannot be returned under the flags, or empty when it can.
std::string CheckChosenFile(const std::string& path, DWORD flags);
}  // namespace platform

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

// Plays each real dialog from inside: called once the dialog is shown, with
// its handle and template id. A dialog the script leaves open is ended with
// -1, so that a failing test cannot hang. Empty: no script.
void SetDialogScript(std::function<void(HWND hDlg, int templateId)> script);
// What the player does inside a dialog. Each returns false when the control
// is missing, hidden, disabled or of the wrong kind.
bool ClickDlgItem(HWND hDlg, int id);                          // a button, box or radio
bool PickDlgItem(HWND hDlg, int id, int index);                // an item of a drop-down list
bool TypeDlgItem(HWND hDlg, int id, const std::string& text);  // replaces an edit's text
// A key press (a Qt key code) at the control with the focus: Enter, Escape.
void PressDlgKey(HWND hDlg, int qtKey);
// The close box of the dialog's caption.
void CloseDlg(HWND hDlg);
// TRUE once the dialog has been ended.
bool DialogEnded(HWND hDlg);
// The id of the control that has (or will have, once shown) the focus.
int FocusedDlgItem(HWND hDlg);
// TRUE when the control is shown (not hidden by the template or ShowWindow).
bool IsDlgItemShown(HWND hDlg, int id);

// The open-file dialog's question as the player sees it.
struct OpenFileCall {
  HWND owner;
  std::string title;
  std::string initialFile;
  std::vector<std::pair<std::string, std::string>> filters;
  DWORD flags;
};
// Answers open-file dialogs with the handler: a path, or nothing for Cancel.
// An empty handler shows real dialogs again.
void SetOpenFileHandler(std::function<std::optional<std::string>(const OpenFileCall&)> handler);
}  // namespace platform_test

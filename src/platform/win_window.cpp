// Window handles over Qt widgets.

#include "platform/win_window.h"

#include <QPointer>
#include <QWidget>
#include <unordered_map>
#include <vector>

// ---- types ----------------------------------------------------------------

struct HWND__ {
  QPointer<QWidget> widget;
};

// ---- globals --------------------------------------------------------------

namespace {
// Handles stay allocated for the whole run, so a stale handle is never a
// dangling pointer: it just names no widget any more.
std::unordered_map<QWidget*, HWND__*>& Handles() {
  // Never destroyed, so that handles stay valid to the very end of the run.
  static auto* handles = new std::unordered_map<QWidget*, HWND__*>;
  return *handles;
}
// Handles whose widget is gone and whose place in the map a new widget took.
std::vector<HWND__*>& Retired() {
  static auto* retired = new std::vector<HWND__*>;
  return *retired;
}
}  // namespace

// ---- functions ------------------------------------------------------------

namespace platform {

// Finds or makes the handle of a widget.
HWND HandleOf(QWidget* widget) {
  if (widget == nullptr) return nullptr;
  auto& handles = Handles();
  auto it = handles.find(widget);
  if (it != handles.end() && it->second->widget == widget) return it->second;
  // A new widget at the address of a dead one gets its own handle.
  if (it != handles.end()) Retired().push_back(it->second);
  HWND__* handle = new HWND__{widget};
  handles[widget] = handle;
  return handle;
}

// The widget behind a handle.
QWidget* WidgetOf(HWND hWnd) { return hWnd ? hWnd->widget.data() : nullptr; }

}  // namespace platform

// Deletes the widget; the handle then names nothing.
BOOL DestroyWindow(HWND hWnd) {
  QWidget* widget = platform::WidgetOf(hWnd);
  if (widget == nullptr) return FALSE;
  auto it = Handles().find(widget);
  if (it != Handles().end()) {
    Retired().push_back(it->second);
    Handles().erase(it);
  }
  delete widget;
  return TRUE;
}

// Tells whether the handle's widget still exists.
BOOL IsWindow(HWND hWnd) { return platform::WidgetOf(hWnd) != nullptr ? TRUE : FALSE; }

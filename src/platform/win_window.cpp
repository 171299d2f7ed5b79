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
// Handles whose widget is gone and whose place in the map is free again.
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
  if (HWND handle = FindHandle(widget)) return handle;
  auto& handles = Handles();
  auto it = handles.find(widget);
  // A new widget at the address of a dead one gets its own handle.
  if (it != handles.end()) Retired().push_back(it->second);
  HWND__* handle = new HWND__{widget};
  handles[widget] = handle;
  return handle;
}

// Finds the handle of a widget without making one.
HWND FindHandle(QWidget* widget) {
  if (widget == nullptr) return nullptr;
  auto& handles = Handles();
  auto it = handles.find(widget);
  if (it != handles.end() && it->second->widget == widget) return it->second;
  return nullptr;
}

// Cuts the handle from its widget.
void ForgetHandle(HWND hWnd) {
  if (hWnd == nullptr) return;
  if (QWidget* widget = hWnd->widget.data()) {
    auto& handles = Handles();
    auto it = handles.find(widget);
    if (it != handles.end() && it->second == hWnd) {
      handles.erase(it);
      Retired().push_back(hWnd);
    }
  }
  hWnd->widget = nullptr;
}

// The widget behind a handle.
QWidget* WidgetOf(HWND hWnd) { return hWnd ? hWnd->widget.data() : nullptr; }

// Activates the owner's window again after a modal window.
void ReactivateOwner(HWND hOwner) {
  QWidget* owner = WidgetOf(hOwner);
  if (owner == nullptr) return;
  QWidget* top = owner->window();
  if (top->isVisible() && !top->isMinimized()) top->activateWindow();
}

}  // namespace platform

// Tells whether the handle's widget still exists.
BOOL IsWindow(HWND hWnd) { return platform::WidgetOf(hWnd) != nullptr ? TRUE : FALSE; }

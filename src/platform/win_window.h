// Window handles: each HWND stands for one Qt widget. The window procedures,
// messages and classes build on this.
#pragma once

#include "platform/win_types.h"

class QWidget;

// Destroys the window and its children.
BOOL DestroyWindow(HWND hWnd);
// Non-zero while the handle names a live window.
BOOL IsWindow(HWND hWnd);

namespace platform {
// The handle of a widget, made on first use; the widget owns it.
HWND HandleOf(QWidget* widget);
// The widget of a handle, or null for a null or dead handle.
QWidget* WidgetOf(HWND hWnd);
}  // namespace platform

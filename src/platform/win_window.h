// Window handles: each HWND stands for one Qt widget. The window procedures,
// messages and classes build on this (win_user.h).
#pragma once

#include "platform/win_types.h"

class QWidget;

// Destroys the window and its children; each window with a procedure gets
// WM_DESTROY first, the parent before its children.
BOOL DestroyWindow(HWND hWnd);
// Non-zero while the handle names a live window.
BOOL IsWindow(HWND hWnd);

namespace platform {
// The handle of a widget, made on first use; the widget owns it.
HWND HandleOf(QWidget* widget);
// The handle of a widget if it has one, else null (makes none).
HWND FindHandle(QWidget* widget);
// Makes the handle name no widget any more (the widget is going).
void ForgetHandle(HWND hWnd);
// The widget of a handle, or null for a null or dead handle.
QWidget* WidgetOf(HWND hWnd);
// Gives the owner's top-level window the activation back once a modal window
// it owned has closed, as the window system does; without a window manager
// nobody else would.
void ReactivateOwner(HWND hOwner);
}  // namespace platform

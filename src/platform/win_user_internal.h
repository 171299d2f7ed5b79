// What the window, menu, status bar and help parts of the layer share: the
// record kept for each window and the ways of reaching it.
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <string>
#include <vector>

#include "platform/win_user.h"

class QIcon;
class QWidget;
class QMenuBar;
class QPainter;
class QPaintEvent;

namespace platform {

// ---- types ----------------------------------------------------------------

// Everything the layer knows of one window beside its widget.
struct WindowData {
  HWND hwnd = nullptr;
  WNDPROC proc = nullptr;
  std::string className;
  DWORD style = 0;
  DWORD exStyle = 0;
  UINT id = 0;
  bool topLevel = false;
  int border = 0;                  // width of the sunken client edge
  HBRUSH background = nullptr;     // class brush, null: none
  HMENU menu = nullptr;            // menu bar of a top-level window
  QWidget* client = nullptr;       // the widget of the client area
  // What the window last reported, so that each change is told once.
  bool sizeSent = false;
  QSize sentSize;
  bool moveSent = false;
  QPoint sentPos;
  bool minimized = false;
  bool appActive = false;          // last WM_ACTIVATEAPP said active
  bool focused = false;            // last focus message said focused
  // The picture last presented into the window's client area, where the
  // screen keeps it until something is drawn over it. It shares the pixels of
  // the surface blitted from (win_present.cpp says why that is safe).
  QImage screen;
  QPoint screenPos;
};

// ---- functions ------------------------------------------------------------

// The record of a live window, or null.
WindowData* DataOf(HWND hWnd);
// The picture of an icon handle (LoadIconA's), or an empty icon for null.
QIcon IconOf(HICON hIcon);
// Queues a message for the loop.
void PostMessageTo(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Windows the layer is inside of (creation, a procedure, a Qt event): while
// any is, destroyed widgets are deleted later rather than at once.
struct Busy {
  Busy();
  ~Busy();
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;
};

// Builds the menu bar of a window from the menu resource; null when there is
// no such resource.
HMENU CreateMenuBar(HWND owner, UINT resourceId, QWidget* parent);
// The widget of a menu bar.
QMenuBar* MenuBarWidget(HMENU hMenu);
// Forgets the menus of a destroyed window (their widgets go with it).
void ForgetMenus(HWND owner);

// The widget of a new status bar, and its procedure.
QWidget* CreateStatusBarWidget(QWidget* parent);
LRESULT CALLBACK StatusBarProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Every live window.
std::vector<WindowData*> AllWindows();
// The client size as the window system reports it.
QSize ClientSize(const WindowData* d);
// The top-left of the client area on the screen.
QPoint ClientOrigin(const WindowData* d);

// Paints a window inside its paint event (win_present.cpp).
void PaintWindow(QWidget* widget, QPaintEvent* event);
// Receives the pictures blitted to the primary surface: the window under
// each keeps it and shows it at once.
void PresentToWindow(const QImage& image, const RECT& rcDest, HWND hwndClip);
// Copies a row of pixels into memory the display server reads next, around
// this processor's caches.
void StreamRow(uchar* dst, const uchar* src, size_t bytes);
// Memory holding presented pixels is going: every window that shows some of
// it takes its own copy.
void KeepPicturesOutOf(const void* begin, const void* end);

}  // namespace platform

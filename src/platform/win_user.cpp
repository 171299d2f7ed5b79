// Windows and their messages on Qt widgets. A top-level window is a widget
// with its menu bar above a client-area widget; a child window is a widget in
// its parent's client area. Qt's events (resize, move, focus, activation,
// keys, paint, close) become the messages of the window's procedure, sent at
// once as the window system sends them; keys and commands wait in the queue
// that PeekMessageA hands out. Painting, and the pictures blitted to the
// primary surface, are in win_present.cpp.

#include "platform/win_user.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <unordered_map>

#include "platform/dinput_hooks.h"
#include "platform/dx_hooks.h"
#include "platform/qt_app.h"
#include "platform/win_commctrl.h"
#include "platform/win_gdi.h"
#include "platform/win_icon.h"
#include "platform/win_menu.h"
#include "platform/win_present_shm.h"
#include "platform/win_resources.h"
#include "platform/win_user_internal.h"

// ---- types ----------------------------------------------------------------

struct HACCEL__ {
  const ACCEL* entries;
  size_t count;
};

struct HICON__ {
  QIcon icon;
};

struct HCURSOR__ {
  int shape;
};

namespace {

// A registered window class.
struct WindowClass {
  WNDCLASSA wc;
  std::string menuName;  // copy of a named menu (ids are kept in wc)
};

// A queued message with the modifier keys held when it was made.
struct QueuedMessage {
  MSG msg;
  Qt::KeyboardModifiers mods;
};

// ---- globals --------------------------------------------------------------

// The registered window classes by name.
std::map<std::string, WindowClass>& Classes() {
  static std::map<std::string, WindowClass> classes;
  return classes;
}
// What the layer keeps of each live window.
std::unordered_map<HWND, std::unique_ptr<platform::WindowData>>& Windows() {
  static std::unordered_map<HWND, std::unique_ptr<platform::WindowData>> windows;
  return windows;
}
std::deque<QueuedMessage> s_Queue;
bool s_bQuit = false;
int s_nQuitCode = 0;
Qt::KeyboardModifiers s_MessageMods;
int s_nBusy = 0;
std::function<void()> s_PeekHook;
bool s_bMessageWaits = true;
std::function<void()> s_WaitHook;
bool s_bRecording = false;
std::vector<platform_test::MessageRecord> s_Records;
QImage s_ScreenImage;
// Widgets of destroyed windows whose deletion waits for the game's own loop:
// a window destroyed from inside one of its events, or while a modal box it
// owns runs its loop, must outlive that.
std::vector<QPointer<QWidget>> s_PendingDeletes;
bool s_bAppSignalConnected = false;
// Tests drive focus and activation themselves.
bool s_bIgnoreSystem = false;
// The class whose next window creation fails (empty: none).
std::string s_FailClass;

// ---- functions: helpers ---------------------------------------------------

// Sizes a window may take: no negative size, nothing beyond what the window
// system can place.
int ClampSize(int n) { return std::clamp(n, 0, 16384); }
int ClampPos(int n) { return std::clamp(n, -16384, 16384); }

// The smallest outer size a captioned window comes up with: its menu, a
// status line and enough of its client area to show what it is for (the
// game's well). The window system's own least tracking size would leave a
// caption over a strip.
constexpr int kMinCaptionedWidth = 200;
constexpr int kMinCaptionedHeight = 200;

// Where a new captioned top-level window comes up. It is at least the size
// above, and, with the frame the window system puts round it, no larger than
// the free area of the screen that holds it; a size that had to shrink (one
// kept from a larger screen, or a strange value) also places it inside that
// area. A window whose top edge no screen shows (a place kept from a screen
// that is gone, or a strange value) comes up on the primary screen instead,
// so that the player can always reach it.
QRect PlaceCaptionedWindow(int x, int y, int width, int height, const QMargins& frame) {
  QRect r(ClampPos(x), ClampPos(y), std::max(ClampSize(width), kMinCaptionedWidth),
          std::max(ClampSize(height), kMinCaptionedHeight));
  const QRect topEdge(r.x(), r.y(), r.width(), 24);
  QScreen* home = nullptr;
  int shownWidth = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect shown = screen->availableGeometry() & topEdge;
    if (!shown.isEmpty() && shown.width() >= 40 && shown.width() > shownWidth) {
      home = screen;
      shownWidth = shown.width();
    }
  }
  if (home == nullptr) {
    home = QGuiApplication::primaryScreen();
    if (home == nullptr) return r;
    r.moveTopLeft(home->availableGeometry().topLeft() + QPoint(10, 10));
  }
  const QRect area = home->availableGeometry().marginsRemoved(frame);
  if (r.width() > area.width()) {
    r.setWidth(std::max(area.width(), 1));
    r.moveLeft(area.left());
  }
  if (r.height() > area.height()) {
    r.setHeight(std::max(area.height(), 1));
    r.moveTop(area.top());
  }
  return r;
}

// Lays a top-level window out: the menu bar along the top, the client area
// under it.
void LayOutTop(platform::WindowData* d) {
  QWidget* top = platform::WidgetOf(d->hwnd);
  if (top == nullptr) return;
  int y = 0;
  if (QMenuBar* bar = platform::MenuBarWidget(d->menu)) {
    int h = bar->heightForWidth(top->width());
    if (h <= 0) h = bar->sizeHint().height();
    bar->setGeometry(0, 0, top->width(), h);
    y = h;
  }
  d->client->setGeometry(0, y, top->width(), std::max(0, top->height() - y));
}

// Sends WM_SIZE when the client size or the kind of size changed.
void ReportSize(platform::WindowData* d, bool force) {
  if (d->minimized) return;
  QSize size = platform::ClientSize(d);
  if (!force && d->sizeSent && size == d->sentSize) return;
  d->sizeSent = true;
  d->sentSize = size;
  QWidget* w = platform::WidgetOf(d->hwnd);
  WPARAM kind = (w != nullptr && w->isMaximized()) ? SIZE_MAXIMIZED : SIZE_RESTORED;
  SendMessageA(d->hwnd, WM_SIZE, kind, MAKELPARAM(size.width(), size.height()));
}

// Sends WM_MOVE when the window moved (client origin: on the screen for a
// top-level window, in the parent's client area for a child).
void ReportMove(platform::WindowData* d, bool force) {
  QWidget* w = platform::WidgetOf(d->hwnd);
  if (w == nullptr) return;
  QPoint pos = d->topLevel ? platform::ClientOrigin(d) : w->pos() + QPoint(d->border, d->border);
  if (!force && d->moveSent && pos == d->sentPos) return;
  d->moveSent = true;
  d->sentPos = pos;
  SendMessageA(d->hwnd, WM_MOVE, 0, MAKELPARAM(pos.x(), pos.y()));
}

// Tells a top-level window whether the application is active, once per change.
void ReportAppActive(platform::WindowData* d, bool active) {
  if (d->appActive == active) return;
  d->appActive = active;
  SendMessageA(d->hwnd, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

// Tells a top-level window it got or lost the keyboard focus, once per change.
void ReportFocus(platform::WindowData* d, bool focused) {
  if (d->focused == focused) return;
  d->focused = focused;
  SendMessageA(d->hwnd, focused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
}

// Every live top-level window with a procedure.
std::vector<platform::WindowData*> TopWindows() {
  std::vector<platform::WindowData*> result;
  for (auto& entry : Windows())
    if (entry.second->topLevel && entry.second->proc != nullptr) result.push_back(entry.second.get());
  return result;
}

// Follows the application's activation (switching to and from other programs).
void ConnectAppState() {
  if (s_bAppSignalConnected) return;
  s_bAppSignalConnected = true;
  QObject::connect(qApp, &QGuiApplication::applicationStateChanged, qApp, [](Qt::ApplicationState state) {
    if (s_bIgnoreSystem) return;
    bool active = state == Qt::ApplicationActive;
    for (platform::WindowData* d : TopWindows()) {
      QWidget* w = platform::WidgetOf(d->hwnd);
      // A window that never became active learns of it by its own activation.
      if (active && (w == nullptr || !w->isActiveWindow())) continue;
      ReportAppActive(d, active);
    }
  });
}

// The virtual key of a Qt key, 0 for keys the game has no use for.
UINT VirtualKeyOf(int key, Qt::KeyboardModifiers mods) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return (UINT)('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9)
    return (mods & Qt::KeypadModifier) ? (UINT)(VK_NUMPAD0 + (key - Qt::Key_0)) : (UINT)('0' + (key - Qt::Key_0));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return (UINT)(VK_F1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    default: return 0;
  }
}

// The virtual key of a letter or digit key by its place on the keyboard, 0
// for other keys. The virtual keys of the digit row and of the letters are
// the same whatever the layout types there (a Cyrillic layout's letters, the
// symbols of a layout that types digits only with Shift), so the
// accelerators work on every layout.
UINT VirtualKeyOfPlace(uint32_t nativeScanCode) {
  // Set-1 scan codes of the letter rows, and the letter each stands for.
  static const char kRows[][12] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
  static const BYTE kRowStarts[] = {0x10, 0x1E, 0x2C};
  const BYTE dik = platform::KeyOffsetOfScanCode(nativeScanCode);
  if (dik >= 0x02 && dik <= 0x0A) return (UINT)('1' + (dik - 0x02));
  if (dik == 0x0B) return '0';
  for (size_t row = 0; row < 3; ++row) {
    const size_t length = std::strlen(kRows[row]);
    if (dik >= kRowStarts[row] && dik < kRowStarts[row] + length) return (UINT)kRows[row][dik - kRowStarts[row]];
  }
  return 0;
}

// The Qt key of a virtual key (the reverse of the above for letters, digits
// and the few others).
int QtKeyOf(UINT vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (int)(vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + (int)(vk - '0');
  if (vk >= VK_F1 && vk < VK_F1 + 12) return Qt::Key_F1 + (int)(vk - VK_F1);
  switch (vk) {
    case VK_LEFT: return Qt::Key_Left;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_UP: return Qt::Key_Up;
    case VK_DOWN: return Qt::Key_Down;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_RETURN: return Qt::Key_Return;
    case VK_SPACE: return Qt::Key_Space;
    default: return 0;
  }
}

// Queues the key message of a key event for the window.
void QueueKey(HWND hwnd, QKeyEvent* e, bool down) {
  UINT vk = VirtualKeyOf(e->key(), e->modifiers());
  if (vk == 0) vk = VirtualKeyOfPlace(e->nativeScanCode());
  if (vk == 0) return;
  bool alt = (e->modifiers() & Qt::AltModifier) != 0;
  UINT msg = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
  // Repeat count 1; the previous-state and transition bits as the keyboard
  // driver sets them.
  LPARAM lParam = 1 | ((LPARAM)(e->nativeScanCode() & 0xFF) << 16);
  if (!down) lParam |= (LPARAM)0xC0000000u;
  else if (platform::IsRepeatedKeyPress(e)) lParam |= (LPARAM)0x40000000;
  s_Queue.push_back({{hwnd, msg, vk, lParam, 0, {0, 0}}, e->modifiers()});
}

// ---- types: widgets -------------------------------------------------------

// The client area of a top-level window: it takes the keyboard focus and
// the keys, and paints.
class ClientArea : public QWidget {
 public:
  explicit ClientArea(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  HWND owner = nullptr;

 protected:
  void paintEvent(QPaintEvent* e) override {
    platform::Busy busy;
    platform::PaintWindow(this, e);
  }
  void keyPressEvent(QKeyEvent* e) override { QueueKey(owner, e, true); }
  void keyReleaseEvent(QKeyEvent* e) override { QueueKey(owner, e, false); }
  void focusInEvent(QFocusEvent* e) override {
    if (e->reason() == Qt::PopupFocusReason || s_bIgnoreSystem) return;
    platform::Busy busy;
    if (platform::WindowData* d = platform::DataOf(owner)) ReportFocus(d, true);
  }
  void focusOutEvent(QFocusEvent* e) override {
    if (e->reason() == Qt::PopupFocusReason || s_bIgnoreSystem) return;
    platform::Busy busy;
    if (platform::WindowData* d = platform::DataOf(owner)) ReportFocus(d, false);
  }
};

// A top-level window.
class TopWindow : public QWidget {
 public:
  TopWindow() : QWidget(nullptr) { setAttribute(Qt::WA_QuitOnClose, false); }

 protected:
  void resizeEvent(QResizeEvent*) override {
    platform::Busy busy;
    platform::WindowData* d = platform::DataOf(platform::FindHandle(this));
    if (d == nullptr) return;
    LayOutTop(d);
    ReportSize(d, false);
  }
  void moveEvent(QMoveEvent*) override {
    platform::Busy busy;
    if (platform::WindowData* d = platform::DataOf(platform::FindHandle(this))) ReportMove(d, false);
  }
  void changeEvent(QEvent* e) override {
    platform::Busy busy;
    platform::WindowData* d = platform::DataOf(platform::FindHandle(this));
    if (d != nullptr && e->type() == QEvent::WindowStateChange) {
      if (isMinimized() && !d->minimized) {
        d->minimized = true;
        SendMessageA(d->hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        // A minimised window has no keyboard focus.
        if (!s_bIgnoreSystem) ReportFocus(d, false);
      } else if (!isMinimized() && d->minimized) {
        d->minimized = false;
        ReportSize(d, true);
        // Restored into the foreground: the focus that minimising took comes
        // back, even where the platform never told Qt it had gone.
        if (!s_bIgnoreSystem && platform::DataOf(d->hwnd) == d && isActiveWindow() &&
            d->client->hasFocus())
          ReportFocus(d, true);
      } else if (!isMinimized()) {
        ReportSize(d, true);
      }
    } else if (d != nullptr && e->type() == QEvent::ActivationChange) {
      if (isActiveWindow() && !s_bIgnoreSystem) ReportAppActive(d, true);
    }
    QWidget::changeEvent(e);
  }
  void closeEvent(QCloseEvent* e) override {
    e->ignore();
    platform::Busy busy;
    HWND hwnd = platform::FindHandle(this);
    if (platform::DataOf(hwnd) != nullptr) SendMessageA(hwnd, WM_CLOSE, 0, 0);
  }
};

// A child window.
class ChildWindow : public QWidget {
 public:
  explicit ChildWindow(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    platform::Busy busy;
    platform::PaintWindow(this, e);
  }
};

// Sends WM_DESTROY to the window and then to its child windows.
void SendDestroy(HWND hwnd, std::vector<HWND>* gone) {
  platform::WindowData* d = platform::DataOf(hwnd);
  gone->push_back(hwnd);
  if (d != nullptr && d->proc != nullptr) SendMessageA(hwnd, WM_DESTROY, 0, 0);
  QWidget* client = d != nullptr ? d->client : platform::WidgetOf(hwnd);
  if (client == nullptr) return;
  for (QWidget* child : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    HWND h = platform::FindHandle(child);
    if (h != nullptr && std::find(gone->begin(), gone->end(), h) == gone->end()) SendDestroy(h, gone);
  }
}

}  // namespace

// ---- functions: the layer's shared parts ------------------------------------

namespace platform {

Busy::Busy() { ++s_nBusy; }
Busy::~Busy() { --s_nBusy; }

// The record of a live window.
WindowData* DataOf(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  auto it = Windows().find(hWnd);
  return it != Windows().end() ? it->second.get() : nullptr;
}

// Every live window.
std::vector<WindowData*> AllWindows() {
  std::vector<WindowData*> result;
  result.reserve(Windows().size());
  for (auto& entry : Windows()) result.push_back(entry.second.get());
  return result;
}

// The client size as the window system reports it.
QSize ClientSize(const WindowData* d) {
  const QWidget* c = d ? d->client : nullptr;
  if (c == nullptr) return QSize(0, 0);
  if (d->topLevel) return c->size();
  return QSize(std::max(0, c->width() - 2 * d->border), std::max(0, c->height() - 2 * d->border));
}

// The top-left of the client area on the screen.
QPoint ClientOrigin(const WindowData* d) {
  const QWidget* c = d ? d->client : nullptr;
  if (c == nullptr) return QPoint();
  return c->mapToGlobal(QPoint(d->border, d->border));
}

// Appends to the queue.
void PostMessageTo(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  s_Queue.push_back({{hWnd, msg, wParam, lParam, 0, {0, 0}}, Qt::NoModifier});
}

// Any handle will do for the module; the resources are the program's own.
HINSTANCE ModuleInstance() {
  static int s_nModule;
  return reinterpret_cast<HINSTANCE>(&s_nModule);
}

}  // namespace platform

// ---- functions: classes and windows -------------------------------------------

// Keeps the class; a second class of the same name fails.
ATOM RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (lpWndClass == nullptr || lpWndClass->lpszClassName == nullptr || lpWndClass->lpfnWndProc == nullptr)
    return 0;
  std::string name = lpWndClass->lpszClassName;
  if (name.empty() || Classes().count(name) != 0 || name == STATUSCLASSNAMEA) return 0;
  WindowClass cls{*lpWndClass, {}};
  cls.wc.lpszClassName = nullptr;
  Classes()[name] = cls;
  return (ATOM)(0xC000 + Classes().size());
}

// Makes the widget, sends WM_CREATE, then the first WM_SIZE and WM_MOVE, and
// shows the window when it is to be visible.
HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                     LPVOID lpParam) {
  platform::EnsureApplication();
  if (lpClassName == nullptr) return nullptr;
  const std::string className = lpClassName;
  if (!s_FailClass.empty() && className == s_FailClass) {
    s_FailClass.clear();
    return nullptr;
  }
  const bool bStatus = className == STATUSCLASSNAMEA;
  auto cls = Classes().find(className);
  if (!bStatus && cls == Classes().end()) return nullptr;
  const bool bChild = (dwStyle & WS_CHILD) != 0;
  platform::WindowData* parent = platform::DataOf(hWndParent);
  if (bChild && parent == nullptr) return nullptr;
  platform::Busy busy;
  ConnectAppState();
  // Pictures blitted to the screen from now on go to the windows.
  if (!bChild) {
    platform::SetPresentHandler(platform::PresentToWindow);
    platform::SetSurfaceMemoryHandler(platform::KeepPicturesOutOf);
  }

  auto data = std::make_unique<platform::WindowData>();
  QWidget* widget;
  if (bStatus) {
    widget = platform::CreateStatusBarWidget(parent->client);
  } else if (bChild) {
    widget = new ChildWindow(parent->client);
  } else {
    widget = new TopWindow();
  }
  HWND hwnd = platform::HandleOf(widget);
  data->hwnd = hwnd;
  data->className = className;
  data->style = dwStyle;
  data->exStyle = dwExStyle;
  data->topLevel = !bChild;
  data->border = (dwExStyle & WS_EX_CLIENTEDGE) ? 2 : 0;
  data->proc = bStatus ? platform::StatusBarProc : cls->second.wc.lpfnWndProc;
  data->background = bStatus ? nullptr : cls->second.wc.hbrBackground;
  data->id = bChild ? (UINT)(uintptr_t)hMenu : 0;
  data->client = widget;
  platform::WindowData* d = data.get();
  Windows()[hwnd] = std::move(data);

  if (lpWindowName != nullptr) widget->setWindowTitle(QString::fromLocal8Bit(lpWindowName));
  if (bChild) {
    // A newer sibling lies under the older ones, as the window system stacks
    // children.
    widget->lower();
    widget->setGeometry(ClampPos(X), ClampPos(Y), ClampSize(nWidth), ClampSize(nHeight));
  } else {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dwStyle & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dwStyle & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (dwStyle & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
    widget->setWindowFlags(flags);
    if (cls->second.wc.hIcon != nullptr) widget->setWindowIcon(cls->second.wc.hIcon->icon);
    auto* client = new ClientArea(widget);
    client->owner = hwnd;
    d->client = client;
    uintptr_t menuId = (uintptr_t)cls->second.wc.lpszMenuName;
    if (hMenu == nullptr && menuId != 0 && menuId < 0x10000)
      d->menu = platform::CreateMenuBar(hwnd, (UINT)menuId, widget);
    if (dwStyle & WS_CAPTION) {
      // The frame is known before the window shows where the platform draws
      // it or knows it at once; under X11 the window manager tells it later.
      widget->winId();
      QWindow* handle = widget->windowHandle();
      widget->setGeometry(PlaceCaptionedWindow(X, Y, nWidth, nHeight,
                                               handle != nullptr ? handle->frameMargins() : QMargins()));
    } else {
      widget->setGeometry(ClampPos(X), ClampPos(Y), ClampSize(nWidth), ClampSize(nHeight));
    }
    LayOutTop(d);
  }

  CREATESTRUCTA cs{lpParam,  hInstance, hMenu,          hWndParent, nHeight, nWidth,
                   Y,        X,         (LONG)dwStyle,  lpWindowName, lpClassName, dwExStyle};
  if (SendMessageA(hwnd, WM_CREATE, 0, (LPARAM)&cs) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (platform::DataOf(hwnd) == nullptr) return nullptr;  // destroyed while being made
  ReportSize(d, true);
  if (platform::DataOf(hwnd) == nullptr) return nullptr;
  ReportMove(d, true);
  if (platform::DataOf(hwnd) == nullptr) return nullptr;
  if (dwStyle & WS_VISIBLE) {
    widget->show();
    if (!bChild) {
      widget->activateWindow();
      d->client->setFocus(Qt::ActiveWindowFocusReason);
    }
  }
  return platform::DataOf(hwnd) != nullptr ? hwnd : nullptr;
}

// Destroys the window: WM_DESTROY to it and its children, then the widgets
// go (later, when the layer is inside one of their events).
BOOL DestroyWindow(HWND hWnd) {
  QWidget* widget = platform::WidgetOf(hWnd);
  if (widget == nullptr) return FALSE;
  std::vector<HWND> gone;
  {
    platform::Busy busy;
    SendDestroy(hWnd, &gone);
  }
  for (HWND h : gone) {
    platform::ForgetMenus(h);
    platform::ForgetServerPresenting(h);
    Windows().erase(h);
    platform::ForgetHandle(h);
  }
  s_Queue.erase(std::remove_if(s_Queue.begin(), s_Queue.end(),
                               [&](const QueuedMessage& q) {
                                 return q.msg.hwnd != nullptr &&
                                        std::find(gone.begin(), gone.end(), q.msg.hwnd) != gone.end();
                               }),
                s_Queue.end());
  if (s_nBusy > 0) {
    widget->hide();
    s_PendingDeletes.emplace_back(widget);
  } else {
    delete widget;
  }
  return TRUE;
}

// Closing destroys the window; painting validates it; the rest is ignored.
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM, LPARAM) {
  switch (Msg) {
    case WM_CLOSE: DestroyWindow(hWnd); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hWnd, &ps);
      EndPaint(hWnd, &ps);
      return 0;
    }
    default: return 0;
  }
}

// Calls the window's procedure at once.
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  platform::WindowData* d = platform::DataOf(hWnd);
  if (d == nullptr || d->proc == nullptr) return 0;
  if (s_bRecording) s_Records.push_back({hWnd, Msg, wParam, lParam});
  platform::Busy busy;
  return d->proc(hWnd, Msg, wParam, lParam);
}

// Paints what waits to be painted, now.
BOOL UpdateWindow(HWND hWnd) {
  platform::WindowData* d = platform::DataOf(hWnd);
  if (d == nullptr) return FALSE;
  if (d->client->isVisible()) {
    platform::Busy busy;
    d->client->repaint();
  }
  return TRUE;
}

// Places the window (outer rectangle; a child's in its parent's client area)
// and tells it at once.
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  platform::WindowData* d = platform::DataOf(hWnd);
  QWidget* widget = platform::WidgetOf(hWnd);
  if (d == nullptr || widget == nullptr) return FALSE;
  platform::Busy busy;
  widget->setGeometry(ClampPos(X), ClampPos(Y), ClampSize(nWidth), ClampSize(nHeight));
  if (d->topLevel) LayOutTop(d);
  ReportSize(d, false);
  if (platform::DataOf(hWnd) == nullptr) return TRUE;
  ReportMove(d, false);
  if (bRepaint && platform::DataOf(hWnd) != nullptr) widget->update();
  return TRUE;
}

// The outer rectangle on the screen (for a top-level window, the menu bar and
// client area; the window manager's frame is not the program's).
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  QWidget* widget = platform::WidgetOf(hWnd);
  if (widget == nullptr || lpRect == nullptr) return FALSE;
  QPoint origin = widget->isWindow() ? widget->geometry().topLeft() : widget->mapToGlobal(QPoint(0, 0));
  lpRect->left = origin.x();
  lpRect->top = origin.y();
  lpRect->right = origin.x() + widget->width();
  lpRect->bottom = origin.y() + widget->height();
  return TRUE;
}

// The client area, from 0, 0.
BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  platform::WindowData* d = platform::DataOf(hWnd);
  if (lpRect == nullptr) return FALSE;
  QSize size;
  if (d != nullptr) {
    size = platform::ClientSize(d);
  } else if (QWidget* w = platform::WidgetOf(hWnd)) {
    size = w->size();
  } else {
    return FALSE;
  }
  *lpRect = {0, 0, size.width(), size.height()};
  return TRUE;
}

// Client coordinates to the screen's, as Qt maps them (the same mapping takes
// a presented picture back into the window).
BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  platform::WindowData* d = platform::DataOf(hWnd);
  if (d == nullptr || lpPoint == nullptr) return FALSE;
  QPoint p = platform::ClientOrigin(d) + QPoint(lpPoint->x, lpPoint->y);
  lpPoint->x = p.x();
  lpPoint->y = p.y();
  return TRUE;
}

// Asks for a paint of the rectangle (the whole client area for null).
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL) {
  platform::WindowData* d = platform::DataOf(hWnd);
  if (d == nullptr) return FALSE;
  if (lpRect == nullptr) {
    d->client->update();
  } else {
    d->client->update(QRect(lpRect->left + d->border, lpRect->top + d->border, lpRect->right - lpRect->left,
                            lpRect->bottom - lpRect->top));
  }
  return TRUE;
}

// A context over a one-pixel picture: right for measuring text.
HDC GetDC(HWND) {
  if (s_ScreenImage.isNull()) {
    s_ScreenImage = QImage(1, 1, QImage::Format_RGB32);
    s_ScreenImage.fill(0);
  }
  return platform::CreateImageDC(&s_ScreenImage);
}

// Frees a context of GetDC.
int ReleaseDC(HWND, HDC hDC) {
  if (hDC == nullptr) return 0;
  platform::FreePainterDC(hDC);
  return 1;
}

// ---- functions: the message loop ----------------------------------------------

// The oldest queued message, after Qt has handled what is pending; the quit
// message once the queue is empty; FALSE when nothing waits.
BOOL PeekMessageA(LPMSG lpMsg, HWND, UINT, UINT, UINT wRemoveMsg) {
  if (lpMsg == nullptr) return FALSE;
  if (s_PeekHook) s_PeekHook();
  if (s_Queue.empty()) {
    platform::EnsureApplication();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (s_nBusy == 0) {
      // Back in the game's loop: nothing of a destroyed window runs any more.
      std::vector<QPointer<QWidget>> pending;
      pending.swap(s_PendingDeletes);
      for (QPointer<QWidget>& w : pending) delete w.data();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
  if (!s_Queue.empty()) {
    *lpMsg = s_Queue.front().msg;
    s_MessageMods = s_Queue.front().mods;
    if (wRemoveMsg & PM_REMOVE) s_Queue.pop_front();
    return TRUE;
  }
  if (s_bQuit) {
    *lpMsg = {nullptr, WM_QUIT, (WPARAM)s_nQuitCode, 0, 0, {0, 0}};
    if (wRemoveMsg & PM_REMOVE) s_bQuit = false;
    return TRUE;
  }
  return FALSE;
}

// Sleeps in Qt's event loop until an event comes. The wait is bounded, so
// that a change that comes with no event of its own is still seen soon.
BOOL WaitMessage(void) {
  if (!s_Queue.empty() || s_bQuit || !s_bMessageWaits) return TRUE;
  platform::EnsureApplication();
  QTimer bound;
  bound.setSingleShot(true);
  bound.start(250);
  if (s_WaitHook) s_WaitHook();
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return TRUE;
}

// A key press that matches an entry of the table becomes the entry's command,
// sent to the window at once. A held key's repeats (the previous-state bit)
// are no new command: a held Ctrl+G asks once.
int TranslateAcceleratorA(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg) {
  if (hWnd == nullptr || hAccTable == nullptr || lpMsg == nullptr) return 0;
  if (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN) return 0;
  if (lpMsg->lParam & 0x40000000) return 0;
  const bool ctrl = (s_MessageMods & Qt::ControlModifier) != 0;
  const bool shift = (s_MessageMods & Qt::ShiftModifier) != 0;
  const bool alt = (s_MessageMods & Qt::AltModifier) != 0;
  for (size_t i = 0; i < hAccTable->count; ++i) {
    const ACCEL& a = hAccTable->entries[i];
    if (!(a.fVirt & FVIRTKEY) || a.key != lpMsg->wParam) continue;
    if (ctrl != ((a.fVirt & FCONTROL) != 0) || shift != ((a.fVirt & FSHIFT) != 0) || alt != ((a.fVirt & FALT) != 0))
      continue;
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
    return 1;
  }
  return 0;
}

// No character messages are needed: only say whether it was a key message.
BOOL TranslateMessage(const MSG* lpMsg) {
  return lpMsg != nullptr && lpMsg->message >= WM_KEYDOWN && lpMsg->message <= WM_SYSKEYUP;
}

// Hands a window's message to its procedure.
LRESULT DispatchMessageA(const MSG* lpMsg) {
  if (lpMsg == nullptr || lpMsg->hwnd == nullptr) return 0;
  return SendMessageA(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

// The loop gets WM_QUIT once the queue is empty.
void PostQuitMessage(int nExitCode) {
  s_bQuit = true;
  s_nQuitCode = nExitCode;
}

// ---- functions: resources -----------------------------------------------------

// The table of the resource id.
HACCEL LoadAcceleratorsA(HINSTANCE, LPCSTR lpTableName) {
  uintptr_t id = (uintptr_t)lpTableName;
  if (id == 0 || id >= 0x10000) return nullptr;
  static std::map<uintptr_t, HACCEL__> s_Tables;
  auto it = s_Tables.find(id);
  if (it != s_Tables.end()) return &it->second;
  size_t count = 0;
  const ACCEL* entries = platform::FindAcceleratorTable((UINT)id, &count);
  if (entries == nullptr) return nullptr;
  return &(s_Tables[id] = HACCEL__{entries, count});
}

// Copies the string (cut to the buffer) and gives its length; 0 when there
// is no such string.
int LoadStringA(HINSTANCE, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
  if (lpBuffer == nullptr || cchBufferMax <= 0) return 0;
  lpBuffer[0] = '\0';
  const char* text = platform::FindStringResource(uID);
  if (text == nullptr) return 0;
  size_t n = std::min(std::strlen(text), (size_t)cchBufferMax - 1);
  std::memcpy(lpBuffer, text, n);
  lpBuffer[n] = '\0';
  return (int)n;
}

// The icon of the resource id.
HICON LoadIconA(HINSTANCE, LPCSTR lpIconName) {
  uintptr_t id = (uintptr_t)lpIconName;
  if (id == 0 || id >= 0x10000) return nullptr;
  static std::map<uintptr_t, std::unique_ptr<HICON__>> s_Icons;
  auto it = s_Icons.find(id);
  if (it != s_Icons.end()) return it->second.get();
  if (platform::FindIconPicture((UINT)id) == nullptr) return nullptr;
  platform::EnsureApplication();
  auto icon = std::make_unique<HICON__>();
  icon->icon = platform::IconOfResource((UINT)id);
  return (s_Icons[id] = std::move(icon)).get();
}

namespace platform {
// What the handle holds.
QIcon IconOf(HICON hIcon) { return hIcon != nullptr ? hIcon->icon : QIcon(); }
}  // namespace platform

// The standard arrow; the widgets show it unless told otherwise.
HCURSOR LoadCursorA(HINSTANCE, LPCSTR lpCursorName) {
  static HCURSOR__ s_Arrow{0};
  return lpCursorName == IDC_ARROW ? &s_Arrow : nullptr;
}

// ---- test hooks -------------------------------------------------------------------

namespace platform_test {

// Classes go; windows already made keep working.
void UnregisterAllClasses() { Classes().clear(); }

// One failed creation for the class.
void FailWindowCreation(const char* className) { s_FailClass = className != nullptr ? className : ""; }

// Runs at each PeekMessageA.
void SetPeekMessageHook(std::function<void()> hook) { s_PeekHook = std::move(hook); }

// Lets WaitMessage sleep, or not.
void SetMessageWaits(bool on) { s_bMessageWaits = on; }

// Runs the hook as WaitMessage goes to sleep.
void SetWaitHook(std::function<void()> hook) { s_WaitHook = std::move(hook); }

// A key event to the window's client area, as the keyboard sends it.
void PressKey(HWND hWnd, UINT vk, bool ctrl, bool shift, bool alt) {
  platform::WindowData* d = platform::DataOf(hWnd);
  if (d == nullptr) return;
  Qt::KeyboardModifiers mods;
  if (ctrl) mods |= Qt::ControlModifier;
  if (shift) mods |= Qt::ShiftModifier;
  if (alt) mods |= Qt::AltModifier;
  int key = QtKeyOf(vk);
  QKeyEvent press(QEvent::KeyPress, key, mods);
  QKeyEvent release(QEvent::KeyRelease, key, mods);
  QCoreApplication::sendEvent(d->client, &press);
  QCoreApplication::sendEvent(d->client, &release);
}

// Stops or restarts following Qt's focus and activation.
void IgnoreSystemActivation(bool ignore) { s_bIgnoreSystem = ignore; }

// WM_ACTIVATEAPP to every top-level window.
void SetApplicationActive(bool active) {
  for (platform::WindowData* d : TopWindows()) ReportAppActive(d, active);
}

// WM_SETFOCUS or WM_KILLFOCUS to the window.
void SetKeyboardFocus(HWND hWnd, bool focus) {
  if (platform::WindowData* d = platform::DataOf(hWnd)) ReportFocus(d, focus);
}

// Minimises or restores through Qt, as the window manager does.
void SetMinimized(HWND hWnd, bool minimized) {
  QWidget* w = platform::WidgetOf(hWnd);
  if (w == nullptr) return;
  Qt::WindowStates states = w->windowState();
  w->setWindowState(minimized ? (states | Qt::WindowMinimized) : (states & ~Qt::WindowMinimized));
  QCoreApplication::processEvents();
}

// Moves and sizes the widget through Qt, as the player's dragging does.
void DragWindow(HWND hWnd, int x, int y, int width, int height) {
  QWidget* w = platform::WidgetOf(hWnd);
  if (w == nullptr) return;
  w->setGeometry(x, y, width, height);
  QCoreApplication::processEvents();
}

// The close box.
void CloseWindowBox(HWND hWnd) {
  if (QWidget* w = platform::WidgetOf(hWnd)) w->close();
}

int QueuedMessageCount() { return (int)s_Queue.size(); }

// Forgets queued messages and a pending quit.
void ClearMessageQueue() {
  s_Queue.clear();
  s_bQuit = false;
}

// The window painted into a picture, its paint message included.
QImage GrabWindow(HWND hWnd) {
  QWidget* w = platform::WidgetOf(hWnd);
  if (w == nullptr) return QImage();
  return w->grab().toImage();
}

// Starts or stops recording what window procedures receive.
void RecordMessages(bool on) {
  s_bRecording = on;
  if (on) s_Records.clear();
}

const std::vector<MessageRecord>& Records() { return s_Records; }

}  // namespace platform_test

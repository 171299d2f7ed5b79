// Presenting pictures to an X server through shared memory of our own. The
// window system's own way puts the backing store into the window after each
// paint, and waits for the server before the next paint may touch that part
// of the backing store again: a round trip every frame. Here the picture goes
// from the back buffer into one of two shared segments used in turn and from
// there straight into the top-level window's X window, on the window system's
// own connection, so that requests keep their order with its own. A segment
// is written again only once the server has answered a request sent right
// after its last put, which by then it long has.
//
// The backing store then still holds an older picture of the view. The window
// system puts it back on its own when part of the window is exposed, and
// blits it when the view or its parent moves; each time, the view is first
// marked for a repaint, which draws the latest picture into the backing store
// before anything is put.
//
// Only for a 24- or 32-bit true-colour window whose pixels have our own
// layout (blue, green, red, one byte each, least significant first), a view
// without a window of its own, and a window at one device pixel per pixel;
// anything else, and any failure, keeps to the window system's way.

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/win_present_shm.h"

// ---- types ----------------------------------------------------------------

namespace {

// One shared segment holding a picture for the server.
struct Segment {
  xcb_shm_seg_t seg = 0;
  uchar* bits = nullptr;
  // The answer that tells the server has done with the last put from here.
  bool pending = false;
  xcb_get_input_focus_cookie_t fence = {0};
};

// Marks the view for a repaint whenever the window system is about to use
// its backing store's older picture of it.
class StaleWatch : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Everything kept for the window pictures go to.
struct ServerView {
  HWND hwnd = nullptr;
  QPointer<QWidget> widget;      // the view
  QPointer<QWindow> window;      // its top-level window
  std::unique_ptr<StaleWatch> watch;
  xcb_connection_t* conn = nullptr;
  xcb_window_t xwindow = 0;      // the top-level window's X window
  xcb_gcontext_t gc = 0;
  uint8_t depth = 0;
  bool unusable = false;         // this X window cannot take our pictures
  QSize size;                    // of the segments' pictures
  QSize failedSize;              // no segments could be had for it
  Segment segments[2];
  int next = 0;
  // The backing store's picture of the view is older than the one shown.
  bool stale = false;
};

// ---- globals --------------------------------------------------------------

// The connection to the X server, or null: no server, or no shared memory.
xcb_connection_t* s_pConn = nullptr;
bool s_bChecked = false;
ServerView s_View;

// ---- functions ------------------------------------------------------------

// The connection, once the server has shown it takes shared-memory pictures
// in a byte order that is ours.
xcb_connection_t* Connection(void) {
  if (s_bChecked) return s_pConn;
  s_bChecked = true;
  auto* x11 = qApp != nullptr ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* conn = x11 != nullptr ? x11->connection() : nullptr;
  if (conn == nullptr || xcb_connection_has_error(conn)) return nullptr;
  const xcb_query_extension_reply_t* shm = xcb_get_extension_data(conn, &xcb_shm_id);
  const xcb_setup_t* setup = xcb_get_setup(conn);
  if (shm == nullptr || !shm->present || setup == nullptr) return nullptr;
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST || Q_BYTE_ORDER != Q_LITTLE_ENDIAN) return nullptr;
  s_pConn = conn;
  return conn;
}

// Whether pixels of the depth and visual are 32-bit words 0x??RRGGBB.
bool IsOurLayout(xcb_connection_t* conn, uint8_t depth, xcb_visualid_t visual) {
  if (depth != 24 && depth != 32) return false;
  const xcb_setup_t* setup = xcb_get_setup(conn);
  bool formatOk = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == depth) formatOk = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
  if (!formatOk) return false;
  for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s))
    for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
      if (d.data->depth != depth) continue;
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
        if (v.data->visual_id == visual)
          return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xFF0000 &&
                 v.data->green_mask == 0x00FF00 && v.data->blue_mask == 0x0000FF;
    }
  return false;
}

// Lets the server go of the segments and frees them.
void FreeSegments(ServerView& v) {
  for (Segment& s : v.segments) {
    if (s.pending) xcb_discard_reply(v.conn, s.fence.sequence);
    if (s.bits != nullptr) {
      xcb_shm_detach(v.conn, s.seg);
      shmdt(s.bits);
    }
    s = Segment();
  }
  v.size = QSize();
  v.next = 0;
}

// Two segments for pictures of the size; false when the system or the server
// will not share them.
bool MakeSegments(ServerView& v, const QSize& size) {
  FreeSegments(v);
  const size_t bytes = static_cast<size_t>(size.width()) * static_cast<size_t>(size.height()) * 4;
  for (Segment& s : v.segments) {
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) break;
    void* bits = shmat(id, nullptr, 0);
    if (bits == reinterpret_cast<void*>(-1)) {
      shmctl(id, IPC_RMID, nullptr);
      break;
    }
    const xcb_shm_seg_t seg = xcb_generate_id(v.conn);
    // The server reads only; asked for its answer, so that a server that
    // cannot reach our memory (another machine) is no error on the screen.
    xcb_generic_error_t* error = xcb_request_check(v.conn, xcb_shm_attach_checked(v.conn, seg, id, 1));
    // Attached or not, the segment goes once both sides have let it go.
    shmctl(id, IPC_RMID, nullptr);
    if (error != nullptr) {
      std::free(error);
      shmdt(bits);
      break;
    }
    s.seg = seg;
    s.bits = static_cast<uchar*>(bits);
  }
  if (v.segments[1].bits == nullptr) {
    FreeSegments(v);
    return false;
  }
  v.size = size;
  return true;
}

// Forgets the top-level window's X window and what was made for it.
void ForgetXWindow(ServerView& v) {
  FreeSegments(v);
  if (v.gc != 0) xcb_free_gc(v.conn, v.gc);
  v.gc = 0;
  v.xwindow = 0;
  v.unusable = false;
  v.failedSize = QSize();
}

// Forgets the view entirely. The watch goes with its filters: the window
// system drops a deleted filter by itself.
void ForgetView(ServerView& v) {
  ForgetXWindow(v);
  v.watch.reset();
  v.hwnd = nullptr;
  v.widget = nullptr;
  v.window = nullptr;
  v.stale = false;
}

// Takes the view on: watches it and the widgets between it and its
// top-level window, and that window.
void TakeView(ServerView& v, HWND hwnd, QWidget* widget) {
  ForgetView(v);
  v.hwnd = hwnd;
  v.widget = widget;
  v.window = widget->window()->windowHandle();
  v.watch = std::make_unique<StaleWatch>();
  for (QWidget* p = widget; p != nullptr && !p->isWindow(); p = p->parentWidget()) p->installEventFilter(v.watch.get());
  if (v.window != nullptr) v.window->installEventFilter(v.watch.get());
}

// Readies the top-level window's X window for our pictures; false when it
// cannot take them.
bool ReadyXWindow(ServerView& v, xcb_window_t xwindow) {
  if (v.xwindow == xwindow) return !v.unusable;
  ForgetXWindow(v);
  v.xwindow = xwindow;
  v.unusable = true;
  xcb_get_window_attributes_reply_t* attributes =
      xcb_get_window_attributes_reply(v.conn, xcb_get_window_attributes(v.conn, xwindow), nullptr);
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(v.conn, xcb_get_geometry(v.conn, xwindow), nullptr);
  if (attributes != nullptr && geometry != nullptr && IsOurLayout(v.conn, geometry->depth, attributes->visual)) {
    v.depth = geometry->depth;
    v.gc = xcb_generate_id(v.conn);
    const uint32_t noExposures = 0;
    xcb_create_gc(v.conn, v.gc, xwindow, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    v.unusable = false;
  }
  std::free(attributes);
  std::free(geometry);
  return !v.unusable;
}

// The window system is about to use the backing store's picture of the view:
// an exposed part of the window put back from it, or the view or a parent
// moved or resized, blitting it. A repaint of the view, marked now, is drawn
// into the backing store before anything of it is put.
bool StaleWatch::eventFilter(QObject* watched, QEvent* event) {
  ServerView& v = s_View;
  const QEvent::Type type = event->type();
  if (v.widget == nullptr) return false;
  if (watched == v.widget && type == QEvent::Paint) {
    // The window system's paint of the whole view brings the backing store up
    // to date.
    if (static_cast<QPaintEvent*>(event)->rect().contains(v.widget->rect())) v.stale = false;
  } else if (v.stale && (watched == v.window ? type == QEvent::Expose || type == QEvent::Paint
                                               : type == QEvent::Move || type == QEvent::Resize)) {
    v.widget->update();
  }
  return false;
}

}  // namespace

// ---- functions: the layer's shared parts ------------------------------------

namespace platform {

// Puts the part of the picture inside the window's client area into the
// window on the server; false where the window system has to paint it.
bool PresentThroughServer(WindowData* d, const QImage& picture) {
  xcb_connection_t* conn = Connection();
  QWidget* widget = d->client;
  if (conn == nullptr || widget == nullptr || picture.format() != QImage::Format_RGB32) return false;
  ServerView& v = s_View;
  if (v.hwnd != d->hwnd || v.widget != widget || v.window != widget->window()->windowHandle())
    TakeView(v, d->hwnd, widget);
  v.conn = conn;
  // A widget with an X window of its own between the view and its top-level
  // window would hide what goes into the top-level window.
  for (const QWidget* p = widget; !p->isWindow(); p = p->parentWidget())
    if (p->internalWinId() != 0) return false;
  const QWidget* top = widget->window();
  if (v.window == nullptr || top->internalWinId() == 0 || top->devicePixelRatio() != 1.0 ||
      picture.devicePixelRatio() != 1.0 || !ReadyXWindow(v, static_cast<xcb_window_t>(top->internalWinId())))
    return false;
  // Only the part inside the client area, as a paint would clip it.
  const QRect client(QPoint(0, 0), ClientSize(d));
  const QRect part = QRect(d->screenPos, picture.size()) & client;
  const QPoint at = widget->mapTo(top, part.topLeft() + QPoint(d->border, d->border));
  if (part.isEmpty() || at.x() < 0 || at.y() < 0 || at.x() + part.width() > 32767 ||
      at.y() + part.height() > 32767)
    return false;
  if (part.size() != v.size) {
    if (part.size() == v.failedSize || !MakeSegments(v, part.size())) {
      v.failedSize = part.size();
      return false;
    }
  }
  Segment& s = v.segments[v.next];
  v.next ^= 1;
  if (s.pending) std::free(xcb_get_input_focus_reply(conn, s.fence, nullptr));
  s.pending = false;
  const size_t rowBytes = static_cast<size_t>(part.width()) * 4;
  for (int y = 0; y < part.height(); ++y) {
    const uchar* src = picture.constScanLine(part.top() - d->screenPos.y() + y) +
                       static_cast<ptrdiff_t>(part.left() - d->screenPos.x()) * 4;
    StreamRow(s.bits + rowBytes * static_cast<size_t>(y), src, rowBytes);
  }
#if defined(__SSE2__)
  _mm_sfence();
#endif
  const auto w = static_cast<uint16_t>(part.width());
  const auto h = static_cast<uint16_t>(part.height());
  xcb_shm_put_image(conn, v.xwindow, v.gc, w, h, 0, 0, w, h, static_cast<int16_t>(at.x()),
                    static_cast<int16_t>(at.y()), v.depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, s.seg, 0);
  s.fence = xcb_get_input_focus(conn);
  s.pending = true;
  xcb_flush(conn);
  v.stale = true;
  return true;
}

// The window is going: so do the segments and what else was made for it.
void ForgetServerPresenting(HWND hwnd) {
  if (hwnd == s_View.hwnd) ForgetView(s_View);
}

}  // namespace platform

// Painting windows and presenting pictures in them. A window's paint event
// draws its sunken edge, its background, the picture last presented into it,
// then sends its paint message. A picture blitted to the primary surface goes
// to the window under it, which keeps it and is repainted at once, so that
// the picture reaches the screen inside a paint event.
//
// The picture a window keeps is no copy: it refers to the pixels of the
// surface blitted from (the back buffer), so that a frame is copied once on
// our side, from the back buffer into the window system's backing store, in
// the backing store's own pixel format (under an X server, into shared memory
// the server reads: win_present_shm.cpp). That stays right because the loop
// draws and presents a frame in one idle pass, and paint events come only
// from the window system's events, which are handled between passes: when a
// paint event runs, the back buffer still holds the frame presented last (a
// dialog opened inside a frame, the name entry at game over, runs before the
// frame clears the back buffer; only the message box of a fatal error, which
// may open halfway through drawing, can have a half-drawn frame behind it
// before the program ends). When a surface's pixels go away (the surface
// released as the view's size changes, or restored after a loss), each window
// that shows them takes its own copy first.
//
// With QUANDREL_STARTUP_TIME set in the environment, the first frame shown
// writes the seconds since the process started to stderr; set to "exit", it
// also closes the main window then, so that the game ends as the player
// would end it (start-up measurements run the game again and again).

#include <QImage>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/win_commctrl.h"
#include "platform/win_gdi.h"
#include "platform/win_present_shm.h"
#include "platform/win_user_internal.h"

// ---- types ----------------------------------------------------------------

namespace {

// Where a paint event is drawing, for BeginPaint and for pictures presented
// while it runs.
struct PaintContext {
  HWND hwnd = nullptr;
  QPainter* painter = nullptr;
  QRect rect;  // in client coordinates
};

// ---- globals --------------------------------------------------------------

PaintContext s_Paint;
// The window being repainted for a picture presented to it: its own paint
// message is not sent then.
HWND s_hwndPresenting = nullptr;
// The child window the last picture went to, and through which clipper
// window: the next picture at the same place goes there without a search.
HWND s_hwndLastTarget = nullptr;
HWND s_hwndLastClip = nullptr;

// ---- functions: helpers ---------------------------------------------------

// Whether the window's client area on the screen holds the point.
bool ClientHolds(const platform::WindowData* d, const QPoint& point) {
  return QRect(platform::ClientOrigin(d), platform::ClientSize(d)).contains(point);
}

// Whether the window is a child window of the clipper's window that pictures
// may go to (the status bar draws itself).
bool IsPictureChild(const platform::WindowData* d, const QWidget* top) {
  if (d->topLevel || d->proc == nullptr || d->className == STATUSCLASSNAMEA) return false;
  const QWidget* w = platform::WidgetOf(d->hwnd);
  return w != nullptr && w->window() == top;
}

// The window a picture with its top-left corner at the point goes to: the
// child window of the clipper's window whose client area holds the corner,
// else the clipper's window itself. The window of the last picture is asked
// first; the other windows only when it no longer holds the corner.
platform::WindowData* TargetOf(HWND hwndClip, const QPoint& corner) {
  platform::WindowData* clip = platform::DataOf(hwndClip);
  if (clip == nullptr) return nullptr;
  const QWidget* top = platform::WidgetOf(hwndClip);
  if (hwndClip == s_hwndLastClip) {
    platform::WindowData* last = platform::DataOf(s_hwndLastTarget);
    if (last != nullptr && IsPictureChild(last, top) && ClientHolds(last, corner)) return last;
  }
  platform::WindowData* target = clip;
  for (platform::WindowData* d : platform::AllWindows())
    if (IsPictureChild(d, top) && ClientHolds(d, corner)) target = d;
  s_hwndLastClip = hwndClip;
  s_hwndLastTarget = target != clip ? target->hwnd : nullptr;
  return target;
}

}  // namespace

// Copies a row of pixels into memory that the display server reads next. The
// stores go around this processor's caches, so that the lines are not first
// read from memory only to be overwritten: a full-HD view's copy no longer
// reads 8 MB it does not need.
void platform::StreamRow(uchar* dst, const uchar* src, size_t bytes) {
#if defined(__SSE2__)
  const size_t head = std::min(bytes, (16 - (reinterpret_cast<uintptr_t>(dst) & 15)) & 15);
  std::memcpy(dst, src, head);
  size_t i = head;
  for (; i + 64 <= bytes; i += 64) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 16));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 32));
    const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 48));
    _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i), a);
    _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i + 16), b);
    _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i + 32), c);
    _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i + 48), e);
  }
  std::memcpy(dst + i, src + i, bytes - i);
#else
  std::memcpy(dst, src, bytes);
#endif
}

namespace {

// Puts the picture at the point (painter coordinates), inside the clip
// rectangle, into the image the painter draws on: the same pixels as drawing
// it with the painter, which copies 32-bit pixels unchanged too, but with
// stores that go around the caches. False where the painter has to draw it
// (a device that is no image of 32-bit pixels, a scaling painter).
bool CopyPicture(QPainter& painter, const QImage& picture, const QPoint& at, const QRect& clip) {
  QPaintEngine* engine = painter.paintEngine();
  QPaintDevice* device = engine != nullptr ? engine->paintDevice() : nullptr;
  if (device == nullptr || device->devType() != QInternal::Image) return false;
  const QImage* target = static_cast<const QImage*>(device);
  const QImage::Format format = target->format();
  if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) ||
      picture.format() != QImage::Format_RGB32 || target->devicePixelRatio() != 1.0 ||
      picture.devicePixelRatio() != 1.0)
    return false;
  const QTransform& transform = painter.deviceTransform();
  const QPoint offset(static_cast<int>(transform.dx()), static_cast<int>(transform.dy()));
  if (transform.type() > QTransform::TxTranslate || transform.dx() != offset.x() || transform.dy() != offset.y())
    return false;
  const QPoint origin = at + offset;
  QRegion region = QRegion(QRect(origin, picture.size()) & clip.translated(offset) & target->rect());
  const QRegion system = engine->systemClip();
  if (!system.isEmpty()) region &= system;
  for (const QRect& part : region) {
    for (int y = part.top(); y <= part.bottom(); ++y) {
      // The painter has made the image its own already: writing through the
      // constant row pointer never copies it.
      uchar* dst = const_cast<uchar*>(target->constScanLine(y)) + static_cast<ptrdiff_t>(part.left()) * 4;
      const uchar* src = picture.constScanLine(y - origin.y()) + static_cast<ptrdiff_t>(part.left() - origin.x()) * 4;
      platform::StreamRow(dst, src, static_cast<size_t>(part.width()) * 4);
    }
  }
#if defined(__SSE2__)
  _mm_sfence();
#endif
  return true;
}

// The sunken edge: dark above and left, light below and right. Drawn only
// when the paint reaches beyond the client area, which covers the rest.
void PaintEdge(QPainter& painter, const QWidget* widget, const platform::WindowData* d, const QRect& dirty) {
  const QRect client(QPoint(d->border, d->border), platform::ClientSize(d));
  if (d->border <= 0 || client.contains(dirty)) return;
  QRect r = widget->rect();
  painter.fillRect(r, QColor(128, 128, 128));
  painter.fillRect(r.adjusted(1, 1, 0, 0), QColor(255, 255, 255));
  painter.fillRect(r.adjusted(1, 1, -1, -1), QColor(64, 64, 64));
  painter.fillRect(r.adjusted(2, 2, -1, -1), QColor(212, 208, 200));
}

// Seconds since the process started, or a negative number when the system
// does not say: the kernel's start time of the process (in clock ticks since
// boot) against the clock that counts from boot.
double SecondsSinceProcessStart(void) {
  FILE* f = std::fopen("/proc/self/stat", "r");
  if (f == nullptr) return -1.0;
  char line[1024];
  const size_t n = std::fread(line, 1, sizeof(line) - 1, f);
  std::fclose(f);
  line[n] = '\0';
  // The fields after the name, which ends at the last ')': the start time is
  // the 22nd field, the 20th after the name.
  const char* p = std::strrchr(line, ')');
  for (int field = 0; p != nullptr && field < 20; ++field) p = std::strchr(p + 1, ' ');
  const long ticks = sysconf(_SC_CLK_TCK);
  struct timespec now;
  if (p == nullptr || ticks <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1.0;
  const double start = static_cast<double>(std::strtoull(p + 1, nullptr, 10)) / static_cast<double>(ticks);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 - start;
}

// The first frame has reached the display server: tells how long the start
// took when asked to, and ends the game when asked to.
void FirstFrameShown(HWND hwndTop) {
  static bool s_bShown = false;
  if (s_bShown) return;
  s_bShown = true;
  const char* lpszMode = std::getenv("QUANDREL_STARTUP_TIME");
  if (lpszMode == nullptr || lpszMode[0] == '\0') return;
  std::fprintf(stderr, "first frame shown %.3f s after the process started\n", SecondsSinceProcessStart());
  if (std::strcmp(lpszMode, "exit") == 0) platform::PostMessageTo(hwndTop, WM_CLOSE, 0, 0);
}

}  // namespace

// ---- functions: the layer's shared parts ------------------------------------

namespace platform {

// Paints a window: its sunken edge, its background where no picture covers
// it, the picture last presented there, then its own paint message.
void PaintWindow(QWidget* widget, QPaintEvent* event) {
  HWND hwnd = FindHandle(widget);
  WindowData* d = DataOf(hwnd);
  if (d == nullptr) {
    // A top-level window's client area belongs to it.
    for (WindowData* w : AllWindows())
      if (w->client == widget) d = w;
    if (d == nullptr) return;
    hwnd = d->hwnd;
  }
  QPainter painter(widget);
  const QSize client = ClientSize(d);
  PaintEdge(painter, widget, d, event->rect());
  painter.translate(d->border, d->border);
  painter.setClipRect(QRect(QPoint(0, 0), client));
  // The class brush; black where the window has none and paints everything
  // itself, until it has.
  const QRect dirty = event->rect().translated(-d->border, -d->border) & QRect(QPoint(0, 0), client);
  QRegion bare(dirty);
  if (!d->screen.isNull()) bare -= QRect(d->screenPos, d->screen.size());
  if (!bare.isEmpty()) {
    HDC hdc = d->background != nullptr ? CreatePainterDC(&painter) : nullptr;
    for (const QRect& part : bare) {
      if (hdc != nullptr) {
        RECT rc = {part.left(), part.top(), part.right() + 1, part.bottom() + 1};
        FillRect(hdc, &rc, d->background);
      } else {
        painter.fillRect(part, QColor(0, 0, 0));
      }
    }
    if (hdc != nullptr) FreePainterDC(hdc);
  }
  if (!d->screen.isNull() && !CopyPicture(painter, d->screen, d->screenPos, QRect(QPoint(0, 0), client)))
    painter.drawImage(d->screenPos, d->screen);
  if (s_hwndPresenting == hwnd) return;
  PaintContext saved = s_Paint;
  s_Paint = {hwnd, &painter, dirty};
  SendMessageA(hwnd, WM_PAINT, 0, 0);
  s_Paint = saved;
}

// Receives the pictures blitted to the primary surface: keeps each for the
// window under it and shows it there, at once.
void PresentToWindow(const QImage& image, const RECT& rcDest, HWND hwndClip) {
  const QPoint corner(rcDest.left, rcDest.top);
  WindowData* target = TargetOf(hwndClip, corner);
  if (target == nullptr) return;
  QWidget* w = target->client;
  target->screen = image;
  // Back through the same mapping as ClientToScreen, so that this works
  // where real screen positions are unknown.
  target->screenPos = w->mapFromGlobal(corner) - QPoint(target->border, target->border);
  if (s_Paint.hwnd == target->hwnd && s_Paint.painter != nullptr) {
    s_Paint.painter->drawImage(target->screenPos, image);
    return;
  }
  if (!w->isVisible()) return;
  if (PresentThroughServer(target, image)) {
    FirstFrameShown(hwndClip);
    return;
  }
  HWND saved = s_hwndPresenting;
  s_hwndPresenting = target->hwnd;
  w->repaint(QRect(target->screenPos + QPoint(target->border, target->border), image.size()));
  s_hwndPresenting = saved;
  FirstFrameShown(hwndClip);
}

// Gives every window that shows pixels of the memory its own copy of them.
void KeepPicturesOutOf(const void* begin, const void* end) {
  const auto* first = static_cast<const uchar*>(begin);
  const auto* last = static_cast<const uchar*>(end);
  for (WindowData* d : AllWindows()) {
    const uchar* bits = d->screen.isNull() ? nullptr : d->screen.constBits();
    if (bits != nullptr && bits >= first && bits < last) d->screen = d->screen.copy();
  }
}

}  // namespace platform

// ---- functions: painting ------------------------------------------------------

// Inside the window's paint message: a context that draws on its client area.
// Elsewhere a context that draws nowhere, so that a painter outside a paint
// event never touches the screen.
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  if (lpPaint == nullptr) return nullptr;
  std::memset(lpPaint, 0, sizeof(*lpPaint));
  platform::WindowData* d = platform::DataOf(hWnd);
  if (d != nullptr && s_Paint.hwnd == hWnd && s_Paint.painter != nullptr) {
    lpPaint->hdc = platform::CreatePainterDC(s_Paint.painter);
    lpPaint->rcPaint = {s_Paint.rect.left(), s_Paint.rect.top(), s_Paint.rect.right() + 1,
                        s_Paint.rect.bottom() + 1};
  } else {
    lpPaint->hdc = GetDC(nullptr);
  }
  lpPaint->fErase = TRUE;
  return lpPaint->hdc;
}

// Frees the paint context.
BOOL EndPaint(HWND, const PAINTSTRUCT* lpPaint) {
  if (lpPaint != nullptr) platform::FreePainterDC(lpPaint->hdc);
  return TRUE;
}

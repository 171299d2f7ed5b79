// GDI text and fills over a Qt painter: stock fonts and brushes, text colour,
// background mode and alignment, TextOutA, FillRect and text measuring.

#include "platform/win_gdi.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

// ---- types ----------------------------------------------------------------

// A stock object: a font or a brush.
struct HGDIOBJ__ {
  enum Kind { kFont, kBrush } kind;
  int id;
};

// A device context: the painter it draws with and the GDI state selected in it.
// A context over an image (a surface's pixels) starts its own painter only
// when something needs one; cached texts are blended in without it.
struct HDC__ {
  QPainter* painter;
  QImage* image;
  bool bOwnPainter;
  HGDIOBJ__* font;
  HGDIOBJ__* brush;
  COLORREF textColor;
  int bkMode;
  UINT align;
};

// ---- globals --------------------------------------------------------------

namespace {

HGDIOBJ__ g_StockBrushes[] = {{HGDIOBJ__::kBrush, WHITE_BRUSH},  {HGDIOBJ__::kBrush, LTGRAY_BRUSH},
                              {HGDIOBJ__::kBrush, GRAY_BRUSH},   {HGDIOBJ__::kBrush, DKGRAY_BRUSH},
                              {HGDIOBJ__::kBrush, BLACK_BRUSH},  {HGDIOBJ__::kBrush, NULL_BRUSH}};
HGDIOBJ__ g_StockFonts[] = {{HGDIOBJ__::kFont, ANSI_VAR_FONT},
                            {HGDIOBJ__::kFont, SYSTEM_FONT},
                            {HGDIOBJ__::kFont, DEFAULT_GUI_FONT}};

// ---- functions: helpers ---------------------------------------------------

// The Qt font that stands for a stock font: a small proportional face.
const QFont& QtFontOf(const HGDIOBJ__* font) {
  static const QFont gui = [] {
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPixelSize(11);
    return f;
  }();
  static const QFont system = [] {
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPixelSize(13);
    f.setBold(true);
    return f;
  }();
  return (font != nullptr && font->id == SYSTEM_FONT) ? system : gui;
}

// The colour of a stock brush; false for the null brush.
bool BrushColor(const HGDIOBJ__* brush, QColor* color) {
  switch (brush->id) {
    case WHITE_BRUSH: *color = QColor(255, 255, 255); return true;
    case LTGRAY_BRUSH: *color = QColor(192, 192, 192); return true;
    case GRAY_BRUSH: *color = QColor(128, 128, 128); return true;
    case DKGRAY_BRUSH: *color = QColor(64, 64, 64); return true;
    case BLACK_BRUSH: *color = QColor(0, 0, 0); return true;
    default: return false;
  }
}

QColor QtColorOf(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The text of a counted string; a negative count is a caller's fault.
QString TextOf(LPCSTR s, int c) {
  if (s == nullptr || c <= 0) return QString();
  return QString::fromLatin1(s, static_cast<qsizetype>(strnlen(s, static_cast<size_t>(c))));
}

// The stock font of an index, or null.
HGDIOBJ__* StockFont(int i) {
  for (HGDIOBJ__& f : g_StockFonts)
    if (f.id == i) return &f;
  return nullptr;
}

// The width of a text in a stock font. The game writes the same few short
// texts every frame, so the last widths are kept: measuring shapes the text,
// which costs as much again as drawing it.
int TextWidth(const QFont& font, const QFontMetrics& metrics, const QString& text) {
  struct Entry {
    const QFont* font;
    QString text;
    int width;
  };
  static Entry s_Entries[16];
  static unsigned s_uNext = 0;
  for (const Entry& e : s_Entries)
    if (e.font == &font && e.text == text) return e.width;
  const int width = metrics.horizontalAdvance(text);
  s_Entries[s_uNext] = {&font, text, width};
  s_uNext = (s_uNext + 1) % 16;
  return width;
}

// The painter of a context, begun on its image the first time it is needed.
QPainter* PainterOf(HDC hdc) {
  if (hdc->painter != nullptr || hdc->image == nullptr) return hdc->painter;
  auto* painter = new (std::nothrow) QPainter();
  if (painter == nullptr) return nullptr;
  if (!painter->begin(hdc->image)) {
    delete painter;
    return nullptr;
  }
  hdc->painter = painter;
  hdc->bOwnPainter = true;
  return painter;
}

// A text drawn once onto a clear premultiplied image, with the margin around
// it that glyphs may reach into.
struct TextImage {
  const QFont* font = nullptr;
  QString text;
  COLORREF color = 0;
  QImage image;
  uint64_t lastUse = 0;
};
constexpr int kTextPad = 4;
constexpr size_t kTextImages = 32;

// The image of a text in a font and colour. The game writes the same few
// short texts every frame; shaping and rasterizing them each time is most of
// the cost of writing them.
const QImage* TextImageOf(const QFont& font, const QFontMetrics& metrics, const QString& text, int width,
                          COLORREF color) {
  static std::vector<TextImage> s_Images;
  static uint64_t s_uClock = 0;
  ++s_uClock;
  for (TextImage& e : s_Images)
    if (e.font == &font && e.color == color && e.text == text) {
      e.lastUse = s_uClock;
      return &e.image;
    }
  QImage image(width + 2 * kTextPad, metrics.height() + 2 * kTextPad, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return nullptr;
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.setFont(font);
    p.setPen(QtColorOf(color));
    p.drawText(kTextPad, kTextPad + metrics.ascent(), text);
  }
  TextImage* slot = nullptr;
  try {
    if (s_Images.size() < kTextImages) {
      slot = &s_Images.emplace_back();
    } else {
      slot = &*std::min_element(s_Images.begin(), s_Images.end(),
                                [](const TextImage& a, const TextImage& b) { return a.lastUse < b.lastUse; });
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  *slot = TextImage{&font, text, color, std::move(image), s_uClock};
  return &slot->image;
}

// Blends a premultiplied image over 32-bit pixels, clipped to them, rounding
// as the painter does when it draws over opaque pixels.
void BlendOnto(QImage& dest, const QImage& src, int left, int top) {
  const int x0 = std::max(0, -left), y0 = std::max(0, -top);
  const int x1 = std::min(src.width(), dest.width() - left), y1 = std::min(src.height(), dest.height() - top);
  for (int y = y0; y < y1; ++y) {
    const auto* s = reinterpret_cast<const uint32_t*>(src.constScanLine(y));
    auto* d = reinterpret_cast<uint32_t*>(dest.scanLine(top + y)) + left;
    for (int x = x0; x < x1; ++x) {
      const uint32_t sp = s[x];
      const uint32_t a = sp >> 24;
      if (a == 0) continue;
      if (a == 255) {
        d[x] = sp;
        continue;
      }
      // Two channels at a time, each times (255 - a) / 255 rounded.
      const uint32_t ia = 255 - a, dp = d[x];
      uint32_t rb = (dp & 0xFF00FF) * ia;
      rb = ((rb + ((rb >> 8) & 0xFF00FF) + 0x800080) >> 8) & 0xFF00FF;
      uint32_t ag = ((dp >> 8) & 0xFF00FF) * ia;
      ag = (ag + ((ag >> 8) & 0xFF00FF) + 0x800080) & 0xFF00FF00;
      d[x] = 0xFF000000u | ((sp + rb + ag) & 0x00FFFFFF);
    }
  }
}

}  // namespace

// ---- functions: GDI calls -------------------------------------------------

// The stock brushes and fonts; null for anything else.
HGDIOBJ GetStockObject(int i) {
  for (HGDIOBJ__& b : g_StockBrushes)
    if (b.id == i) return &b;
  return StockFont(i);
}

// Selects a font or brush into the context, giving back the one it replaces.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  if (hdc == nullptr || h == nullptr) return nullptr;
  HGDIOBJ__** slot = (h->kind == HGDIOBJ__::kFont) ? &hdc->font : &hdc->brush;
  HGDIOBJ__* old = *slot;
  *slot = h;
  return old;
}
HGDIOBJ SelectObject(HDC hdc, HFONT h) { return SelectObject(hdc, reinterpret_cast<HGDIOBJ>(h)); }
HGDIOBJ SelectObject(HDC hdc, HBRUSH h) { return SelectObject(hdc, reinterpret_cast<HGDIOBJ>(h)); }

// Whether text cells are filled behind the text (OPAQUE) or not (TRANSPARENT).
int SetBkMode(HDC hdc, int mode) {
  if (hdc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  int old = hdc->bkMode;
  hdc->bkMode = mode;
  return old;
}

// The colour TextOutA writes in.
COLORREF SetTextColor(HDC hdc, COLORREF color) {
  if (hdc == nullptr) return CLR_INVALID;
  COLORREF old = hdc->textColor;
  hdc->textColor = color & 0x00FFFFFF;
  return old;
}

// Which point of the text TextOutA's position names.
UINT SetTextAlign(HDC hdc, UINT align) {
  if (hdc == nullptr) return GDI_ERROR;
  UINT old = hdc->align;
  hdc->align = align;
  return old;
}

// Writes text in the selected font and colour, placed by the alignment.
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  if (hdc == nullptr || (hdc->painter == nullptr && hdc->image == nullptr)) return FALSE;
  const QString text = TextOf(lpString, c);
  const QFont& font = QtFontOf(hdc->font);
  const QFontMetrics metrics(font);
  const int width = TextWidth(font, metrics, text);
  int left = x;
  if ((hdc->align & TA_CENTER) == TA_CENTER)
    left = x - width / 2;
  else if (hdc->align & TA_RIGHT)
    left = x - width;
  int top = y;
  if ((hdc->align & TA_BASELINE) == TA_BASELINE)
    top = y - metrics.ascent();
  else if (hdc->align & TA_BOTTOM)
    top = y - metrics.height();
  if (hdc->image != nullptr && hdc->bkMode == TRANSPARENT && hdc->image->format() == QImage::Format_RGB32) {
    if (const QImage* cached = TextImageOf(font, metrics, text, width, hdc->textColor)) {
      BlendOnto(*hdc->image, *cached, left - kTextPad, top - kTextPad);
      return TRUE;
    }
  }
  QPainter* painter = PainterOf(hdc);
  if (painter == nullptr) return FALSE;
  QPainter& p = *painter;
  if (hdc->bkMode == OPAQUE) p.fillRect(left, top, width, metrics.height(), QColor(255, 255, 255));
  p.setFont(font);
  p.setPen(QtColorOf(hdc->textColor));
  p.drawText(left, top + metrics.ascent(), text);
  return TRUE;
}

// Fills a rectangle (right and bottom edges excluded) with a brush.
int FillRect(HDC hdc, const RECT* lprc, HBRUSH hbr) {
  if (hdc == nullptr || lprc == nullptr || hbr == nullptr) return 0;
  const HGDIOBJ__* brush = reinterpret_cast<HGDIOBJ>(hbr);
  if (brush->kind != HGDIOBJ__::kBrush) return 0;
  QColor color;
  if (BrushColor(brush, &color) && lprc->right > lprc->left && lprc->bottom > lprc->top) {
    QPainter* painter = PainterOf(hdc);
    if (painter == nullptr) return 0;
    painter->fillRect(lprc->left, lprc->top, lprc->right - lprc->left, lprc->bottom - lprc->top, color);
  }
  return 1;
}

// The width and height the text takes in the selected font.
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  if (hdc == nullptr || psizl == nullptr || c < 0) return FALSE;
  const QFontMetrics metrics(QtFontOf(hdc->font));
  psizl->cx = metrics.horizontalAdvance(TextOf(lpString, c));
  psizl->cy = metrics.height();
  return TRUE;
}

// ---- functions: contexts ----------------------------------------------------

namespace platform {

// A context with Windows' defaults: system font, white brush, black opaque text.
HDC CreatePainterDC(QPainter* painter) {
  if (painter == nullptr) return nullptr;
  return new (std::nothrow)
      HDC__{painter, nullptr, false, ::StockFont(SYSTEM_FONT), &g_StockBrushes[0], 0, OPAQUE, TA_LEFT};
}

// A context with Windows' defaults over an image; its painter comes when needed.
HDC CreateImageDC(QImage* image) {
  if (image == nullptr || image->isNull()) return nullptr;
  return new (std::nothrow)
      HDC__{nullptr, image, false, ::StockFont(SYSTEM_FONT), &g_StockBrushes[0], 0, OPAQUE, TA_LEFT};
}

// The font a stock font index draws in.
const QFont& StockFont(int id) { return QtFontOf(::StockFont(id)); }

// Frees a context, ending the painter it started for itself.
void FreePainterDC(HDC hdc) {
  if (hdc == nullptr) return;
  if (hdc->bOwnPainter) {
    hdc->painter->end();
    delete hdc->painter;
  }
  delete hdc;
}

}  // namespace platform

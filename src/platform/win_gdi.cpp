// GDI text and fills over a Qt painter: stock fonts and brushes, text colour,
// background mode and alignment, TextOutA, FillRect and text measuring.

#include "platform/win_gdi.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <cstring>
#include <new>

// ---- types ----------------------------------------------------------------

// A stock object: a font or a brush.
struct HGDIOBJ__ {
  enum Kind { kFont, kBrush } kind;
  int id;
};

// A device context: the painter it draws with and the GDI state selected in it.
struct HDC__ {
  QPainter* painter;
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
  if (hdc == nullptr || hdc->painter == nullptr) return FALSE;
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
  QPainter& p = *hdc->painter;
  if (hdc->bkMode == OPAQUE) p.fillRect(left, top, width, metrics.height(), QColor(255, 255, 255));
  p.setFont(font);
  p.setPen(QtColorOf(hdc->textColor));
  p.drawText(left, top + metrics.ascent(), text);
  return TRUE;
}

// Fills a rectangle (right and bottom edges excluded) with a brush.
int FillRect(HDC hdc, const RECT* lprc, HBRUSH hbr) {
  if (hdc == nullptr || hdc->painter == nullptr || lprc == nullptr || hbr == nullptr) return 0;
  const HGDIOBJ__* brush = reinterpret_cast<HGDIOBJ>(hbr);
  if (brush->kind != HGDIOBJ__::kBrush) return 0;
  QColor color;
  if (BrushColor(brush, &color) && lprc->right > lprc->left && lprc->bottom > lprc->top)
    hdc->painter->fillRect(lprc->left, lprc->top, lprc->right - lprc->left, lprc->bottom - lprc->top, color);
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
  return new (std::nothrow) HDC__{painter, StockFont(SYSTEM_FONT), &g_StockBrushes[0], 0, OPAQUE, TA_LEFT};
}

void FreePainterDC(HDC hdc) { delete hdc; }

}  // namespace platform

// GDI text and fills on device contexts: the stock font and brushes, text
// colour, background mode and alignment, TextOutA, FillRect and text
// measuring. A device context draws through a Qt painter.
#pragma once

#include "platform/win_types.h"

class QFont;
class QImage;
class QPainter;

// ---- types ----------------------------------------------------------------

typedef DWORD COLORREF;

typedef struct tagPALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
} PALETTEENTRY, *LPPALETTEENTRY;

// ---- constants ------------------------------------------------------------

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

#define CLR_INVALID 0xFFFFFFFF
#define GDI_ERROR 0xFFFFFFFFL

// Background modes
#define TRANSPARENT 1
#define OPAQUE 2

// Text alignment
#define TA_NOUPDATECP 0
#define TA_UPDATECP 1
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24

// Stock objects
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

// Palette entry flags
#define PC_RESERVED 0x01
#define PC_EXPLICIT 0x02
#define PC_NOCOLLAPSE 0x04

// ---- functions ------------------------------------------------------------

HGDIOBJ GetStockObject(int i);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// The stock font and brush handles have their own types; Win32 takes them
// all as one handle type.
HGDIOBJ SelectObject(HDC hdc, HFONT h);
HGDIOBJ SelectObject(HDC hdc, HBRUSH h);
int SetBkMode(HDC hdc, int mode);
COLORREF SetTextColor(HDC hdc, COLORREF color);
UINT SetTextAlign(HDC hdc, UINT align);
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
int FillRect(HDC hdc, const RECT* lprc, HBRUSH hbr);
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl);

namespace platform {
// A device context that draws through the given painter, which must stay
// active until the context is freed. Surfaces and window paint handlers make
// their contexts this way.
HDC CreatePainterDC(QPainter* painter);
// A device context that draws onto an image, which must outlive the context.
// Surfaces make their contexts this way.
HDC CreateImageDC(QImage* image);
// Frees a context made by either; a painter handed in is not touched.
void FreePainterDC(HDC hdc);
// The Qt font that draws a stock font (DEFAULT_GUI_FONT for anything else),
// so that controls draw in the font their texts are measured in.
const QFont& StockFont(int id);
}  // namespace platform

// Presentation: the finished frame, with the frame rate when asked, is copied
// to the view's place on the screen; a paint request gets the last frame
// again, or white on black the reason why there is none.

#include <cstdio>
#include <cstring>

#include "main/fatal.h"
#include "main/main.h"
#include "main/timer.h"
#include "options/options.h"
#include "video_main/video_main.h"
#include "window/window.h"

// ---- functions ----------------------------------------------------------------

// The view's client area in screen coordinates, taken afresh each time so a
// moved view is drawn at its new place.
static RECT ViewScreenRect(void) {
  RECT r;
  r.left = g_nViewScreenX;
  r.top = g_nViewScreenY;
  r.right = r.left + g_nViewW;
  r.bottom = r.top + g_nViewH;
  return r;
}

// Writes one line of white text at (1, 1) without touching its background.
static void DrawWhiteText(HDC hdc, const char* lpszText) {
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, RGB(255, 255, 255));
  HGDIOBJ hOldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
  TextOutA(hdc, 1, 1, lpszText, (int)std::strlen(lpszText));
  if (hOldFont != NULL) SelectObject(hdc, hOldFont);
}

// Copies the frame to the screen; the rate shown is that of the last frame
// alone.
void PresentFrame(void) {
  RECT rDest = ViewScreenRect();

  if (g_bShowFPS) {
    HDC hdc = NULL;
    CHECK_DX(IDirectDrawSurface3_GetDC(g_BackBuffer, &hdc));
    char szFPS[16];
    std::snprintf(szFPS, sizeof(szFPS), "%d fps", (int)(1.0 / g_fFrameTime));
    DrawWhiteText(hdc, szFPS);
    CHECK_DX(IDirectDrawSurface3_ReleaseDC(g_BackBuffer, hdc));
  }

  CHECK_DX_RETRY(IDirectDrawSurface3_Blt(g_Primary, &rDest, g_BackBuffer, NULL, DDBLT_WAIT, NULL));
}

// Paints the view: after a rebuild stopped for lack of memory, the reason;
// otherwise the last frame, if there is one and the view has an area.
void PaintView(const PAINTSTRUCT* lpPS) {
  RECT rDest = ViewScreenRect();

  if (g_dwSuspendFlags & SUSPEND_GFXERROR) {
    const char* lpszText;
    if (g_hrGraphError == E_OUTOFMEMORY)
      lpszText =
          "DirectX does not have enough memory. Try resizing the window so that it is smaller.";
    else if (g_hrGraphError == DDERR_OUTOFVIDEOMEMORY)
      lpszText =
          "DirectX does not have enough video memory. Try resizing the window so that it is "
          "smaller.";
    else
      lpszText = "DirectX error - cannot draw well.";
    FillRect(lpPS->hdc, &lpPS->rcPaint, (HBRUSH)GetStockObject(BLACK_BRUSH));
    DrawWhiteText(lpPS->hdc, lpszText);
  } else if (g_BackBuffer != NULL && rDest.right > rDest.left && rDest.bottom > rDest.top) {
    CHECK_DX_RETRY(
        IDirectDrawSurface3_Blt(g_Primary, &rDest, g_BackBuffer, NULL, DDBLT_WAIT, NULL));
  }
}

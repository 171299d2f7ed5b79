// Presentation and painting: the frame-rate text, the blit with its retry,
// the explanations of a failed rebuild; then lights, materials and camera.

#include <QImage>
#include <QPainter>
#include <cstring>

#include "video_fixture.h"

static const char kPresentFile[] = "src/video_main/present.cpp";
static const char kBltText[] =
    "IDirectDrawSurface3_Blt(g_Primary, &rDest, g_BackBuffer, NULL, DDBLT_WAIT, NULL)";
static const char kBltRetryText[] =
    "(g_Primary)->lpVtbl->Blt(g_Primary,&rDest,g_BackBuffer,((void *)0),0x01000000l,((void *)0))";

// Draws through a device context over an image: black fill of the rectangle
// (when given) and a white line of text at (1, 1), as the game writes it.
static QImage Painted(int w, int h, const RECT* lprcFill, const char* lpszText) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(QColor(40, 80, 120));
  QPainter painter(&image);
  HDC hdc = platform::CreatePainterDC(&painter);
  if (lprcFill != nullptr) FillRect(hdc, lprcFill, (HBRUSH)GetStockObject(BLACK_BRUSH));
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, RGB(255, 255, 255));
  SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
  TextOutA(hdc, 1, 1, lpszText, (int)std::strlen(lpszText));
  platform::FreePainterDC(hdc);
  painter.end();
  return image;
}

// What PaintView draws over the same starting image.
static QImage PaintedByView(int w, int h, RECT rcPaint) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(QColor(40, 80, 120));
  QPainter painter(&image);
  PAINTSTRUCT ps;
  std::memset(&ps, 0, sizeof(ps));
  ps.hdc = platform::CreatePainterDC(&painter);
  ps.rcPaint = rcPaint;
  PaintView(&ps);
  platform::FreePainterDC(ps.hdc);
  painter.end();
  return image;
}

// ---- presentation ------------------------------------------------------------------

TEST_F(VideoTest, FrameRateTextIsTheRateOfTheLastFrameCut) {
  CreateViewOfSize(160, 40);
  QImage blank(160, 40, QImage::Format_RGB32);
  blank.fill(Qt::black);
  struct Case {
    float fFrameTime;
    const char* lpszText;
  };
  for (Case c : {Case{0.016f, "62 fps"}, Case{0.0001f, "10000 fps"}}) {
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof(fx));
    fx.dwSize = sizeof(fx);
    ASSERT_EQ(IDirectDrawSurface3_Blt(g_BackBuffer, NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DD_OK);
    g_bShowFPS = TRUE;
    g_fFrameTime = c.fFrameTime;
    PresentFrame();
    QImage shown = platform_test::LastPresentedImage().convertToFormat(QImage::Format_RGB32);
    RECT rcAll = {0, 0, 160, 40};
    EXPECT_EQ(shown, Painted(160, 40, &rcAll, c.lpszText)) << c.lpszText;
    EXPECT_NE(shown, Painted(160, 40, &rcAll, "63 fps"));
  }
  // Off: no device context is taken and the frame goes unchanged.
  g_bShowFPS = FALSE;
  DDBLTFX fx;
  std::memset(&fx, 0, sizeof(fx));
  fx.dwSize = sizeof(fx);
  ASSERT_EQ(IDirectDrawSurface3_Blt(g_BackBuffer, NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DD_OK);
  platform_test::ResetPlatformCallCounts();
  PresentFrame();
  EXPECT_EQ(Calls("IDirectDrawSurface3_GetDC"), 0u);
  EXPECT_EQ(platform_test::LastPresentedImage().convertToFormat(QImage::Format_RGB32), blank);
}

TEST_F(VideoTest, FrameGoesToTheViewsCurrentPlaceAndSurvivesALostSurface) {
  CreateViewOfSize(400, 300);
  g_nViewScreenX = 30;
  g_nViewScreenY = 70;
  platform_test::LoseAllSurfaces();
  uint64_t uBefore = platform_test::PresentCount();
  PresentFrame();
  EXPECT_EQ(platform_test::PresentCount(), uBefore + 1);
  RECT r = platform_test::LastPresentedRect();
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 70);
  EXPECT_EQ(r.right, 430);
  EXPECT_EQ(r.bottom, 370);
}

TEST_F(VideoTest, BlitFailuresReportTheFirstOrTheRetriedStatement) {
  CreateViewOfSize(400, 300);
  // The primary stays lost because its lost-test goes wrong: the retry fails.
  EXPECT_FATAL_AT(kPresentFile, kBltRetryText, DXSuffix(DDERR_SURFACELOST),
                  platform_test::LoseAllSurfaces();
                  IDirectDrawSurface3_Restore(g_BackBuffer); IDirectDrawSurface3_Restore(g_ZBuffer);
                  platform_test::FailCall("IDirectDrawSurface3_IsLost", DDERR_GENERIC, 3);
                  PresentFrame());
  EXPECT_FATAL_AT(kPresentFile, kBltText, DXSuffix(DDERR_SURFACEBUSY),
                  PAINTSTRUCT ps = {};
                  platform_test::FailCall("IDirectDrawSurface3_Blt", DDERR_SURFACEBUSY);
                  PaintView(&ps));
}

// ---- painting -------------------------------------------------------------------------

TEST_F(VideoTest, FailedRebuildIsExplainedInWhiteOnBlack) {
  CreateView();
  const RECT rcPaint = {0, 0, 300, 20};
  struct Case {
    HRESULT hr;
    const char* lpszText;
  };
  for (Case c : {Case{E_OUTOFMEMORY,
                      "DirectX does not have enough memory. Try resizing the window so that it is "
                      "smaller."},
                 Case{DDERR_OUTOFVIDEOMEMORY,
                      "DirectX does not have enough video memory. Try resizing the window so that "
                      "it is smaller."},
                 Case{DDERR_GENERIC, "DirectX error - cannot draw well."}}) {
    g_dwSuspendFlags = SUSPEND_GFXERROR;
    g_hrGraphError = c.hr;
    QImage painted = PaintedByView(320, 40, rcPaint);
    EXPECT_EQ(painted, Painted(320, 40, &rcPaint, c.lpszText)) << c.lpszText;
    EXPECT_EQ(painted.pixelColor(310, 30), QColor(40, 80, 120));  // outside the update area
  }
}

// Out of video memory at the depth buffer: the back buffer exists, but the
// view explains itself instead of showing that half-built buffer.
TEST_F(VideoTest, RebuildStoppedAfterTheBackBufferStillShowsTheExplanation) {
  CreateView();
  g_nViewW = 320;
  g_nViewH = 40;
  platform_test::FailCall("IDirectDraw2_CreateSurface", DDERR_OUTOFVIDEOMEMORY, 2);
  RebuildSurfaces();
  ASSERT_NE(g_BackBuffer, nullptr);
  ASSERT_EQ(g_dwSuspendFlags, (DWORD)SUSPEND_GFXERROR);
  const RECT rcPaint = {0, 0, 320, 40};
  const uint64_t uBefore = platform_test::PresentCount();
  const QImage painted = PaintedByView(320, 40, rcPaint);
  EXPECT_EQ(platform_test::PresentCount(), uBefore);
  EXPECT_EQ(painted, Painted(320, 40, &rcPaint,
                             "DirectX does not have enough video memory. Try resizing the window so "
                             "that it is smaller."));
}

TEST_F(VideoTest, PaintCopiesTheLastFrameOnlyWhenTheViewHasAnArea) {
  CreateViewOfSize(400, 300);
  g_dwSuspendFlags = SUSPEND_INACTIVE;
  const RECT rcPaint = {0, 0, 400, 300};
  platform_test::LoseAllSurfaces();
  uint64_t uBefore = platform_test::PresentCount();
  PaintedByView(400, 300, rcPaint);
  EXPECT_EQ(platform_test::PresentCount(), uBefore + 1);

  g_nViewW = 0;
  platform_test::ResetPlatformCallCounts();
  QImage painted = PaintedByView(400, 300, rcPaint);
  EXPECT_EQ(platform_test::PlatformCallCount(), 0u);
  EXPECT_EQ(painted.pixelColor(5, 5), QColor(40, 80, 120));
}

// ---- lights, materials, camera --------------------------------------------------------------

TEST_F(VideoTest, CameraDistanceFramesTheRectangleInBothDirections) {
  platform_test::ResetPlatformCallCounts();
  g_fAspect = 1.0f;
  SetViewMatrix(-5.05f, -0.05f, 5.05f, 20.05f, 0.0f, 10.0f);
  EXPECT_NEAR(g_matView._43, 6.53f, 1e-5f);
  EXPECT_EQ(g_matView._41, 0.0f);
  EXPECT_EQ(g_matView._42, -10.0f);
  EXPECT_EQ(g_matView._44, 1.0f);
  g_fAspect = 2.0f;
  SetViewMatrix(-5.05f, -0.05f, 5.05f, 20.05f, 0.0f, 10.0f);
  EXPECT_NEAR(g_matView._43, 3.53f, 1e-5f);
  // A 400 x 300 view: v = 10.05 / 0.75 = 13.4 decides. Worked in single
  // precision step by step the distance is 8.54000092; in double precision
  // and rounded at the end it would be 8.53999996, one step lower.
  g_fAspect = 0.75f;
  SetViewMatrix(-5.05f, -0.05f, 5.05f, 20.05f, 0.0f, 10.0f);
  EXPECT_EQ(g_matView._43, 8.54000092f);
  EXPECT_EQ(platform_test::PlatformCallCount(), 0u);  // no device yet
}

TEST_F(VideoTest, SwitchesCallThePlatformOnlyForAChange) {
  CreateView();  // lights on, but no viewport yet: only recorded
  EXPECT_EQ(Calls("IDirect3DViewport2_AddLight"), 0u);
  platform_test::ResetPlatformCallCounts();
  SetShadeMode(D3DSHADE_FLAT);
  EXPECT_EQ(g_dwShadeMode, (DWORD)D3DSHADE_FLAT);
  EXPECT_EQ(platform_test::PlatformCallCount(), 0u);
  g_nViewW = 400;
  RebuildSurfaces();

  platform_test::ResetPlatformCallCounts();
  EnableLight(LIGHT_POINT1, TRUE);
  SetShadeMode(D3DSHADE_FLAT);
  EXPECT_EQ(platform_test::PlatformCallCount(), 0u);

  EnableLight(LIGHT_POINT1, FALSE);
  EXPECT_EQ(Calls("IDirect3DViewport2_DeleteLight"), 1u);
  SetShadeMode(D3DSHADE_GOURAUD);
  DWORD dw = 0;
  ASSERT_EQ(IDirect3DDevice2_GetRenderState(g_3DD, D3DRENDERSTATE_SHADEMODE, &dw), DD_OK);
  EXPECT_EQ(dw, (DWORD)D3DSHADE_GOURAUD);

  SetMaterial(MAT_BLK_CYAN);
  ASSERT_EQ(IDirect3DDevice2_GetLightState(g_3DD, D3DLIGHTSTATE_MATERIAL, &dw), DD_OK);
  EXPECT_EQ(dw, g_hMaterials[MAT_BLK_CYAN]);
  EXPECT_NE(g_hMaterials[MAT_BLK_CYAN], g_hMaterials[MAT_BLK_RED]);
}

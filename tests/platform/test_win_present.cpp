// Presenting in windows: a picture blitted to the primary surface lands in
// the child window under it, inside its sunken edge, and stays there when the
// surface it came from goes.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>

#include <cstring>

#include "platform/dx_rig.h"
#include "platform/win32.h"
#include "platform/win_user_internal.h"

namespace {

// A window whose paint message paints nothing of its own: what it shows is
// what was presented into it.
LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class WinPresentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::UnregisterAllClasses();
    platform_test::ClearMessageQueue();
    platform_test::IgnoreSystemActivation(true);
    platform_test::ResetDXHooks();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "PresentTop";
    ASSERT_NE(RegisterClassA(&wc), 0);
    wc.lpszClassName = "PresentChild";
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    ASSERT_NE(RegisterClassA(&wc), 0);
  }
  void TearDown() override {
    rig_.Release();
    if (IsWindow(top_)) DestroyWindow(top_);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform_test::ClearMessageQueue();
    platform_test::IgnoreSystemActivation(false);
    platform::SetPresentHandler(nullptr);
    platform_test::ResetDXHooks();
  }
  // A top-level window with a child of the given client size inside a sunken
  // edge, and the graphics objects with the clipper on the top-level window.
  HWND Build(int width, int height) {
    top_ = CreateWindowExA(0, "PresentTop", "Present", WS_POPUP | WS_VISIBLE, 10, 10, width + 40, height + 40,
                           NULL, NULL, NULL, NULL);
    HWND child = CreateWindowExA(WS_EX_CLIENTEDGE, "PresentChild", "", WS_CHILD | WS_VISIBLE, 5, 5, width + 4,
                                 height + 4, top_, NULL, NULL, NULL);
    rig_.Build(width, height);
    EXPECT_EQ(IDirectDrawClipper_SetHWnd(rig_.clipper, 0, top_), DD_OK);
    return child;
  }
  // Fills the back buffer with one colour and blits it to the child's client
  // area on the screen, or to the left part of that width.
  void PresentColour(HWND child, DWORD colour, int width = 0) {
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof(fx));
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = colour;
    ASSERT_EQ(IDirectDrawSurface3_Blt(rig_.back, NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    POINT origin = {0, 0};
    ASSERT_TRUE(ClientToScreen(child, &origin));
    RECT dest = {origin.x, origin.y, origin.x + (width > 0 ? width : rig_.width), origin.y + rig_.height};
    ASSERT_EQ(IDirectDrawSurface3_Blt(rig_.primary, &dest, rig_.back, NULL, DDBLT_WAIT, NULL), DD_OK);
  }
  // How many pixels of the child's client area (inside its 2-pixel edge),
  // from column left on, do not have the colour.
  static int OtherPixels(HWND child, int width, int height, QRgb colour, int left = 0) {
    const QImage shown = platform_test::GrabWindow(child).convertToFormat(QImage::Format_RGB32);
    int other = 0;
    for (int y = 0; y < height; ++y)
      for (int x = left; x < width; ++x) other += (shown.pixel(x + 2, y + 2) & 0xFFFFFF) != (colour & 0xFFFFFF);
    return other;
  }
  DxRig rig_;
  HWND top_ = nullptr;
};

}  // namespace

// The picture fills the client area inside the sunken edge; where it does not
// reach, the class brush shows.
TEST_F(WinPresentTest, PictureLandsInsideTheEdgeOverTheBackground) {
  const int w = 120, h = 90;
  HWND child = Build(w, h);
  ASSERT_NE(child, nullptr);
  PresentColour(child, 0x00336699);
  EXPECT_EQ(OtherPixels(child, w, h, 0x336699), 0);
  const QImage shown = platform_test::GrabWindow(child).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(shown.pixel(1, 1) & 0xFFFFFF, 0x404040u);
  EXPECT_EQ(shown.pixel(w + 3, h + 3) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(shown.pixel(w + 2, h + 2) & 0xFFFFFF, 0xD4D0C8u);

  // Half as wide: the right half is the class brush's white again.
  PresentColour(child, 0x00CC8844, w / 2);
  EXPECT_EQ(OtherPixels(child, w / 2, h, 0xCC8844), 0);
  EXPECT_EQ(OtherPixels(child, w, h, 0xFFFFFF, w / 2), 0);
}

// The window keeps the picture it shows even when the surface it came from is
// released (the view's surfaces are rebuilt at every size change) or cleared
// by a restore, so that a later paint shows it and reads no freed memory.
TEST_F(WinPresentTest, PictureOutlivesTheSurfaceItCameFrom) {
  const int w = 120, h = 90;
  HWND child = Build(w, h);
  ASSERT_NE(child, nullptr);
  PresentColour(child, 0x00336699);
  EXPECT_EQ(OtherPixels(child, w, h, 0x336699), 0);

  // Lost and restored: the surface is black again, the window is not.
  platform_test::LoseAllSurfaces();
  for (LPDIRECTDRAWSURFACE3 s : {rig_.back, rig_.zbuf, rig_.primary}) ASSERT_EQ(IDirectDrawSurface3_Restore(s), DD_OK);
  EXPECT_EQ(OtherPixels(child, w, h, 0x336699), 0);

  PresentColour(child, 0x00CC8844);
  rig_.Release();
  EXPECT_EQ(OtherPixels(child, w, h, 0xCC8844), 0);
}

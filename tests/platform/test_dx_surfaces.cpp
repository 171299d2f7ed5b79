// DirectDraw surfaces and the layer's bookkeeping: blits, colour fill, device
// contexts, lost surfaces, memory limits, reference counts, enumeration and
// the test hooks themselves.

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>

#include "platform/dx_hooks.h"
#include "platform/win_gdi.h"
#include "platform/dx_rig.h"

namespace {

class DxSurfaces : public ::testing::Test {
 protected:
  DxRig rig;
  void SetUp() override {
    platform_test::ResetDXHooks();
    baseline_ = platform_test::LiveObjectCount();
    rig.Build(8, 4);
  }
  void TearDown() override {
    rig.Release();
    EXPECT_EQ(platform_test::LiveObjectCount(), baseline_) << "objects leaked";
    platform_test::ResetDXHooks();
  }
  // Fills a rectangle of a surface with a colour.
  static HRESULT Fill(LPDIRECTDRAWSURFACE3 s, RECT* r, DWORD color) {
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof(fx));
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = color;
    return IDirectDrawSurface3_Blt(s, r, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  }
  // The whole of a surface as the screen would show it, at its own size.
  static QImage Read(DxRig& r, LPDIRECTDRAWSURFACE3 s, int w, int h) {
    RECT dest = {0, 0, w, h};
    EXPECT_EQ(IDirectDrawSurface3_Blt(r.primary, &dest, s, NULL, DDBLT_WAIT, NULL), DD_OK);
    return platform_test::LastPresentedImage().copy();
  }
  int baseline_ = 0;
};

TEST_F(DxSurfaces, ColourFillCoversExactlyItsRectangle) {
  ASSERT_EQ(Fill(rig.back, NULL, 0x00112233), DD_OK);
  RECT r = {2, 1, 5, 3};
  ASSERT_EQ(Fill(rig.back, &r, 0x00FF8000), DD_OK);
  QImage img = Read(rig, rig.back, 8, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool in = x >= 2 && x < 5 && y >= 1 && y < 3;
      EXPECT_EQ(Rgb(img, x, y), in ? 0xFF8000u : 0x112233u) << x << "," << y;
    }
  RECT outside = {6, 0, 9, 2};
  EXPECT_EQ(Fill(rig.back, &outside, 0), DDERR_INVALIDRECT);
  RECT empty = {3, 3, 3, 4};
  EXPECT_EQ(Fill(rig.back, &empty, 0), DDERR_INVALIDRECT);
  DDBLTFX fx = {};
  fx.dwSize = 12;
  EXPECT_EQ(IDirectDrawSurface3_Blt(rig.back, NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx),
            DDERR_INVALIDPARAMS);
}

// Colours of four equal bytes fill by bytes, and whole-width bands as one
// run: neither may spill past the rectangle.
TEST_F(DxSurfaces, ColourFillOfEqualBytesCoversExactlyItsRectangle) {
  ASSERT_EQ(Fill(rig.back, NULL, 0x00112233), DD_OK);
  RECT box = {1, 0, 4, 2};
  ASSERT_EQ(Fill(rig.back, &box, 0), DD_OK);
  RECT band = {0, 2, 8, 3};
  ASSERT_EQ(Fill(rig.back, &band, 0xFFFFFFFF), DD_OK);
  QImage img = Read(rig, rig.back, 8, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      const uint32_t want = y == 2 ? 0xFFFFFFu : (x >= 1 && x < 4 && y < 2) ? 0u : 0x112233u;
      EXPECT_EQ(Rgb(img, x, y), want) << x << "," << y;
    }
}

TEST_F(DxSurfaces, BlitStretchesToTheDestination) {
  // Each source pixel its own colour; an 8 x 4 source stretched to 16 x 12
  // doubles columns and triples rows.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      RECT px = {x, y, x + 1, y + 1};
      ASSERT_EQ(Fill(rig.back, &px, static_cast<DWORD>(y * 16 + x + 1)), DD_OK);
    }
  RECT dest = {100, 50, 116, 62};
  ASSERT_EQ(IDirectDrawSurface3_Blt(rig.primary, &dest, rig.back, NULL, DDBLT_WAIT, NULL), DD_OK);
  const QImage& img = platform_test::LastPresentedImage();
  ASSERT_EQ(img.width(), 16);
  ASSERT_EQ(img.height(), 12);
  const RECT shown = platform_test::LastPresentedRect();
  EXPECT_EQ(shown.left, 100);
  EXPECT_EQ(shown.bottom, 62);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(Rgb(img, x, y), static_cast<uint32_t>((y / 3) * 16 + x / 2 + 1)) << x << "," << y;

  // A destination wider than any screen shows its top-left part only.
  RECT huge = {-10, 0, 19990, 4};
  ASSERT_EQ(IDirectDrawSurface3_Blt(rig.primary, &huge, rig.back, NULL, DDBLT_WAIT, NULL), DD_OK);
  EXPECT_EQ(platform_test::LastPresentedImage().width(), 8192);
  EXPECT_EQ(platform_test::LastPresentedRect().right, 19990);
  EXPECT_EQ(Rgb(platform_test::LastPresentedImage(), 0, 0), 1u);
  EXPECT_EQ(Rgb(platform_test::LastPresentedImage(), 8191, 3), static_cast<uint32_t>(3 * 16 + 3 + 1));

  // Between off-screen surfaces, a source rectangle shrunk into a destination one.
  LPDIRECTDRAWSURFACE3 other = nullptr;
  ASSERT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN, 4, 2, 0, &other), DD_OK);
  RECT src = {0, 0, 8, 4};
  ASSERT_EQ(IDirectDrawSurface3_Blt(other, NULL, rig.back, &src, DDBLT_WAIT, NULL), DD_OK);
  QImage small = Read(rig, other, 4, 2);
  EXPECT_EQ(Rgb(small, 0, 0), static_cast<uint32_t>(1 * 16 + 1 + 1));
  EXPECT_EQ(Rgb(small, 3, 1), static_cast<uint32_t>(3 * 16 + 7 + 1));
  RECT bad = {0, 0, 9, 4};
  EXPECT_EQ(IDirectDrawSurface3_Blt(other, NULL, rig.back, &bad, DDBLT_WAIT, NULL), DDERR_INVALIDRECT);
  IDirectDrawSurface3_Release(other);
}

TEST_F(DxSurfaces, LostSurfacesRefuseWorkUntilRestored) {
  platform_test::LoseAllSurfaces();
  EXPECT_EQ(IDirectDrawSurface3_IsLost(rig.back), DDERR_SURFACELOST);
  EXPECT_EQ(IDirectDrawSurface3_IsLost(rig.zbuf), DDERR_SURFACELOST);
  EXPECT_EQ(IDirectDrawSurface3_IsLost(rig.primary), DDERR_SURFACELOST);
  EXPECT_EQ(Fill(rig.back, NULL, 0), DDERR_SURFACELOST);
  HDC hdc = nullptr;
  EXPECT_EQ(IDirectDrawSurface3_GetDC(rig.back, &hdc), DDERR_SURFACELOST);
  EXPECT_EQ(IDirect3DDevice2_BeginScene(rig.dev), DDERR_SURFACELOST);
  D3DRECT r = {0, 0, 8, 4};
  EXPECT_EQ(IDirect3DViewport2_Clear(rig.vp, 1, &r, D3DCLEAR_ZBUFFER), DDERR_SURFACELOST);
  RECT dest = {0, 0, 8, 4};
  EXPECT_EQ(IDirectDrawSurface3_Blt(rig.primary, &dest, rig.back, NULL, DDBLT_WAIT, NULL), DDERR_SURFACELOST);

  // Restoring the back buffer alone is not enough for the device: its Z buffer is lost too.
  EXPECT_EQ(IDirectDrawSurface3_Restore(rig.back), DD_OK);
  EXPECT_EQ(IDirectDrawSurface3_IsLost(rig.back), DD_OK);
  EXPECT_EQ(IDirect3DDevice2_BeginScene(rig.dev), DDERR_SURFACELOST);
  EXPECT_EQ(IDirectDrawSurface3_Restore(rig.zbuf), DD_OK);
  EXPECT_EQ(IDirectDrawSurface3_Restore(rig.primary), DD_OK);
  EXPECT_EQ(Fill(rig.back, NULL, 0x00ABCDEF), DD_OK);
  EXPECT_EQ(IDirect3DDevice2_BeginScene(rig.dev), D3D_OK);
  EXPECT_EQ(IDirect3DDevice2_EndScene(rig.dev), D3D_OK);
  EXPECT_EQ(Rgb(Read(rig, rig.back, 8, 4), 3, 3), 0xABCDEFu);
  EXPECT_EQ(IDirectDrawSurface3_Restore(rig.back), DD_OK);  // nothing lost: still fine
}

TEST_F(DxSurfaces, OversizeSurfacesRunOutOfVideoMemory) {
  LPDIRECTDRAWSURFACE3 s = nullptr;
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 8193, 10, 0, &s),
            DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_ZBUFFER, 10, 100000, 32, &s), DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN, 0, 10, 0, &s), DDERR_INVALIDPARAMS);
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_ZBUFFER, 10, 10, 12, &s), DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_PRIMARYSURFACE, 0, 0, 0, &s), DDERR_PRIMARYSURFACEALREADYEXISTS);
  ASSERT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN, 8192, 1, 0, &s), DD_OK);
  IDirectDrawSurface3_Release(s);
  // A Z buffer of another size cannot be attached.
  LPDIRECTDRAWSURFACE3 z = nullptr;
  ASSERT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_ZBUFFER, 4, 4, 16, &z), DD_OK);
  LPDIRECTDRAWSURFACE3 b = nullptr;
  ASSERT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 8, 8, 0, &b), DD_OK);
  EXPECT_EQ(IDirectDrawSurface3_AddAttachedSurface(b, z), DDERR_CANNOTATTACHSURFACE);
  EXPECT_EQ(IDirectDrawSurface3_AddAttachedSurface(rig.back, rig.zbuf), DDERR_SURFACEALREADYATTACHED);
  IDirectDrawSurface3_Release(b);
  IDirectDrawSurface3_Release(z);
}

TEST_F(DxSurfaces, TwoScheduledFailuresOfOneCallHitTheCallsNamed) {
  platform_test::FailCall("IDirectDraw2_CreateSurface", E_OUTOFMEMORY, 1);
  platform_test::FailCall("IDirectDraw2_CreateSurface", DDERR_OUTOFVIDEOMEMORY, 2);
  LPDIRECTDRAWSURFACE3 a = nullptr, b = nullptr, c = nullptr;
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN, 4, 4, 0, &a), E_OUTOFMEMORY);
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN, 4, 4, 0, &b), DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN, 4, 4, 0, &c), DD_OK);
  if (c) IDirectDrawSurface3_Release(c);
}

TEST_F(DxSurfaces, InjectedFailuresHitTheNamedCallOnce) {
  platform_test::FailCall("IDirectDraw2_CreateSurface", E_OUTOFMEMORY, 2);
  platform_test::FailCall("IDirect3D2_CreateDevice", DDERR_OUTOFVIDEOMEMORY);
  LPDIRECTDRAWSURFACE3 a = nullptr, b = nullptr, c = nullptr;
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 4, 4, 0, &a), DD_OK);
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN, 4, 4, 0, &b), E_OUTOFMEMORY);
  EXPECT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN, 4, 4, 0, &c), DD_OK);
  LPDIRECT3DDEVICE2 dev = nullptr;
  EXPECT_EQ(IDirect3D2_CreateDevice(rig.d3d, &IID_IDirect3DRGBDevice, (LPDIRECTDRAWSURFACE)a, &dev),
            DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(dev, nullptr);
  ASSERT_EQ(IDirect3D2_CreateDevice(rig.d3d, &IID_IDirect3DRGBDevice, (LPDIRECTDRAWSURFACE)a, &dev), D3D_OK);
  LPDIRECT3DDEVICE2 hal = nullptr;
  EXPECT_EQ(IDirect3D2_CreateDevice(rig.d3d, &IID_IDirect3DHALDevice, (LPDIRECTDRAWSURFACE)a, &hal),
            E_NOINTERFACE);
  IDirect3DDevice2_Release(dev);
  IDirectDrawSurface3_Release(a);
  IDirectDrawSurface3_Release(c);

  // A scene call that fails once, then works: the retry the game makes.
  platform_test::FailCall("IDirect3DDevice2_BeginScene", DDERR_SURFACELOST);
  EXPECT_EQ(IDirect3DDevice2_BeginScene(rig.dev), DDERR_SURFACELOST);
  EXPECT_EQ(IDirect3DDevice2_BeginScene(rig.dev), D3D_OK);
  EXPECT_EQ(IDirect3DDevice2_BeginScene(rig.dev), D3DERR_SCENE_IN_SCENE);
  EXPECT_EQ(IDirect3DDevice2_EndScene(rig.dev), D3D_OK);
  EXPECT_EQ(IDirect3DDevice2_EndScene(rig.dev), D3DERR_SCENE_NOT_IN_SCENE);
}

TEST_F(DxSurfaces, CallCountsShowWhetherAnyCallWasMade) {
  platform_test::ResetPlatformCallCounts();
  EXPECT_EQ(platform_test::PlatformCallCount(), 0u);
  IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT);
  IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
  IDirectDrawSurface3_IsLost(rig.back);
  EXPECT_EQ(platform_test::PlatformCallCount(), 3u);
  EXPECT_EQ(platform_test::PlatformCallCount("IDirect3DDevice2_SetRenderState"), 2u);
  EXPECT_EQ(platform_test::PlatformCallCount("IDirectDrawSurface3_Restore"), 0u);
}

TEST_F(DxSurfaces, ReferenceCountsAndReleaseOrder) {
  // A new reference per AddRef and QueryInterface; the object lives on while
  // anything holds it: the device its target, the back buffer its Z buffer.
  EXPECT_EQ(IDirectDrawSurface3_AddRef(rig.back), 3u);  // the rig, the device, this
  EXPECT_EQ(IDirectDrawSurface3_Release(rig.back), 2u);
  LPDIRECTDRAWSURFACE s1 = nullptr;
  ASSERT_EQ(IDirectDrawSurface3_QueryInterface(rig.back, IID_IDirectDrawSurface, (LPVOID*)&s1), DD_OK);
  EXPECT_EQ(IDirectDrawSurface_Release(s1), 2u);
  LPUNKNOWN none = nullptr;
  EXPECT_EQ(IDirectDrawSurface3_QueryInterface(rig.back, IID_IDirect3D2, (LPVOID*)&none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);

  const int live = platform_test::LiveObjectCount();
  const int surfaces = platform_test::LiveSurfaceCount();
  // The game's order: viewport, device, Z buffer, back buffer.
  EXPECT_EQ(IDirect3DViewport2_Release(rig.vp), 1u);  // the device still holds it
  rig.vp = nullptr;
  EXPECT_EQ(IDirect3DDevice2_Release(rig.dev), 0u);
  rig.dev = nullptr;
  EXPECT_EQ(platform_test::LiveObjectCount(), live - 2);
  EXPECT_EQ(IDirectDrawSurface3_Release(rig.zbuf), 1u);  // attached to the back buffer
  rig.zbuf = nullptr;
  EXPECT_EQ(platform_test::LiveSurfaceCount(), surfaces);
  EXPECT_EQ(IDirectDrawSurface3_Release(rig.back), 0u);
  rig.back = nullptr;
  EXPECT_EQ(platform_test::LiveSurfaceCount(), surfaces - 2);

  // The DirectDraw and Direct3D interfaces share one count.
  EXPECT_EQ(IDirect3D2_AddRef(rig.d3d), 3u);
  EXPECT_EQ(IDirectDraw2_Release(rig.dd), 2u);
  rig.dd = nullptr;
  EXPECT_EQ(IDirect3D2_Release(rig.d3d), 1u);
}

TEST_F(DxSurfaces, EnumerationOffersTheRgbDevice) {
  struct Seen {
    int calls = 0;
    GUID guid = {};
    D3DDEVICEDESC hw = {}, hel = {};
  } seen;
  auto callback = [](GUID* g, LPSTR, LPSTR, LPD3DDEVICEDESC hw, LPD3DDEVICEDESC hel, LPVOID ctx) -> HRESULT {
    Seen* s = static_cast<Seen*>(ctx);
    ++s->calls;
    s->guid = *g;
    s->hw = *hw;
    s->hel = *hel;
    return D3DENUMRET_OK;
  };
  ASSERT_EQ(IDirect3D2_EnumDevices(rig.d3d, callback, &seen), D3D_OK);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_TRUE(IsEqualGUID(seen.guid, IID_IDirect3DRGBDevice));
  EXPECT_EQ(seen.hw.dcmColorModel, 0u);
  EXPECT_EQ(seen.hel.dcmColorModel, static_cast<DWORD>(D3DCOLOR_RGB));
  EXPECT_EQ(seen.hel.dwSize, 204u);
  EXPECT_TRUE(seen.hel.dwDeviceRenderBitDepth & DDBD_32);
  EXPECT_TRUE(seen.hel.dwDeviceRenderBitDepth & DDBD_16);
  EXPECT_EQ(seen.hel.dwDeviceZBufferBitDepth, static_cast<DWORD>(DDBD_32));
}

TEST_F(DxSurfaces, ScriptedDeviceKindsAreOfferedInOrder) {
  platform_test::OfferedDevice rgb = {IID_IDirect3DRGBDevice, {}, {}};
  platform_test::OurDeviceDescriptions(&rgb.hw, &rgb.hel);
  platform_test::OfferedDevice hal = rgb;
  hal.guid = IID_IDirect3DHALDevice;
  hal.hw = rgb.hel;
  hal.hw.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24;
  platform_test::SetOfferedDevices({rgb, hal});
  std::vector<GUID> seen;
  std::vector<DWORD> zdepths;
  struct Ctx {
    std::vector<GUID>* seen;
    std::vector<DWORD>* z;
  } ctx{&seen, &zdepths};
  auto callback = [](GUID* g, LPSTR, LPSTR, LPD3DDEVICEDESC hw, LPD3DDEVICEDESC, LPVOID c) -> HRESULT {
    static_cast<Ctx*>(c)->seen->push_back(*g);
    static_cast<Ctx*>(c)->z->push_back(hw->dwDeviceZBufferBitDepth);
    return D3DENUMRET_OK;
  };
  ASSERT_EQ(IDirect3D2_EnumDevices(rig.d3d, callback, &ctx), D3D_OK);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_TRUE(IsEqualGUID(seen[0], IID_IDirect3DRGBDevice));
  EXPECT_TRUE(IsEqualGUID(seen[1], IID_IDirect3DHALDevice));
  EXPECT_EQ(zdepths[1], static_cast<DWORD>(DDBD_16 | DDBD_24));
  // An offered kind is served by the rasterizer; one not offered is not.
  LPDIRECT3DDEVICE2 dev = nullptr;
  ASSERT_EQ(IDirect3D2_CreateDevice(rig.d3d, &IID_IDirect3DHALDevice, (LPDIRECTDRAWSURFACE)rig.back, &dev), D3D_OK);
  IDirect3DDevice2_Release(dev);
  EXPECT_EQ(IDirect3D2_CreateDevice(rig.d3d, &IID_IDirect3DMMXDevice, (LPDIRECTDRAWSURFACE)rig.back, &dev),
            E_NOINTERFACE);
}

TEST_F(DxSurfaces, DisplayModeReportsTheDepth) {
  DDSURFACEDESC ddsd;
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  ASSERT_EQ(IDirectDraw2_GetDisplayMode(rig.dd, &ddsd), DD_OK);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwRGBBitCount, 32u);
  platform_test::SetDisplayDepth(15);
  ASSERT_EQ(IDirectDraw2_GetDisplayMode(rig.dd, &ddsd), DD_OK);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwRGBBitCount, 15u);
  platform_test::SetDisplayDepth(8);
  ASSERT_EQ(IDirectDraw2_GetDisplayMode(rig.dd, &ddsd), DD_OK);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwRGBBitCount, 8u);
  ddsd.dwSize = 100;
  EXPECT_EQ(IDirectDraw2_GetDisplayMode(rig.dd, &ddsd), DDERR_INVALIDPARAMS);

  // On an 8-bit display the palette attaches to both surfaces.
  PALETTEENTRY pe[256] = {};
  pe[5].peRed = 5;
  pe[5].peFlags = PC_EXPLICIT | D3DPAL_READONLY;
  LPDIRECTDRAWPALETTE pal = nullptr;
  ASSERT_EQ(IDirectDraw2_CreatePalette(rig.dd, DDPCAPS_8BIT, pe, &pal, NULL), DD_OK);
  EXPECT_EQ(IDirectDrawSurface3_SetPalette(rig.primary, pal), DD_OK);
  EXPECT_EQ(IDirectDrawSurface3_SetPalette(rig.back, pal), DD_OK);
  PALETTEENTRY got[1] = {};
  ASSERT_EQ(IDirectDrawPalette_GetEntries(pal, 0, 5, 1, got), DD_OK);
  EXPECT_EQ(got[0].peFlags, 0x42);
  EXPECT_EQ(IDirectDrawPalette_Release(pal), 2u);  // both surfaces hold it
}

TEST_F(DxSurfaces, DeviceContextDrawsTextOntoTheSurface) {
  LPDIRECTDRAWSURFACE3 s = nullptr;
  ASSERT_EQ(DxRig::MakeSurface(rig.dd, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 120, 40, 0, &s), DD_OK);
  ASSERT_EQ(Fill(s, NULL, 0), DD_OK);
  HDC hdc = nullptr;
  ASSERT_EQ(IDirectDrawSurface3_GetDC(s, &hdc), DD_OK);
  HDC again = nullptr;
  EXPECT_EQ(IDirectDrawSurface3_GetDC(s, &again), DDERR_DCALREADYCREATED);
  EXPECT_EQ(Fill(s, NULL, 0), DDERR_SURFACEBUSY);
  HFONT font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
  ASSERT_NE(font, nullptr);
  SelectObject(hdc, font);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, 0x00FFFFFF);
  EXPECT_EQ(SetTextAlign(hdc, TA_CENTER | TA_TOP), static_cast<UINT>(TA_LEFT));
  SIZE size = {};
  ASSERT_TRUE(GetTextExtentPoint32A(hdc, "88888", 5, &size));
  EXPECT_GT(size.cx, 10);
  EXPECT_GT(size.cy, 5);
  ASSERT_TRUE(TextOutA(hdc, 60, 5, "88888", 5));
  RECT red = {0, 30, 10, 40};
  EXPECT_EQ(FillRect(hdc, &red, (HBRUSH)GetStockObject(WHITE_BRUSH)), 1);
  ASSERT_EQ(IDirectDrawSurface3_ReleaseDC(s, hdc), DD_OK);
  EXPECT_EQ(IDirectDrawSurface3_ReleaseDC(s, hdc), DDERR_NODC);

  QImage img = Read(rig, s, 120, 40);
  int minX = 1000, maxX = -1, minY = 1000;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x)
      if (qGray(img.pixel(x, y)) > 128) {
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y);
      }
  ASSERT_GE(maxX, 0) << "no text drawn";
  EXPECT_NEAR((minX + maxX) / 2.0, 60.0, 3.0);  // centred on x = 60
  EXPECT_GE(minY, 5);                           // hanging from y = 5
  EXPECT_EQ(Rgb(img, 5, 35), 0xFFFFFFu);
  EXPECT_EQ(Rgb(img, 15, 35), 0u);
  IDirectDrawSurface3_Release(s);
}

}  // namespace

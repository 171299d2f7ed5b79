// A DirectDraw/Direct3D set-up for the platform tests, built the way the game
// builds its own: DirectDraw, Direct3D, primary with clipper, back buffer with
// Z buffer, device and viewport; and a way to read the back buffer back.
#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>
#include <vector>

#include "platform/d3d.h"
#include "platform/dx_hooks.h"

struct DxRig {
  LPDIRECTDRAW2 dd = nullptr;
  LPDIRECT3D2 d3d = nullptr;
  LPDIRECTDRAWSURFACE3 primary = nullptr;
  LPDIRECTDRAWCLIPPER clipper = nullptr;
  LPDIRECTDRAWSURFACE3 back = nullptr;
  LPDIRECTDRAWSURFACE3 zbuf = nullptr;
  LPDIRECT3DDEVICE2 dev = nullptr;
  LPDIRECT3DVIEWPORT2 vp = nullptr;
  int width = 0, height = 0;

  // A surface of the given caps and size through the first interface, then the third.
  static HRESULT MakeSurface(LPDIRECTDRAW2 dd, DWORD caps, DWORD w, DWORD h, DWORD zbits,
                             LPDIRECTDRAWSURFACE3* out) {
    DDSURFACEDESC ddsd;
    std::memset(&ddsd, 0, sizeof(ddsd));
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS;
    if (w != 0 || h != 0) ddsd.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT;
    if (zbits != 0) ddsd.dwFlags |= DDSD_ZBUFFERBITDEPTH;
    ddsd.dwWidth = w;
    ddsd.dwHeight = h;
    ddsd.dwZBufferBitDepth = zbits;
    ddsd.ddsCaps.dwCaps = caps;
    LPDIRECTDRAWSURFACE s1 = nullptr;
    HRESULT hr = IDirectDraw2_CreateSurface(dd, &ddsd, &s1, NULL);
    if (FAILED(hr)) return hr;
    hr = IDirectDrawSurface_QueryInterface(s1, IID_IDirectDrawSurface3, (LPVOID*)out);
    IDirectDrawSurface_Release(s1);
    return hr;
  }

  // Everything up to a device with a full-size viewport (clip volume as the
  // game sets it: x from -1 over 2, y from aspect over 2 x aspect).
  void Build(int w, int h) {
    width = w, height = h;
    LPDIRECTDRAW dd1 = nullptr;
    ASSERT_EQ(DirectDrawCreate(NULL, &dd1, NULL), DD_OK);
    ASSERT_EQ(IDirectDraw_QueryInterface(dd1, IID_IDirectDraw2, (LPVOID*)&dd), DD_OK);
    IDirectDraw_Release(dd1);
    ASSERT_EQ(IDirectDraw2_SetCooperativeLevel(dd, nullptr, DDSCL_NORMAL), DD_OK);
    ASSERT_EQ(IDirectDraw2_QueryInterface(dd, IID_IDirect3D2, (LPVOID*)&d3d), DD_OK);
    ASSERT_EQ(IDirectDraw2_CreateClipper(dd, 0, &clipper, NULL), DD_OK);
    ASSERT_EQ(MakeSurface(dd, DDSCAPS_PRIMARYSURFACE, 0, 0, 0, &primary), DD_OK);
    ASSERT_EQ(IDirectDrawSurface3_SetClipper(primary, clipper), DD_OK);
    ASSERT_EQ(MakeSurface(dd, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, w, h, 0, &back), DD_OK);
    ASSERT_EQ(MakeSurface(dd, DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, w, h, 32, &zbuf), DD_OK);
    ASSERT_EQ(IDirectDrawSurface3_AddAttachedSurface(back, zbuf), DD_OK);
    ASSERT_EQ(IDirect3D2_CreateDevice(d3d, &IID_IDirect3DRGBDevice, (LPDIRECTDRAWSURFACE)back, &dev), D3D_OK);
    ASSERT_EQ(IDirect3D2_CreateViewport(d3d, &vp, NULL), D3D_OK);
    ASSERT_EQ(IDirect3DDevice2_AddViewport(dev, vp), D3D_OK);
    const float aspect = static_cast<float>(h) / static_cast<float>(w);
    SetViewport(-1.0f, aspect, 2.0f, 2.0f * aspect);
    ASSERT_EQ(IDirect3DDevice2_SetCurrentViewport(dev, vp), D3D_OK);
    ASSERT_EQ(IDirect3DDevice2_SetRenderState(dev, D3DRENDERSTATE_ZENABLE, TRUE), D3D_OK);
  }

  void SetViewport(float clipX, float clipY, float clipW, float clipH) {
    D3DVIEWPORT2 v;
    std::memset(&v, 0, sizeof(v));
    v.dwSize = sizeof(v);
    v.dwWidth = static_cast<DWORD>(width);
    v.dwHeight = static_cast<DWORD>(height);
    v.dvClipX = clipX;
    v.dvClipY = clipY;
    v.dvClipWidth = clipW;
    v.dvClipHeight = clipH;
    v.dvMinZ = 0.0f;
    v.dvMaxZ = 1.0f;
    ASSERT_EQ(IDirect3DViewport2_SetViewport2(vp, &v), D3D_OK);
  }

  // Black picture, far depth, scene open.
  void BeginFrame() {
    D3DRECT r = {0, 0, width, height};
    ASSERT_EQ(IDirect3DViewport2_Clear(vp, 1, &r, D3DCLEAR_ZBUFFER), D3D_OK);
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof(fx));
    fx.dwSize = sizeof(fx);
    ASSERT_EQ(IDirectDrawSurface3_Blt(back, NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    ASSERT_EQ(IDirect3DDevice2_BeginScene(dev), D3D_OK);
  }

  // Ends the scene and reads the back buffer through a blit to the primary.
  QImage EndFrame() {
    EXPECT_EQ(IDirect3DDevice2_EndScene(dev), D3D_OK);
    RECT dest = {0, 0, width, height};
    EXPECT_EQ(IDirectDrawSurface3_Blt(primary, &dest, back, NULL, DDBLT_WAIT, NULL), DD_OK);
    return platform_test::LastPresentedImage().copy();
  }

  void Release() {
    if (vp) IDirect3DViewport2_Release(vp);
    if (dev) IDirect3DDevice2_Release(dev);
    if (zbuf) IDirectDrawSurface3_Release(zbuf);
    if (back) IDirectDrawSurface3_Release(back);
    if (primary) IDirectDrawSurface3_Release(primary);
    if (clipper) IDirectDrawClipper_Release(clipper);
    if (d3d) IDirect3D2_Release(d3d);
    if (dd) IDirectDraw2_Release(dd);
    vp = nullptr, dev = nullptr, zbuf = nullptr, back = nullptr, primary = nullptr, clipper = nullptr;
    d3d = nullptr, dd = nullptr;
  }
};

// A pre-lit vertex at clip-space position (x, y, z) under identity transforms.
inline D3DLVERTEX LV(float x, float y, float z, D3DCOLOR color) {
  D3DLVERTEX v;
  std::memset(&v, 0, sizeof(v));
  v.x = x, v.y = y, v.z = z;
  v.color = color;
  return v;
}

// The RGB part of a pixel.
inline uint32_t Rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

// The view-sized objects: their rebuild at the view's size, the memory rule
// and its two exceptions, restoring lost surfaces and the palette.

#include <cstring>

#include "video_fixture.h"

static const char kSurfFile[] = "src/video_main/surfaces.cpp";

TEST_F(VideoTest, RebuildMakesAViewportOfTheViewsProportions) {
  g_dwShadeMode = D3DSHADE_FLAT;
  CreateViewOfSize(400, 300);
  ASSERT_NE(g_Viewport, nullptr);
  EXPECT_NE(g_BackBuffer, nullptr);
  EXPECT_NE(g_ZBuffer, nullptr);
  EXPECT_NE(g_3DD, nullptr);
  EXPECT_FALSE(g_bNoSurfaces);
  EXPECT_EQ(g_dwSuspendFlags & SUSPEND_GFXERROR, 0u);
  EXPECT_EQ(g_fAspect, 0.75f);
  EXPECT_EQ(g_rBackBuffer.right, 400);
  EXPECT_EQ(g_rBackBuffer.bottom, 300);

  D3DVIEWPORT2 vp;
  std::memset(&vp, 0, sizeof(vp));
  vp.dwSize = sizeof(vp);
  ASSERT_EQ(IDirect3DViewport2_GetViewport2(g_Viewport, &vp), DD_OK);
  EXPECT_EQ(vp.dwWidth, 400u);
  EXPECT_EQ(vp.dwHeight, 300u);
  EXPECT_EQ(vp.dvClipX, -1.0f);
  EXPECT_EQ(vp.dvClipWidth, 2.0f);
  EXPECT_EQ(vp.dvClipY, 0.75f);
  EXPECT_EQ(vp.dvClipHeight, 1.5f);
  EXPECT_EQ(vp.dvMinZ, 0.0f);
  EXPECT_EQ(vp.dvMaxZ, 1.0f);

  DWORD dw = 0;
  ASSERT_EQ(IDirect3DDevice2_GetRenderState(g_3DD, D3DRENDERSTATE_ZENABLE, &dw), DD_OK);
  EXPECT_EQ(dw, (DWORD)TRUE);
  ASSERT_EQ(IDirect3DDevice2_GetRenderState(g_3DD, D3DRENDERSTATE_SHADEMODE, &dw), DD_OK);
  EXPECT_EQ(dw, (DWORD)D3DSHADE_FLAT);
  // Black ambient light, and no alpha byte in it either: only the lights
  // light the cubes.
  dw = 0xDEADBEEF;
  ASSERT_EQ(IDirect3DDevice2_GetLightState(g_3DD, D3DLIGHTSTATE_AMBIENT, &dw), DD_OK);
  EXPECT_EQ(dw, 0u);
  D3DMATRIX m;
  ASSERT_EQ(IDirect3DDevice2_GetTransform(g_3DD, D3DTRANSFORMSTATE_PROJECTION, &m), DD_OK);
  EXPECT_EQ(std::memcmp(&m, &g_matProjection, sizeof(m)), 0);
  // The camera was framed for the new proportions and handed over.
  ASSERT_EQ(IDirect3DDevice2_GetTransform(g_3DD, D3DTRANSFORMSTATE_VIEW, &m), DD_OK);
  EXPECT_EQ(std::memcmp(&m, &g_matView, sizeof(m)), 0);
  EXPECT_GT(g_matView._43, 0.5f);
}

// The surfaces are made where the chosen device kind wants them: video
// memory for a hardware device, system memory for the depth buffer of an
// emulation, with that device's one Z-buffer depth.
TEST_F(VideoTest, SurfacesTakeTheMemoryAndDepthOfTheChosenDevice) {
  D3DDEVICEDESC hw, hel, none;
  platform_test::OurDeviceDescriptions(&hw, &hel);
  std::memset(&none, 0, sizeof(none));
  none.dwSize = sizeof(none);
  struct Case {
    GUID guid;
    bool bHardware;
    DWORD dwZFlag;
    DWORD dwBackCaps, dwZCaps, dwZBits;
  };
  const Case cases[] = {
      {IID_IDirect3DHALDevice, true, DDBD_16, 0x2040 | DDSCAPS_VIDEOMEMORY, DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY, 16},
      {IID_IDirect3DRGBDevice, false, DDBD_24, 0x2040, DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, 24},
  };
  for (const Case& c : cases) {
    D3DDEVICEDESC desc = hel;
    desc.dwDeviceZBufferBitDepth = c.dwZFlag;
    if (c.bHardware)
      platform_test::SetOfferedDevices({{c.guid, desc, none}});
    else
      platform_test::SetOfferedDevices({{c.guid, hw, desc}});
    CreateViewOfSize(320, 200);
    ASSERT_NE(g_Viewport, nullptr);

    DDSURFACEDESC d;
    std::memset(&d, 0, sizeof(d));
    d.dwSize = sizeof(d);
    ASSERT_EQ(IDirectDrawSurface3_GetSurfaceDesc(g_BackBuffer, &d), DD_OK);
    EXPECT_EQ(d.ddsCaps.dwCaps, c.dwBackCaps) << c.bHardware;
    EXPECT_EQ(d.dwWidth, 320u);
    EXPECT_EQ(d.dwHeight, 200u);
    std::memset(&d, 0, sizeof(d));
    d.dwSize = sizeof(d);
    ASSERT_EQ(IDirectDrawSurface3_GetSurfaceDesc(g_ZBuffer, &d), DD_OK);
    EXPECT_EQ(d.ddsCaps.dwCaps, c.dwZCaps) << c.bHardware;
    EXPECT_EQ(d.dwZBufferBitDepth, c.dwZBits) << c.bHardware;
    EXPECT_EQ(d.dwWidth, 320u);
    EXPECT_EQ(d.dwHeight, 200u);
    FreeGraph();
  }
}

TEST_F(VideoTest, LightsMoveFromTheOldViewportToTheNew) {
  CreateViewOfSize(400, 300);
  EXPECT_EQ(Calls("IDirect3DViewport2_AddLight"), 3u);
  EnableLight(LIGHT_POINT2, FALSE);
  EXPECT_EQ(Calls("IDirect3DViewport2_DeleteLight"), 1u);
  g_nViewW = 500;
  RebuildSurfaces();
  EXPECT_EQ(Calls("IDirect3DViewport2_DeleteLight"), 3u);  // two more: the lights that were on
  EXPECT_EQ(Calls("IDirect3DViewport2_AddLight"), 5u);
  EXPECT_EQ(g_nBackBufferW, 500);
}

TEST_F(VideoTest, ZeroSizedViewBuildsNothingUntilItHasAnArea) {
  CreateViewOfSize(400, 300);
  g_dwSuspendFlags = SUSPEND_GFXERROR;  // kept as it is by an empty view
  g_nViewW = 0;
  RebuildSurfaces();
  EXPECT_TRUE(g_bNoSurfaces);
  EXPECT_EQ(g_BackBuffer, nullptr);
  EXPECT_EQ(g_ZBuffer, nullptr);
  EXPECT_EQ(g_3DD, nullptr);
  EXPECT_EQ(g_Viewport, nullptr);
  EXPECT_EQ(platform_test::LiveSurfaceCount(), 1);  // the primary
  EXPECT_EQ(g_dwSuspendFlags, (DWORD)SUSPEND_GFXERROR);

  g_nViewW = 300;
  g_nViewH = 300;
  RebuildSurfaces();
  EXPECT_FALSE(g_bNoSurfaces);
  EXPECT_NE(g_Viewport, nullptr);
  EXPECT_EQ(g_dwSuspendFlags, 0u);
}

TEST_F(VideoTest, OutOfVideoMemoryAtTheZBufferKeepsTheBackBufferAndTheNextRebuildStartsClean) {
  CreateView();
  platform_test::FailCall("IDirectDraw2_CreateSurface", DDERR_OUTOFVIDEOMEMORY, 2);
  RebuildSurfaces();
  EXPECT_NE(g_BackBuffer, nullptr);
  EXPECT_EQ(g_ZBuffer, nullptr);
  EXPECT_EQ(g_3DD, nullptr);
  EXPECT_EQ(g_Viewport, nullptr);
  EXPECT_EQ(g_dwSuspendFlags, (DWORD)SUSPEND_GFXERROR);
  EXPECT_EQ(g_hrGraphError, DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(platform_test::LiveSurfaceCount(), 2);

  RebuildSurfaces();
  EXPECT_NE(g_Viewport, nullptr);
  EXPECT_EQ(g_dwSuspendFlags, 0u);
  EXPECT_EQ(platform_test::LiveSurfaceCount(), 3);  // the first back buffer went

  // A view too large for the surfaces is the same kind of failure.
  g_nViewW = (INT)platform::kMaxSurfaceSide + 1;
  RebuildSurfaces();
  EXPECT_EQ(g_hrGraphError, DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(g_BackBuffer, nullptr);
}

TEST_F(VideoTest, OutOfMemoryIsRecordedAtTheViewportButFatalAtTheProjection) {
  CreateView();
  platform_test::FailCall("IDirect3D2_CreateViewport", E_OUTOFMEMORY);
  RebuildSurfaces();
  EXPECT_EQ(g_hrGraphError, E_OUTOFMEMORY);
  EXPECT_EQ(g_dwSuspendFlags, (DWORD)SUSPEND_GFXERROR);
  EXPECT_NE(g_3DD, nullptr);
  EXPECT_EQ(g_Viewport, nullptr);

  EXPECT_FATAL_AT(kSurfFile,
                  "IDirect3DDevice2_SetTransform(g_3DD, D3DTRANSFORMSTATE_PROJECTION, "
                  "&(g_matProjection))",
                  DXSuffix(E_OUTOFMEMORY),
                  platform_test::FailCall("IDirect3DDevice2_SetTransform", E_OUTOFMEMORY);
                  RebuildSurfaces());
  // Other failures while building are fatal with the step's text.
  EXPECT_FATAL_AT(kSurfFile,
                  "IDirect3D2_CreateDevice(g_D3D, g_3ddevices[g_n3DDevice].lpGUID, "
                  "(LPDIRECTDRAWSURFACE) g_BackBuffer, &g_3DD)",
                  DXSuffix(DDERR_INVALIDPARAMS),
                  platform_test::FailCall("IDirect3D2_CreateDevice", DDERR_INVALIDPARAMS);
                  RebuildSurfaces());
  EXPECT_FATAL_AT(kSurfFile, "Error creating Z buffer", DXSuffix(DDERR_GENERIC),
                  platform_test::FailCall("IDirectDrawSurface_QueryInterface", DDERR_GENERIC, 2);
                  RebuildSurfaces());
}

TEST_F(VideoTest, RebuildStoppedBeforeEveryLightWasAddedRemovesOnlyWhatWasAdded) {
  CreateView();
  platform_test::FailCall("IDirect3DViewport2_AddLight", E_OUTOFMEMORY, 2);
  RebuildSurfaces();
  ASSERT_EQ(g_dwSuspendFlags, (DWORD)SUSPEND_GFXERROR);
  platform_test::ResetPlatformCallCounts();
  RebuildSurfaces();  // must not ask to remove lights the viewport never held
  EXPECT_EQ(Calls("IDirect3DViewport2_DeleteLight"), 1u);
  EXPECT_EQ(Calls("IDirect3DViewport2_AddLight"), 3u);
  EXPECT_EQ(g_dwSuspendFlags, 0u);
}

// ---- restore and palette ----------------------------------------------------------

TEST_F(VideoTest, RestoreTouchesOnlyLostSurfaces) {
  CreateViewOfSize(400, 300);
  platform_test::ResetPlatformCallCounts();
  RestoreSurfaces();
  EXPECT_EQ(Calls("IDirectDrawSurface3_IsLost"), 3u);
  EXPECT_EQ(Calls("IDirectDrawSurface3_Restore"), 0u);

  platform_test::LoseAllSurfaces();
  ASSERT_EQ(IDirectDrawSurface3_Restore(g_ZBuffer), DD_OK);
  platform_test::ResetPlatformCallCounts();
  RestoreSurfaces();
  EXPECT_EQ(Calls("IDirectDrawSurface3_Restore"), 2u);
  for (LPDIRECTDRAWSURFACE3 s : {g_BackBuffer, g_ZBuffer, g_Primary})
    EXPECT_EQ(IDirectDrawSurface3_IsLost(s), DD_OK);

  // Without surfaces there is nothing to ask.
  FreeGraph();
  platform_test::ResetPlatformCallCounts();
  RestoreSurfaces();
  EXPECT_EQ(platform_test::PlatformCallCount(), 0u);
}

TEST_F(VideoTest, PaletteIsAttachedAgainAfterARestore) {
  platform_test::SetDisplayDepth(8);
  CreateViewOfSize(400, 300);
  platform_test::LoseAllSurfaces();
  platform_test::ResetPlatformCallCounts();
  ResetPalette();
  EXPECT_EQ(Calls("IDirectDrawSurface3_Restore"), 3u);
  EXPECT_EQ(Calls("IDirectDrawSurface3_SetPalette"), 3u);  // primary twice, back buffer once

  // The back buffer stays lost because its lost-test goes wrong: the retry fails.
  EXPECT_FATAL_AT(kSurfFile, "(g_BackBuffer)->lpVtbl->SetPalette(g_BackBuffer,g_Palette)",
                  DXSuffix(DDERR_SURFACELOST),
                  platform_test::LoseAllSurfaces();
                  IDirectDrawSurface3_Restore(g_Primary); IDirectDrawSurface3_Restore(g_ZBuffer);
                  platform_test::FailCall("IDirectDrawSurface3_IsLost", DDERR_GENERIC, 1);
                  ResetPalette());
}

TEST_F(VideoTest, NoPaletteWorkOnDeepDisplays) {
  CreateViewOfSize(400, 300);
  platform_test::ResetPlatformCallCounts();
  ResetPalette();
  EXPECT_EQ(platform_test::PlatformCallCount(), 0u);
}

// Graphics start-up and tear-down: the device choice, the palette of an 8-bit
// display, lights and materials, the start-up failures, and the release of
// every object.

#include <cstring>

#include "video_fixture.h"

static const char kInitFile[] = "src/video_main/video_main.cpp";

// ---- device choice ------------------------------------------------------------

// A capability description: colour model, render depths, Z-buffer depths.
static D3DDEVICEDESC Desc(D3DCOLORMODEL model, DWORD render, DWORD z) {
  D3DDEVICEDESC d;
  std::memset(&d, 0, sizeof(d));
  d.dwSize = sizeof(d);
  d.dcmColorModel = model;
  d.dwDeviceRenderBitDepth = render;
  d.dwDeviceZBufferBitDepth = z;
  return d;
}

class DeviceChoice : public VideoTest {
 protected:
  void SetUp() override {
    VideoTest::SetUp();
    for (DEVICEINFO& d : g_3ddevices) d.bUsable = FALSE;
    g_n3DDevice = NUM_3DDEVICES;
    g_nNum3DDevices = 0;
    g_dwDisplayDepth = DDBD_16;
  }
  // Offers a device kind as the platform would.
  static void Offer(const GUID& guid, D3DDEVICEDESC hw, D3DDEVICEDESC hel) {
    char szDesc[] = "offered description";
    char szName[] = "offered name";
    EXPECT_EQ(EnumDevicesCallback(const_cast<GUID*>(&guid), szDesc, szName, &hw, &hel, nullptr),
              D3DENUMRET_OK);
    std::memset(szDesc, 'x', sizeof(szDesc) - 1);  // the table must keep its own copy
  }
  const D3DDEVICEDESC kNone = Desc(0, 0, 0);
  const D3DDEVICEDESC kHardware = Desc(D3DCOLOR_RGB, DDBD_16 | DDBD_32, DDBD_16);
  const D3DDEVICEDESC kEmulation = Desc(D3DCOLOR_RGB, DDBD_16 | DDBD_32, DDBD_32);
};

TEST_F(DeviceChoice, HardwareIsPreferredWhateverTheOrderOfOffering) {
  Offer(IID_IDirect3DRampDevice, kNone, kEmulation);
  Offer(IID_IDirect3DRGBDevice, kNone, kEmulation);
  EXPECT_EQ(g_n3DDevice, 1);
  Offer(IID_IDirect3DHALDevice, kHardware, kNone);
  Offer(IID_IDirect3DMMXDevice, kNone, kEmulation);
  EXPECT_EQ(g_n3DDevice, 0);
  EXPECT_EQ(g_nNum3DDevices, 4);

  const DEVICEINFO& hal = g_3ddevices[0];
  EXPECT_EQ(hal.lpDesc, &hal.ddHwDesc);
  EXPECT_EQ(hal.dwSurfaceCaps, (DWORD)DDSCAPS_VIDEOMEMORY);
  EXPECT_EQ(hal.dwZBufferCaps, (DWORD)DDSCAPS_VIDEOMEMORY);
  EXPECT_EQ(hal.dwZBufferDepth, 16u);
  const DEVICEINFO& rgb = g_3ddevices[1];
  EXPECT_EQ(rgb.lpDesc, &rgb.ddHelDesc);
  EXPECT_EQ(rgb.dwSurfaceCaps, 0u);
  EXPECT_EQ(rgb.dwZBufferCaps, (DWORD)DDSCAPS_SYSTEMMEMORY);
  EXPECT_EQ(rgb.dwZBufferDepth, 32u);
  EXPECT_STREQ(rgb.lpszDeviceDescription, "offered description");
  EXPECT_STREQ(rgb.lpszDeviceName, "offered name");
}

TEST_F(DeviceChoice, OnlyOneZBufferDepthAndTheDisplayDepthAreAccepted) {
  Offer(IID_IDirect3DHALDevice, Desc(D3DCOLOR_RGB, DDBD_16, DDBD_16 | DDBD_24), kNone);
  Offer(IID_IDirect3DRGBDevice, kNone, Desc(D3DCOLOR_RGB, DDBD_16, 0));
  Offer(IID_IDirect3DMMXDevice, kNone, Desc(D3DCOLOR_RGB, DDBD_32, DDBD_16));
  EXPECT_EQ(g_nNum3DDevices, 0);
  EXPECT_EQ(g_n3DDevice, NUM_3DDEVICES);

  // A hardware device that cannot draw at the display depth leaves the
  // choice to emulation.
  Offer(IID_IDirect3DHALDevice, Desc(D3DCOLOR_RGB, DDBD_32, DDBD_16), kNone);
  Offer(IID_IDirect3DRampDevice, kNone, Desc(D3DCOLOR_MONO, DDBD_16, DDBD_24));
  EXPECT_EQ(g_nNum3DDevices, 1);
  EXPECT_EQ(g_n3DDevice, 3);
  EXPECT_EQ(g_3ddevices[3].dwZBufferDepth, 24u);
  EXPECT_FALSE(g_3ddevices[0].bUsable);

  // Unknown kinds are passed over.
  static const GUID kOther = {0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  Offer(kOther, kHardware, kHardware);
  EXPECT_EQ(g_nNum3DDevices, 1);
}

TEST_F(DeviceChoice, StartUpTakesTheBestOfferedKindOrEndsWithoutOne) {
  D3DDEVICEDESC hw, hel;
  platform_test::OurDeviceDescriptions(&hw, &hel);
  D3DDEVICEDESC halHw = hel;  // a hardware kind describes itself in its first record
  platform_test::SetOfferedDevices(
      {{IID_IDirect3DRGBDevice, hw, hel}, {IID_IDirect3DHALDevice, halHw, kNone}});
  CreateViewOfSize(64, 48);
  EXPECT_EQ(g_n3DDevice, 0);
  EXPECT_EQ(g_nNum3DDevices, 2);
  EXPECT_NE(g_Viewport, nullptr);
  FreeGraph();

  D3DDEVICEDESC twoDepths = hel;
  twoDepths.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24;
  platform_test::SetOfferedDevices({{IID_IDirect3DRGBDevice, hw, twoDepths}});
  EXPECT_FATAL_TEXT("Error: no supported Direct3D devices were found.", InitGraph());
}

// ---- start-up -------------------------------------------------------------------

TEST_F(VideoTest, StartUpBuildsTheLongLivedObjectsWithoutAWindow) {
  InitGraph();
  EXPECT_NE(g_DD2, nullptr);
  EXPECT_NE(g_D3D, nullptr);
  EXPECT_NE(g_Clipper, nullptr);
  EXPECT_NE(g_Primary, nullptr);
  EXPECT_EQ(g_Palette, nullptr);  // 32-bit display
  EXPECT_EQ(g_dwDisplayDepth, (DWORD)DDBD_32);
  EXPECT_LT(g_n3DDevice, NUM_3DDEVICES);
  EXPECT_TRUE(g_3ddevices[g_n3DDevice].bUsable);
  EXPECT_EQ(g_BackBuffer, nullptr);
  for (int i = 0; i < NUM_LIGHTS; ++i) {
    EXPECT_NE(g_Lights[i], nullptr);
    EXPECT_FALSE(g_bLightOn[i]);
  }
  for (int i = 0; i < NUM_MATERIALS; ++i) EXPECT_NE(g_Materials[i], nullptr);

  // The light as the platform holds it: inverse-square, at its place.
  D3DLIGHT2 light;
  std::memset(&light, 0, sizeof(light));
  light.dwSize = sizeof(light);
  ASSERT_EQ(IDirect3DLight_GetLight(g_Lights[LIGHT_POINT3], (LPD3DLIGHT)&light), DD_OK);
  EXPECT_EQ(light.dltType, D3DLIGHT_POINT);
  EXPECT_EQ(light.dvAttenuation0, 0.0f);
  EXPECT_EQ(light.dvAttenuation1, 0.0f);
  EXPECT_EQ(light.dvAttenuation2, 1.0f);
  EXPECT_EQ(light.dvRange, 60.0f);
  EXPECT_EQ(light.dvPosition.y, 15.0f);
  EXPECT_EQ(light.dvPosition.z, -20.0f);

  // Blue is a shade darker than the other colours.
  D3DMATERIAL mat;
  std::memset(&mat, 0, sizeof(mat));
  mat.dwSize = sizeof(mat);
  ASSERT_EQ(IDirect3DMaterial2_GetMaterial(g_Materials[MAT_BLK_BLUE], &mat), DD_OK);
  EXPECT_EQ(mat.diffuse.b, 0.74f);
  EXPECT_EQ(mat.ambient.b, 0.74f);
  EXPECT_EQ(mat.specular.b, 0.74f);
  EXPECT_EQ(mat.emissive.b, 0.0f);
  EXPECT_EQ(mat.dwRampSize, 16u);
  ASSERT_EQ(IDirect3DMaterial2_GetMaterial(g_Materials[MAT_BLK_ORANGE], &mat), DD_OK);
  EXPECT_EQ(mat.diffuse.g, 0.48f);

  EXPECT_EQ(g_matProjection._34, g_SinTable[170]);
  EXPECT_EQ(g_matProjection._11, g_SinTable[170 + 256]);
  EXPECT_FLOAT_EQ(g_matProjection._43, -g_matProjection._33);
}

// Every light at its place and every block colour at its index, as the
// platform holds them: a light or a colour swapped with another would show
// the wrong lighting or paint a shape in another shape's colour.
TEST_F(VideoTest, EveryLightAndEveryBlockColourIsWhereItBelongs) {
  InitGraph();
  const D3DVECTOR kLightPos[NUM_LIGHTS] = {{5.0f, 2.0f, -20.0f}, {-5.0f, 2.0f, -20.0f}, {0.0f, 15.0f, -20.0f}};
  for (int i = 0; i < NUM_LIGHTS; ++i) {
    D3DLIGHT2 light;
    std::memset(&light, 0, sizeof(light));
    light.dwSize = sizeof(light);
    ASSERT_EQ(IDirect3DLight_GetLight(g_Lights[i], (LPD3DLIGHT)&light), DD_OK);
    EXPECT_EQ(light.dvPosition.x, kLightPos[i].x) << i;
    EXPECT_EQ(light.dvPosition.y, kLightPos[i].y) << i;
    EXPECT_EQ(light.dvPosition.z, kLightPos[i].z) << i;
    EXPECT_EQ(light.dcvColor.r, 1.0f) << i;
    EXPECT_EQ(light.dcvColor.g, 1.0f) << i;
    EXPECT_EQ(light.dcvColor.b, 1.0f) << i;
    EXPECT_EQ(light.dwFlags, (DWORD)D3DLIGHT_ACTIVE) << i;
  }

  const D3DCOLORVALUE kColour[NUM_MATERIALS] = {
      {0.0f, 0.0f, 0.74f, 1.0f},    // MAT_BLK_BLUE
      {0.75f, 0.0f, 0.0f, 1.0f},    // MAT_BLK_RED
      {0.75f, 0.0f, 0.75f, 1.0f},   // MAT_BLK_MAGENTA
      {0.75f, 0.75f, 0.75f, 1.0f},  // MAT_BLK_WHITE
      {0.0f, 0.75f, 0.0f, 1.0f},    // MAT_BLK_GREEN
      {0.0f, 0.75f, 0.75f, 1.0f},   // MAT_BLK_CYAN
      {0.75f, 0.48f, 0.0f, 1.0f},   // MAT_BLK_ORANGE
  };
  for (int i = 0; i < NUM_MATERIALS; ++i) {
    D3DMATERIAL mat;
    std::memset(&mat, 0, sizeof(mat));
    mat.dwSize = sizeof(mat);
    ASSERT_EQ(IDirect3DMaterial2_GetMaterial(g_Materials[i], &mat), DD_OK);
    for (const D3DCOLORVALUE* c : {&mat.diffuse, &mat.ambient, &mat.specular}) {
      EXPECT_EQ(c->r, kColour[i].r) << i;
      EXPECT_EQ(c->g, kColour[i].g) << i;
      EXPECT_EQ(c->b, kColour[i].b) << i;
      EXPECT_EQ(c->a, 1.0f) << i;
    }
    EXPECT_EQ(mat.power, 0.0f) << i;
  }
}

TEST_F(VideoTest, EightBitDisplayGetsThePaletteWithTheSystemColoursKept) {
  platform_test::SetDisplayDepth(8);
  InitGraph();
  EXPECT_EQ(g_dwDisplayDepth, (DWORD)DDBD_8);
  ASSERT_NE(g_Palette, nullptr);
  for (int i = 0; i < 256; ++i) {
    bool bSystem = i < 10 || i >= 246;
    EXPECT_EQ(g_pe[i].peRed, bSystem ? i : 0) << i;
    EXPECT_EQ(g_pe[i].peGreen | g_pe[i].peBlue, 0) << i;
    EXPECT_EQ(g_pe[i].peFlags, bSystem ? 0x42 : 0x04) << i;
  }
  PALETTEENTRY pe[256];
  ASSERT_EQ(IDirectDrawPalette_GetEntries(g_Palette, 0, 0, 256, pe), DD_OK);
  EXPECT_EQ(std::memcmp(pe, g_pe, sizeof(pe)), 0);
}

TEST_F(VideoTest, StartUpFailuresEndTheGameWithTheirSentence) {
  EXPECT_FATAL_TEXT("Error: cannot create DirectDraw device in function InitGraph()." +
                        DXSuffix(DDERR_NODIRECTDRAWHW),
                    platform_test::FailCall("DirectDrawCreate", DDERR_NODIRECTDRAWHW); InitGraph());
  EXPECT_FATAL_TEXT("Error: cannot create clipper object for main window in function InitGraph()." +
                        DXSuffix(DDERR_INVALIDPARAMS),
                    platform_test::FailCall("IDirectDrawClipper_SetHWnd", DDERR_INVALIDPARAMS);
                    InitGraph());
  EXPECT_FATAL_TEXT("Error: cannot enumerate Direct3D devices in function InitGraph()." +
                        DXSuffix(DDERR_GENERIC),
                    platform_test::FailCall("IDirect3D2_EnumDevices", DDERR_GENERIC); InitGraph());
  EXPECT_FATAL_TEXT(
      "Error: Quandrel 3D only supports screen modes of 8, 16, 24 or 32 bits per pixel.",
      platform_test::SetDisplayDepth(15); InitGraph());
  EXPECT_FATAL_AT(kInitFile, "IDirectDraw2_GetDisplayMode(g_DD2, &ddsd)", DXSuffix(DDERR_GENERIC),
                  platform_test::FailCall("IDirectDraw2_GetDisplayMode", DDERR_GENERIC);
                  InitGraph());
}

TEST_F(VideoTest, LightsAndMaterialsAreMadeInTheirOrderAndMustAllExist) {
  const char* kSuffix = "\n\nThe statement evaluated to TRUE, which signals an error";
  EXPECT_FATAL_AT(kInitFile,
                  "(g_Lights[LIGHT_POINT2] = CreateInvSqrPointLight(1.0f, &pos, 60.0f)) == NULL",
                  kSuffix, platform_test::FailCall("IDirect3DLight_SetLight", DDERR_GENERIC, 2);
                  InitGraph());
  // Second made is green, fourth red, seventh orange.
  EXPECT_FATAL_AT(kInitFile, "(g_Materials[MAT_BLK_GREEN] = CreateMattMaterial(&col)) == NULL",
                  kSuffix, platform_test::FailCall("IDirect3D2_CreateMaterial", E_OUTOFMEMORY, 2);
                  InitGraph());
  EXPECT_FATAL_AT(kInitFile, "(g_Materials[MAT_BLK_RED] = CreateMattMaterial(&col)) == NULL",
                  kSuffix,
                  platform_test::FailCall("IDirect3DMaterial2_SetMaterial", DDERR_GENERIC, 4);
                  InitGraph());
  EXPECT_FATAL_AT(kInitFile, "(g_Materials[MAT_BLK_ORANGE] = CreateMattMaterial(&col)) == NULL",
                  kSuffix, platform_test::FailCall("IDirect3D2_CreateMaterial", DDERR_GENERIC, 7);
                  InitGraph());
}

// ---- tear-down --------------------------------------------------------------------

TEST_F(VideoTest, FreeGraphReleasesEverythingAndMayRunTwice) {
  platform_test::SetDisplayDepth(8);
  CreateViewOfSize(200, 100);
  ASSERT_NE(g_Viewport, nullptr);
  ASSERT_GT(platform_test::LiveObjectCount(), 0);
  const int nAccepted = g_nNum3DDevices;
  FreeGraph();
  EXPECT_EQ(platform_test::LiveObjectCount(), 0);
  EXPECT_EQ(platform_test::LiveSurfaceCount(), 0);
  for (auto* p : {(void*)g_DD2, (void*)g_D3D, (void*)g_Clipper, (void*)g_Primary, (void*)g_Palette,
                  (void*)g_BackBuffer, (void*)g_ZBuffer, (void*)g_3DD, (void*)g_Viewport,
                  (void*)g_Lights[0], (void*)g_Materials[6]})
    EXPECT_EQ(p, nullptr);
  platform_test::ResetPlatformCallCounts();
  FreeGraph();
  EXPECT_EQ(platform_test::PlatformCallCount(), 0u);

  // A second view window chooses its device afresh.
  InitGraph();
  EXPECT_EQ(g_nNum3DDevices, nAccepted);
}

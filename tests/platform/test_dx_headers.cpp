// The DirectX declarations: record sizes, published values, and the statement
// texts the call macros expand to (the fatal report quotes them).

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "platform/d3d.h"
#include "platform/ddraw.h"

namespace {

#define STR2(x) #x
#define STR(x) STR2(x)

// The report's fix-up of the C++ null constant.
std::string Expanded(const char* text) {
  std::string s = text;
  for (size_t pos; (pos = s.find("__null")) != std::string::npos;) s.replace(pos, 6, "((void *)0)");
  return s;
}

// Names the expressions expand over; they are never evaluated.
struct BlockType {
  D3DVERTEX* vertices[16];
  DWORD numvertices[16];
  WORD* indices[16];
  DWORD numindices[16];
};
#define BN_NONE 0x0
#define LVERTEX_COUNT(a) (sizeof(a) / sizeof(D3DLVERTEX))
#define INDEX_COUNT(a) (sizeof(a) / sizeof(WORD))

TEST(DxHeaders, RecordSizesMatchDirectX5) {
  EXPECT_EQ(sizeof(DDSURFACEDESC), 108u);
  EXPECT_EQ(sizeof(DDPIXELFORMAT), 32u);
  EXPECT_EQ(sizeof(DDBLTFX), 100u);
  EXPECT_EQ(sizeof(DDSCAPS), 4u);
  EXPECT_EQ(sizeof(PALETTEENTRY), 4u);
  EXPECT_EQ(sizeof(D3DDEVICEDESC), 204u);
  EXPECT_EQ(sizeof(D3DLIGHT2), 80u);
  EXPECT_EQ(sizeof(D3DLIGHT), 76u);
  EXPECT_EQ(sizeof(D3DMATERIAL), 80u);
  EXPECT_EQ(sizeof(D3DVIEWPORT2), 44u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, ddpfPixelFormat), 72u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, ddsCaps), 104u);
  EXPECT_EQ(offsetof(DDBLTFX, dwFillColor), 80u);
  EXPECT_EQ(offsetof(D3DDEVICEDESC, dwDeviceRenderBitDepth), 156u);
  EXPECT_EQ(offsetof(D3DDEVICEDESC, dwDeviceZBufferBitDepth), 160u);
  EXPECT_EQ(offsetof(D3DLIGHT2, dwFlags), 76u);
  EXPECT_EQ(offsetof(D3DMATERIAL, dwRampSize), 76u);
}

TEST(DxHeaders, PublishedValues) {
  EXPECT_EQ(DDSCAPS_VIDEOMEMORY, 0x4000);
  EXPECT_EQ(DDSCAPS_SYSTEMMEMORY, 0x800);
  EXPECT_EQ(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 0x2040);
  EXPECT_EQ(DDSCAPS_ZBUFFER, 0x20000);
  EXPECT_EQ(DDBD_8, 0x800);
  EXPECT_EQ(DDBD_32, 0x100);
  EXPECT_EQ(DDBLT_COLORFILL | DDBLT_WAIT, 0x01000400);
  EXPECT_EQ(D3DSHADE_FLAT, 1);
  EXPECT_EQ(D3DSHADE_GOURAUD, 2);
  EXPECT_EQ(D3DENUMRET_OK, 1);
  EXPECT_EQ(TA_CENTER | TA_TOP, 6);
  EXPECT_EQ(IID_IDirect3DRGBDevice.Data1, 0xA4665C60u);
  EXPECT_EQ(IID_IDirect3DHALDevice.Data4[7], 0x6E);
  EXPECT_FALSE(IsEqualGUID(IID_IDirect3DRGBDevice, IID_IDirect3DMMXDevice));
}

// The game's call shapes compile against the declarations.
[[maybe_unused]] HRESULT CALLBACK EnumCallback(GUID* lpGuid, LPSTR, LPSTR, LPD3DDEVICEDESC hw, LPD3DDEVICEDESC, LPVOID) {
  return (lpGuid != nullptr && hw->dcmColorModel != 0) ? D3DENUMRET_OK : D3DENUMRET_CANCEL;
}

// Never instantiated: the calls are checked by the compiler only.
template <typename Unused>
[[maybe_unused]] void GameCallShapes() {
  LPDIRECTDRAW lpDD = nullptr;
  IDirectDraw2* g_DD2 = nullptr;
  IDirect3D2* g_D3D = nullptr;
  IDirectDrawSurface3* g_BackBuffer = nullptr;
  IDirect3DDevice2* g_3DD = nullptr;
  IDirect3DViewport2* g_Viewport = nullptr;
  IDirectDrawPalette* g_Palette = nullptr;
  IDirectDrawClipper* g_Clipper = nullptr;
  IDirect3DMaterial2* g_Materials[1] = {};
  IDirect3DLight* g_Lights[1] = {};
  D3DMATERIALHANDLE g_hMaterials[1] = {};
  LPDIRECTDRAWSURFACE lpDDS1 = nullptr;
  PALETTEENTRY g_pe[256] = {};
  RECT g_rBackBuffer = {0, 0, 4, 4};
  D3DMATRIX g_matView = {};
  const GUID* lpGUID = &IID_IDirect3DRGBDevice;
  DDSURFACEDESC ddsd = {};
  DDBLTFX bltfx = {};
  D3DVIEWPORT2 vp = {};
  D3DLIGHT2 lt = {};
  D3DMATERIAL mat = {};
  HWND g_hwndMain = nullptr;
  HDC hdc = nullptr;
  HFONT g_hStatFont = nullptr;
  RECT rc = {};
  SIZE size = {};
  if (lpDD != nullptr) {
    DirectDrawCreate(NULL, &lpDD, NULL);
    IDirectDraw_QueryInterface(lpDD, IID_IDirectDraw2, (LPVOID*)&g_DD2);
    IDirectDraw_QueryInterface(lpDD, &IID_IDirectDraw2, (LPVOID*)&g_DD2);
    IDirectDraw_Release(lpDD);
    IDirectDraw2_SetCooperativeLevel(g_DD2, g_hwndMain, DDSCL_NORMAL);
    IDirectDraw2_GetDisplayMode(g_DD2, &ddsd);
    IDirectDraw2_CreateClipper(g_DD2, 0, &g_Clipper, NULL);
    IDirectDrawClipper_SetHWnd(g_Clipper, 0, g_hwndMain);
    IDirectDraw2_CreateSurface(g_DD2, &ddsd, &lpDDS1, NULL);
    IDirectDrawSurface_QueryInterface(lpDDS1, IID_IDirectDrawSurface3, (LPVOID*)&g_BackBuffer);
    IDirectDraw2_CreatePalette(g_DD2, DDPCAPS_8BIT, g_pe, &g_Palette, NULL);
    IDirect3D2_EnumDevices(g_D3D, EnumCallback, NULL);
    IDirect3D2_CreateDevice(g_D3D, lpGUID, (LPDIRECTDRAWSURFACE) g_BackBuffer, &g_3DD);
    IDirect3D2_CreateViewport(g_D3D, &g_Viewport, NULL);
    IDirect3DMaterial2_GetHandle(g_Materials[0], g_3DD, &g_hMaterials[0]);
    IDirect3DMaterial2_SetMaterial(g_Materials[0], &mat);
    IDirect3DLight_SetLight(g_Lights[0], (LPD3DLIGHT)&lt);
    IDirect3DViewport2_AddLight(g_Viewport, g_Lights[0]);
    IDirect3DViewport2_SetViewport2(g_Viewport, &vp);
    IDirect3DViewport2_Clear(g_Viewport, 1, (LPD3DRECT) &g_rBackBuffer, D3DCLEAR_ZBUFFER);
    IDirectDrawSurface3_Blt(g_BackBuffer, NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &bltfx);
    IDirect3DDevice2_SetTransform(g_3DD, D3DTRANSFORMSTATE_VIEW, &(g_matView));
    IDirect3DDevice2_SetRenderState(g_3DD, D3DRENDERSTATE_ZENABLE, TRUE);
    IDirect3DDevice2_SetLightState(g_3DD, D3DLIGHTSTATE_AMBIENT, RGB_MAKE(0, 0, 0));
    g_hStatFont = (HFONT) GetStockObject(DEFAULT_GUI_FONT);
    SelectObject(hdc, g_hStatFont);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, 0x00FFFFFF);
    SetTextAlign(hdc, TA_CENTER | TA_TOP);
    TextOutA(hdc, 1, 1, "0", 1);
    FillRect(hdc, &rc, (HBRUSH) GetStockObject(BLACK_BRUSH));
    GetTextExtentPoint32A(hdc, "0", 1, &size);
  }
}

TEST(DxHeaders, CallMacrosExpandToTheReportedTexts) {
  // The statements stay unevaluated: each sits in a branch that never runs.
  IDirectDrawSurface3* g_Primary = nullptr;
  IDirectDrawSurface3* g_BackBuffer = nullptr;
  IDirectDrawPalette* g_Palette = nullptr;
  IDirect3DDevice2* g_3DD = nullptr;
  BlockType g_BlockTypes[2] = {};
  unsigned g_uBlockType = 0;
  D3DLVERTEX g_WellVerts[8] = {};
  WORD g_WellIndices[20] = {};
  D3DLVERTEX g_WellGuides[200] = {};
  RECT rDest = {};
  HDC hdc = nullptr;
  if (g_3DD != nullptr) {
    IDirectDrawSurface3_Blt(g_Primary, &rDest, g_BackBuffer, NULL, DDBLT_WAIT, NULL);
    IDirect3DDevice2_DrawIndexedPrimitive(g_3DD, D3DPT_TRIANGLELIST, D3DVT_VERTEX,
                                          g_BlockTypes[g_uBlockType].vertices[BN_NONE],
                                          g_BlockTypes[g_uBlockType].numvertices[BN_NONE],
                                          g_BlockTypes[g_uBlockType].indices[BN_NONE],
                                          g_BlockTypes[g_uBlockType].numindices[BN_NONE], 0);
    IDirect3DDevice2_DrawIndexedPrimitive(g_3DD, D3DPT_LINELIST, D3DVT_LVERTEX, g_WellVerts,
                                          LVERTEX_COUNT(g_WellVerts), g_WellIndices,
                                          INDEX_COUNT(g_WellIndices), 0);
    IDirect3DDevice2_DrawPrimitive(g_3DD, D3DPT_POINTLIST, D3DVT_LVERTEX, g_WellGuides,
                                   LVERTEX_COUNT(g_WellGuides), 0);
    IDirectDrawSurface3_GetDC(g_BackBuffer, &hdc);
    IDirectDrawSurface3_ReleaseDC(g_BackBuffer, hdc);
    IDirectDrawSurface3_SetPalette(g_Primary, g_Palette);
  }

  EXPECT_EQ(Expanded(STR(IDirectDrawSurface3_Blt(g_Primary, &rDest, g_BackBuffer, NULL, DDBLT_WAIT, NULL))),
            "(g_Primary)->lpVtbl->Blt(g_Primary,&rDest,g_BackBuffer,((void *)0),0x01000000l,((void *)0))");
  EXPECT_EQ(Expanded(STR(IDirect3DDevice2_BeginScene(g_3DD))), "(g_3DD)->lpVtbl->BeginScene(g_3DD)");
  EXPECT_EQ(Expanded(STR(IDirect3DDevice2_EndScene(g_3DD))), "(g_3DD)->lpVtbl->EndScene(g_3DD)");
  EXPECT_EQ(
      Expanded(STR(IDirect3DDevice2_DrawIndexedPrimitive(
          g_3DD, D3DPT_TRIANGLELIST, D3DVT_VERTEX, g_BlockTypes[g_uBlockType].vertices[BN_NONE],
          g_BlockTypes[g_uBlockType].numvertices[BN_NONE], g_BlockTypes[g_uBlockType].indices[BN_NONE],
          g_BlockTypes[g_uBlockType].numindices[BN_NONE], 0))),
      "(g_3DD)->lpVtbl->DrawIndexedPrimitive(g_3DD, D3DPT_TRIANGLELIST, D3DVT_VERTEX, "
      "g_BlockTypes[g_uBlockType].vertices[0x0], g_BlockTypes[g_uBlockType].numvertices[0x0], "
      "g_BlockTypes[g_uBlockType].indices[0x0], g_BlockTypes[g_uBlockType].numindices[0x0], 0)");
  EXPECT_EQ(Expanded(STR(IDirect3DDevice2_DrawIndexedPrimitive(g_3DD, D3DPT_LINELIST, D3DVT_LVERTEX, g_WellVerts,
                                                               LVERTEX_COUNT(g_WellVerts), g_WellIndices,
                                                               INDEX_COUNT(g_WellIndices), 0))),
            "(g_3DD)->lpVtbl->DrawIndexedPrimitive(g_3DD, D3DPT_LINELIST, D3DVT_LVERTEX, g_WellVerts, "
            "(sizeof(g_WellVerts) / sizeof(D3DLVERTEX)), g_WellIndices, (sizeof(g_WellIndices) / sizeof(WORD)), 0)");
  EXPECT_EQ(Expanded(STR(IDirect3DDevice2_DrawPrimitive(g_3DD, D3DPT_POINTLIST, D3DVT_LVERTEX, g_WellGuides,
                                                        LVERTEX_COUNT(g_WellGuides), 0))),
            "(g_3DD)->lpVtbl->DrawPrimitive(g_3DD, D3DPT_POINTLIST, D3DVT_LVERTEX, g_WellGuides, "
            "(sizeof(g_WellGuides) / sizeof(D3DLVERTEX)), 0)");
  EXPECT_EQ(Expanded(STR(IDirectDrawSurface3_GetDC(g_BackBuffer, &hdc))),
            "(g_BackBuffer)->lpVtbl->GetDC(g_BackBuffer,&hdc)");
  EXPECT_EQ(Expanded(STR(IDirectDrawSurface3_ReleaseDC(g_BackBuffer, hdc))),
            "(g_BackBuffer)->lpVtbl->ReleaseDC(g_BackBuffer,hdc)");
  EXPECT_EQ(Expanded(STR(IDirectDrawSurface3_SetPalette(g_Primary, g_Palette))),
            "(g_Primary)->lpVtbl->SetPalette(g_Primary,g_Palette)");
  EXPECT_EQ(Expanded(STR(IDirectDrawSurface3_SetPalette(g_BackBuffer, g_Palette))),
            "(g_BackBuffer)->lpVtbl->SetPalette(g_BackBuffer,g_Palette)");
}

}  // namespace

// The graphics device's lifetime: everything that lives as long as the view
// window (DirectDraw and Direct3D, clipper, primary surface, the palette of an
// 8-bit display, the device choice, lights, materials, projection), and the
// release of every graphics object when the view goes.

#include "video_main/video_main.h"

#include <cstdio>
#include <cstring>

#include "main/fatal.h"
#include "maths/maths.h"
#include "window/window.h"

// ---- globals: objects -------------------------------------------------------

LPDIRECTDRAW2 g_DD2 = NULL;
LPDIRECT3D2 g_D3D = NULL;
LPDIRECTDRAWCLIPPER g_Clipper = NULL;
LPDIRECTDRAWSURFACE3 g_Primary = NULL;
LPDIRECTDRAWPALETTE g_Palette = NULL;
LPDIRECTDRAWSURFACE3 g_BackBuffer = NULL;
LPDIRECTDRAWSURFACE3 g_ZBuffer = NULL;
LPDIRECT3DDEVICE2 g_3DD = NULL;
LPDIRECT3DVIEWPORT2 g_Viewport = NULL;
LPDIRECT3DLIGHT g_Lights[NUM_LIGHTS];
LPDIRECT3DMATERIAL2 g_Materials[NUM_MATERIALS];

// ---- globals: state -----------------------------------------------------------

BOOL g_bLightOn[NUM_LIGHTS];
BOOL g_bLightAdded[NUM_LIGHTS];
D3DMATERIALHANDLE g_hMaterials[NUM_MATERIALS];

// Best first: the preference among accepted devices is the table order.
DEVICEINFO g_3ddevices[NUM_3DDEVICES] = {
    {&IID_IDirect3DHALDevice},
    {&IID_IDirect3DRGBDevice},
    {&IID_IDirect3DMMXDevice},
    {&IID_IDirect3DRampDevice},
};
INT g_n3DDevice = NUM_3DDEVICES;
INT g_nNum3DDevices = 0;
DWORD g_dwDisplayDepth = 0;
PALETTEENTRY g_pe[256];

// The texts enumeration offers are only lent for the call; the table keeps
// its own copies.
static char s_szDeviceDescription[NUM_3DDEVICES][128];
static char s_szDeviceName[NUM_3DDEVICES][128];

// ---- functions ----------------------------------------------------------------

// The first and last ten entries are the system's colours, which Direct3D
// must leave alone; the rest is free for it.
static void BuildPalette(void) {
  for (int i = 0; i < 256; ++i) {
    bool bSystem = i < 10 || i >= 246;
    g_pe[i].peRed = bSystem ? (BYTE)i : 0;
    g_pe[i].peGreen = 0;
    g_pe[i].peBlue = 0;
    g_pe[i].peFlags = bSystem ? (PC_EXPLICIT | D3DPAL_READONLY) : PC_NOCOLLAPSE;
  }
}

// Forgets an earlier enumeration, so a second view window chooses afresh.
static void ResetDeviceChoice(void) {
  for (int i = 0; i < NUM_3DDEVICES; ++i) {
    g_3ddevices[i].bUsable = FALSE;
    g_3ddevices[i].dwZBufferDepth = 0;
  }
  g_n3DDevice = NUM_3DDEVICES;
  g_nNum3DDevices = 0;
}

// Copies an offered text into the table's own buffer.
static LPSTR KeepText(char* lpszBuffer, size_t cbBuffer, LPCSTR lpszText) {
  std::snprintf(lpszBuffer, cbBuffer, "%s", lpszText ? lpszText : "");
  return lpszBuffer;
}

// Creates the DirectDraw and Direct3D objects, the clipper, the primary
// surface (and palette), chooses the device, makes lights and materials and
// fills the projection. Every failure ends the game.
void InitGraph(void) {
  for (int i = 0; i < NUM_MATERIALS; ++i) g_Materials[i] = NULL;
  for (int i = 0; i < NUM_LIGHTS; ++i) {
    g_Lights[i] = NULL;
    g_bLightOn[i] = FALSE;
    g_bLightAdded[i] = FALSE;
  }

  LPDIRECTDRAW lpDD = NULL;
  g_hr = DirectDrawCreate(NULL, &lpDD, NULL);
  if (FAILED(g_hr)) FatalDX("Error: cannot create DirectDraw device in function InitGraph().");

  g_hr = IDirectDraw_QueryInterface(lpDD, IID_IDirectDraw2, (LPVOID*)&g_DD2);
  if (FAILED(g_hr)) {
    IDirectDraw_Release(lpDD);
    FatalDX("Error: cannot create DirectDraw2 device in function InitGraph().");
  }
  IDirectDraw_Release(lpDD);

  g_hr = IDirectDraw2_SetCooperativeLevel(g_DD2, g_hwndMain, DDSCL_NORMAL);
  if (FAILED(g_hr))
    FatalDX("Error: cannot set DirectDraw cooperative level in function InitGraph().");

  DDSURFACEDESC ddsd;
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  CHECK_DX(IDirectDraw2_GetDisplayMode(g_DD2, &ddsd));
  switch (ddsd.ddpfPixelFormat.dwRGBBitCount) {
    case 8: g_dwDisplayDepth = DDBD_8; break;
    case 16: g_dwDisplayDepth = DDBD_16; break;
    case 24: g_dwDisplayDepth = DDBD_24; break;
    case 32: g_dwDisplayDepth = DDBD_32; break;
    default:
      Fatal("Error: %s only supports screen modes of 8, 16, 24 or 32 bits per pixel.",
            "Quandrel 3D");
  }

  g_hr = IDirectDraw2_QueryInterface(g_DD2, IID_IDirect3D2, (LPVOID*)&g_D3D);
  if (FAILED(g_hr)) FatalDX("Error: cannot create Direct3D interface in function InitGraph().");

  g_hr = IDirectDraw2_CreateClipper(g_DD2, 0, &g_Clipper, NULL);
  if (SUCCEEDED(g_hr)) g_hr = IDirectDrawClipper_SetHWnd(g_Clipper, 0, g_hwndMain);
  if (FAILED(g_hr))
    FatalDX("Error: cannot create clipper object for main window in function InitGraph().");

  LPDIRECTDRAWSURFACE lpDDS1 = NULL;
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS;
  ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  g_hr = IDirectDraw2_CreateSurface(g_DD2, &ddsd, &lpDDS1, NULL);
  if (SUCCEEDED(g_hr)) {
    g_hr = IDirectDrawSurface_QueryInterface(lpDDS1, IID_IDirectDrawSurface3, (LPVOID*)&g_Primary);
    IDirectDrawSurface_Release(lpDDS1);
    if (SUCCEEDED(g_hr)) g_hr = IDirectDrawSurface3_SetClipper(g_Primary, g_Clipper);
  }
  if (FAILED(g_hr))
    FatalDX("Error: cannot create primary display surface in function InitGraph().");

  if (g_dwDisplayDepth == DDBD_8) {
    BuildPalette();
    CHECK_DX(IDirectDraw2_CreatePalette(g_DD2, DDPCAPS_8BIT, g_pe, &g_Palette, NULL));
    CHECK_DX(IDirectDrawSurface3_SetPalette(g_Primary, g_Palette));
  }

  ResetDeviceChoice();
  g_hr = IDirect3D2_EnumDevices(g_D3D, EnumDevicesCallback, NULL);
  if (FAILED(g_hr)) FatalDX("Error: cannot enumerate Direct3D devices in function InitGraph().");
  if (g_nNum3DDevices == 0) Fatal("Error: no supported Direct3D devices were found.");

  D3DVECTOR pos;
  pos = {5.0f, 2.0f, -20.0f};
  CHECK_TRUE((g_Lights[LIGHT_POINT1] = CreateInvSqrPointLight(1.0f, &pos, 60.0f)) == NULL);
  pos = {-5.0f, 2.0f, -20.0f};
  CHECK_TRUE((g_Lights[LIGHT_POINT2] = CreateInvSqrPointLight(1.0f, &pos, 60.0f)) == NULL);
  pos = {0.0f, 15.0f, -20.0f};
  CHECK_TRUE((g_Lights[LIGHT_POINT3] = CreateInvSqrPointLight(1.0f, &pos, 60.0f)) == NULL);

  // The creation order is not the index order.
  D3DCOLORVALUE col;
  col = {0.0f, 0.0f, 0.74f, 1.0f};
  CHECK_TRUE((g_Materials[MAT_BLK_BLUE] = CreateMattMaterial(&col)) == NULL);
  col = {0.0f, 0.75f, 0.0f, 1.0f};
  CHECK_TRUE((g_Materials[MAT_BLK_GREEN] = CreateMattMaterial(&col)) == NULL);
  col = {0.0f, 0.75f, 0.75f, 1.0f};
  CHECK_TRUE((g_Materials[MAT_BLK_CYAN] = CreateMattMaterial(&col)) == NULL);
  col = {0.75f, 0.0f, 0.0f, 1.0f};
  CHECK_TRUE((g_Materials[MAT_BLK_RED] = CreateMattMaterial(&col)) == NULL);
  col = {0.75f, 0.0f, 0.75f, 1.0f};
  CHECK_TRUE((g_Materials[MAT_BLK_MAGENTA] = CreateMattMaterial(&col)) == NULL);
  col = {0.75f, 0.75f, 0.75f, 1.0f};
  CHECK_TRUE((g_Materials[MAT_BLK_WHITE] = CreateMattMaterial(&col)) == NULL);
  col = {0.75f, 0.48f, 0.0f, 1.0f};
  CHECK_TRUE((g_Materials[MAT_BLK_ORANGE] = CreateMattMaterial(&col)) == NULL);

  ProjectionMatrix(&g_matProjection, 1.0f, 200.0f, 170);
}

// Accepts a device kind of the table that renders at the display depth and
// offers exactly one Z-buffer depth; the lowest accepted index is the choice.
HRESULT CALLBACK EnumDevicesCallback(GUID* lpGuid, LPSTR lpDeviceDescription, LPSTR lpDeviceName,
                                     LPD3DDEVICEDESC lpHWDesc, LPD3DDEVICEDESC lpHELDesc,
                                     LPVOID) {
  if (lpGuid == NULL) return D3DENUMRET_OK;
  int n = 0;
  while (n < NUM_3DDEVICES && std::memcmp(lpGuid, g_3ddevices[n].lpGUID, sizeof(GUID)) != 0) ++n;
  if (n == NUM_3DDEVICES) return D3DENUMRET_OK;

  DEVICEINFO* lpDev = &g_3ddevices[n];
  lpDev->lpszDeviceDescription =
      KeepText(s_szDeviceDescription[n], sizeof(s_szDeviceDescription[n]), lpDeviceDescription);
  lpDev->lpszDeviceName = KeepText(s_szDeviceName[n], sizeof(s_szDeviceName[n]), lpDeviceName);
  std::memset(&lpDev->ddHwDesc, 0, sizeof(lpDev->ddHwDesc));
  std::memset(&lpDev->ddHelDesc, 0, sizeof(lpDev->ddHelDesc));
  if (lpHWDesc != NULL) std::memcpy(&lpDev->ddHwDesc, lpHWDesc, sizeof(lpDev->ddHwDesc));
  if (lpHELDesc != NULL) std::memcpy(&lpDev->ddHelDesc, lpHELDesc, sizeof(lpDev->ddHelDesc));

  if (lpDev->ddHwDesc.dcmColorModel != 0) {
    lpDev->lpDesc = &lpDev->ddHwDesc;
    lpDev->dwSurfaceCaps = DDSCAPS_VIDEOMEMORY;
    lpDev->dwZBufferCaps = DDSCAPS_VIDEOMEMORY;
  } else {
    lpDev->lpDesc = &lpDev->ddHelDesc;
    lpDev->dwSurfaceCaps = 0;
    lpDev->dwZBufferCaps = DDSCAPS_SYSTEMMEMORY;
  }

  if ((lpDev->lpDesc->dwDeviceRenderBitDepth & g_dwDisplayDepth) == 0) return D3DENUMRET_OK;

  switch (lpDev->lpDesc->dwDeviceZBufferBitDepth) {
    case DDBD_32: lpDev->dwZBufferDepth = 32; break;
    case DDBD_24: lpDev->dwZBufferDepth = 24; break;
    case DDBD_16: lpDev->dwZBufferDepth = 16; break;
    case DDBD_8: lpDev->dwZBufferDepth = 8; break;
    default: lpDev->dwZBufferDepth = 0; break;
  }
  if (lpDev->dwZBufferDepth == 0) return D3DENUMRET_OK;

  if (n < g_n3DDevice) g_n3DDevice = n;
  // The same kind offered twice counts once.
  if (!lpDev->bUsable) ++g_nNum3DDevices;
  lpDev->bUsable = TRUE;
  return D3DENUMRET_OK;
}

// Releases in the reverse order of creation; safe with any object missing.
void FreeGraph(void) {
  for (int i = 0; i < NUM_MATERIALS; ++i) RELEASE_OBJECT(g_Materials[i]);
  for (int i = 0; i < NUM_LIGHTS; ++i) {
    RELEASE_OBJECT(g_Lights[i]);
    g_bLightAdded[i] = FALSE;
  }
  RELEASE_OBJECT(g_Viewport);
  RELEASE_OBJECT(g_3DD);
  RELEASE_OBJECT(g_ZBuffer);
  RELEASE_OBJECT(g_BackBuffer);
  RELEASE_OBJECT(g_Primary);
  RELEASE_OBJECT(g_Palette);
  RELEASE_OBJECT(g_Clipper);
  RELEASE_OBJECT(g_D3D);
  RELEASE_OBJECT(g_DD2);
  g_bNoSurfaces = TRUE;
}

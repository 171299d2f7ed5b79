// The view-sized objects of the graphics device: back buffer, Z buffer,
// device and viewport, rebuilt at every change of the view's size; running
// out of memory while building them is survived; lost surfaces are restored
// and the 8-bit palette is attached again.

#include <cstring>

#include "main/fatal.h"
#include "main/main.h"
#include "maths/maths.h"
#include "options/options.h"
#include "render/render.h"
#include "video_main/video_main.h"
#include "window/window.h"

// ---- globals ------------------------------------------------------------------

// No surfaces exist until the first rebuild.
BOOL g_bNoSurfaces = TRUE;
HRESULT g_hrGraphError = 0;
RECT g_rBackBuffer = {0, 0, 0, 0};

// ---- checking ---------------------------------------------------------------------

// A build step: lack of memory or video memory stops the rebuild and leaves
// the view explaining itself; any other failure is fatal with the given text.
#define CHECK_DX_MEM_TEXT(x, text)                                       \
  do {                                                                   \
    g_hr = (x);                                                          \
    if (FAILED(g_hr)) {                                                  \
      if (g_hr == E_OUTOFMEMORY || g_hr == DDERR_OUTOFVIDEOMEMORY) {     \
        g_hrGraphError = g_hr;                                           \
        g_dwSuspendFlags |= SUSPEND_GFXERROR;                            \
        return;                                                          \
      }                                                                  \
      FatalDX("%s:%u { %s }", __FILE__, (unsigned)__LINE__, text);       \
    }                                                                    \
  } while (0)
#define CHECK_DX_MEM(x) CHECK_DX_MEM_TEXT(x, #x)

// ---- functions ----------------------------------------------------------------------

// Throws the view-sized objects away and builds them again at the view's
// current size; a view without area gets none.
void RebuildSurfaces(void) {
  g_nBackBufferW = g_nViewW;
  g_nBackBufferH = g_nViewH;
  g_rBackBuffer.left = 0;
  g_rBackBuffer.top = 0;
  g_rBackBuffer.right = g_nBackBufferW;
  g_rBackBuffer.bottom = g_nBackBufferH;

  if (g_Viewport != NULL) {
    for (int i = 0; i < NUM_LIGHTS; ++i) {
      // Only what this viewport really holds: a stopped rebuild may not have
      // added every light that is on.
      if (g_bLightOn[i] && g_bLightAdded[i])
        CHECK_DX(IDirect3DViewport2_DeleteLight(g_Viewport, g_Lights[i]));
    }
  }
  for (int i = 0; i < NUM_LIGHTS; ++i) g_bLightAdded[i] = FALSE;

  RELEASE_OBJECT(g_Viewport);
  RELEASE_OBJECT(g_3DD);
  RELEASE_OBJECT(g_ZBuffer);
  RELEASE_OBJECT(g_BackBuffer);

  g_bNoSurfaces = (g_nBackBufferW <= 0 || g_nBackBufferH <= 0);
  if (g_bNoSurfaces) return;

  const DEVICEINFO* lpDev = &g_3ddevices[g_n3DDevice];
  LPDIRECTDRAWSURFACE lpDDS1 = NULL;
  DDSURFACEDESC ddsd;

  // Back buffer.
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  ddsd.dwWidth = (DWORD)g_nBackBufferW;
  ddsd.dwHeight = (DWORD)g_nBackBufferH;
  ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | lpDev->dwSurfaceCaps;
  CHECK_DX_MEM(IDirectDraw2_CreateSurface(g_DD2, &ddsd, &lpDDS1, NULL));
  g_hr = IDirectDrawSurface_QueryInterface(lpDDS1, IID_IDirectDrawSurface3, (LPVOID*)&g_BackBuffer);
  if (FAILED(g_hr)) {
    IDirectDrawSurface_Release(lpDDS1);
    g_BackBuffer = NULL;
    CHECK_DX_MEM_TEXT(g_hr, "Error allocating back buffer");
  }
  IDirectDrawSurface_Release(lpDDS1);
  lpDDS1 = NULL;

  if (g_dwDisplayDepth == DDBD_8)
    CHECK_DX_MEM(IDirectDrawSurface3_SetPalette(g_BackBuffer, g_Palette));

  // Z buffer, attached to the back buffer.
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH;
  ddsd.dwWidth = (DWORD)g_nBackBufferW;
  ddsd.dwHeight = (DWORD)g_nBackBufferH;
  ddsd.dwZBufferBitDepth = lpDev->dwZBufferDepth;
  ddsd.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | lpDev->dwZBufferCaps;
  CHECK_DX_MEM(IDirectDraw2_CreateSurface(g_DD2, &ddsd, &lpDDS1, NULL));
  g_hr = IDirectDrawSurface_QueryInterface(lpDDS1, IID_IDirectDrawSurface3, (LPVOID*)&g_ZBuffer);
  if (FAILED(g_hr)) {
    IDirectDrawSurface_Release(lpDDS1);
    g_ZBuffer = NULL;
    CHECK_DX_MEM_TEXT(g_hr, "Error creating Z buffer");
  }
  IDirectDrawSurface_Release(lpDDS1);
  lpDDS1 = NULL;
  CHECK_DX_MEM(IDirectDrawSurface3_AddAttachedSurface(g_BackBuffer, g_ZBuffer));

  // Device and the material handles that belong to it.
  CHECK_DX_MEM(IDirect3D2_CreateDevice(g_D3D, g_3ddevices[g_n3DDevice].lpGUID,
                                       (LPDIRECTDRAWSURFACE) g_BackBuffer, &g_3DD));
  for (int i = 0; i < NUM_MATERIALS; ++i)
    CHECK_DX_MEM(IDirect3DMaterial2_GetHandle(g_Materials[i], g_3DD, &g_hMaterials[i]));

  // Viewport with the lights that are on.
  CHECK_DX_MEM(IDirect3D2_CreateViewport(g_D3D, &g_Viewport, NULL));
  for (int i = 0; i < NUM_LIGHTS; ++i) {
    if (g_bLightOn[i]) {
      CHECK_DX_MEM(IDirect3DViewport2_AddLight(g_Viewport, g_Lights[i]));
      g_bLightAdded[i] = TRUE;
    }
  }
  CHECK_DX_MEM(IDirect3DDevice2_AddViewport(g_3DD, g_Viewport));

  // The scene's width always fills the view; its height follows the view's
  // proportions.
  g_fAspect = (float)g_nBackBufferH / (float)g_nBackBufferW;
  D3DVIEWPORT2 vp;
  std::memset(&vp, 0, sizeof(vp));
  vp.dwSize = sizeof(vp);
  vp.dwX = 0;
  vp.dwY = 0;
  vp.dwWidth = (DWORD)g_nBackBufferW;
  vp.dwHeight = (DWORD)g_nBackBufferH;
  vp.dvClipX = -1.0f;
  vp.dvClipY = g_fAspect;
  vp.dvClipWidth = 2.0f;
  vp.dvClipHeight = 2.0f * g_fAspect;
  vp.dvMinZ = 0.0f;
  vp.dvMaxZ = 1.0f;
  CHECK_DX_MEM(IDirect3DViewport2_SetViewport2(g_Viewport, &vp));

  CHECK_DX_MEM(IDirect3DDevice2_SetCurrentViewport(g_3DD, g_Viewport));
  CHECK_DX(IDirect3DDevice2_SetTransform(g_3DD, D3DTRANSFORMSTATE_PROJECTION, &(g_matProjection)));

  UpdateView();

  CHECK_DX_MEM(IDirect3DDevice2_SetRenderState(g_3DD, D3DRENDERSTATE_ZENABLE, TRUE));
  CHECK_DX_MEM(IDirect3DDevice2_SetRenderState(g_3DD, D3DRENDERSTATE_SHADEMODE, g_dwShadeMode));
  CHECK_DX_MEM(IDirect3DDevice2_SetLightState(g_3DD, D3DLIGHTSTATE_AMBIENT, RGB_MAKE(0, 0, 0)));

  g_dwSuspendFlags &= ~SUSPEND_GFXERROR;
}

// Restores each surface that has really been lost; the next frame draws
// their contents again.
void RestoreSurfaces(void) {
  if (g_BackBuffer != NULL && IDirectDrawSurface3_IsLost(g_BackBuffer) == DDERR_SURFACELOST)
    CHECK_DX(IDirectDrawSurface3_Restore(g_BackBuffer));
  if (g_ZBuffer != NULL && IDirectDrawSurface3_IsLost(g_ZBuffer) == DDERR_SURFACELOST)
    CHECK_DX(IDirectDrawSurface3_Restore(g_ZBuffer));
  if (g_Primary != NULL && IDirectDrawSurface3_IsLost(g_Primary) == DDERR_SURFACELOST)
    CHECK_DX(IDirectDrawSurface3_Restore(g_Primary));
}

// The display may have changed its colours while the application was away.
void ResetPalette(void) {
  if (g_Palette == NULL || g_BackBuffer == NULL || g_Primary == NULL) return;
  CHECK_DX_RETRY(IDirectDrawSurface3_SetPalette(g_Primary, g_Palette));
  CHECK_DX_RETRY(IDirectDrawSurface3_SetPalette(g_BackBuffer, g_Palette));
}

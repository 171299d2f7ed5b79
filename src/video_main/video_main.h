// The graphics device: DirectDraw and Direct3D objects, the view-sized
// surfaces, presentation, lights, materials and the camera.
#pragma once

#include "platform/d3d.h"
#include "platform/ddraw.h"
#include "platform/win32.h"
#include "platform/win_gdi.h"
#include "platform/win_paint.h"

// ---- constants ------------------------------------------------------------

// Block materials; a block's material is the shape index kept in the well.
#define MAT_BLK_BLUE 0
#define MAT_BLK_RED 1
#define MAT_BLK_MAGENTA 2
#define MAT_BLK_WHITE 3
#define MAT_BLK_GREEN 4
#define MAT_BLK_CYAN 5
#define MAT_BLK_ORANGE 6
#define NUM_MATERIALS 7

// The three point lights.
#define LIGHT_POINT1 0
#define LIGHT_POINT2 1
#define LIGHT_POINT3 2
#define NUM_LIGHTS 3

// Entries of the device table, best first; g_n3DDevice holds this while no
// device has been chosen.
#define NUM_3DDEVICES 4

// Releases a platform object if there is one and forgets it.
#define RELEASE_OBJECT(p)            \
  do {                               \
    if ((p) != NULL) {               \
      (p)->lpVtbl->Release(p);       \
      (p) = NULL;                    \
    }                                \
  } while (0)

// ---- types ----------------------------------------------------------------

// One Direct3D device kind the game can use, as enumeration reported it.
typedef struct _DEVICEINFO {
  const GUID* lpGUID;
  BOOL bUsable;
  DWORD dwSurfaceCaps;   // memory of the back buffer
  DWORD dwZBufferCaps;   // memory of the Z buffer
  DWORD dwZBufferDepth;  // bits, 0 when no single depth fits
  LPSTR lpszDeviceDescription;
  LPSTR lpszDeviceName;
  D3DDEVICEDESC ddHwDesc;
  D3DDEVICEDESC ddHelDesc;
  LPD3DDEVICEDESC lpDesc;  // the description that decides: hardware or emulation
} DEVICEINFO;

// ---- globals: objects -------------------------------------------------------

extern LPDIRECTDRAW2 g_DD2;
extern LPDIRECT3D2 g_D3D;
extern LPDIRECTDRAWCLIPPER g_Clipper;
extern LPDIRECTDRAWSURFACE3 g_Primary;
extern LPDIRECTDRAWPALETTE g_Palette;
extern LPDIRECTDRAWSURFACE3 g_BackBuffer;
extern LPDIRECTDRAWSURFACE3 g_ZBuffer;
extern LPDIRECT3DDEVICE2 g_3DD;
extern LPDIRECT3DVIEWPORT2 g_Viewport;
extern LPDIRECT3DLIGHT g_Lights[NUM_LIGHTS];
extern LPDIRECT3DMATERIAL2 g_Materials[NUM_MATERIALS];

// ---- globals: state -----------------------------------------------------------

extern BOOL g_bLightOn[NUM_LIGHTS];
// Which lights the current viewport holds: a rebuild stopped for lack of
// memory may leave a light that is on outside the viewport.
extern BOOL g_bLightAdded[NUM_LIGHTS];
extern D3DMATERIALHANDLE g_hMaterials[NUM_MATERIALS];
extern DEVICEINFO g_3ddevices[NUM_3DDEVICES];
extern INT g_n3DDevice;
extern INT g_nNum3DDevices;
// DDBD_8, DDBD_16, DDBD_24 or DDBD_32: the depth of the display mode.
extern DWORD g_dwDisplayDepth;
// The palette of an 8-bit display.
extern PALETTEENTRY g_pe[256];
// Set while the view has no area, so nothing is built and no frame runs.
extern BOOL g_bNoSurfaces;
// The out-of-memory code that stopped the last rebuild.
extern HRESULT g_hrGraphError;
// (0, 0, g_nBackBufferW, g_nBackBufferH).
extern RECT g_rBackBuffer;

// ---- functions: set-up --------------------------------------------------------

// Creates everything that lives as long as the view window.
void InitGraph(void);
// Takes note of one device kind the platform offers.
HRESULT CALLBACK EnumDevicesCallback(GUID* lpGuid, LPSTR lpDeviceDescription, LPSTR lpDeviceName,
                                     LPD3DDEVICEDESC lpHWDesc, LPD3DDEVICEDESC lpHELDesc,
                                     LPVOID lpContext);
// Releases every graphics object that exists.
void FreeGraph(void);

// ---- functions: surfaces ------------------------------------------------------

// Builds the back buffer, Z buffer, device and viewport at the view's size.
void RebuildSurfaces(void);
// Makes a lost back buffer, depth buffer and primary surface usable again.
void RestoreSurfaces(void);
// Attaches the 8-bit palette again when the application comes back.
void ResetPalette(void);

// ---- functions: presentation ----------------------------------------------------

// Copies the finished frame to the view, with the frame rate when asked.
void PresentFrame(void);
// Answers the view's paint request: the last frame, or why there is none.
void PaintView(const PAINTSTRUCT* lpPS);

// ---- functions: lights, materials and camera ------------------------------------

// A white point light whose strength falls with the square of the distance;
// null on failure.
LPDIRECT3DLIGHT CreateInvSqrPointLight(float fIntensity, const D3DVECTOR* lpPos, float fRange);
// A matt material of the colour; null on failure.
LPDIRECT3DMATERIAL2 CreateMattMaterial(const D3DCOLORVALUE* lpColor);
// Switches a light on or off in the viewport.
void EnableLight(INT light, BOOL bOn);
// Makes the material current for the next lit drawing.
void SetMaterial(INT mat);
// Places the camera so that the rectangle of the plane z = 0 fills the view,
// centred on (cx, cy).
void SetViewMatrix(float fLeft, float fBottom, float fRight, float fTop, float fCX, float fCY);
// Flat or Gouraud shading.
void SetShadeMode(DWORD dwShadeMode);

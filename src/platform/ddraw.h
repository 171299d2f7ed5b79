// DirectDraw of DirectX 5 as the game uses it: the DirectDraw object, off-screen
// and primary surfaces, clipper and palette, declared in the C style of the
// original interfaces (each object a struct whose lpVtbl points at a table of
// functions, reached through call macros).
#pragma once

#include "platform/win_types.h"
#include "platform/win_gdi.h"

// ---- interface declarations -------------------------------------------------

typedef struct IUnknown IUnknown;
typedef struct IDirectDraw IDirectDraw;
typedef struct IDirectDraw2 IDirectDraw2;
typedef struct IDirectDrawSurface IDirectDrawSurface;
typedef struct IDirectDrawSurface3 IDirectDrawSurface3;
typedef struct IDirectDrawClipper IDirectDrawClipper;
typedef struct IDirectDrawPalette IDirectDrawPalette;

typedef IUnknown* LPUNKNOWN;
typedef IDirectDraw* LPDIRECTDRAW;
typedef IDirectDraw2* LPDIRECTDRAW2;
typedef IDirectDrawSurface* LPDIRECTDRAWSURFACE;
typedef IDirectDrawSurface3* LPDIRECTDRAWSURFACE3;
typedef IDirectDrawClipper* LPDIRECTDRAWCLIPPER;
typedef IDirectDrawPalette* LPDIRECTDRAWPALETTE;

// An interface identifier as the C interfaces take it: by address. Callers may
// name the identifier itself or pass a pointer to it.
struct DXGUIDARG {
  const GUID* lpGuid;
  DXGUIDARG(const GUID& guid) : lpGuid(&guid) {}
  DXGUIDARG(const GUID* guid) : lpGuid(guid) {}
};

// ---- records ----------------------------------------------------------------

typedef struct _DDCOLORKEY {
  DWORD dwColorSpaceLowValue;
  DWORD dwColorSpaceHighValue;
} DDCOLORKEY, *LPDDCOLORKEY;

typedef struct _DDSCAPS {
  DWORD dwCaps;
} DDSCAPS, *LPDDSCAPS;

typedef struct _DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwFourCC;
  union {
    DWORD dwRGBBitCount;
    DWORD dwYUVBitCount;
    DWORD dwZBufferBitDepth;
    DWORD dwAlphaBitDepth;
  };
  union {
    DWORD dwRBitMask;
    DWORD dwYBitMask;
  };
  union {
    DWORD dwGBitMask;
    DWORD dwUBitMask;
  };
  union {
    DWORD dwBBitMask;
    DWORD dwVBitMask;
  };
  union {
    DWORD dwRGBAlphaBitMask;
    DWORD dwYUVAlphaBitMask;
  };
} DDPIXELFORMAT, *LPDDPIXELFORMAT;

// The surface description, 108 bytes as DirectX 5 lays it out. Surfaces are
// never locked here, so the surface address keeps its original 32-bit slot
// and stays 0.
typedef struct _DDSURFACEDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  union {
    LONG lPitch;
    DWORD dwLinearSize;
  };
  DWORD dwBackBufferCount;
  union {
    DWORD dwMipMapCount;
    DWORD dwZBufferBitDepth;
    DWORD dwRefreshRate;
  };
  DWORD dwAlphaBitDepth;
  DWORD dwReserved;
  DWORD lpSurface;
  DDCOLORKEY ddckCKDestOverlay;
  DDCOLORKEY ddckCKDestBlt;
  DDCOLORKEY ddckCKSrcOverlay;
  DDCOLORKEY ddckCKSrcBlt;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS ddsCaps;
} DDSURFACEDESC, *LPDDSURFACEDESC;

// Blit effects, 100 bytes as DirectX 5 lays it out; the surface-valued
// alternatives of its unions are not used here.
typedef struct _DDBLTFX {
  DWORD dwSize;
  DWORD dwDDFX;
  DWORD dwROP;
  DWORD dwDDROP;
  DWORD dwRotationAngle;
  DWORD dwZBufferOpCode;
  DWORD dwZBufferLow;
  DWORD dwZBufferHigh;
  DWORD dwZBufferBaseDest;
  DWORD dwZDestConstBitDepth;
  DWORD dwZDestConst;
  DWORD dwZSrcConstBitDepth;
  DWORD dwZSrcConst;
  DWORD dwAlphaEdgeBlendBitDepth;
  DWORD dwAlphaEdgeBlend;
  DWORD dwReserved;
  DWORD dwAlphaDestConstBitDepth;
  DWORD dwAlphaDestConst;
  DWORD dwAlphaSrcConstBitDepth;
  DWORD dwAlphaSrcConst;
  union {
    DWORD dwFillColor;
    DWORD dwFillDepth;
    DWORD dwFillPixel;
  };
  DDCOLORKEY ddckDestColorkey;
  DDCOLORKEY ddckSrcColorkey;
} DDBLTFX, *LPDDBLTFX;

// ---- constants --------------------------------------------------------------

// Cooperative levels
#define DDSCL_FULLSCREEN 0x00000001
#define DDSCL_ALLOWREBOOT 0x00000002
#define DDSCL_NOWINDOWCHANGES 0x00000004
#define DDSCL_NORMAL 0x00000008
#define DDSCL_EXCLUSIVE 0x00000010

// Valid fields of a surface description
#define DDSD_CAPS 0x00000001
#define DDSD_HEIGHT 0x00000002
#define DDSD_WIDTH 0x00000004
#define DDSD_PITCH 0x00000008
#define DDSD_BACKBUFFERCOUNT 0x00000020
#define DDSD_ZBUFFERBITDEPTH 0x00000040
#define DDSD_ALPHABITDEPTH 0x00000080
#define DDSD_LPSURFACE 0x00000800
#define DDSD_PIXELFORMAT 0x00001000
#define DDSD_REFRESHRATE 0x00040000

// Surface capabilities
#define DDSCAPS_BACKBUFFER 0x00000004
#define DDSCAPS_COMPLEX 0x00000008
#define DDSCAPS_FLIP 0x00000010
#define DDSCAPS_FRONTBUFFER 0x00000020
#define DDSCAPS_OFFSCREENPLAIN 0x00000040
#define DDSCAPS_PALETTE 0x00000100
#define DDSCAPS_PRIMARYSURFACE 0x00000200
#define DDSCAPS_SYSTEMMEMORY 0x00000800
#define DDSCAPS_TEXTURE 0x00001000
#define DDSCAPS_3DDEVICE 0x00002000
#define DDSCAPS_VIDEOMEMORY 0x00004000
#define DDSCAPS_ZBUFFER 0x00020000

// Pixel format flags
#define DDPF_ALPHAPIXELS 0x00000001
#define DDPF_PALETTEINDEXED8 0x00000020
#define DDPF_RGB 0x00000040
#define DDPF_ZBUFFER 0x00000400

// Bit depths, as Direct3D's capability records give them
#define DDBD_1 0x00004000
#define DDBD_2 0x00002000
#define DDBD_4 0x00001000
#define DDBD_8 0x00000800
#define DDBD_16 0x00000400
#define DDBD_24 0x00000200
#define DDBD_32 0x00000100

// Palette capabilities
#define DDPCAPS_4BIT 0x00000001
#define DDPCAPS_8BIT 0x00000004
#define DDPCAPS_INITIALIZE 0x00000008
#define DDPCAPS_PRIMARYSURFACE 0x00000010
#define DDPCAPS_ALLOW256 0x00000040

// Blit flags
#define DDBLT_COLORFILL 0x00000400l
#define DDBLT_DDFX 0x00000800l
#define DDBLT_WAIT 0x01000000l

#define DDENUMRET_CANCEL 0
#define DDENUMRET_OK 1

// ---- identifiers --------------------------------------------------------------

extern const GUID IID_IDirectDraw;
extern const GUID IID_IDirectDraw2;
extern const GUID IID_IDirectDrawSurface;
extern const GUID IID_IDirectDrawSurface3;
extern const GUID IID_IDirectDrawClipper;
extern const GUID IID_IDirectDrawPalette;

// ---- interfaces -----------------------------------------------------------------

typedef struct IUnknownVtbl {
  HRESULT (*QueryInterface)(IUnknown* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IUnknown* This);
  ULONG (*Release)(IUnknown* This);
} IUnknownVtbl;
struct IUnknown {
  const IUnknownVtbl* lpVtbl;
};

typedef struct IDirectDrawVtbl {
  HRESULT (*QueryInterface)(IDirectDraw* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirectDraw* This);
  ULONG (*Release)(IDirectDraw* This);
} IDirectDrawVtbl;
struct IDirectDraw {
  const IDirectDrawVtbl* lpVtbl;
};

typedef struct IDirectDraw2Vtbl {
  HRESULT (*QueryInterface)(IDirectDraw2* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirectDraw2* This);
  ULONG (*Release)(IDirectDraw2* This);
  HRESULT (*CreateClipper)(IDirectDraw2* This, DWORD dwFlags, LPDIRECTDRAWCLIPPER* lplpDDClipper,
                           IUnknown* pUnkOuter);
  HRESULT (*CreatePalette)(IDirectDraw2* This, DWORD dwFlags, LPPALETTEENTRY lpColorTable,
                           LPDIRECTDRAWPALETTE* lplpDDPalette, IUnknown* pUnkOuter);
  HRESULT (*CreateSurface)(IDirectDraw2* This, LPDDSURFACEDESC lpDDSurfaceDesc,
                           LPDIRECTDRAWSURFACE* lplpDDSurface, IUnknown* pUnkOuter);
  HRESULT (*GetDisplayMode)(IDirectDraw2* This, LPDDSURFACEDESC lpDDSurfaceDesc);
  HRESULT (*SetCooperativeLevel)(IDirectDraw2* This, HWND hWnd, DWORD dwFlags);
} IDirectDraw2Vtbl;
struct IDirectDraw2 {
  const IDirectDraw2Vtbl* lpVtbl;
};

typedef struct IDirectDrawSurfaceVtbl {
  HRESULT (*QueryInterface)(IDirectDrawSurface* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirectDrawSurface* This);
  ULONG (*Release)(IDirectDrawSurface* This);
} IDirectDrawSurfaceVtbl;
struct IDirectDrawSurface {
  const IDirectDrawSurfaceVtbl* lpVtbl;
};

typedef struct IDirectDrawSurface3Vtbl {
  HRESULT (*QueryInterface)(IDirectDrawSurface3* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirectDrawSurface3* This);
  ULONG (*Release)(IDirectDrawSurface3* This);
  HRESULT (*AddAttachedSurface)(IDirectDrawSurface3* This, LPDIRECTDRAWSURFACE3 lpDDSAttachedSurface);
  HRESULT (*Blt)(IDirectDrawSurface3* This, LPRECT lpDestRect, LPDIRECTDRAWSURFACE3 lpDDSrcSurface,
                 LPRECT lpSrcRect, DWORD dwFlags, LPDDBLTFX lpDDBltFx);
  HRESULT (*GetDC)(IDirectDrawSurface3* This, HDC* lphDC);
  HRESULT (*GetSurfaceDesc)(IDirectDrawSurface3* This, LPDDSURFACEDESC lpDDSurfaceDesc);
  HRESULT (*IsLost)(IDirectDrawSurface3* This);
  HRESULT (*ReleaseDC)(IDirectDrawSurface3* This, HDC hDC);
  HRESULT (*Restore)(IDirectDrawSurface3* This);
  HRESULT (*SetClipper)(IDirectDrawSurface3* This, LPDIRECTDRAWCLIPPER lpDDClipper);
  HRESULT (*SetPalette)(IDirectDrawSurface3* This, LPDIRECTDRAWPALETTE lpDDPalette);
} IDirectDrawSurface3Vtbl;
struct IDirectDrawSurface3 {
  const IDirectDrawSurface3Vtbl* lpVtbl;
};

typedef struct IDirectDrawClipperVtbl {
  HRESULT (*QueryInterface)(IDirectDrawClipper* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirectDrawClipper* This);
  ULONG (*Release)(IDirectDrawClipper* This);
  HRESULT (*GetHWnd)(IDirectDrawClipper* This, HWND* lphWnd);
  HRESULT (*SetHWnd)(IDirectDrawClipper* This, DWORD dwFlags, HWND hWnd);
} IDirectDrawClipperVtbl;
struct IDirectDrawClipper {
  const IDirectDrawClipperVtbl* lpVtbl;
};

typedef struct IDirectDrawPaletteVtbl {
  HRESULT (*QueryInterface)(IDirectDrawPalette* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirectDrawPalette* This);
  ULONG (*Release)(IDirectDrawPalette* This);
  HRESULT (*GetEntries)(IDirectDrawPalette* This, DWORD dwFlags, DWORD dwBase, DWORD dwNumEntries,
                        LPPALETTEENTRY lpEntries);
  HRESULT (*SetEntries)(IDirectDrawPalette* This, DWORD dwFlags, DWORD dwStartingEntry, DWORD dwCount,
                        LPPALETTEENTRY lpEntries);
} IDirectDrawPaletteVtbl;
struct IDirectDrawPalette {
  const IDirectDrawPaletteVtbl* lpVtbl;
};

// ---- functions ------------------------------------------------------------------

// Creates the DirectDraw object of the display (lpGUID null: the default driver).
HRESULT DirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD, IUnknown* pUnkOuter);

// ---- call macros ----------------------------------------------------------------

#define IUnknown_QueryInterface(p,a,b) (p)->lpVtbl->QueryInterface(p,a,b)
#define IUnknown_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IUnknown_Release(p) (p)->lpVtbl->Release(p)

#define IDirectDraw_QueryInterface(p,a,b) (p)->lpVtbl->QueryInterface(p,a,b)
#define IDirectDraw_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirectDraw_Release(p) (p)->lpVtbl->Release(p)

#define IDirectDraw2_QueryInterface(p,a,b) (p)->lpVtbl->QueryInterface(p,a,b)
#define IDirectDraw2_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirectDraw2_Release(p) (p)->lpVtbl->Release(p)
#define IDirectDraw2_CreateClipper(p,a,b,c) (p)->lpVtbl->CreateClipper(p,a,b,c)
#define IDirectDraw2_CreatePalette(p,a,b,c,d) (p)->lpVtbl->CreatePalette(p,a,b,c,d)
#define IDirectDraw2_CreateSurface(p,a,b,c) (p)->lpVtbl->CreateSurface(p,a,b,c)
#define IDirectDraw2_GetDisplayMode(p,a) (p)->lpVtbl->GetDisplayMode(p,a)
#define IDirectDraw2_SetCooperativeLevel(p,a,b) (p)->lpVtbl->SetCooperativeLevel(p,a,b)

#define IDirectDrawSurface_QueryInterface(p,a,b) (p)->lpVtbl->QueryInterface(p,a,b)
#define IDirectDrawSurface_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirectDrawSurface_Release(p) (p)->lpVtbl->Release(p)

#define IDirectDrawSurface3_QueryInterface(p,a,b) (p)->lpVtbl->QueryInterface(p,a,b)
#define IDirectDrawSurface3_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirectDrawSurface3_Release(p) (p)->lpVtbl->Release(p)
#define IDirectDrawSurface3_AddAttachedSurface(p,a) (p)->lpVtbl->AddAttachedSurface(p,a)
#define IDirectDrawSurface3_Blt(p,a,b,c,d,e) (p)->lpVtbl->Blt(p,a,b,c,d,e)
#define IDirectDrawSurface3_GetDC(p,a) (p)->lpVtbl->GetDC(p,a)
#define IDirectDrawSurface3_GetSurfaceDesc(p,a) (p)->lpVtbl->GetSurfaceDesc(p,a)
#define IDirectDrawSurface3_IsLost(p) (p)->lpVtbl->IsLost(p)
#define IDirectDrawSurface3_ReleaseDC(p,a) (p)->lpVtbl->ReleaseDC(p,a)
#define IDirectDrawSurface3_Restore(p) (p)->lpVtbl->Restore(p)
#define IDirectDrawSurface3_SetClipper(p,a) (p)->lpVtbl->SetClipper(p,a)
#define IDirectDrawSurface3_SetPalette(p,a) (p)->lpVtbl->SetPalette(p,a)

#define IDirectDrawClipper_QueryInterface(p,a,b) (p)->lpVtbl->QueryInterface(p,a,b)
#define IDirectDrawClipper_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirectDrawClipper_Release(p) (p)->lpVtbl->Release(p)
#define IDirectDrawClipper_GetHWnd(p,a) (p)->lpVtbl->GetHWnd(p,a)
#define IDirectDrawClipper_SetHWnd(p,a,b) (p)->lpVtbl->SetHWnd(p,a,b)

#define IDirectDrawPalette_QueryInterface(p,a,b) (p)->lpVtbl->QueryInterface(p,a,b)
#define IDirectDrawPalette_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirectDrawPalette_Release(p) (p)->lpVtbl->Release(p)
#define IDirectDrawPalette_GetEntries(p,a,b,c,d) (p)->lpVtbl->GetEntries(p,a,b,c,d)
#define IDirectDrawPalette_SetEntries(p,a,b,c,d) (p)->lpVtbl->SetEntries(p,a,b,c,d)

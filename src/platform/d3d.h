// Direct3D immediate mode of DirectX 5 as the game uses it: the Direct3D
// object, devices, viewports, lights and materials, their records and
// constants, declared in the C style of the original interfaces.
#pragma once

#include "platform/win_types.h"
#include "platform/d3d_types.h"
#include "platform/ddraw.h"

// ---- interface declarations -------------------------------------------------

typedef struct IDirect3D2 IDirect3D2;
typedef struct IDirect3DDevice2 IDirect3DDevice2;
typedef struct IDirect3DViewport2 IDirect3DViewport2;
typedef struct IDirect3DLight IDirect3DLight;
typedef struct IDirect3DMaterial2 IDirect3DMaterial2;

typedef IDirect3D2* LPDIRECT3D2;
typedef IDirect3DDevice2* LPDIRECT3DDEVICE2;
typedef IDirect3DViewport2* LPDIRECT3DVIEWPORT2;
typedef IDirect3DLight* LPDIRECT3DLIGHT;
typedef IDirect3DMaterial2* LPDIRECT3DMATERIAL2;

typedef DWORD D3DMATERIALHANDLE, *LPD3DMATERIALHANDLE;
typedef DWORD D3DTEXTUREHANDLE, *LPD3DTEXTUREHANDLE;
typedef DWORD D3DCOLORMODEL;

// ---- enumerations -------------------------------------------------------------

typedef enum _D3DPRIMITIVETYPE {
  D3DPT_POINTLIST = 1,
  D3DPT_LINELIST = 2,
  D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
  D3DPT_FORCE_DWORD = 0x7fffffff
} D3DPRIMITIVETYPE;

typedef enum _D3DVERTEXTYPE {
  D3DVT_VERTEX = 1,
  D3DVT_LVERTEX = 2,
  D3DVT_TLVERTEX = 3,
  D3DVT_FORCE_DWORD = 0x7fffffff
} D3DVERTEXTYPE;

typedef enum _D3DTRANSFORMSTATETYPE {
  D3DTRANSFORMSTATE_WORLD = 1,
  D3DTRANSFORMSTATE_VIEW = 2,
  D3DTRANSFORMSTATE_PROJECTION = 3,
  D3DTRANSFORMSTATE_FORCE_DWORD = 0x7fffffff
} D3DTRANSFORMSTATETYPE;

typedef enum _D3DLIGHTSTATETYPE {
  D3DLIGHTSTATE_MATERIAL = 1,
  D3DLIGHTSTATE_AMBIENT = 2,
  D3DLIGHTSTATE_COLORMODEL = 3,
  D3DLIGHTSTATE_FOGMODE = 4,
  D3DLIGHTSTATE_FOGSTART = 5,
  D3DLIGHTSTATE_FOGEND = 6,
  D3DLIGHTSTATE_FOGDENSITY = 7,
  D3DLIGHTSTATE_FORCE_DWORD = 0x7fffffff
} D3DLIGHTSTATETYPE;

typedef enum _D3DRENDERSTATETYPE {
  D3DRENDERSTATE_ZENABLE = 7,
  D3DRENDERSTATE_FILLMODE = 8,
  D3DRENDERSTATE_SHADEMODE = 9,
  D3DRENDERSTATE_ZWRITEENABLE = 14,
  D3DRENDERSTATE_CULLMODE = 22,
  D3DRENDERSTATE_ZFUNC = 23,
  D3DRENDERSTATE_FORCE_DWORD = 0x7fffffff
} D3DRENDERSTATETYPE;

typedef enum _D3DSHADEMODE {
  D3DSHADE_FLAT = 1,
  D3DSHADE_GOURAUD = 2,
  D3DSHADE_PHONG = 3,
  D3DSHADE_FORCE_DWORD = 0x7fffffff
} D3DSHADEMODE;

typedef enum _D3DFILLMODE {
  D3DFILL_POINT = 1,
  D3DFILL_WIREFRAME = 2,
  D3DFILL_SOLID = 3,
  D3DFILL_FORCE_DWORD = 0x7fffffff
} D3DFILLMODE;

typedef enum _D3DCULL {
  D3DCULL_NONE = 1,
  D3DCULL_CW = 2,
  D3DCULL_CCW = 3,
  D3DCULL_FORCE_DWORD = 0x7fffffff
} D3DCULL;

typedef enum _D3DCMPFUNC {
  D3DCMP_NEVER = 1,
  D3DCMP_LESS = 2,
  D3DCMP_EQUAL = 3,
  D3DCMP_LESSEQUAL = 4,
  D3DCMP_GREATER = 5,
  D3DCMP_NOTEQUAL = 6,
  D3DCMP_GREATEREQUAL = 7,
  D3DCMP_ALWAYS = 8,
  D3DCMP_FORCE_DWORD = 0x7fffffff
} D3DCMPFUNC;

typedef enum _D3DZBUFFERTYPE {
  D3DZB_FALSE = 0,
  D3DZB_TRUE = 1,
  D3DZB_FORCE_DWORD = 0x7fffffff
} D3DZBUFFERTYPE;

typedef enum _D3DLIGHTTYPE {
  D3DLIGHT_POINT = 1,
  D3DLIGHT_SPOT = 2,
  D3DLIGHT_DIRECTIONAL = 3,
  D3DLIGHT_PARALLELPOINT = 4,
  D3DLIGHT_FORCE_DWORD = 0x7fffffff
} D3DLIGHTTYPE;

// ---- constants ------------------------------------------------------------------

// Colour models
#define D3DCOLOR_MONO 1
#define D3DCOLOR_RGB 2

// Viewport clear flags
#define D3DCLEAR_TARGET 0x00000001
#define D3DCLEAR_ZBUFFER 0x00000002

// Light flags (D3DLIGHT2)
#define D3DLIGHT_ACTIVE 0x00000001
#define D3DLIGHT_NO_SPECULAR 0x00000002

// DrawPrimitive flags
#define D3DDP_WAIT 0x00000001l
#define D3DDP_OUTOFORDER 0x00000002l
#define D3DDP_DONOTCLIP 0x00000004l
#define D3DDP_DONOTUPDATEEXTENTS 0x00000008l
#define D3DDP_DONOTLIGHT 0x00000010l

#define D3DENUMRET_CANCEL DDENUMRET_CANCEL
#define D3DENUMRET_OK DDENUMRET_OK

// Valid fields of a device description
#define D3DDD_COLORMODEL 0x00000001
#define D3DDD_DEVCAPS 0x00000002
#define D3DDD_TRANSFORMCAPS 0x00000004
#define D3DDD_LIGHTINGCAPS 0x00000008
#define D3DDD_BCLIPPING 0x00000010
#define D3DDD_LINECAPS 0x00000020
#define D3DDD_TRICAPS 0x00000040
#define D3DDD_DEVICERENDERBITDEPTH 0x00000080
#define D3DDD_DEVICEZBUFFERBITDEPTH 0x00000100
#define D3DDD_MAXBUFFERSIZE 0x00000200
#define D3DDD_MAXVERTEXCOUNT 0x00000400

// Device capabilities
#define D3DDEVCAPS_FLOATTLVERTEX 0x00000001
#define D3DDEVCAPS_EXECUTESYSTEMMEMORY 0x00000010
#define D3DDEVCAPS_TLVERTEXSYSTEMMEMORY 0x00000040
#define D3DDEVCAPS_DRAWPRIMTLVERTEX 0x00000400

#define D3DTRANSFORMCAPS_CLIP 0x00000001l

#define D3DLIGHTINGMODEL_RGB 0x00000001
#define D3DLIGHTINGMODEL_MONO 0x00000002

#define D3DLIGHTCAPS_POINT 0x00000001
#define D3DLIGHTCAPS_SPOT 0x00000002
#define D3DLIGHTCAPS_DIRECTIONAL 0x00000004
#define D3DLIGHTCAPS_PARALLELPOINT 0x00000008

// Primitive capabilities
#define D3DPMISCCAPS_MASKZ 0x00000002
#define D3DPMISCCAPS_CULLNONE 0x00000010
#define D3DPMISCCAPS_CULLCW 0x00000020
#define D3DPMISCCAPS_CULLCCW 0x00000040
#define D3DPRASTERCAPS_ZTEST 0x00000010
#define D3DPRASTERCAPS_SUBPIXEL 0x00000020
#define D3DPCMPCAPS_NEVER 0x00000001
#define D3DPCMPCAPS_LESS 0x00000002
#define D3DPCMPCAPS_EQUAL 0x00000004
#define D3DPCMPCAPS_LESSEQUAL 0x00000008
#define D3DPCMPCAPS_GREATER 0x00000010
#define D3DPCMPCAPS_NOTEQUAL 0x00000020
#define D3DPCMPCAPS_GREATEREQUAL 0x00000040
#define D3DPCMPCAPS_ALWAYS 0x00000080
#define D3DPSHADECAPS_COLORFLATRGB 0x00000002
#define D3DPSHADECAPS_COLORGOURAUDRGB 0x00000008

// Palette entry flags for Direct3D
#define D3DPAL_FREE 0x00
#define D3DPAL_READONLY 0x40
#define D3DPAL_RESERVED 0x80

// ---- records --------------------------------------------------------------------

typedef struct _D3DTRANSFORMCAPS {
  DWORD dwSize;
  DWORD dwCaps;
} D3DTRANSFORMCAPS, *LPD3DTRANSFORMCAPS;

typedef struct _D3DLIGHTINGCAPS {
  DWORD dwSize;
  DWORD dwCaps;
  DWORD dwLightingModel;
  DWORD dwNumLights;
} D3DLIGHTINGCAPS, *LPD3DLIGHTINGCAPS;

typedef struct _D3DPrimCaps {
  DWORD dwSize;
  DWORD dwMiscCaps;
  DWORD dwRasterCaps;
  DWORD dwZCmpCaps;
  DWORD dwSrcBlendCaps;
  DWORD dwDestBlendCaps;
  DWORD dwAlphaCmpCaps;
  DWORD dwShadeCaps;
  DWORD dwTextureCaps;
  DWORD dwTextureFilterCaps;
  DWORD dwTextureBlendCaps;
  DWORD dwTextureAddressCaps;
  DWORD dwStippleWidth;
  DWORD dwStippleHeight;
} D3DPRIMCAPS, *LPD3DPRIMCAPS;

// The device description of DirectX 5 (204 bytes).
typedef struct _D3DDeviceDesc {
  DWORD dwSize;
  DWORD dwFlags;
  D3DCOLORMODEL dcmColorModel;
  DWORD dwDevCaps;
  D3DTRANSFORMCAPS dtcTransformCaps;
  BOOL bClipping;
  D3DLIGHTINGCAPS dlcLightingCaps;
  D3DPRIMCAPS dpcLineCaps;
  D3DPRIMCAPS dpcTriCaps;
  DWORD dwDeviceRenderBitDepth;
  DWORD dwDeviceZBufferBitDepth;
  DWORD dwMaxBufferSize;
  DWORD dwMaxVertexCount;
  DWORD dwMinTextureWidth, dwMinTextureHeight;
  DWORD dwMaxTextureWidth, dwMaxTextureHeight;
  DWORD dwMinStippleWidth, dwMaxStippleWidth;
  DWORD dwMinStippleHeight, dwMaxStippleHeight;
} D3DDEVICEDESC, *LPD3DDEVICEDESC;

#define D3DDEVICEDESCSIZE (sizeof(D3DDEVICEDESC))

// The first light record (DirectX 3): always active.
typedef struct _D3DLIGHT {
  DWORD dwSize;
  D3DLIGHTTYPE dltType;
  D3DCOLORVALUE dcvColor;
  D3DVECTOR dvPosition;
  D3DVECTOR dvDirection;
  D3DVALUE dvRange;
  D3DVALUE dvFalloff;
  D3DVALUE dvAttenuation0;
  D3DVALUE dvAttenuation1;
  D3DVALUE dvAttenuation2;
  D3DVALUE dvTheta;
  D3DVALUE dvPhi;
} D3DLIGHT, *LPD3DLIGHT;

// The second light record (DirectX 5, 80 bytes): attenuation works on the
// normalised distance, and the flags switch the light on.
typedef struct _D3DLIGHT2 {
  DWORD dwSize;
  D3DLIGHTTYPE dltType;
  D3DCOLORVALUE dcvColor;
  D3DVECTOR dvPosition;
  D3DVECTOR dvDirection;
  D3DVALUE dvRange;
  D3DVALUE dvFalloff;
  D3DVALUE dvAttenuation0;
  D3DVALUE dvAttenuation1;
  D3DVALUE dvAttenuation2;
  D3DVALUE dvTheta;
  D3DVALUE dvPhi;
  DWORD dwFlags;
} D3DLIGHT2, *LPD3DLIGHT2;

// The material record (80 bytes).
typedef struct _D3DMATERIAL {
  DWORD dwSize;
  union {
    D3DCOLORVALUE diffuse;
    D3DCOLORVALUE dcvDiffuse;
  };
  union {
    D3DCOLORVALUE ambient;
    D3DCOLORVALUE dcvAmbient;
  };
  union {
    D3DCOLORVALUE specular;
    D3DCOLORVALUE dcvSpecular;
  };
  union {
    D3DCOLORVALUE emissive;
    D3DCOLORVALUE dcvEmissive;
  };
  union {
    D3DVALUE power;
    D3DVALUE dvPower;
  };
  D3DTEXTUREHANDLE hTexture;
  DWORD dwRampSize;
} D3DMATERIAL, *LPD3DMATERIAL;

// The first viewport record (DirectX 3), 44 bytes.
typedef struct _D3DVIEWPORT {
  DWORD dwSize;
  DWORD dwX;
  DWORD dwY;
  DWORD dwWidth;
  DWORD dwHeight;
  D3DVALUE dvScaleX;
  D3DVALUE dvScaleY;
  D3DVALUE dvMaxX;
  D3DVALUE dvMaxY;
  D3DVALUE dvMinZ;
  D3DVALUE dvMaxZ;
} D3DVIEWPORT, *LPD3DVIEWPORT;

// The second viewport record (DirectX 5), 44 bytes: pixel rectangle and clip
// volume.
typedef struct _D3DVIEWPORT2 {
  DWORD dwSize;
  DWORD dwX;
  DWORD dwY;
  DWORD dwWidth;
  DWORD dwHeight;
  D3DVALUE dvClipX;
  D3DVALUE dvClipY;
  D3DVALUE dvClipWidth;
  D3DVALUE dvClipHeight;
  D3DVALUE dvMinZ;
  D3DVALUE dvMaxZ;
} D3DVIEWPORT2, *LPD3DVIEWPORT2;

typedef HRESULT(CALLBACK* LPD3DENUMDEVICESCALLBACK)(GUID* lpGuid, LPSTR lpDeviceDescription,
                                                    LPSTR lpDeviceName, LPD3DDEVICEDESC lpD3DHWDeviceDesc,
                                                    LPD3DDEVICEDESC lpD3DHELDeviceDesc, LPVOID lpContext);

// ---- identifiers --------------------------------------------------------------

extern const GUID IID_IDirect3D2;
extern const GUID IID_IDirect3DDevice2;
extern const GUID IID_IDirect3DViewport2;
extern const GUID IID_IDirect3DLight;
extern const GUID IID_IDirect3DMaterial2;
extern const GUID IID_IDirect3DHALDevice;
extern const GUID IID_IDirect3DRGBDevice;
extern const GUID IID_IDirect3DMMXDevice;
extern const GUID IID_IDirect3DRampDevice;

// ---- interfaces -----------------------------------------------------------------

typedef struct IDirect3D2Vtbl {
  HRESULT (*QueryInterface)(IDirect3D2* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirect3D2* This);
  ULONG (*Release)(IDirect3D2* This);
  HRESULT (*EnumDevices)(IDirect3D2* This, LPD3DENUMDEVICESCALLBACK lpEnumDevicesCallback, LPVOID lpUserArg);
  HRESULT (*CreateLight)(IDirect3D2* This, LPDIRECT3DLIGHT* lplpDirect3DLight, IUnknown* pUnkOuter);
  HRESULT (*CreateMaterial)(IDirect3D2* This, LPDIRECT3DMATERIAL2* lplpDirect3DMaterial2,
                            IUnknown* pUnkOuter);
  HRESULT (*CreateViewport)(IDirect3D2* This, LPDIRECT3DVIEWPORT2* lplpD3DViewport2, IUnknown* pUnkOuter);
  HRESULT (*CreateDevice)(IDirect3D2* This, DXGUIDARG rclsid, LPDIRECTDRAWSURFACE lpDDS,
                          LPDIRECT3DDEVICE2* lplpD3DDevice2);
} IDirect3D2Vtbl;
struct IDirect3D2 {
  const IDirect3D2Vtbl* lpVtbl;
};

typedef struct IDirect3DDevice2Vtbl {
  HRESULT (*QueryInterface)(IDirect3DDevice2* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirect3DDevice2* This);
  ULONG (*Release)(IDirect3DDevice2* This);
  HRESULT (*AddViewport)(IDirect3DDevice2* This, LPDIRECT3DVIEWPORT2 lpDirect3DViewport2);
  HRESULT (*DeleteViewport)(IDirect3DDevice2* This, LPDIRECT3DVIEWPORT2 lpDirect3DViewport2);
  HRESULT (*BeginScene)(IDirect3DDevice2* This);
  HRESULT (*EndScene)(IDirect3DDevice2* This);
  HRESULT (*SetCurrentViewport)(IDirect3DDevice2* This, LPDIRECT3DVIEWPORT2 lpDirect3DViewport2);
  HRESULT (*GetCurrentViewport)(IDirect3DDevice2* This, LPDIRECT3DVIEWPORT2* lplpDirect3DViewport2);
  HRESULT (*GetRenderState)(IDirect3DDevice2* This, D3DRENDERSTATETYPE dwRenderStateType,
                            LPDWORD lpdwRenderState);
  HRESULT (*SetRenderState)(IDirect3DDevice2* This, D3DRENDERSTATETYPE dwRenderStateType,
                            DWORD dwRenderState);
  HRESULT (*GetLightState)(IDirect3DDevice2* This, D3DLIGHTSTATETYPE dwLightStateType,
                           LPDWORD lpdwLightState);
  HRESULT (*SetLightState)(IDirect3DDevice2* This, D3DLIGHTSTATETYPE dwLightStateType, DWORD dwLightState);
  HRESULT (*SetTransform)(IDirect3DDevice2* This, D3DTRANSFORMSTATETYPE dtstTransformStateType,
                          LPD3DMATRIX lpD3DMatrix);
  HRESULT (*GetTransform)(IDirect3DDevice2* This, D3DTRANSFORMSTATETYPE dtstTransformStateType,
                          LPD3DMATRIX lpD3DMatrix);
  HRESULT (*DrawPrimitive)(IDirect3DDevice2* This, D3DPRIMITIVETYPE d3dptPrimitiveType,
                           D3DVERTEXTYPE d3dvtVertexType, LPCVOID lpvVertices, DWORD dwVertexCount,
                           DWORD dwFlags);
  HRESULT (*DrawIndexedPrimitive)(IDirect3DDevice2* This, D3DPRIMITIVETYPE d3dptPrimitiveType,
                                  D3DVERTEXTYPE d3dvtVertexType, LPCVOID lpvVertices, DWORD dwVertexCount,
                                  const WORD* lpwIndices, DWORD dwIndexCount, DWORD dwFlags);
} IDirect3DDevice2Vtbl;
struct IDirect3DDevice2 {
  const IDirect3DDevice2Vtbl* lpVtbl;
};

typedef struct IDirect3DViewport2Vtbl {
  HRESULT (*QueryInterface)(IDirect3DViewport2* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirect3DViewport2* This);
  ULONG (*Release)(IDirect3DViewport2* This);
  HRESULT (*Clear)(IDirect3DViewport2* This, DWORD dwCount, LPD3DRECT lpRects, DWORD dwFlags);
  HRESULT (*AddLight)(IDirect3DViewport2* This, LPDIRECT3DLIGHT lpDirect3DLight);
  HRESULT (*DeleteLight)(IDirect3DViewport2* This, LPDIRECT3DLIGHT lpDirect3DLight);
  HRESULT (*GetViewport2)(IDirect3DViewport2* This, LPD3DVIEWPORT2 lpData);
  HRESULT (*SetViewport2)(IDirect3DViewport2* This, LPD3DVIEWPORT2 lpData);
} IDirect3DViewport2Vtbl;
struct IDirect3DViewport2 {
  const IDirect3DViewport2Vtbl* lpVtbl;
};

typedef struct IDirect3DLightVtbl {
  HRESULT (*QueryInterface)(IDirect3DLight* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirect3DLight* This);
  ULONG (*Release)(IDirect3DLight* This);
  HRESULT (*SetLight)(IDirect3DLight* This, LPD3DLIGHT lpLight);
  HRESULT (*GetLight)(IDirect3DLight* This, LPD3DLIGHT lpLight);
} IDirect3DLightVtbl;
struct IDirect3DLight {
  const IDirect3DLightVtbl* lpVtbl;
};

typedef struct IDirect3DMaterial2Vtbl {
  HRESULT (*QueryInterface)(IDirect3DMaterial2* This, DXGUIDARG riid, LPVOID* ppvObj);
  ULONG (*AddRef)(IDirect3DMaterial2* This);
  ULONG (*Release)(IDirect3DMaterial2* This);
  HRESULT (*SetMaterial)(IDirect3DMaterial2* This, LPD3DMATERIAL lpMat);
  HRESULT (*GetMaterial)(IDirect3DMaterial2* This, LPD3DMATERIAL lpMat);
  HRESULT (*GetHandle)(IDirect3DMaterial2* This, LPDIRECT3DDEVICE2 lpDirect3DDevice2,
                       LPD3DMATERIALHANDLE lpHandle);
} IDirect3DMaterial2Vtbl;
struct IDirect3DMaterial2 {
  const IDirect3DMaterial2Vtbl* lpVtbl;
};

// ---- call macros ----------------------------------------------------------------

#define IDirect3D2_QueryInterface(p, a, b) (p)->lpVtbl->QueryInterface(p, a, b)
#define IDirect3D2_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirect3D2_Release(p) (p)->lpVtbl->Release(p)
#define IDirect3D2_EnumDevices(p, a, b) (p)->lpVtbl->EnumDevices(p, a, b)
#define IDirect3D2_CreateLight(p, a, b) (p)->lpVtbl->CreateLight(p, a, b)
#define IDirect3D2_CreateMaterial(p, a, b) (p)->lpVtbl->CreateMaterial(p, a, b)
#define IDirect3D2_CreateViewport(p, a, b) (p)->lpVtbl->CreateViewport(p, a, b)
#define IDirect3D2_CreateDevice(p, a, b, c) (p)->lpVtbl->CreateDevice(p, a, b, c)

#define IDirect3DDevice2_QueryInterface(p, a, b) (p)->lpVtbl->QueryInterface(p, a, b)
#define IDirect3DDevice2_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirect3DDevice2_Release(p) (p)->lpVtbl->Release(p)
#define IDirect3DDevice2_AddViewport(p, a) (p)->lpVtbl->AddViewport(p, a)
#define IDirect3DDevice2_DeleteViewport(p, a) (p)->lpVtbl->DeleteViewport(p, a)
#define IDirect3DDevice2_BeginScene(p) (p)->lpVtbl->BeginScene(p)
#define IDirect3DDevice2_EndScene(p) (p)->lpVtbl->EndScene(p)
#define IDirect3DDevice2_SetCurrentViewport(p, a) (p)->lpVtbl->SetCurrentViewport(p, a)
#define IDirect3DDevice2_GetCurrentViewport(p, a) (p)->lpVtbl->GetCurrentViewport(p, a)
#define IDirect3DDevice2_GetRenderState(p, a, b) (p)->lpVtbl->GetRenderState(p, a, b)
#define IDirect3DDevice2_SetRenderState(p, a, b) (p)->lpVtbl->SetRenderState(p, a, b)
#define IDirect3DDevice2_GetLightState(p, a, b) (p)->lpVtbl->GetLightState(p, a, b)
#define IDirect3DDevice2_SetLightState(p, a, b) (p)->lpVtbl->SetLightState(p, a, b)
#define IDirect3DDevice2_SetTransform(p, a, b) (p)->lpVtbl->SetTransform(p, a, b)
#define IDirect3DDevice2_GetTransform(p, a, b) (p)->lpVtbl->GetTransform(p, a, b)
#define IDirect3DDevice2_DrawPrimitive(p, a, b, c, d, e) (p)->lpVtbl->DrawPrimitive(p, a, b, c, d, e)
#define IDirect3DDevice2_DrawIndexedPrimitive(p, a, b, c, d, e, f, g) \
  (p)->lpVtbl->DrawIndexedPrimitive(p, a, b, c, d, e, f, g)

#define IDirect3DViewport2_QueryInterface(p, a, b) (p)->lpVtbl->QueryInterface(p, a, b)
#define IDirect3DViewport2_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirect3DViewport2_Release(p) (p)->lpVtbl->Release(p)
#define IDirect3DViewport2_Clear(p, a, b, c) (p)->lpVtbl->Clear(p, a, b, c)
#define IDirect3DViewport2_AddLight(p, a) (p)->lpVtbl->AddLight(p, a)
#define IDirect3DViewport2_DeleteLight(p, a) (p)->lpVtbl->DeleteLight(p, a)
#define IDirect3DViewport2_GetViewport2(p, a) (p)->lpVtbl->GetViewport2(p, a)
#define IDirect3DViewport2_SetViewport2(p, a) (p)->lpVtbl->SetViewport2(p, a)

#define IDirect3DLight_QueryInterface(p, a, b) (p)->lpVtbl->QueryInterface(p, a, b)
#define IDirect3DLight_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirect3DLight_Release(p) (p)->lpVtbl->Release(p)
#define IDirect3DLight_SetLight(p, a) (p)->lpVtbl->SetLight(p, a)
#define IDirect3DLight_GetLight(p, a) (p)->lpVtbl->GetLight(p, a)

#define IDirect3DMaterial2_QueryInterface(p, a, b) (p)->lpVtbl->QueryInterface(p, a, b)
#define IDirect3DMaterial2_AddRef(p) (p)->lpVtbl->AddRef(p)
#define IDirect3DMaterial2_Release(p) (p)->lpVtbl->Release(p)
#define IDirect3DMaterial2_SetMaterial(p, a) (p)->lpVtbl->SetMaterial(p, a)
#define IDirect3DMaterial2_GetMaterial(p, a) (p)->lpVtbl->GetMaterial(p, a)
#define IDirect3DMaterial2_GetHandle(p, a, b) (p)->lpVtbl->GetHandle(p, a, b)

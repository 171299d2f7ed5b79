// The DirectDraw object with its Direct3D interface, the clipper and the
// palette. The display is a windowed desktop; surfaces live in our memory and
// the device is our own software rasterizer.

#include <QGuiApplication>
#include <QScreen>

#include <cstring>
#include <new>

#include "platform/dx_internal.h"

// ---- types ----------------------------------------------------------------

namespace {

using dx::Face;
using dx::OwnerOf;

// One DirectDraw object: the first and second DirectDraw interfaces and the
// Direct3D interface share its reference count.
struct DirectDrawObj : dx::Object {
  Face<IDirectDraw, DirectDrawObj> face1;
  Face<IDirectDraw2, DirectDrawObj> face2;
  Face<IDirect3D2, DirectDrawObj> faceD3D;
  std::shared_ptr<dx::Display> display = std::make_shared<dx::Display>();
  bool bCooperative = false;
  DirectDrawObj();
};

// Hands out one of the object's interfaces with a new reference.
HRESULT QueryDirectDraw(DirectDrawObj* self, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv == nullptr) return DDERR_INVALIDPARAMS;
  *ppv = nullptr;
  const GUID& id = *riid.lpGuid;
  if (IsEqualGUID(id, IID_IDirectDraw))
    *ppv = &self->face1.iface;
  else if (IsEqualGUID(id, IID_IDirectDraw2))
    *ppv = &self->face2.iface;
  else if (IsEqualGUID(id, IID_IDirect3D2))
    *ppv = &self->faceD3D.iface;
  else
    return E_NOINTERFACE;
  self->AddRef();
  return DD_OK;
}

// ---- functions: IDirectDraw -------------------------------------------------

// Hands out another interface of the object with a new reference.
HRESULT DD1_QueryInterface(IDirectDraw* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirectDraw_QueryInterface");
  return QueryDirectDraw(OwnerOf<DirectDrawObj>(This), riid, ppv);
}
// Adds a reference to the object.
ULONG DD1_AddRef(IDirectDraw* This) {
  DX_COUNT("IDirectDraw_AddRef");
  return OwnerOf<DirectDrawObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG DD1_Release(IDirectDraw* This) {
  DX_COUNT("IDirectDraw_Release");
  return OwnerOf<DirectDrawObj>(This)->Release();
}

const IDirectDrawVtbl kDD1Vtbl = {DD1_QueryInterface, DD1_AddRef, DD1_Release};

// ---- functions: IDirectDraw2 ------------------------------------------------

// Hands out another interface of the object with a new reference.
HRESULT DD2_QueryInterface(IDirectDraw2* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirectDraw2_QueryInterface");
  return QueryDirectDraw(OwnerOf<DirectDrawObj>(This), riid, ppv);
}
// Adds a reference to the object.
ULONG DD2_AddRef(IDirectDraw2* This) {
  DX_COUNT("IDirectDraw2_AddRef");
  return OwnerOf<DirectDrawObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG DD2_Release(IDirectDraw2* This) {
  DX_COUNT("IDirectDraw2_Release");
  return OwnerOf<DirectDrawObj>(This)->Release();
}

// Makes a clipper with no window yet.
HRESULT DD2_CreateClipper(IDirectDraw2*, DWORD dwFlags, LPDIRECTDRAWCLIPPER* out, IUnknown* outer) {
  if (out != nullptr) *out = nullptr;
  DX_ENTER("IDirectDraw2_CreateClipper");
  if (out == nullptr || dwFlags != 0) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  dx::ClipperObj* clipper = new (std::nothrow) dx::ClipperObj;
  if (clipper == nullptr) return DDERR_OUTOFMEMORY;
  *out = clipper->Iface();
  return DD_OK;
}

// Makes a 256-entry palette from the caller's table.
HRESULT DD2_CreatePalette(IDirectDraw2*, DWORD dwFlags, LPPALETTEENTRY table, LPDIRECTDRAWPALETTE* out,
                          IUnknown* outer) {
  if (out != nullptr) *out = nullptr;
  DX_ENTER("IDirectDraw2_CreatePalette");
  if (out == nullptr || table == nullptr || (dwFlags & DDPCAPS_8BIT) == 0) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  dx::PaletteObj* palette = new (std::nothrow) dx::PaletteObj;
  if (palette == nullptr) return DDERR_OUTOFMEMORY;
  std::memcpy(palette->entries, table, sizeof(palette->entries));
  *out = palette->Iface();
  return DD_OK;
}

// Makes the primary surface, an off-screen colour surface or a Z buffer.
HRESULT DD2_CreateSurface(IDirectDraw2* This, LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* out, IUnknown* outer) {
  if (out != nullptr) *out = nullptr;
  DX_ENTER("IDirectDraw2_CreateSurface");
  if (out == nullptr || desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  DirectDrawObj* self = OwnerOf<DirectDrawObj>(This);
  if (!self->bCooperative) return DDERR_NOCOOPERATIVELEVELSET;
  dx::SurfaceObj* surface = nullptr;
  HRESULT hr = dx::NewSurface(self->display, *desc, &surface);
  if (FAILED(hr)) return hr;
  *out = surface->Iface1();
  return DD_OK;
}

// Describes the desktop's display mode at the reported depth.
HRESULT DD2_GetDisplayMode(IDirectDraw2*, LPDDSURFACEDESC desc) {
  DX_ENTER("IDirectDraw2_GetDisplayMode");
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  int w = 1024, h = 768;
  if (QScreen* screen = QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr) {
    w = screen->geometry().width();
    h = screen->geometry().height();
  }
  const DWORD bits = dx::DisplayBits();
  std::memset(desc, 0, sizeof(*desc));
  desc->dwSize = sizeof(DDSURFACEDESC);
  desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
  desc->dwWidth = static_cast<DWORD>(w);
  desc->dwHeight = static_cast<DWORD>(h);
  desc->lPitch = static_cast<LONG>(static_cast<DWORD>(w) * ((bits + 7) / 8));
  desc->dwRefreshRate = 60;
  DDPIXELFORMAT& pf = desc->ddpfPixelFormat;
  pf.dwSize = sizeof(DDPIXELFORMAT);
  pf.dwRGBBitCount = bits;
  if (bits <= 8) {
    pf.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
  } else {
    pf.dwFlags = DDPF_RGB;
    if (bits == 15) {
      pf.dwRBitMask = 0x7C00, pf.dwGBitMask = 0x03E0, pf.dwBBitMask = 0x001F;
    } else if (bits == 16) {
      pf.dwRBitMask = 0xF800, pf.dwGBitMask = 0x07E0, pf.dwBBitMask = 0x001F;
    } else {
      pf.dwRBitMask = 0xFF0000, pf.dwGBitMask = 0x00FF00, pf.dwBBitMask = 0x0000FF;
    }
  }
  desc->ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  return DD_OK;
}

// Windowed, shared display: the only level this desktop offers.
HRESULT DD2_SetCooperativeLevel(IDirectDraw2* This, HWND, DWORD dwFlags) {
  DX_ENTER("IDirectDraw2_SetCooperativeLevel");
  if ((dwFlags & DDSCL_NORMAL) == 0) return DDERR_INVALIDPARAMS;
  if (dwFlags & (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) return DDERR_INVALIDPARAMS;
  OwnerOf<DirectDrawObj>(This)->bCooperative = true;
  return DD_OK;
}

const IDirectDraw2Vtbl kDD2Vtbl = {DD2_QueryInterface,    DD2_AddRef,         DD2_Release,
                                   DD2_CreateClipper,     DD2_CreatePalette,  DD2_CreateSurface,
                                   DD2_GetDisplayMode,    DD2_SetCooperativeLevel};

// ---- functions: IDirect3D2 --------------------------------------------------

// Hands out another interface of the object with a new reference.
HRESULT D3D_QueryInterface(IDirect3D2* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirect3D2_QueryInterface");
  return QueryDirectDraw(OwnerOf<DirectDrawObj>(This), riid, ppv);
}
// Adds a reference to the object.
ULONG D3D_AddRef(IDirect3D2* This) {
  DX_COUNT("IDirect3D2_AddRef");
  return OwnerOf<DirectDrawObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG D3D_Release(IDirect3D2* This) {
  DX_COUNT("IDirect3D2_Release");
  return OwnerOf<DirectDrawObj>(This)->Release();
}

// Offers the one device there is: our rasterizer, as the RGB emulation kind.
HRESULT D3D_EnumDevices(IDirect3D2*, LPD3DENUMDEVICESCALLBACK callback, LPVOID context) {
  DX_ENTER("IDirect3D2_EnumDevices");
  if (callback == nullptr) return DDERR_INVALIDPARAMS;
  char description[] = "Software rasterizer with the RGB colour model";
  char name[] = "RGB Emulation";
  const std::vector<platform_test::OfferedDevice> offered = dx::OfferedDevices();
  if (!offered.empty()) {
    for (platform_test::OfferedDevice d : offered)
      if (callback(&d.guid, description, name, &d.hw, &d.hel, context) == D3DENUMRET_CANCEL) break;
    return D3D_OK;
  }
  GUID guid = IID_IDirect3DRGBDevice;
  D3DDEVICEDESC hw, hel;
  dx::DescribeDevice(&hw, &hel);
  callback(&guid, description, name, &hw, &hel, context);
  return D3D_OK;
}

// Makes a light with no description yet.
HRESULT D3D_CreateLight(IDirect3D2*, LPDIRECT3DLIGHT* out, IUnknown* outer) {
  if (out != nullptr) *out = nullptr;
  DX_ENTER("IDirect3D2_CreateLight");
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return dx::NewLight(out);
}

// Makes a material, black until described.
HRESULT D3D_CreateMaterial(IDirect3D2*, LPDIRECT3DMATERIAL2* out, IUnknown* outer) {
  if (out != nullptr) *out = nullptr;
  DX_ENTER("IDirect3D2_CreateMaterial");
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return dx::NewMaterial(out);
}

// Makes a viewport with no data yet.
HRESULT D3D_CreateViewport(IDirect3D2*, LPDIRECT3DVIEWPORT2* out, IUnknown* outer) {
  if (out != nullptr) *out = nullptr;
  DX_ENTER("IDirect3D2_CreateViewport");
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return dx::NewViewport(out);
}

// Makes a device of the RGB kind rendering into a 3D-capable colour surface.
HRESULT D3D_CreateDevice(IDirect3D2*, DXGUIDARG rclsid, LPDIRECTDRAWSURFACE lpDDS, LPDIRECT3DDEVICE2* out) {
  if (out != nullptr) *out = nullptr;
  DX_ENTER("IDirect3D2_CreateDevice");
  if (out == nullptr || rclsid.lpGuid == nullptr) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  bool known = IsEqualGUID(*rclsid.lpGuid, IID_IDirect3DRGBDevice);
  for (const platform_test::OfferedDevice& d : dx::OfferedDevices()) known = known || IsEqualGUID(*rclsid.lpGuid, d.guid);
  if (!known) return E_NOINTERFACE;
  dx::SurfaceObj* target = dx::SurfaceFrom(lpDDS);
  if (target == nullptr) return DDERR_INVALIDPARAMS;
  if (target->bPrimary || target->bZBuffer || (target->dwCaps & DDSCAPS_3DDEVICE) == 0) return DDERR_INVALIDCAPS;
  if (target->bLost) return DDERR_SURFACELOST;
  return dx::NewDevice(target, out);
}

const IDirect3D2Vtbl kD3DVtbl = {D3D_QueryInterface, D3D_AddRef,         D3D_Release,
                                 D3D_EnumDevices,    D3D_CreateLight,    D3D_CreateMaterial,
                                 D3D_CreateViewport, D3D_CreateDevice};

DirectDrawObj::DirectDrawObj() {
  face1 = {{&kDD1Vtbl}, this};
  face2 = {{&kDD2Vtbl}, this};
  faceD3D = {{&kD3DVtbl}, this};
}

// ---- functions: IDirectDrawClipper ------------------------------------------

// Hands out another interface of the object with a new reference.
HRESULT Clip_QueryInterface(IDirectDrawClipper* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirectDrawClipper_QueryInterface");
  if (ppv == nullptr) return DDERR_INVALIDPARAMS;
  *ppv = nullptr;
  if (!IsEqualGUID(*riid.lpGuid, IID_IDirectDrawClipper)) return E_NOINTERFACE;
  OwnerOf<dx::ClipperObj>(This)->AddRef();
  *ppv = This;
  return DD_OK;
}
// Adds a reference to the object.
ULONG Clip_AddRef(IDirectDrawClipper* This) {
  DX_COUNT("IDirectDrawClipper_AddRef");
  return OwnerOf<dx::ClipperObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG Clip_Release(IDirectDrawClipper* This) {
  DX_COUNT("IDirectDrawClipper_Release");
  return OwnerOf<dx::ClipperObj>(This)->Release();
}
// The window the clipper is bound to.
HRESULT Clip_GetHWnd(IDirectDrawClipper* This, HWND* out) {
  DX_ENTER("IDirectDrawClipper_GetHWnd");
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  *out = OwnerOf<dx::ClipperObj>(This)->hwnd;
  return DD_OK;
}
// Binds the clipper to a window: blits through it show only inside that window.
HRESULT Clip_SetHWnd(IDirectDrawClipper* This, DWORD dwFlags, HWND hWnd) {
  DX_ENTER("IDirectDrawClipper_SetHWnd");
  if (dwFlags != 0) return DDERR_INVALIDPARAMS;
  OwnerOf<dx::ClipperObj>(This)->hwnd = hWnd;
  return DD_OK;
}

const IDirectDrawClipperVtbl kClipperVtbl = {Clip_QueryInterface, Clip_AddRef, Clip_Release, Clip_GetHWnd,
                                             Clip_SetHWnd};

// ---- functions: IDirectDrawPalette ------------------------------------------

// Hands out another interface of the object with a new reference.
HRESULT Pal_QueryInterface(IDirectDrawPalette* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirectDrawPalette_QueryInterface");
  if (ppv == nullptr) return DDERR_INVALIDPARAMS;
  *ppv = nullptr;
  if (!IsEqualGUID(*riid.lpGuid, IID_IDirectDrawPalette)) return E_NOINTERFACE;
  OwnerOf<dx::PaletteObj>(This)->AddRef();
  *ppv = This;
  return DD_OK;
}
// Adds a reference to the object.
ULONG Pal_AddRef(IDirectDrawPalette* This) {
  DX_COUNT("IDirectDrawPalette_AddRef");
  return OwnerOf<dx::PaletteObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG Pal_Release(IDirectDrawPalette* This) {
  DX_COUNT("IDirectDrawPalette_Release");
  return OwnerOf<dx::PaletteObj>(This)->Release();
}
// Copies entries out, refusing ranges beyond the 256.
HRESULT Pal_GetEntries(IDirectDrawPalette* This, DWORD, DWORD base, DWORD count, LPPALETTEENTRY entries) {
  DX_ENTER("IDirectDrawPalette_GetEntries");
  if (entries == nullptr || base > 256 || count > 256 - base) return DDERR_INVALIDPARAMS;
  std::memcpy(entries, OwnerOf<dx::PaletteObj>(This)->entries + base, count * sizeof(PALETTEENTRY));
  return DD_OK;
}
// Copies entries in, refusing ranges beyond the 256.
HRESULT Pal_SetEntries(IDirectDrawPalette* This, DWORD, DWORD start, DWORD count, LPPALETTEENTRY entries) {
  DX_ENTER("IDirectDrawPalette_SetEntries");
  if (entries == nullptr || start > 256 || count > 256 - start) return DDERR_INVALIDPARAMS;
  std::memcpy(OwnerOf<dx::PaletteObj>(This)->entries + start, entries, count * sizeof(PALETTEENTRY));
  return DD_OK;
}

const IDirectDrawPaletteVtbl kPaletteVtbl = {Pal_QueryInterface, Pal_AddRef, Pal_Release, Pal_GetEntries,
                                             Pal_SetEntries};

}  // namespace

// ---- functions: objects and entry point ---------------------------------------

namespace dx {

ClipperObj::ClipperObj() { face = {{&kClipperVtbl}, this}; }

PaletteObj::PaletteObj() { face = {{&kPaletteVtbl}, this}; }

}  // namespace dx

// Creates the DirectDraw object of the default display.
HRESULT DirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD, IUnknown* pUnkOuter) {
  if (lplpDD != nullptr) *lplpDD = nullptr;
  DX_ENTER("DirectDrawCreate");
  if (lplpDD == nullptr) return DDERR_INVALIDPARAMS;
  *lplpDD = nullptr;
  if (lpGUID != nullptr) return DDERR_INVALIDDIRECTDRAWGUID;
  if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
  DirectDrawObj* dd = new (std::nothrow) DirectDrawObj;
  if (dd == nullptr) return DDERR_OUTOFMEMORY;
  *lplpDD = &dd->face1.iface;
  return DD_OK;
}

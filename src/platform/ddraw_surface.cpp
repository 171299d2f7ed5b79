// DirectDraw surfaces: the primary surface standing for the screen, off-screen
// colour surfaces (X8R8G8B8) and Z buffers (32-bit floats); blits with colour
// fill and stretching, device contexts drawn with Qt, loss and restore.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/dx_internal.h"
#include "platform/win_gdi.h"

// ---- types ----------------------------------------------------------------

namespace {

using dx::OwnerOf;
using dx::SurfaceObj;

// The Z-buffer depths a description may ask for; every one is stored as floats.
bool IsZDepth(DWORD bits) { return bits == 16 || bits == 24 || bits == 32; }

// Tells whether a rectangle lies inside a width x height surface and is not empty.
bool RectInside(const RECT& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.left < r.right &&
         r.top < r.bottom;
}

// The size of the screen the primary surface stands for.
void ScreenSize(int* width, int* height) {
  *width = 1024;
  *height = 768;
  if (QGuiApplication::instance() == nullptr) return;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    *width = screen->geometry().width();
    *height = screen->geometry().height();
  }
}

// ---- functions: IDirectDrawSurface (first version) ---------------------------

// Hands out either surface interface with a new reference.
HRESULT QuerySurface(SurfaceObj* self, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv == nullptr) return DDERR_INVALIDPARAMS;
  *ppv = nullptr;
  if (IsEqualGUID(*riid.lpGuid, IID_IDirectDrawSurface))
    *ppv = self->Iface1();
  else if (IsEqualGUID(*riid.lpGuid, IID_IDirectDrawSurface3))
    *ppv = self->Iface3();
  else
    return E_NOINTERFACE;
  self->AddRef();
  return DD_OK;
}

// Hands out another interface of the object with a new reference.
HRESULT S1_QueryInterface(IDirectDrawSurface* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirectDrawSurface_QueryInterface");
  return QuerySurface(OwnerOf<SurfaceObj>(This), riid, ppv);
}
// Adds a reference to the object.
ULONG S1_AddRef(IDirectDrawSurface* This) {
  DX_COUNT("IDirectDrawSurface_AddRef");
  return OwnerOf<SurfaceObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG S1_Release(IDirectDrawSurface* This) {
  DX_COUNT("IDirectDrawSurface_Release");
  return OwnerOf<SurfaceObj>(This)->Release();
}

const IDirectDrawSurfaceVtbl kSurface1Vtbl = {S1_QueryInterface, S1_AddRef, S1_Release};

// ---- functions: IDirectDrawSurface3 -------------------------------------------

// Hands out another interface of the object with a new reference.
HRESULT S3_QueryInterface(IDirectDrawSurface3* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirectDrawSurface3_QueryInterface");
  return QuerySurface(OwnerOf<SurfaceObj>(This), riid, ppv);
}
// Adds a reference to the object.
ULONG S3_AddRef(IDirectDrawSurface3* This) {
  DX_COUNT("IDirectDrawSurface3_AddRef");
  return OwnerOf<SurfaceObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG S3_Release(IDirectDrawSurface3* This) {
  DX_COUNT("IDirectDrawSurface3_Release");
  return OwnerOf<SurfaceObj>(This)->Release();
}

// Attaches a Z buffer of the same size to a colour surface.
HRESULT S3_AddAttachedSurface(IDirectDrawSurface3* This, LPDIRECTDRAWSURFACE3 attached) {
  DX_ENTER("IDirectDrawSurface3_AddAttachedSurface");
  SurfaceObj* self = OwnerOf<SurfaceObj>(This);
  SurfaceObj* z = dx::SurfaceFrom(attached);
  if (z == nullptr) return DDERR_INVALIDPARAMS;
  if (self->bLost || z->bLost) return DDERR_SURFACELOST;
  if (self->attachedZ == z) return DDERR_SURFACEALREADYATTACHED;
  if (self->attachedZ != nullptr || self->bPrimary || self->bZBuffer || !z->bZBuffer ||
      z->width != self->width || z->height != self->height)
    return DDERR_CANNOTATTACHSURFACE;
  z->AddRef();
  self->attachedZ = z;
  return DD_OK;
}

// Fills a rectangle with a colour, or copies (stretching) a rectangle of
// another surface; a blit to the primary surface shows the picture on screen.
HRESULT S3_Blt(IDirectDrawSurface3* This, LPRECT destRect, LPDIRECTDRAWSURFACE3 srcFace, LPRECT srcRect,
               DWORD dwFlags, LPDDBLTFX fx) {
  DX_ENTER("IDirectDrawSurface3_Blt");
  SurfaceObj* dest = OwnerOf<SurfaceObj>(This);
  if (dwFlags & ~static_cast<DWORD>(DDBLT_COLORFILL | DDBLT_WAIT)) return DDERR_UNSUPPORTED;
  if (dest->bLost) return DDERR_SURFACELOST;
  if (dest->hdc != nullptr) return DDERR_SURFACEBUSY;
  if (dest->bZBuffer) return DDERR_UNSUPPORTED;

  if (dwFlags & DDBLT_COLORFILL) {
    if (fx == nullptr || fx->dwSize != sizeof(DDBLTFX) || srcFace != nullptr) return DDERR_INVALIDPARAMS;
    if (dest->bPrimary) return DDERR_UNSUPPORTED;
    RECT r = destRect ? *destRect : RECT{0, 0, dest->width, dest->height};
    if (!RectInside(r, dest->width, dest->height)) return DDERR_INVALIDRECT;
    // A whole-width rectangle is one run.
    const bool bWhole = r.left == 0 && r.right == dest->width;
    for (LONG y = r.top; y < r.bottom; y = bWhole ? r.bottom : y + 1) {
      uint32_t* row = dest->pixels.data() + static_cast<ptrdiff_t>(y) * dest->width;
      const size_t n = bWhole ? static_cast<size_t>(r.bottom - r.top) * static_cast<size_t>(dest->width)
                              : static_cast<size_t>(r.right - r.left);
      dx::FillColour(row + r.left, n, fx->dwFillColor);
    }
    return DD_OK;
  }

  SurfaceObj* src = dx::SurfaceFrom(srcFace);
  if (src == nullptr) return DDERR_INVALIDPARAMS;
  if (src->bLost) return DDERR_SURFACELOST;
  if (src->hdc != nullptr) return DDERR_SURFACEBUSY;
  if (src->bPrimary || src->bZBuffer) return DDERR_UNSUPPORTED;
  RECT sr = srcRect ? *srcRect : RECT{0, 0, src->width, src->height};
  if (!RectInside(sr, src->width, src->height)) return DDERR_INVALIDRECT;

  if (dest->bPrimary) {
    RECT dr = destRect ? *destRect : RECT{0, 0, dest->width, dest->height};
    const int64_t w = static_cast<int64_t>(dr.right) - dr.left, h = static_cast<int64_t>(dr.bottom) - dr.top;
    if (w <= 0 || h <= 0 || w > (1 << 30) || h > (1 << 30)) return DDERR_INVALIDRECT;
    dx::Present(*src, sr, dr, dest->clipper ? dest->clipper->hwnd : nullptr);
    return DD_OK;
  }

  RECT dr = destRect ? *destRect : RECT{0, 0, dest->width, dest->height};
  if (!RectInside(dr, dest->width, dest->height)) return DDERR_INVALIDRECT;
  if (src == dest) {
    // Overlapping copy within one surface: go through a copy of the source.
    std::vector<uint32_t> copy;
    try {
      copy = src->pixels;
    } catch (const std::bad_alloc&) {
      return DDERR_OUTOFMEMORY;
    }
    dx::StretchCopy(copy.data(), src->width, sr, dest->pixels.data(), dest->width, dr);
  } else {
    dx::StretchCopy(src->pixels.data(), src->width, sr, dest->pixels.data(), dest->width, dr);
  }
  return DD_OK;
}

// Hands out a device context that draws with Qt onto the surface's own pixels.
HRESULT S3_GetDC(IDirectDrawSurface3* This, HDC* out) {
  if (out != nullptr) *out = nullptr;
  DX_ENTER("IDirectDrawSurface3_GetDC");
  SurfaceObj* self = OwnerOf<SurfaceObj>(This);
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  if (self->bLost) return DDERR_SURFACELOST;
  if (self->hdc != nullptr) return DDERR_DCALREADYCREATED;
  if (self->bPrimary || self->bZBuffer) return DDERR_CANTCREATEDC;
  auto image = std::make_unique<QImage>(reinterpret_cast<uchar*>(self->pixels.data()), self->width,
                                        self->height, static_cast<qsizetype>(self->width) * 4,
                                        QImage::Format_RGB32);
  if (image->isNull()) return DDERR_CANTCREATEDC;
  HDC hdc = platform::CreateImageDC(image.get());
  if (hdc == nullptr) return DDERR_CANTCREATEDC;
  self->dcImage = std::move(image);
  self->hdc = hdc;
  *out = hdc;
  return DD_OK;
}

// Describes the surface: size, memory, pixel format.
HRESULT S3_GetSurfaceDesc(IDirectDrawSurface3* This, LPDDSURFACEDESC desc) {
  DX_ENTER("IDirectDrawSurface3_GetSurfaceDesc");
  SurfaceObj* self = OwnerOf<SurfaceObj>(This);
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  std::memset(desc, 0, sizeof(*desc));
  desc->dwSize = sizeof(DDSURFACEDESC);
  desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc->dwWidth = static_cast<DWORD>(self->width);
  desc->dwHeight = static_cast<DWORD>(self->height);
  desc->lPitch = self->width * 4;
  desc->ddsCaps.dwCaps = self->dwCaps;
  DDPIXELFORMAT& pf = desc->ddpfPixelFormat;
  pf.dwSize = sizeof(DDPIXELFORMAT);
  if (self->bZBuffer) {
    desc->dwFlags |= DDSD_ZBUFFERBITDEPTH;
    desc->dwZBufferBitDepth = self->dwZBitDepth;
    pf.dwFlags = DDPF_ZBUFFER;
    pf.dwZBufferBitDepth = self->dwZBitDepth;
  } else {
    pf.dwFlags = DDPF_RGB;
    pf.dwRGBBitCount = 32;
    pf.dwRBitMask = 0xFF0000, pf.dwGBitMask = 0x00FF00, pf.dwBBitMask = 0x0000FF;
  }
  return DD_OK;
}

// Whether the surface has lost its memory.
HRESULT S3_IsLost(IDirectDrawSurface3* This) {
  DX_ENTER("IDirectDrawSurface3_IsLost");
  return OwnerOf<SurfaceObj>(This)->bLost ? DDERR_SURFACELOST : DD_OK;
}

// Takes back the device context; what was drawn stays in the pixels.
HRESULT S3_ReleaseDC(IDirectDrawSurface3* This, HDC hdc) {
  DX_ENTER("IDirectDrawSurface3_ReleaseDC");
  SurfaceObj* self = OwnerOf<SurfaceObj>(This);
  if (self->hdc == nullptr) return DDERR_NODC;
  if (hdc != self->hdc) return DDERR_INVALIDPARAMS;
  platform::FreePainterDC(self->hdc);
  self->hdc = nullptr;
  self->dcImage.reset();
  return DD_OK;
}

// Gives a lost surface its memory back; the old picture is gone.
HRESULT S3_Restore(IDirectDrawSurface3* This) {
  DX_ENTER("IDirectDrawSurface3_Restore");
  SurfaceObj* self = OwnerOf<SurfaceObj>(This);
  if (!self->bLost) return DD_OK;
  self->bLost = false;
  dx::SurfaceMemoryGoing(*self);
  std::fill(self->pixels.begin(), self->pixels.end(), 0u);
  dx::FillFar(self->depth.data(), self->depth.size());
  dx::AllFar(*self);
  return DD_OK;
}

// Clips what is blitted to the surface by a window (null: no clipping).
HRESULT S3_SetClipper(IDirectDrawSurface3* This, LPDIRECTDRAWCLIPPER clipperFace) {
  DX_ENTER("IDirectDrawSurface3_SetClipper");
  SurfaceObj* self = OwnerOf<SurfaceObj>(This);
  dx::ClipperObj* clipper = OwnerOf<dx::ClipperObj>(clipperFace);
  if (clipper != nullptr) clipper->AddRef();
  if (self->clipper != nullptr) self->clipper->Release();
  self->clipper = clipper;
  return DD_OK;
}

// Keeps the palette with the surface. Colour surfaces here hold 32-bit
// pixels, so the palette does not change how they look.
HRESULT S3_SetPalette(IDirectDrawSurface3* This, LPDIRECTDRAWPALETTE paletteFace) {
  DX_ENTER("IDirectDrawSurface3_SetPalette");
  SurfaceObj* self = OwnerOf<SurfaceObj>(This);
  if (self->bLost) return DDERR_SURFACELOST;
  if (self->bZBuffer) return DDERR_INVALIDSURFACETYPE;
  dx::PaletteObj* palette = OwnerOf<dx::PaletteObj>(paletteFace);
  if (palette != nullptr) palette->AddRef();
  if (self->palette != nullptr) self->palette->Release();
  self->palette = palette;
  return DD_OK;
}

const IDirectDrawSurface3Vtbl kSurface3Vtbl = {
    S3_QueryInterface, S3_AddRef,  S3_Release,   S3_AddAttachedSurface, S3_Blt,        S3_GetDC,
    S3_GetSurfaceDesc, S3_IsLost,  S3_ReleaseDC, S3_Restore,            S3_SetClipper, S3_SetPalette};

}  // namespace

// ---- functions: surface objects ---------------------------------------------------

namespace dx {

SurfaceObj::SurfaceObj() {
  face1 = {{&kSurface1Vtbl}, this};
  face3 = {{&kSurface3Vtbl}, this};
  LiveSurfaces().push_back(this);
}

// Lets go of what the surface holds.
SurfaceObj::~SurfaceObj() {
  SurfaceMemoryGoing(*this);
  if (hdc != nullptr) {
    platform::FreePainterDC(hdc);
  }
  if (attachedZ != nullptr) attachedZ->Release();
  if (clipper != nullptr) clipper->Release();
  if (palette != nullptr) palette->Release();
  if (bPrimary && display) display->bPrimaryExists = false;
  auto& live = LiveSurfaces();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

// Finds the surface behind either of its interface pointers by its table.
SurfaceObj* SurfaceFrom(const void* face) {
  if (face == nullptr) return nullptr;
  const void* vtbl;
  std::memcpy(&vtbl, face, sizeof(vtbl));
  if (vtbl == &kSurface1Vtbl)
    return reinterpret_cast<const Face<IDirectDrawSurface, SurfaceObj>*>(face)->owner;
  if (vtbl == &kSurface3Vtbl)
    return reinterpret_cast<const Face<IDirectDrawSurface3, SurfaceObj>*>(face)->owner;
  return nullptr;
}

// Checks a description and makes the surface it asks for.
HRESULT NewSurface(const std::shared_ptr<Display>& display, const DDSURFACEDESC& desc, SurfaceObj** out) {
  const DWORD caps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : DDSCAPS_OFFSCREENPLAIN;
  if ((caps & DDSCAPS_VIDEOMEMORY) && (caps & DDSCAPS_SYSTEMMEMORY)) return DDERR_INVALIDCAPS;
  const bool primary = (caps & DDSCAPS_PRIMARYSURFACE) != 0;
  const bool zbuffer = (caps & DDSCAPS_ZBUFFER) != 0;
  if (primary && zbuffer) return DDERR_INVALIDCAPS;

  int width = 0, height = 0;
  if (primary) {
    if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (display->bPrimaryExists) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    ScreenSize(&width, &height);
  } else {
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (desc.dwWidth == 0 || desc.dwHeight == 0) return DDERR_INVALIDPARAMS;
    if (desc.dwWidth > platform::kMaxSurfaceSide || desc.dwHeight > platform::kMaxSurfaceSide)
      return DDERR_OUTOFVIDEOMEMORY;
    width = static_cast<int>(desc.dwWidth);
    height = static_cast<int>(desc.dwHeight);
  }
  DWORD zbits = 0;
  if (zbuffer) {
    if ((desc.dwFlags & DDSD_ZBUFFERBITDEPTH) == 0) return DDERR_INVALIDPARAMS;
    if (!IsZDepth(desc.dwZBufferBitDepth)) return DDERR_INVALIDPIXELFORMAT;
    zbits = desc.dwZBufferBitDepth;
  } else if (desc.dwFlags & DDSD_PIXELFORMAT) {
    const DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
    if (!(pf.dwFlags & DDPF_RGB) || pf.dwRGBBitCount != 32) return DDERR_INVALIDPIXELFORMAT;
  }

  SurfaceObj* s = new (std::nothrow) SurfaceObj;
  if (s == nullptr) return DDERR_OUTOFMEMORY;
  s->display = display;
  s->dwCaps = caps;
  s->bPrimary = primary;
  s->bZBuffer = zbuffer;
  s->dwZBitDepth = zbits;
  s->width = width;
  s->height = height;
  if (!primary) {
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    try {
      if (zbuffer) {
        s->depth.assign(n, 1.0f);
        dx::AllFar(*s);
      } else
        s->pixels.assign(n, 0u);
    } catch (const std::bad_alloc&) {
      s->Release();
      return DDERR_OUTOFMEMORY;
    }
  } else {
    display->bPrimaryExists = true;
  }
  *out = s;
  return DD_OK;
}

}  // namespace dx

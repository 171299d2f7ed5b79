// Inside the DirectDraw/Direct3D layer: call bookkeeping (counts and injected
// failures), reference-counted objects, and the surface record that the
// device renders into. Not for the game.
#pragma once

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cwchar>
#include <limits>
#include <memory>
#include <vector>

#include "platform/d3d.h"
#include "platform/dx_hooks.h"

namespace dx {

// ---- call bookkeeping ---------------------------------------------------------

// One named interface call; each call site keeps one for its whole run.
struct CallSite {
  const char* name;
  uint64_t count = 0;
  explicit CallSite(const char* siteName);
};

// Counts the call and answers an injected failure for it, or DD_OK.
HRESULT Enter(CallSite& site);

// Opens an interface call: counts it and returns an injected failure at once.
// Calls that hand out an object clear the caller's pointer first, so that an
// injected failure leaves it null as a real one does.
#define DX_ENTER(name)                                        \
  static ::dx::CallSite dxSite_(name);                        \
  if (HRESULT hrInjected_ = ::dx::Enter(dxSite_); FAILED(hrInjected_)) \
  return hrInjected_
// Counts a call that cannot fail (AddRef, Release).
#define DX_COUNT(name)                 \
  static ::dx::CallSite dxSite_(name); \
  (void)::dx::Enter(dxSite_)

// ---- objects -----------------------------------------------------------------------

// Every DirectDraw/Direct3D object: one reference count shared by all of its
// interfaces; the last release deletes it.
struct Object {
  ULONG refs = 1;
  Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  virtual ~Object();
  ULONG AddRef() { return ++refs; }
  ULONG Release();
};

// One interface of an object: the C interface struct the game holds, then
// the way back to the object.
template <class I, class O>
struct Face {
  I iface;
  O* owner;
};

// The object behind an interface pointer handed out by this layer.
template <class O, class I>
O* OwnerOf(I* p) {
  return p ? reinterpret_cast<Face<I, O>*>(p)->owner : nullptr;
}

// State shared by a DirectDraw object and everything made from it.
struct Display {
  bool bPrimaryExists = false;
};

struct ClipperObj;
struct PaletteObj;

// One DirectDraw surface: the primary (the screen), a colour surface in
// X8R8G8B8, or a Z buffer of floats.
struct SurfaceObj : Object {
  Face<IDirectDrawSurface, SurfaceObj> face1;
  Face<IDirectDrawSurface3, SurfaceObj> face3;
  std::shared_ptr<Display> display;

  DWORD dwCaps = 0;
  bool bPrimary = false;
  bool bZBuffer = false;
  DWORD dwZBitDepth = 0;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // colour surfaces
  std::vector<float> depth;      // Z buffers
  // Z buffers: the columns [0] to [2] and rows [1] to [3] (ends excluded)
  // outside which every depth is the far value; until known, everywhere.
  int zTouched[4] = {0, 0, 1 << 30, 1 << 30};
  bool bLost = false;

  SurfaceObj* attachedZ = nullptr;  // holds a reference
  ClipperObj* clipper = nullptr;    // holds a reference
  PaletteObj* palette = nullptr;    // holds a reference

  // The device context handed out by GetDC, while it is out.
  HDC hdc = nullptr;
  std::unique_ptr<QImage> dcImage;

  SurfaceObj();
  ~SurfaceObj() override;
  IDirectDrawSurface* Iface1() { return &face1.iface; }
  IDirectDrawSurface3* Iface3() { return &face3.iface; }
};

// The surface behind either interface pointer (the game casts a third-version
// pointer to the first version), or null for anything else.
SurfaceObj* SurfaceFrom(const void* face);

// Makes a surface for a description, or answers why not.
HRESULT NewSurface(const std::shared_ptr<Display>& display, const DDSURFACEDESC& desc, SurfaceObj** out);

struct ClipperObj : Object {
  Face<IDirectDrawClipper, ClipperObj> face;
  HWND hwnd = nullptr;
  ClipperObj();
  IDirectDrawClipper* Iface() { return &face.iface; }
};

struct PaletteObj : Object {
  Face<IDirectDrawPalette, PaletteObj> face;
  PALETTEENTRY entries[256] = {};
  PaletteObj();
  IDirectDrawPalette* Iface() { return &face.iface; }
};

// Makes the Direct3D device on a surface (d3d_device.cpp).
HRESULT NewDevice(SurfaceObj* target, LPDIRECT3DDEVICE2* out);
HRESULT NewViewport(LPDIRECT3DVIEWPORT2* out);
HRESULT NewLight(LPDIRECT3DLIGHT* out);
HRESULT NewMaterial(LPDIRECT3DMATERIAL2* out);
// Fills the two capability records that EnumDevices reports.
void DescribeDevice(D3DDEVICEDESC* hw, D3DDEVICEDESC* hel);

// ---- presentation and hooks -----------------------------------------------------

// Shows a colour surface's picture under a screen rectangle.
void Present(const SurfaceObj& source, const RECT& src, const RECT& dest, HWND hwndClip);
// Called before a colour surface's pixels are freed or cleared.
void SurfaceMemoryGoing(const SurfaceObj& surface);
// Display depth in bits per pixel.
DWORD DisplayBits();
// Every surface that exists, for LoseAllSurfaces.
std::vector<SurfaceObj*>& LiveSurfaces();
// The device kinds EnumDevices offers: scripted by a test, or empty.
const std::vector<platform_test::OfferedDevice>& OfferedDevices();
// Where the pixel-count hook records writes, or null while it is off.
std::vector<uint32_t>* PixelCounts(int width, int height);

// Sets pixels to one X8R8G8B8 colour with the same wide fill: for a whole
// frame it is faster than the byte fill, whose large-size way is slow here.
inline void FillColour(uint32_t* pixels, size_t count, uint32_t colour) {
  static_assert(sizeof(wchar_t) == sizeof(uint32_t), "wide characters hold one pixel");
  std::wmemset(reinterpret_cast<wchar_t*>(pixels), static_cast<wchar_t>(colour), count);
}

// Marks a Z buffer as holding the far value everywhere.
inline void AllFar(SurfaceObj& z) {
  z.zTouched[0] = z.width, z.zTouched[1] = z.height, z.zTouched[2] = 0, z.zTouched[3] = 0;
}

// Sets depths to the far value. The C library's wide fill stores 32-bit
// patterns at full memory speed, about twice what a plain loop of float
// stores reaches; the bytes it writes are exactly those of 1.0f.
inline void FillFar(float* depth, size_t count) {
  static_assert(sizeof(wchar_t) == sizeof(float), "wide characters hold one depth");
  static_assert(std::numeric_limits<float>::is_iec559, "1.0f is 0x3F800000");
  std::wmemset(reinterpret_cast<wchar_t*>(depth), static_cast<wchar_t>(0x3F800000), count);
}


// Nearest-neighbour copy of a rectangle into another of any size; only the
// first outW x outH pixels of the destination are made.
void StretchCopy(const uint32_t* src, int srcPitch, const RECT& srcRect, uint32_t* dst, int dstPitch,
                 const RECT& dstRect, int outW = 1 << 30, int outH = 1 << 30);

}  // namespace dx

// The Direct3D immediate-mode objects on our rasterizer: the device with its
// transforms, render and light states and scenes; viewports with their lights
// and depth clear; point and directional lights; matt materials and their
// handles. Vertices are transformed and lit once per draw call; a call that
// comes again unchanged, scene after scene, reuses its vertices and then its
// triangles' set-ups.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "platform/d3d_raster.h"
#include "platform/dx_internal.h"

// ---- types ----------------------------------------------------------------

namespace {

using dx::Face;
using dx::OwnerOf;

struct DeviceObj;
struct ViewportObj;

struct LightObj : dx::Object {
  Face<IDirect3DLight, LightObj> face;
  D3DLIGHT2 data = {};
  bool bSet = false;
  ViewportObj* viewport = nullptr;  // the viewport it was added to
  LightObj();
  IDirect3DLight* Iface() { return &face.iface; }
};

struct MaterialObj : dx::Object {
  Face<IDirect3DMaterial2, MaterialObj> face;
  D3DMATERIAL data = {};
  D3DMATERIALHANDLE handle = 0;
  MaterialObj();
  ~MaterialObj() override;
  IDirect3DMaterial2* Iface() { return &face.iface; }
};

struct ViewportObj : dx::Object {
  Face<IDirect3DViewport2, ViewportObj> face;
  D3DVIEWPORT2 data = {};
  bool bSet = false;
  DeviceObj* device = nullptr;    // the device it was added to
  std::vector<LightObj*> lights;  // each holds a reference
  ViewportObj();
  ~ViewportObj() override;
  IDirect3DViewport2* Iface() { return &face.iface; }
};

// A light made ready for one draw call.
struct LightPrep {
  bool bPoint;
  float px, py, pz;  // position (point) or unit vector towards the light
  float range2, invRange;  // squared range, 1 / range
  float a0, a1, a2;
  float r, g, b;     // light colour times material diffuse
};

// Lights lit four vertices at a time; the game uses three.
constexpr size_t kLanedLights = 8;

// The vertices of one draw call of the last scene, transformed and lit, with
// everything they were made from. The game draws much the same scene frame
// after frame (the cubes at rest, the statistics shapes), so the draw call at
// the same place in the next scene usually finds its vertices here.
struct DrawMemo {
  bool bValid = false;
  D3DVERTEXTYPE type = D3DVT_VERTEX;
  DWORD count = 0;
  D3DMATRIX world = {}, combined = {};
  D3DMATERIAL mat = {};
  D3DCOLOR ambient = 0;
  std::vector<LightPrep> lights;
  D3DVIEWPORT2 viewport = {};
  int width = 0, height = 0;
  std::vector<unsigned char> input;
  std::vector<raster::Vertex> output;
  int extent[4] = {};  // where the vertices can put pixels (see VertexExtent)
  // Once the same call comes again, its triangles made ready for the fill,
  // with the indices and the rasterizer state they were made with: a scene
  // that stays the same skips the set-up of every triangle, and the culled
  // ones altogether.
  bool bFills = false;
  std::vector<WORD> indices;
  raster::FillRecord fills;
  raster::Context fillContext;
};

// Draw calls of a scene remembered, and vertices per call: enough for the
// game's scenes, bounded so that the memory stays small (under 2 MB).
constexpr size_t kMemoCalls = 512;
constexpr DWORD kMemoVertices = 32;
// Triangles per call whose set-ups are kept, and the bytes all calls may
// keep of them (the game's scenes take well under that).
constexpr DWORD kFillTriangles = 256;
constexpr size_t kFillBytes = size_t{1} << 20;

struct DeviceObj : dx::Object {
  Face<IDirect3DDevice2, DeviceObj> face;
  dx::SurfaceObj* target = nullptr;      // holds a reference
  std::vector<ViewportObj*> viewports;  // each holds a reference
  ViewportObj* current = nullptr;
  bool bInScene = false;
  D3DMATRIX world, view, projection;
  D3DMATRIX combined;
  bool bCombinedStale = true;
  DWORD zEnable = D3DZB_TRUE;
  DWORD zWrite = TRUE;
  DWORD shadeMode = D3DSHADE_GOURAUD;
  DWORD cullMode = D3DCULL_CCW;
  D3DMATERIALHANDLE material = 0;
  D3DCOLOR ambient = 0;
  std::vector<raster::Vertex> verts;  // reused from call to call
  std::vector<LightPrep> lights;
  std::vector<DrawMemo> memos;  // the draw calls of the last scene, in order
  size_t memoNext = 0;          // the draw call of this scene
  raster::FillRecord fillScratch;  // a call's triangles as they are drawn
  size_t fillBytes = 0;            // what the memos' fills, indices and all, take
  int extent[4] = {};           // VertexExtent of verts
  // The viewport mapping and clip planes of the last draw, rebuilt only when
  // the viewport or the target's size changes.
  raster::Context viewCache;
  D3DVIEWPORT2 viewCacheKey = {};
  int viewCacheW = -1, viewCacheH = -1;
  std::vector<std::array<float, 3>> litPlaces;  // for the scene file only
  DeviceObj();
  ~DeviceObj() override;
  IDirect3DDevice2* Iface() { return &face.iface; }
};

// ---- globals --------------------------------------------------------------

// Material handles: entry h - 1 is the material of handle h, null once gone.
std::vector<MaterialObj*>& MaterialHandles() {
  static std::vector<MaterialObj*> handles;
  return handles;
}

const D3DMATRIX kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// ---- functions: helpers ---------------------------------------------------

// The live material behind a handle, or null.
MaterialObj* MaterialOf(D3DMATERIALHANDLE h) {
  auto& handles = MaterialHandles();
  return (h == 0 || h > handles.size()) ? nullptr : handles[h - 1];
}

// Row-vector product a x b.
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  const float* A = &a._11;
  const float* B = &b._11;
  D3DMATRIX m;
  float* M = &m._11;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      M[i * 4 + j] = A[i * 4] * B[j] + A[i * 4 + 1] * B[4 + j] + A[i * 4 + 2] * B[8 + j] + A[i * 4 + 3] * B[12 + j];
  return m;
}

bool Finite(float f) { return std::isfinite(f); }

// 1 / sqrt(x) for x > 0, to about 23 bits: the estimate and one Newton step.
float InvSqrt(float x) {
#if defined(__SSE__)
  const float e = _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(x)));
  return e * (1.5f - 0.5f * x * e * e);
#else
  return 1.0f / std::sqrt(x);
#endif
}

// ---- functions: IDirect3DLight ----------------------------------------------

// Hands out another interface of the object with a new reference.
HRESULT Light_QueryInterface(IDirect3DLight* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirect3DLight_QueryInterface");
  if (ppv == nullptr) return DDERR_INVALIDPARAMS;
  *ppv = nullptr;
  if (!IsEqualGUID(*riid.lpGuid, IID_IDirect3DLight)) return E_NOINTERFACE;
  OwnerOf<LightObj>(This)->AddRef();
  *ppv = This;
  return D3D_OK;
}
// Adds a reference to the object.
ULONG Light_AddRef(IDirect3DLight* This) {
  DX_COUNT("IDirect3DLight_AddRef");
  return OwnerOf<LightObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG Light_Release(IDirect3DLight* This) {
  DX_COUNT("IDirect3DLight_Release");
  return OwnerOf<LightObj>(This)->Release();
}

// Takes a DirectX 5 light record of a point or directional light.
HRESULT Light_SetLight(IDirect3DLight* This, LPD3DLIGHT lpLight) {
  DX_ENTER("IDirect3DLight_SetLight");
  if (lpLight == nullptr || lpLight->dwSize != sizeof(D3DLIGHT2)) return DDERR_INVALIDPARAMS;
  D3DLIGHT2 light;
  std::memcpy(&light, lpLight, sizeof(light));
  if (light.dltType != D3DLIGHT_POINT && light.dltType != D3DLIGHT_DIRECTIONAL) return DDERR_INVALIDPARAMS;
  LightObj* self = OwnerOf<LightObj>(This);
  self->data = light;
  self->bSet = true;
  return D3D_OK;
}

// Gives back the light record last set.
HRESULT Light_GetLight(IDirect3DLight* This, LPD3DLIGHT lpLight) {
  DX_ENTER("IDirect3DLight_GetLight");
  LightObj* self = OwnerOf<LightObj>(This);
  if (lpLight == nullptr || lpLight->dwSize != sizeof(D3DLIGHT2)) return DDERR_INVALIDPARAMS;
  if (!self->bSet) return D3DERR_LIGHT_SET_FAILED;
  std::memcpy(lpLight, &self->data, sizeof(D3DLIGHT2));
  return D3D_OK;
}

const IDirect3DLightVtbl kLightVtbl = {Light_QueryInterface, Light_AddRef, Light_Release, Light_SetLight,
                                       Light_GetLight};

LightObj::LightObj() { face = {{&kLightVtbl}, this}; }

// ---- functions: IDirect3DMaterial2 ------------------------------------------

// Hands out another interface of the object with a new reference.
HRESULT Mat_QueryInterface(IDirect3DMaterial2* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirect3DMaterial2_QueryInterface");
  if (ppv == nullptr) return DDERR_INVALIDPARAMS;
  *ppv = nullptr;
  if (!IsEqualGUID(*riid.lpGuid, IID_IDirect3DMaterial2)) return E_NOINTERFACE;
  OwnerOf<MaterialObj>(This)->AddRef();
  *ppv = This;
  return D3D_OK;
}
// Adds a reference to the object.
ULONG Mat_AddRef(IDirect3DMaterial2* This) {
  DX_COUNT("IDirect3DMaterial2_AddRef");
  return OwnerOf<MaterialObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG Mat_Release(IDirect3DMaterial2* This) {
  DX_COUNT("IDirect3DMaterial2_Release");
  return OwnerOf<MaterialObj>(This)->Release();
}
// Takes the material record.
HRESULT Mat_SetMaterial(IDirect3DMaterial2* This, LPD3DMATERIAL lpMat) {
  DX_ENTER("IDirect3DMaterial2_SetMaterial");
  if (lpMat == nullptr || lpMat->dwSize != sizeof(D3DMATERIAL)) return DDERR_INVALIDPARAMS;
  OwnerOf<MaterialObj>(This)->data = *lpMat;
  return D3D_OK;
}
// Gives back the material record.
HRESULT Mat_GetMaterial(IDirect3DMaterial2* This, LPD3DMATERIAL lpMat) {
  DX_ENTER("IDirect3DMaterial2_GetMaterial");
  if (lpMat == nullptr || lpMat->dwSize != sizeof(D3DMATERIAL)) return DDERR_INVALIDPARAMS;
  *lpMat = OwnerOf<MaterialObj>(This)->data;
  return D3D_OK;
}
// The handle that names this material to a device's light state.
HRESULT Mat_GetHandle(IDirect3DMaterial2* This, LPDIRECT3DDEVICE2 device, LPD3DMATERIALHANDLE lpHandle) {
  DX_ENTER("IDirect3DMaterial2_GetHandle");
  if (device == nullptr || lpHandle == nullptr) return DDERR_INVALIDPARAMS;
  MaterialObj* self = OwnerOf<MaterialObj>(This);
  if (self->handle == 0) {
    auto& handles = MaterialHandles();
    try {
      handles.push_back(self);
    } catch (const std::bad_alloc&) {
      return DDERR_OUTOFMEMORY;
    }
    self->handle = static_cast<D3DMATERIALHANDLE>(handles.size());
  }
  *lpHandle = self->handle;
  return D3D_OK;
}

const IDirect3DMaterial2Vtbl kMaterialVtbl = {Mat_QueryInterface, Mat_AddRef,      Mat_Release,
                                              Mat_SetMaterial,    Mat_GetMaterial, Mat_GetHandle};

MaterialObj::MaterialObj() {
  face = {{&kMaterialVtbl}, this};
  data.dwSize = sizeof(D3DMATERIAL);
}

// A released material's handle names nothing any more.
MaterialObj::~MaterialObj() {
  if (handle != 0) MaterialHandles()[handle - 1] = nullptr;
}

// ---- functions: IDirect3DViewport2 --------------------------------------------

// Hands out another interface of the object with a new reference.
HRESULT Vp_QueryInterface(IDirect3DViewport2* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirect3DViewport2_QueryInterface");
  if (ppv == nullptr) return DDERR_INVALIDPARAMS;
  *ppv = nullptr;
  if (!IsEqualGUID(*riid.lpGuid, IID_IDirect3DViewport2)) return E_NOINTERFACE;
  OwnerOf<ViewportObj>(This)->AddRef();
  *ppv = This;
  return D3D_OK;
}
// Adds a reference to the object.
ULONG Vp_AddRef(IDirect3DViewport2* This) {
  DX_COUNT("IDirect3DViewport2_AddRef");
  return OwnerOf<ViewportObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG Vp_Release(IDirect3DViewport2* This) {
  DX_COUNT("IDirect3DViewport2_Release");
  return OwnerOf<ViewportObj>(This)->Release();
}

// Clears the Z buffer (to the far value) and/or the target (to black) inside
// the rectangles, within the viewport.
HRESULT Vp_Clear(IDirect3DViewport2* This, DWORD dwCount, LPD3DRECT lpRects, DWORD dwFlags) {
  DX_ENTER("IDirect3DViewport2_Clear");
  ViewportObj* self = OwnerOf<ViewportObj>(This);
  if (dwCount == 0 || lpRects == nullptr) return DDERR_INVALIDPARAMS;
  if ((dwFlags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) == 0 ||
      (dwFlags & ~static_cast<DWORD>(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)))
    return DDERR_INVALIDPARAMS;
  if (self->device == nullptr) return D3DERR_VIEWPORTHASNODEVICE;
  if (!self->bSet) return D3DERR_VIEWPORTDATANOTSET;
  dx::SurfaceObj* target = self->device->target;
  dx::SurfaceObj* z = target->attachedZ;
  if ((dwFlags & D3DCLEAR_ZBUFFER) && z == nullptr) return D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY;
  if (target->bLost || (z != nullptr && z->bLost)) return DDERR_SURFACELOST;
  const D3DVIEWPORT2& vp = self->data;
  const int64_t vl = vp.dwX, vt = vp.dwY, vr = vl + vp.dwWidth, vb = vt + vp.dwHeight;
  for (DWORD i = 0; i < dwCount; ++i) {
    const D3DRECT& r = lpRects[i];
    const int64_t l = std::max<int64_t>({r.x1, vl, 0}), t = std::max<int64_t>({r.y1, vt, 0});
    const int64_t rr = std::min<int64_t>({r.x2, vr, target->width}),
                  bb = std::min<int64_t>({r.y2, vb, target->height});
    if (l >= rr || t >= bb) continue;
    const int64_t width = target->width;
    if (dwFlags & D3DCLEAR_ZBUFFER) {
      // Depths outside the part the device has written are the far value
      // already: only that part, often well short of the whole buffer, is
      // filled. A clear over all of it leaves none.
      int* touched = z->zTouched;
      const int64_t zl = std::max<int64_t>(l, touched[0]), zt = std::max<int64_t>(t, touched[1]);
      const int64_t zr = std::min<int64_t>(rr, touched[2]), zb = std::min<int64_t>(bb, touched[3]);
      if (zl < zr && zt < zb) {
        if (zl == 0 && zr == width)  // whole rows are one run of memory
          dx::FillFar(z->depth.data() + zt * width, static_cast<size_t>((zb - zt) * width));
        else
          for (int64_t y = zt; y < zb; ++y)
            dx::FillFar(z->depth.data() + y * width + zl, static_cast<size_t>(zr - zl));
      }
      if (l <= touched[0] && t <= touched[1] && rr >= touched[2] && bb >= touched[3]) dx::AllFar(*z);
    }
    if (dwFlags & D3DCLEAR_TARGET) {
      if (l == 0 && rr == width)
        dx::FillColour(target->pixels.data() + t * width, static_cast<size_t>((bb - t) * width), 0);
      else
        for (int64_t y = t; y < bb; ++y)
          dx::FillColour(target->pixels.data() + y * width + l, static_cast<size_t>(rr - l), 0);
    }
  }
  return D3D_OK;
}

// Lights act on what the device draws while they are in its current viewport.
HRESULT Vp_AddLight(IDirect3DViewport2* This, LPDIRECT3DLIGHT lightFace) {
  DX_ENTER("IDirect3DViewport2_AddLight");
  ViewportObj* self = OwnerOf<ViewportObj>(This);
  LightObj* light = OwnerOf<LightObj>(lightFace);
  if (light == nullptr) return DDERR_INVALIDPARAMS;
  if (light->viewport != nullptr) return D3DERR_LIGHTHASVIEWPORT;
  try {
    self->lights.push_back(light);
  } catch (const std::bad_alloc&) {
    return DDERR_OUTOFMEMORY;
  }
  light->AddRef();
  light->viewport = self;
  return D3D_OK;
}

// Takes a light out of the viewport.
HRESULT Vp_DeleteLight(IDirect3DViewport2* This, LPDIRECT3DLIGHT lightFace) {
  DX_ENTER("IDirect3DViewport2_DeleteLight");
  ViewportObj* self = OwnerOf<ViewportObj>(This);
  LightObj* light = OwnerOf<LightObj>(lightFace);
  if (light == nullptr) return DDERR_INVALIDPARAMS;
  auto it = std::find(self->lights.begin(), self->lights.end(), light);
  // Taking out a light that is in no viewport at all leaves things as they
  // should be: it is not an error. (A rebuild stopped by lack of memory can
  // leave the caller believing a light was added when it was not.)
  if (it == self->lights.end()) return light->viewport == nullptr ? D3D_OK : D3DERR_LIGHTNOTINTHISVIEWPORT;
  self->lights.erase(it);
  light->viewport = nullptr;
  light->Release();
  return D3D_OK;
}

// Gives back the viewport data.
HRESULT Vp_GetViewport2(IDirect3DViewport2* This, LPD3DVIEWPORT2 lpData) {
  DX_ENTER("IDirect3DViewport2_GetViewport2");
  ViewportObj* self = OwnerOf<ViewportObj>(This);
  if (lpData == nullptr || lpData->dwSize != sizeof(D3DVIEWPORT2)) return DDERR_INVALIDPARAMS;
  if (!self->bSet) return D3DERR_VIEWPORTDATANOTSET;
  *lpData = self->data;
  return D3D_OK;
}

// Takes the pixel rectangle and the clip volume.
HRESULT Vp_SetViewport2(IDirect3DViewport2* This, LPD3DVIEWPORT2 lpData) {
  DX_ENTER("IDirect3DViewport2_SetViewport2");
  if (lpData == nullptr || lpData->dwSize != sizeof(D3DVIEWPORT2)) return DDERR_INVALIDPARAMS;
  const D3DVIEWPORT2& d = *lpData;
  if (d.dwWidth == 0 || d.dwHeight == 0 || !(d.dvClipWidth > 0) || !(d.dvClipHeight > 0) || !Finite(d.dvClipX) ||
      !Finite(d.dvClipY) || !Finite(d.dvClipWidth) || !Finite(d.dvClipHeight))
    return DDERR_INVALIDPARAMS;
  ViewportObj* self = OwnerOf<ViewportObj>(This);
  self->data = d;
  self->bSet = true;
  return D3D_OK;
}

const IDirect3DViewport2Vtbl kViewportVtbl = {Vp_QueryInterface, Vp_AddRef,       Vp_Release,
                                              Vp_Clear,          Vp_AddLight,     Vp_DeleteLight,
                                              Vp_GetViewport2,   Vp_SetViewport2};

ViewportObj::ViewportObj() { face = {{&kViewportVtbl}, this}; }

ViewportObj::~ViewportObj() {
  for (LightObj* light : lights) {
    light->viewport = nullptr;
    light->Release();
  }
}

// ---- functions: IDirect3DDevice2, state -----------------------------------------

// Hands out another interface of the object with a new reference.
HRESULT Dev_QueryInterface(IDirect3DDevice2* This, DXGUIDARG riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  DX_ENTER("IDirect3DDevice2_QueryInterface");
  if (ppv == nullptr) return DDERR_INVALIDPARAMS;
  *ppv = nullptr;
  if (!IsEqualGUID(*riid.lpGuid, IID_IDirect3DDevice2)) return E_NOINTERFACE;
  OwnerOf<DeviceObj>(This)->AddRef();
  *ppv = This;
  return D3D_OK;
}
// Adds a reference to the object.
ULONG Dev_AddRef(IDirect3DDevice2* This) {
  DX_COUNT("IDirect3DDevice2_AddRef");
  return OwnerOf<DeviceObj>(This)->AddRef();
}
// Drops a reference; the last one deletes the object.
ULONG Dev_Release(IDirect3DDevice2* This) {
  DX_COUNT("IDirect3DDevice2_Release");
  return OwnerOf<DeviceObj>(This)->Release();
}

// Adds a viewport to the device; the device holds it.
HRESULT Dev_AddViewport(IDirect3DDevice2* This, LPDIRECT3DVIEWPORT2 vpFace) {
  DX_ENTER("IDirect3DDevice2_AddViewport");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  ViewportObj* vp = OwnerOf<ViewportObj>(vpFace);
  if (vp == nullptr || vp->device != nullptr) return DDERR_INVALIDPARAMS;
  try {
    self->viewports.push_back(vp);
  } catch (const std::bad_alloc&) {
    return DDERR_OUTOFMEMORY;
  }
  vp->AddRef();
  vp->device = self;
  return D3D_OK;
}

// Takes a viewport from the device.
HRESULT Dev_DeleteViewport(IDirect3DDevice2* This, LPDIRECT3DVIEWPORT2 vpFace) {
  DX_ENTER("IDirect3DDevice2_DeleteViewport");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  ViewportObj* vp = OwnerOf<ViewportObj>(vpFace);
  auto it = std::find(self->viewports.begin(), self->viewports.end(), vp);
  if (vp == nullptr || it == self->viewports.end()) return DDERR_INVALIDPARAMS;
  self->viewports.erase(it);
  if (self->current == vp) self->current = nullptr;
  vp->device = nullptr;
  vp->Release();
  return D3D_OK;
}

// Whether the render target and its Z buffer can be drawn into.
bool TargetLost(const DeviceObj* d) {
  return d->target->bLost || (d->target->attachedZ != nullptr && d->target->attachedZ->bLost);
}

// ---- functions: the scene file, a test aid ----------------------------------------

// The file QUANDREL_TEST_SCENE_FILE names, or null. An end-to-end test reads
// there where the last finished scene placed each lit mesh (the cubes), to
// see the well from outside the game without touching it.
const char* SceneFile() {
  static const char* const path = [] {
    const char* value = std::getenv("QUANDREL_TEST_SCENE_FILE");
    return value != nullptr && *value != '\0' ? value : nullptr;
  }();
  return path;
}

// Notes where a lit mesh is drawn: the translation of the world matrix.
void NoteLitMesh(DeviceObj* self, D3DVERTEXTYPE vtype) {
  if (vtype != D3DVT_VERTEX || SceneFile() == nullptr) return;
  self->litPlaces.push_back({self->world._41, self->world._42, self->world._43});
}

// Replaces the scene file whole, one "x y z" line per lit mesh, so that a
// reader never sees half a scene.
void WriteSceneFile(const DeviceObj* self) {
  const char* path = SceneFile();
  if (path == nullptr) return;
  const std::string temp = std::string(path) + ".new";
  FILE* file = std::fopen(temp.c_str(), "w");
  if (file == nullptr) return;
  for (const auto& p : self->litPlaces) std::fprintf(file, "%.3f %.3f %.3f\n", p[0], p[1], p[2]);
  if (std::fclose(file) == 0) std::rename(temp.c_str(), path);
}

// Opens a scene; draws happen only inside one.
HRESULT Dev_BeginScene(IDirect3DDevice2* This) {
  DX_ENTER("IDirect3DDevice2_BeginScene");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  if (self->bInScene) return D3DERR_SCENE_IN_SCENE;
  if (TargetLost(self)) return DDERR_SURFACELOST;
  self->bInScene = true;
  self->memoNext = 0;
  self->litPlaces.clear();
  if (std::vector<uint32_t>* counts = dx::PixelCounts(self->target->width, self->target->height))
    std::fill(counts->begin(), counts->end(), 0u);
  return D3D_OK;
}

// Closes the scene.
HRESULT Dev_EndScene(IDirect3DDevice2* This) {
  DX_ENTER("IDirect3DDevice2_EndScene");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  if (!self->bInScene) return D3DERR_SCENE_NOT_IN_SCENE;
  if (TargetLost(self)) return DDERR_SURFACELOST;
  self->bInScene = false;
  WriteSceneFile(self);
  return D3D_OK;
}

// Chooses which of the device's viewports draws map into and light from.
HRESULT Dev_SetCurrentViewport(IDirect3DDevice2* This, LPDIRECT3DVIEWPORT2 vpFace) {
  DX_ENTER("IDirect3DDevice2_SetCurrentViewport");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  ViewportObj* vp = OwnerOf<ViewportObj>(vpFace);
  if (vp == nullptr || vp->device != self) return DDERR_INVALIDPARAMS;
  self->current = vp;
  return D3D_OK;
}

// The current viewport, with a new reference.
HRESULT Dev_GetCurrentViewport(IDirect3DDevice2* This, LPDIRECT3DVIEWPORT2* out) {
  DX_ENTER("IDirect3DDevice2_GetCurrentViewport");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  if (out == nullptr) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (self->current == nullptr) return D3DERR_NOCURRENTVIEWPORT;
  self->current->AddRef();
  *out = self->current->Iface();
  return D3D_OK;
}

// The value of a render state.
HRESULT Dev_GetRenderState(IDirect3DDevice2* This, D3DRENDERSTATETYPE type, LPDWORD value) {
  DX_ENTER("IDirect3DDevice2_GetRenderState");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  if (value == nullptr) return DDERR_INVALIDPARAMS;
  switch (type) {
    case D3DRENDERSTATE_ZENABLE: *value = self->zEnable; return D3D_OK;
    case D3DRENDERSTATE_ZWRITEENABLE: *value = self->zWrite; return D3D_OK;
    case D3DRENDERSTATE_SHADEMODE: *value = self->shadeMode; return D3D_OK;
    case D3DRENDERSTATE_CULLMODE: *value = self->cullMode; return D3D_OK;
    case D3DRENDERSTATE_FILLMODE: *value = D3DFILL_SOLID; return D3D_OK;
    case D3DRENDERSTATE_ZFUNC: *value = D3DCMP_LESSEQUAL; return D3D_OK;
    default: return DDERR_INVALIDPARAMS;
  }
}

// The render states this rasterizer has; other states and values are refused.
HRESULT Dev_SetRenderState(IDirect3DDevice2* This, D3DRENDERSTATETYPE type, DWORD value) {
  DX_ENTER("IDirect3DDevice2_SetRenderState");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  switch (type) {
    case D3DRENDERSTATE_ZENABLE:
      if (value > D3DZB_TRUE) return DDERR_INVALIDPARAMS;
      self->zEnable = value;
      return D3D_OK;
    case D3DRENDERSTATE_ZWRITEENABLE:
      self->zWrite = value ? TRUE : FALSE;
      return D3D_OK;
    case D3DRENDERSTATE_SHADEMODE:
      if (value != D3DSHADE_FLAT && value != D3DSHADE_GOURAUD) return DDERR_INVALIDPARAMS;
      self->shadeMode = value;
      return D3D_OK;
    case D3DRENDERSTATE_CULLMODE:
      if (value < D3DCULL_NONE || value > D3DCULL_CCW) return DDERR_INVALIDPARAMS;
      self->cullMode = value;
      return D3D_OK;
    case D3DRENDERSTATE_FILLMODE:
      return value == D3DFILL_SOLID ? D3D_OK : DDERR_INVALIDPARAMS;
    case D3DRENDERSTATE_ZFUNC:
      return value == D3DCMP_LESSEQUAL ? D3D_OK : DDERR_INVALIDPARAMS;
    default:
      return DDERR_INVALIDPARAMS;
  }
}

// The value of a light state.
HRESULT Dev_GetLightState(IDirect3DDevice2* This, D3DLIGHTSTATETYPE type, LPDWORD value) {
  DX_ENTER("IDirect3DDevice2_GetLightState");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  if (value == nullptr) return DDERR_INVALIDPARAMS;
  switch (type) {
    case D3DLIGHTSTATE_MATERIAL: *value = self->material; return D3D_OK;
    case D3DLIGHTSTATE_AMBIENT: *value = self->ambient; return D3D_OK;
    case D3DLIGHTSTATE_COLORMODEL: *value = D3DCOLOR_RGB; return D3D_OK;
    default: return DDERR_INVALIDPARAMS;
  }
}

// The current material (a handle, 0 for none) and the ambient light.
HRESULT Dev_SetLightState(IDirect3DDevice2* This, D3DLIGHTSTATETYPE type, DWORD value) {
  DX_ENTER("IDirect3DDevice2_SetLightState");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  switch (type) {
    case D3DLIGHTSTATE_MATERIAL:
      if (value != 0 && MaterialOf(value) == nullptr) return DDERR_INVALIDPARAMS;
      self->material = value;
      return D3D_OK;
    case D3DLIGHTSTATE_AMBIENT:
      self->ambient = value;
      return D3D_OK;
    case D3DLIGHTSTATE_COLORMODEL:
      return value == D3DCOLOR_RGB ? D3D_OK : DDERR_INVALIDPARAMS;
    default:
      return DDERR_INVALIDPARAMS;
  }
}

// Sets the world, view or projection matrix.
HRESULT Dev_SetTransform(IDirect3DDevice2* This, D3DTRANSFORMSTATETYPE type, LPD3DMATRIX m) {
  DX_ENTER("IDirect3DDevice2_SetTransform");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  if (m == nullptr) return DDERR_INVALIDPARAMS;
  switch (type) {
    case D3DTRANSFORMSTATE_WORLD: self->world = *m; break;
    case D3DTRANSFORMSTATE_VIEW: self->view = *m; break;
    case D3DTRANSFORMSTATE_PROJECTION: self->projection = *m; break;
    default: return DDERR_INVALIDPARAMS;
  }
  self->bCombinedStale = true;
  return D3D_OK;
}

// Gives back the world, view or projection matrix.
HRESULT Dev_GetTransform(IDirect3DDevice2* This, D3DTRANSFORMSTATETYPE type, LPD3DMATRIX m) {
  DX_ENTER("IDirect3DDevice2_GetTransform");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  if (m == nullptr) return DDERR_INVALIDPARAMS;
  switch (type) {
    case D3DTRANSFORMSTATE_WORLD: *m = self->world; return D3D_OK;
    case D3DTRANSFORMSTATE_VIEW: *m = self->view; return D3D_OK;
    case D3DTRANSFORMSTATE_PROJECTION: *m = self->projection; return D3D_OK;
    default: return DDERR_INVALIDPARAMS;
  }
}

// ---- functions: IDirect3DDevice2, drawing ------------------------------------------

// Why the device cannot draw now, or D3D_OK.
HRESULT DrawReady(const DeviceObj* self) {
  if (!self->bInScene) return D3DERR_SCENE_NOT_IN_SCENE;
  if (TargetLost(self)) return DDERR_SURFACELOST;
  if (self->current == nullptr) return D3DERR_NOCURRENTVIEWPORT;
  if (!self->current->bSet) return D3DERR_VIEWPORTDATANOTSET;
  return D3D_OK;
}

// Gathers the switched-on lights of the current viewport with the material.
void PrepareLights(DeviceObj* self, const D3DMATERIAL& mat) {
  self->lights.clear();
  for (const LightObj* light : self->current->lights) {
    const D3DLIGHT2& l = light->data;
    if (!light->bSet || (l.dwFlags & D3DLIGHT_ACTIVE) == 0) continue;
    LightPrep p = {};
    p.r = l.dcvColor.r * mat.diffuse.r;
    p.g = l.dcvColor.g * mat.diffuse.g;
    p.b = l.dcvColor.b * mat.diffuse.b;
    if (l.dltType == D3DLIGHT_POINT) {
      if (!(l.dvRange > 0)) continue;
      p.bPoint = true;
      p.px = l.dvPosition.x, p.py = l.dvPosition.y, p.pz = l.dvPosition.z;
      p.range2 = l.dvRange * l.dvRange;
      p.invRange = 1.0f / l.dvRange;
      p.a0 = l.dvAttenuation0, p.a1 = l.dvAttenuation1, p.a2 = l.dvAttenuation2;
    } else {
      const float len = std::sqrt(l.dvDirection.x * l.dvDirection.x + l.dvDirection.y * l.dvDirection.y +
                                  l.dvDirection.z * l.dvDirection.z);
      if (!(len > 0)) continue;
      p.bPoint = false;
      p.px = -l.dvDirection.x / len, p.py = -l.dvDirection.y / len, p.pz = -l.dvDirection.z / len;
    }
    self->lights.push_back(p);
  }
}

// The pixels [0], [1] to [2], [3] (ends excluded) that points, lines and
// triangles of these vertices can reach: their screen rectangle with a
// pixel to spare around it for rounding, or all of the clip rectangle when
// a vertex lies outside the guard band or behind the camera.
void VertexExtent(const raster::Context& ctx, const raster::Vertex* v, DWORD count, int* extent) {
  extent[0] = ctx.clipL, extent[1] = ctx.clipT, extent[2] = ctx.clipR, extent[3] = ctx.clipB;
  if (count == 0) return;
  float minX = v[0].sx, minY = v[0].sy, maxX = v[0].sx, maxY = v[0].sy;
  uint32_t out = 0;
  for (DWORD i = 0; i < count; ++i) {
    out |= v[i].out;
    minX = std::min(minX, v[i].sx), maxX = std::max(maxX, v[i].sx);
    minY = std::min(minY, v[i].sy), maxY = std::max(maxY, v[i].sy);
  }
  if (out != 0) return;
  // Inside the guard band the positions are small enough for int.
  extent[0] = std::max(extent[0], static_cast<int>(std::floor(minX)) - 1);
  extent[1] = std::max(extent[1], static_cast<int>(std::floor(minY)) - 1);
  extent[2] = std::min(extent[2], static_cast<int>(std::floor(maxX)) + 2);
  extent[3] = std::min(extent[3], static_cast<int>(std::floor(maxY)) + 2);
}

// Light records compared bit for bit.
bool SameLights(const std::vector<LightPrep>& a, const std::vector<LightPrep>& b) {
  if (a.size() != b.size()) return false;
  for (size_t k = 0; k < a.size(); ++k) {
    const LightPrep& x = a[k];
    const LightPrep& y = b[k];
    const float fx[11] = {x.px, x.py, x.pz, x.range2, x.invRange, x.a0, x.a1, x.a2, x.r, x.g, x.b};
    const float fy[11] = {y.px, y.py, y.pz, y.range2, y.invRange, y.a0, y.a1, y.a2, y.r, y.g, y.b};
    if (x.bPoint != y.bPoint || std::memcmp(fx, fy, sizeof(fx)) != 0) return false;
  }
  return true;
}

// Bytes of one vertex record of the type.
size_t RecordSize(D3DVERTEXTYPE type) { return type == D3DVT_VERTEX ? sizeof(D3DVERTEX) : sizeof(D3DLVERTEX); }

// Whether the memo holds the vertices this call would make: the same
// records, transforms, mapping, and for lit vertices material and lights.
// Compared bit for bit, so that what it holds is exactly what would be made.
bool MemoHolds(const DrawMemo& memo, const DeviceObj* self, D3DVERTEXTYPE type, LPCVOID data, DWORD count,
               const D3DMATERIAL& mat) {
  if (!memo.bValid || memo.type != type || memo.count != count) return false;
  if (memo.width != self->viewCacheW || memo.height != self->viewCacheH ||
      std::memcmp(&memo.viewport, &self->viewCacheKey, sizeof(D3DVIEWPORT2)) != 0 ||
      std::memcmp(&memo.combined, &self->combined, sizeof(D3DMATRIX)) != 0)
    return false;
  if (type == D3DVT_VERTEX &&
      (std::memcmp(&memo.world, &self->world, sizeof(D3DMATRIX)) != 0 ||
       std::memcmp(&memo.mat, &mat, sizeof(D3DMATERIAL)) != 0 || memo.ambient != self->ambient ||
       !SameLights(memo.lights, self->lights)))
    return false;
  return std::memcmp(memo.input.data(), data, count * RecordSize(type)) == 0;
}

// The bytes kept triangles take: their set-ups, walks and indices.
size_t FillBytes(size_t setups, size_t walks, size_t indices) {
  return setups * sizeof(raster::FillSetup) + walks * sizeof(raster::FillWalks) + indices * sizeof(WORD);
}

// The bytes a memo's kept triangles take.
size_t FillBytesOf(const DrawMemo& memo) {
  return FillBytes(memo.fills.setups.capacity(), memo.fills.walks.capacity(), memo.indices.capacity());
}

// Lets go of a memo's kept triangles: they belong to vertices no longer held.
void DropFills(DeviceObj* self, DrawMemo& memo) {
  self->fillBytes -= FillBytesOf(memo);
  memo.bFills = false;
  std::vector<raster::FillSetup>().swap(memo.fills.setups);
  std::vector<raster::FillWalks>().swap(memo.fills.walks);
  std::vector<WORD>().swap(memo.indices);
}

// Keeps what this call made for the same call of the next scene; without
// the memory for it, the memo is dropped and the next scene makes them anew.
void KeepMemo(DrawMemo& memo, const DeviceObj* self, D3DVERTEXTYPE type, LPCVOID data, DWORD count,
              const D3DMATERIAL& mat) {
  memo.bValid = false;
  try {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    memo.input.assign(bytes, bytes + count * RecordSize(type));
    memo.output.assign(self->verts.begin(), self->verts.begin() + count);
    memo.lights = self->lights;
  } catch (const std::bad_alloc&) {
    return;
  }
  memo.type = type;
  memo.count = count;
  memo.world = self->world;
  memo.combined = self->combined;
  memo.mat = mat;
  memo.ambient = self->ambient;
  memo.viewport = self->viewCacheKey;
  memo.width = self->viewCacheW;
  memo.height = self->viewCacheH;
  std::copy(self->extent, self->extent + 4, memo.extent);
  memo.bValid = true;
}

// The memo for this draw call of the scene, or null when calls this large
// or this many are not remembered.
DrawMemo* NextMemo(DeviceObj* self, DWORD count) {
  const size_t at = self->memoNext++;
  if (at >= kMemoCalls || count > kMemoVertices) return nullptr;
  try {
    if (self->memos.size() <= at) self->memos.resize(at + 1);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return &self->memos[at];
}

void LightVertices(DeviceObj* self, D3DVERTEXTYPE type, LPCVOID data, DWORD count, const raster::Context& ctx,
                   const D3DMATERIAL& mat);

// Transforms (and for D3DVERTEX lights) every vertex of a call once, or
// finds them made by the same call of the last scene.
HRESULT TransformVertices(DeviceObj* self, D3DVERTEXTYPE type, LPCVOID data, DWORD count,
                          const raster::Context& ctx, const raster::Vertex** out, const int** extent,
                          DrawMemo** found = nullptr) {
  if (self->bCombinedStale) {
    self->combined = Multiply(Multiply(self->world, self->view), self->projection);
    self->bCombinedStale = false;
  }
  D3DMATERIAL mat = {};
  if (type == D3DVT_VERTEX) {
    if (const MaterialObj* material = MaterialOf(self->material)) mat = material->data;
    try {
      PrepareLights(self, mat);
    } catch (const std::bad_alloc&) {
      return DDERR_OUTOFMEMORY;
    }
  }
  DrawMemo* memo = NextMemo(self, count);
  if (memo != nullptr && MemoHolds(*memo, self, type, data, count, mat)) {
    *out = memo->output.data();
    *extent = memo->extent;
    if (found != nullptr) *found = memo;
    return D3D_OK;
  }
  try {
    if (self->verts.size() < count) self->verts.resize(count);
  } catch (const std::bad_alloc&) {
    return DDERR_OUTOFMEMORY;
  }
  LightVertices(self, type, data, count, ctx, mat);
  VertexExtent(ctx, self->verts.data(), count, self->extent);
  if (memo != nullptr) {
    DropFills(self, *memo);
    KeepMemo(*memo, self, type, data, count, mat);
  }
  *out = self->verts.data();
  *extent = self->extent;
  return D3D_OK;
}

// The transform and lighting themselves, into the device's vertices.
void LightVertices(DeviceObj* self, D3DVERTEXTYPE type, LPCVOID data, DWORD count, const raster::Context& ctx,
                   const D3DMATERIAL& mat) {
  const D3DMATRIX& m = self->combined;
  auto place = [&](raster::Vertex& o, float x, float y, float z) {
    o.x = x * m._11 + y * m._21 + z * m._31 + m._41;
    o.y = x * m._12 + y * m._22 + z * m._32 + m._42;
    o.z = x * m._13 + y * m._23 + z * m._33 + m._43;
    o.w = x * m._14 + y * m._24 + z * m._34 + m._44;
    ctx.Project(o);
  };

  if (type == D3DVT_LVERTEX) {
    const D3DLVERTEX* in = static_cast<const D3DLVERTEX*>(data);
    for (DWORD i = 0; i < count; ++i) {
      raster::Vertex& o = self->verts[i];
      place(o, in[i].x, in[i].y, in[i].z);
      o.r = static_cast<float>((in[i].color >> 16) & 0xFF);
      o.g = static_cast<float>((in[i].color >> 8) & 0xFF);
      o.b = static_cast<float>(in[i].color & 0xFF);
    }
    return;
  }

  const float ambR = static_cast<float>((self->ambient >> 16) & 0xFF) / 255.0f;
  const float ambG = static_cast<float>((self->ambient >> 8) & 0xFF) / 255.0f;
  const float ambB = static_cast<float>(self->ambient & 0xFF) / 255.0f;
  const float baseR = mat.emissive.r + mat.ambient.r * ambR;
  const float baseG = mat.emissive.g + mat.ambient.g * ambG;
  const float baseB = mat.emissive.b + mat.ambient.b * ambB;
  const D3DMATRIX& w = self->world;
  const D3DVERTEX* in = static_cast<const D3DVERTEX*>(data);
  DWORD i = 0;
#if defined(__SSE2__)
  // Four vertices at a time, the same arithmetic as one at a time below.
  const __m128 w11 = _mm_set1_ps(w._11), w12 = _mm_set1_ps(w._12), w13 = _mm_set1_ps(w._13);
  const __m128 w21 = _mm_set1_ps(w._21), w22 = _mm_set1_ps(w._22), w23 = _mm_set1_ps(w._23);
  const __m128 w31 = _mm_set1_ps(w._31), w32 = _mm_set1_ps(w._32), w33 = _mm_set1_ps(w._33);
  const __m128 w41 = _mm_set1_ps(w._41), w42 = _mm_set1_ps(w._42), w43 = _mm_set1_ps(w._43);
  const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f), full = _mm_set1_ps(255.0f);
  const __m128 m11 = _mm_set1_ps(m._11), m12 = _mm_set1_ps(m._12), m13 = _mm_set1_ps(m._13), m14 = _mm_set1_ps(m._14);
  const __m128 m21 = _mm_set1_ps(m._21), m22 = _mm_set1_ps(m._22), m23 = _mm_set1_ps(m._23), m24 = _mm_set1_ps(m._24);
  const __m128 m31 = _mm_set1_ps(m._31), m32 = _mm_set1_ps(m._32), m33 = _mm_set1_ps(m._33), m34 = _mm_set1_ps(m._34);
  const __m128 m41 = _mm_set1_ps(m._41), m42 = _mm_set1_ps(m._42), m43 = _mm_set1_ps(m._43), m44 = _mm_set1_ps(m._44);
  // Each light's values spread over the four lanes once, not once a group.
  struct LightLanes {
    __m128 px, py, pz, range2, invRange, a0, a1, a2, r, g, b;
    bool bPoint;
  };
  LightLanes lanes[kLanedLights];
  const size_t nLaned = self->lights.size() <= kLanedLights ? self->lights.size() : 0;
  for (size_t k = 0; k < nLaned; ++k) {
    const LightPrep& l = self->lights[k];
    lanes[k] = {_mm_set1_ps(l.px),       _mm_set1_ps(l.py), _mm_set1_ps(l.pz), _mm_set1_ps(l.range2),
                _mm_set1_ps(l.invRange), _mm_set1_ps(l.a0), _mm_set1_ps(l.a1), _mm_set1_ps(l.a2),
                _mm_set1_ps(l.r),        _mm_set1_ps(l.g),  _mm_set1_ps(l.b),  l.bPoint};
  }
  // More lights than that are rare: they take the one-at-a-time way below.
  for (; nLaned == self->lights.size() && i + 4 <= count; i += 4) {
    // Each record is two rows of four: position and normal x, then normal y
    // and z and the texture coordinates. Four records turned into lanes.
    static_assert(sizeof(D3DVERTEX) == 8 * sizeof(float), "two rows of four");
    const float* v = &in[i].x;
    __m128 x = _mm_loadu_ps(v), y = _mm_loadu_ps(v + 8), z = _mm_loadu_ps(v + 16), nx0 = _mm_loadu_ps(v + 24);
    __m128 ny0 = _mm_loadu_ps(v + 4), nz0 = _mm_loadu_ps(v + 12), tu = _mm_loadu_ps(v + 20), tv = _mm_loadu_ps(v + 28);
    _MM_TRANSPOSE4_PS(x, y, z, nx0);
    _MM_TRANSPOSE4_PS(ny0, nz0, tu, tv);
    (void)tu, (void)tv;
    auto dot3 = [](__m128 a, __m128 b, __m128 c, __m128 ma, __m128 mb, __m128 mc) {
      return _mm_add_ps(_mm_add_ps(_mm_mul_ps(a, ma), _mm_mul_ps(b, mb)), _mm_mul_ps(c, mc));
    };
    const __m128 cx = _mm_add_ps(dot3(x, y, z, m11, m21, m31), m41);
    const __m128 cy = _mm_add_ps(dot3(x, y, z, m12, m22, m32), m42);
    const __m128 cz = _mm_add_ps(dot3(x, y, z, m13, m23, m33), m43);
    const __m128 cw = _mm_add_ps(dot3(x, y, z, m14, m24, m34), m44);
    const __m128 wx = _mm_add_ps(dot3(x, y, z, w11, w21, w31), w41);
    const __m128 wy = _mm_add_ps(dot3(x, y, z, w12, w22, w32), w42);
    const __m128 wz = _mm_add_ps(dot3(x, y, z, w13, w23, w33), w43);
    const __m128 nx = dot3(nx0, ny0, nz0, w11, w21, w31);
    const __m128 ny = dot3(nx0, ny0, nz0, w12, w22, w32);
    const __m128 nz = dot3(nx0, ny0, nz0, w13, w23, w33);
    __m128 r = _mm_set1_ps(baseR), g = _mm_set1_ps(baseG), b = _mm_set1_ps(baseB);
    for (size_t k = 0; k < nLaned; ++k) {
      const LightLanes& l = lanes[k];
      __m128 lx = l.px, ly = l.py, lz = l.pz;
      __m128 att = one;
      __m128 valid = _mm_cmpeq_ps(one, one);
      if (l.bPoint) {
        lx = _mm_sub_ps(lx, wx), ly = _mm_sub_ps(ly, wy), lz = _mm_sub_ps(lz, wz);
        const __m128 d2 = dot3(lx, ly, lz, lx, ly, lz);
        valid = _mm_and_ps(_mm_cmple_ps(d2, l.range2), _mm_cmpgt_ps(d2, zero));
        const __m128 e = _mm_rsqrt_ps(d2);
        const __m128 inv =
            _mm_mul_ps(e, _mm_sub_ps(_mm_set1_ps(1.5f), _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(0.5f), d2), _mm_mul_ps(e, e))));
        const __m128 dn = _mm_sub_ps(one, _mm_mul_ps(_mm_mul_ps(d2, inv), l.invRange));
        att = _mm_add_ps(_mm_add_ps(l.a0, _mm_mul_ps(l.a1, dn)), _mm_mul_ps(l.a2, _mm_mul_ps(dn, dn)));
        lx = _mm_mul_ps(lx, inv), ly = _mm_mul_ps(ly, inv), lz = _mm_mul_ps(lz, inv);
      }
      const __m128 ndotl = dot3(nx, ny, nz, lx, ly, lz);
      const __m128 k4 = _mm_and_ps(valid, _mm_mul_ps(_mm_max_ps(ndotl, zero), att));
      r = _mm_add_ps(r, _mm_mul_ps(l.r, k4));
      g = _mm_add_ps(g, _mm_mul_ps(l.g, k4));
      b = _mm_add_ps(b, _mm_mul_ps(l.b, k4));
    }
    ctx.StoreFour(&self->verts[i], cx, cy, cz, cw, _mm_mul_ps(_mm_min_ps(_mm_max_ps(r, zero), one), full),
                  _mm_mul_ps(_mm_min_ps(_mm_max_ps(g, zero), one), full),
                  _mm_mul_ps(_mm_min_ps(_mm_max_ps(b, zero), one), full));
  }
#endif
  for (; i < count; ++i) {
    const D3DVERTEX& v = in[i];
    raster::Vertex& o = self->verts[i];
    place(o, v.x, v.y, v.z);
    float r = baseR, g = baseG, b = baseB;
    if (!self->lights.empty()) {
      const float wx = v.x * w._11 + v.y * w._21 + v.z * w._31 + w._41;
      const float wy = v.x * w._12 + v.y * w._22 + v.z * w._32 + w._42;
      const float wz = v.x * w._13 + v.y * w._23 + v.z * w._33 + w._43;
      const float nx = v.nx * w._11 + v.ny * w._21 + v.nz * w._31;
      const float ny = v.nx * w._12 + v.ny * w._22 + v.nz * w._32;
      const float nz = v.nx * w._13 + v.ny * w._23 + v.nz * w._33;
      for (const LightPrep& l : self->lights) {
        float lx = l.px, ly = l.py, lz = l.pz, att = 1.0f;
        if (l.bPoint) {
          lx -= wx, ly -= wy, lz -= wz;
          const float d2 = lx * lx + ly * ly + lz * lz;
          if (d2 > l.range2 || !(d2 > 0)) continue;
          const float inv = InvSqrt(d2);
          const float dn = 1.0f - d2 * inv * l.invRange;
          att = l.a0 + l.a1 * dn + l.a2 * dn * dn;
          lx *= inv, ly *= inv, lz *= inv;
        }
        const float ndotl = nx * lx + ny * ly + nz * lz;
        if (ndotl <= 0) continue;
        const float k = ndotl * att;
        r += l.r * k, g += l.g * k, b += l.b * k;
      }
    }
    o.r = std::clamp(r, 0.0f, 1.0f) * 255.0f;
    o.g = std::clamp(g, 0.0f, 1.0f) * 255.0f;
    o.b = std::clamp(b, 0.0f, 1.0f) * 255.0f;
  }
}

// Sets the rasterizer up for the device's target, viewport and states.
raster::Context MakeContext(DeviceObj* self) {
  dx::SurfaceObj* t = self->target;
  const D3DVIEWPORT2& vp = self->current->data;
  if (self->viewCacheW != t->width || self->viewCacheH != t->height ||
      std::memcmp(&self->viewCacheKey, &vp, sizeof(vp)) != 0) {
    self->viewCache.SetViewport(vp, t->width, t->height);
    self->viewCacheKey = vp;
    self->viewCacheW = t->width;
    self->viewCacheH = t->height;
  }
  raster::Context ctx = self->viewCache;
  ctx.color = t->pixels.data();
  ctx.pitch = t->width;
  ctx.depth = t->attachedZ ? t->attachedZ->depth.data() : nullptr;
  ctx.bZTest = self->zEnable != D3DZB_FALSE && ctx.depth != nullptr;
  ctx.bZWrite = self->zWrite != FALSE;
  ctx.bGouraud = self->shadeMode != D3DSHADE_FLAT;
  ctx.cull = static_cast<D3DCULL>(self->cullMode);
  if (std::vector<uint32_t>* counts = dx::PixelCounts(t->width, t->height)) ctx.counts = counts->data();
  return ctx;
}

// Takes in a call's extent (VertexExtent) as a rectangle where depths may
// now differ from the far value.
void TouchDepths(DeviceObj* self, const raster::Context& ctx, const int* extent) {
  if (!ctx.bZTest || !ctx.bZWrite) return;
  int* touched = self->target->attachedZ->zTouched;
  touched[0] = std::min(touched[0], extent[0]), touched[1] = std::min(touched[1], extent[1]);
  touched[2] = std::max(touched[2], extent[2]), touched[3] = std::max(touched[3], extent[3]);
}

// Draws the primitives whose vertex numbers come from index(i).
template <class Index>
void Assemble(const raster::Context& ctx, const raster::Vertex* v, D3DPRIMITIVETYPE type, DWORD n, Index index) {
  switch (type) {
    case D3DPT_POINTLIST:
      for (DWORD i = 0; i < n; ++i) ctx.Point(v[index(i)]);
      break;
    case D3DPT_LINELIST:
      for (DWORD i = 0; i + 1 < n; i += 2) ctx.Line(v[index(i)], v[index(i + 1)]);
      break;
    case D3DPT_LINESTRIP:
      for (DWORD i = 0; i + 1 < n; ++i) ctx.Line(v[index(i)], v[index(i + 1)]);
      break;
    case D3DPT_TRIANGLELIST:
      for (DWORD i = 0; i + 2 < n; i += 3) ctx.Triangle(v[index(i)], v[index(i + 1)], v[index(i + 2)]);
      break;
    case D3DPT_TRIANGLESTRIP:
      // Every second triangle of a strip runs the other way; keep the winding.
      for (DWORD i = 0; i + 2 < n; ++i)
        if (i % 2 == 0)
          ctx.Triangle(v[index(i)], v[index(i + 1)], v[index(i + 2)]);
        else
          ctx.Triangle(v[index(i + 1)], v[index(i)], v[index(i + 2)]);
      break;
    case D3DPT_TRIANGLEFAN:
      for (DWORD i = 1; i + 1 < n; ++i) ctx.Triangle(v[index(0)], v[index(i)], v[index(i + 1)]);
      break;
    default:
      break;
  }
}

// Whether triangles made ready in one context draw the same in the other:
// the same row length, clip rectangle and states, and no pixel counting.
bool SameFill(const raster::Context& a, const raster::Context& b) {
  return a.pitch == b.pitch && a.clipL == b.clipL && a.clipT == b.clipT && a.clipR == b.clipR && a.clipB == b.clipB &&
         a.bZTest == b.bZTest && a.bZWrite == b.bZWrite && a.bGouraud == b.bGouraud && a.cull == b.cull &&
         (a.depth == nullptr) == (b.depth == nullptr) && a.counts == nullptr && b.counts == nullptr;
}

// Draws an indexed triangle list whose vertices the memo held: from the
// triangles kept the last time, when they were made from the same indices
// in the same state, or else as usual, keeping them this time.
void DrawKnownTriangles(DeviceObj* self, DrawMemo& memo, raster::Context ctx, const raster::Vertex* v,
                        const WORD* indices, DWORD icount) {
  if (memo.bFills && SameFill(memo.fillContext, ctx) && memo.indices.size() == icount &&
      std::equal(indices, indices + icount, memo.indices.begin())) {
    ctx.Replay(memo.fills);
    return;
  }
  memo.bFills = false;
  raster::FillRecord& scratch = self->fillScratch;
  const bool bKeep = icount / 3 <= kFillTriangles;
  if (bKeep) {
    scratch.setups.clear(), scratch.walks.clear();
    scratch.bComplete = true;
    try {
      // Room for three pieces a triangle: one cut by the clip planes is
      // drawn as a fan, seldom of more.
      scratch.setups.reserve(icount / 3 * 3);
      scratch.walks.reserve(icount / 3 * 3);
      ctx.record = &scratch;
    } catch (const std::bad_alloc&) {
    }
  }
  Assemble(ctx, v, D3DPT_TRIANGLELIST, icount, [indices](DWORD i) { return static_cast<DWORD>(indices[i]); });
  if (ctx.record == nullptr || !scratch.bComplete) return;
  // Exactly what is needed, and within the budget; a call that would go
  // beyond it keeps nothing.
  const size_t before = FillBytesOf(memo);
  const size_t need = FillBytes(scratch.setups.size(), scratch.walks.size(), icount);
  if (self->fillBytes - before + need > kFillBytes) return;
  bool bKept = true;
  try {
    std::vector<raster::FillSetup>(scratch.setups.begin(), scratch.setups.end()).swap(memo.fills.setups);
    std::vector<raster::FillWalks>(scratch.walks.begin(), scratch.walks.end()).swap(memo.fills.walks);
    std::vector<WORD>(indices, indices + icount).swap(memo.indices);
  } catch (const std::bad_alloc&) {
    bKept = false;
  }
  self->fillBytes = self->fillBytes - before + FillBytesOf(memo);
  if (!bKept) return;
  ctx.record = nullptr;
  memo.fillContext = ctx;
  memo.bFills = true;
}

bool KnownPrimitive(D3DPRIMITIVETYPE t) { return t >= D3DPT_POINTLIST && t <= D3DPT_TRIANGLEFAN; }
bool KnownVertex(D3DVERTEXTYPE t) { return t == D3DVT_VERTEX || t == D3DVT_LVERTEX; }

// The most vertices one call may hand over: what 16-bit indices can reach.
constexpr DWORD kMaxVertices = 65536;

// The greatest of n indices; eight at a time rather than one long chain of
// comparisons, every one waiting for the last.
DWORD MaxIndex(const WORD* indices, DWORD n) {
  DWORD i = 0, most = 0;
#if defined(__SSE2__)
  // Signed 16-bit maxima of the indices less 32768 keep their order.
  const __m128i bias = _mm_set1_epi16(static_cast<int16_t>(0x8000));
  __m128i m = _mm_set1_epi16(static_cast<int16_t>(0x8000));
  for (; i + 8 <= n; i += 8)
    m = _mm_max_epi16(m, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(indices + i)), bias));
  m = _mm_max_epi16(m, _mm_srli_si128(m, 8));
  m = _mm_max_epi16(m, _mm_srli_si128(m, 4));
  m = _mm_max_epi16(m, _mm_srli_si128(m, 2));
  most = static_cast<DWORD>(_mm_cvtsi128_si32(_mm_xor_si128(m, bias)) & 0xFFFF);
#endif
  for (; i < n; ++i) most = std::max<DWORD>(most, indices[i]);
  return most;
}

// Draws points, lines or triangles from consecutive vertices.
HRESULT Dev_DrawPrimitive(IDirect3DDevice2* This, D3DPRIMITIVETYPE ptype, D3DVERTEXTYPE vtype, LPCVOID verts,
                          DWORD count, DWORD) {
  DX_ENTER("IDirect3DDevice2_DrawPrimitive");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  if (!KnownPrimitive(ptype)) return D3DERR_INVALIDPRIMITIVETYPE;
  if (!KnownVertex(vtype)) return D3DERR_INVALIDVERTEXTYPE;
  if ((verts == nullptr && count != 0) || count > kMaxVertices) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DrawReady(self); FAILED(hr)) return hr;
  NoteLitMesh(self, vtype);
  if (count == 0) return D3D_OK;
  const raster::Context ctx = MakeContext(self);
  const raster::Vertex* v = nullptr;
  const int* extent = nullptr;
  if (HRESULT hr = TransformVertices(self, vtype, verts, count, ctx, &v, &extent); FAILED(hr)) return hr;
  Assemble(ctx, v, ptype, count, [](DWORD i) { return i; });
  TouchDepths(self, ctx, extent);
  return D3D_OK;
}

// Draws points, lines or triangles from vertices named by 16-bit indices.
HRESULT Dev_DrawIndexedPrimitive(IDirect3DDevice2* This, D3DPRIMITIVETYPE ptype, D3DVERTEXTYPE vtype,
                                 LPCVOID verts, DWORD vcount, const WORD* indices, DWORD icount, DWORD) {
  DX_ENTER("IDirect3DDevice2_DrawIndexedPrimitive");
  DeviceObj* self = OwnerOf<DeviceObj>(This);
  if (!KnownPrimitive(ptype)) return D3DERR_INVALIDPRIMITIVETYPE;
  if (!KnownVertex(vtype)) return D3DERR_INVALIDVERTEXTYPE;
  if ((verts == nullptr && vcount != 0) || (indices == nullptr && icount != 0) || vcount > kMaxVertices)
    return DDERR_INVALIDPARAMS;
  // An index past the vertices would read outside the caller's array.
  if (icount != 0 && MaxIndex(indices, icount) >= vcount) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DrawReady(self); FAILED(hr)) return hr;
  NoteLitMesh(self, vtype);
  if (icount == 0) return D3D_OK;
  const raster::Context ctx = MakeContext(self);
  const raster::Vertex* v = nullptr;
  const int* extent = nullptr;
  DrawMemo* found = nullptr;
  if (HRESULT hr = TransformVertices(self, vtype, verts, vcount, ctx, &v, &extent, &found); FAILED(hr)) return hr;
  if (found != nullptr && ptype == D3DPT_TRIANGLELIST)
    DrawKnownTriangles(self, *found, ctx, v, indices, icount);
  else
    Assemble(ctx, v, ptype, icount, [indices](DWORD i) { return static_cast<DWORD>(indices[i]); });
  TouchDepths(self, ctx, extent);
  return D3D_OK;
}

const IDirect3DDevice2Vtbl kDeviceVtbl = {
    Dev_QueryInterface,  Dev_AddRef,           Dev_Release,          Dev_AddViewport,     Dev_DeleteViewport,
    Dev_BeginScene,      Dev_EndScene,         Dev_SetCurrentViewport, Dev_GetCurrentViewport,
    Dev_GetRenderState,  Dev_SetRenderState,   Dev_GetLightState,    Dev_SetLightState,   Dev_SetTransform,
    Dev_GetTransform,    Dev_DrawPrimitive,    Dev_DrawIndexedPrimitive};

DeviceObj::DeviceObj() : world(kIdentity), view(kIdentity), projection(kIdentity), combined(kIdentity) {
  face = {{&kDeviceVtbl}, this};
}

// Lets go of the viewports and the render target.
DeviceObj::~DeviceObj() {
  for (ViewportObj* vp : viewports) {
    vp->device = nullptr;
    vp->Release();
  }
  if (target != nullptr) target->Release();
}

}  // namespace

// ---- functions: creation and description -------------------------------------

namespace dx {

// A device rendering into the surface (and its attached Z buffer).
HRESULT NewDevice(SurfaceObj* target, LPDIRECT3DDEVICE2* out) {
  DeviceObj* device = new (std::nothrow) DeviceObj;
  if (device == nullptr) return DDERR_OUTOFMEMORY;
  target->AddRef();
  device->target = target;
  device->zEnable = target->attachedZ != nullptr ? D3DZB_TRUE : D3DZB_FALSE;
  *out = device->Iface();
  return D3D_OK;
}

// A new viewport object.
HRESULT NewViewport(LPDIRECT3DVIEWPORT2* out) {
  ViewportObj* vp = new (std::nothrow) ViewportObj;
  if (vp == nullptr) return DDERR_OUTOFMEMORY;
  *out = vp->Iface();
  return D3D_OK;
}

// A new light object.
HRESULT NewLight(LPDIRECT3DLIGHT* out) {
  LightObj* light = new (std::nothrow) LightObj;
  if (light == nullptr) return DDERR_OUTOFMEMORY;
  *out = light->Iface();
  return D3D_OK;
}

// A new material object.
HRESULT NewMaterial(LPDIRECT3DMATERIAL2* out) {
  MaterialObj* material = new (std::nothrow) MaterialObj;
  if (material == nullptr) return DDERR_OUTOFMEMORY;
  *out = material->Iface();
  return D3D_OK;
}

// Our rasterizer as DirectX 5 describes an emulation device: no hardware,
// RGB colour model, 32-bit float Z, flat and Gouraud shading, point and
// directional lights, clipping, anticlockwise culling.
void DescribeDevice(D3DDEVICEDESC* hw, D3DDEVICEDESC* hel) {
  std::memset(hw, 0, sizeof(*hw));
  hw->dwSize = sizeof(D3DDEVICEDESC);
  std::memset(hel, 0, sizeof(*hel));
  D3DDEVICEDESC& d = *hel;
  d.dwSize = sizeof(D3DDEVICEDESC);
  d.dwFlags = D3DDD_COLORMODEL | D3DDD_DEVCAPS | D3DDD_TRANSFORMCAPS | D3DDD_LIGHTINGCAPS | D3DDD_BCLIPPING |
              D3DDD_LINECAPS | D3DDD_TRICAPS | D3DDD_DEVICERENDERBITDEPTH | D3DDD_DEVICEZBUFFERBITDEPTH |
              D3DDD_MAXVERTEXCOUNT;
  d.dcmColorModel = D3DCOLOR_RGB;
  d.dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY;
  d.dtcTransformCaps = {sizeof(D3DTRANSFORMCAPS), D3DTRANSFORMCAPS_CLIP};
  d.bClipping = TRUE;
  d.dlcLightingCaps = {sizeof(D3DLIGHTINGCAPS), D3DLIGHTCAPS_POINT | D3DLIGHTCAPS_DIRECTIONAL,
                       D3DLIGHTINGMODEL_RGB, 0};
  D3DPRIMCAPS caps = {};
  caps.dwSize = sizeof(D3DPRIMCAPS);
  caps.dwMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
  caps.dwRasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_SUBPIXEL;
  caps.dwZCmpCaps = D3DPCMPCAPS_LESSEQUAL;
  caps.dwShadeCaps = D3DPSHADECAPS_COLORFLATRGB | D3DPSHADECAPS_COLORGOURAUDRGB;
  d.dpcLineCaps = caps;
  d.dpcTriCaps = caps;
  // The device draws into its own 32-bit buffer, so any display depth serves.
  d.dwDeviceRenderBitDepth = DDBD_8 | DDBD_16 | DDBD_24 | DDBD_32;
  d.dwDeviceZBufferBitDepth = DDBD_32;
  d.dwMaxVertexCount = 65535;
}

}  // namespace dx

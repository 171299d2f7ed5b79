// The graphics device on a scene like the game's: about 120 lit cubes of 30
// triangles, the well outline (a line list of 20 indices) and 200 guide
// points, cleared, drawn and presented (blit to the primary surface).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/d3d.h"
#include "platform/dx_hooks.h"

namespace {

// ---- scene data -----------------------------------------------------------

// A unit cube centred on the origin, each face a fan of five triangles
// around its centre: 36 vertices, 90 indices.
struct CubeMesh {
  std::vector<D3DVERTEX> verts;
  std::vector<WORD> indices;
  CubeMesh() {
    // Face normals and two in-face axes, chosen so that each fan runs
    // clockwise seen from outside.
    const float faces[6][9] = {{0, 0, -1, 1, 0, 0, 0, 1, 0},  {0, 0, 1, -1, 0, 0, 0, 1, 0},
                               {-1, 0, 0, 0, 0, -1, 0, 1, 0}, {1, 0, 0, 0, 0, 1, 0, 1, 0},
                               {0, 1, 0, 1, 0, 0, 0, 0, 1},   {0, -1, 0, 1, 0, 0, 0, 0, -1}};
    // Ring around the centre in face coordinates (u, v), clockwise on screen
    // for a face seen from outside, with one extra point on the top edge.
    const float ring[6][2] = {{-0.5f, 0.5f}, {0.0f, 0.5f}, {0.5f, 0.5f}, {0.5f, -0.5f}, {-0.5f, -0.5f}, {-0.5f, 0.5f}};
    for (const auto& f : faces) {
      const WORD base = static_cast<WORD>(verts.size());
      auto add = [&](float u, float v) {
        D3DVERTEX d = {};
        d.x = f[0] * 0.5f + f[3] * u + f[6] * v;
        d.y = f[1] * 0.5f + f[4] * u + f[7] * v;
        d.z = f[2] * 0.5f + f[5] * u + f[8] * v;
        d.nx = f[0], d.ny = f[1], d.nz = f[2];
        verts.push_back(d);
      };
      add(0, 0);
      for (int i = 0; i < 5; ++i) add(ring[i][0], ring[i][1]);
      for (int i = 0; i < 5; ++i) {
        indices.push_back(base);
        indices.push_back(static_cast<WORD>(base + 1 + i));
        indices.push_back(static_cast<WORD>(base + 1 + (i + 1) % 5));
      }
    }
  }
};

D3DMATRIX Translation(float x, float y, float z) {
  D3DMATRIX m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
  return m;
}

// Everything one frame needs, built like the game builds it.
struct Scene {
  LPDIRECTDRAW2 dd = nullptr;
  LPDIRECT3D2 d3d = nullptr;
  LPDIRECTDRAWSURFACE3 primary = nullptr, back = nullptr, zbuf = nullptr;
  LPDIRECT3DDEVICE2 dev = nullptr;
  LPDIRECT3DVIEWPORT2 vp = nullptr;
  LPDIRECT3DLIGHT lights[3] = {};
  LPDIRECT3DMATERIAL2 mats[7] = {};
  D3DMATERIALHANDLE handles[7] = {};
  CubeMesh cube;
  std::vector<D3DMATRIX> cells;
  D3DLVERTEX wellVerts[8];
  WORD wellIndices[20] = {0, 1, 1, 3, 3, 2, 2, 0, 2, 4, 3, 5, 4, 5, 5, 6, 6, 7, 7, 4};
  D3DLVERTEX guides[200];
  D3DMATRIX identity = Translation(0, 0, 0);
  RECT full = {};
  int width, height;

  static LPDIRECTDRAWSURFACE3 Surface(LPDIRECTDRAW2 dd, DWORD caps, int w, int h, DWORD zbits) {
    DDSURFACEDESC d;
    std::memset(&d, 0, sizeof(d));
    d.dwSize = sizeof(d);
    d.dwFlags = DDSD_CAPS | (w ? DDSD_WIDTH | DDSD_HEIGHT : 0) | (zbits ? DDSD_ZBUFFERBITDEPTH : 0);
    d.dwWidth = static_cast<DWORD>(w);
    d.dwHeight = static_cast<DWORD>(h);
    d.dwZBufferBitDepth = zbits;
    d.ddsCaps.dwCaps = caps;
    LPDIRECTDRAWSURFACE s1 = nullptr;
    LPDIRECTDRAWSURFACE3 s3 = nullptr;
    IDirectDraw2_CreateSurface(dd, &d, &s1, NULL);
    IDirectDrawSurface_QueryInterface(s1, IID_IDirectDrawSurface3, (LPVOID*)&s3);
    IDirectDrawSurface_Release(s1);
    return s3;
  }

  Scene(int w, int h) : width(w), height(h) {
    full = {0, 0, w, h};
    LPDIRECTDRAW dd1 = nullptr;
    DirectDrawCreate(NULL, &dd1, NULL);
    IDirectDraw_QueryInterface(dd1, IID_IDirectDraw2, (LPVOID*)&dd);
    IDirectDraw_Release(dd1);
    IDirectDraw2_SetCooperativeLevel(dd, nullptr, DDSCL_NORMAL);
    IDirectDraw2_QueryInterface(dd, IID_IDirect3D2, (LPVOID*)&d3d);
    primary = Surface(dd, DDSCAPS_PRIMARYSURFACE, 0, 0, 0);
    back = Surface(dd, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, w, h, 0);
    zbuf = Surface(dd, DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, w, h, 32);
    IDirectDrawSurface3_AddAttachedSurface(back, zbuf);
    IDirect3D2_CreateDevice(d3d, &IID_IDirect3DRGBDevice, (LPDIRECTDRAWSURFACE)back, &dev);
    IDirect3D2_CreateViewport(d3d, &vp, NULL);
    const float pos[3][3] = {{5, 2, -20}, {-5, 2, -20}, {0, 15, -20}};
    for (int i = 0; i < 3; ++i) {
      IDirect3D2_CreateLight(d3d, &lights[i], NULL);
      D3DLIGHT2 lt = {};
      lt.dwSize = sizeof(lt);
      lt.dltType = D3DLIGHT_POINT;
      lt.dcvColor = {1, 1, 1, 1};
      lt.dvPosition = {pos[i][0], pos[i][1], pos[i][2]};
      lt.dvRange = 60.0f;
      lt.dvAttenuation2 = 1.0f;
      lt.dwFlags = D3DLIGHT_ACTIVE;
      IDirect3DLight_SetLight(lights[i], (LPD3DLIGHT)&lt);
      IDirect3DViewport2_AddLight(vp, lights[i]);
    }
    const float colours[7][3] = {{0, 0, 0.74f}, {0.75f, 0, 0}, {0.75f, 0, 0.75f}, {0.75f, 0.75f, 0.75f},
                                 {0, 0.75f, 0}, {0, 0.75f, 0.75f}, {0.75f, 0.48f, 0}};
    for (int i = 0; i < 7; ++i) {
      IDirect3D2_CreateMaterial(d3d, &mats[i], NULL);
      D3DMATERIAL m = {};
      m.dwSize = sizeof(m);
      m.diffuse = m.ambient = m.specular = {colours[i][0], colours[i][1], colours[i][2], 1};
      m.dwRampSize = 16;
      IDirect3DMaterial2_SetMaterial(mats[i], &m);
      IDirect3DMaterial2_GetHandle(mats[i], dev, &handles[i]);
    }
    IDirect3DDevice2_AddViewport(dev, vp);
    const float aspect = static_cast<float>(h) / static_cast<float>(w);
    D3DVIEWPORT2 v = {};
    v.dwSize = sizeof(v);
    v.dwWidth = static_cast<DWORD>(w);
    v.dwHeight = static_cast<DWORD>(h);
    v.dvClipX = -1.0f, v.dvClipY = aspect, v.dvClipWidth = 2.0f, v.dvClipHeight = 2.0f * aspect;
    v.dvMaxZ = 1.0f;
    IDirect3DViewport2_SetViewport2(vp, &v);
    IDirect3DDevice2_SetCurrentViewport(dev, vp);
    // The game's projection (index 170 of a 1024-step circle, near 1, far 200)
    // and camera framing the well.
    const double angle = 170.0 / 1024.0 * 2.0 * M_PI;
    const float s = static_cast<float>(std::sin(angle)), c = static_cast<float>(std::cos(angle));
    const float q = s / (1.0f - 1.0f / 200.0f);
    D3DMATRIX proj = {};
    proj._11 = c, proj._22 = c, proj._33 = q, proj._34 = s, proj._43 = -q;
    IDirect3DDevice2_SetTransform(dev, D3DTRANSFORMSTATE_PROJECTION, &proj);
    const float dist = 0.5f + 0.6f * std::max(5.05f, 10.05f / aspect);
    D3DMATRIX view = Translation(0, -10, dist);
    IDirect3DDevice2_SetTransform(dev, D3DTRANSFORMSTATE_VIEW, &view);
    IDirect3DDevice2_SetRenderState(dev, D3DRENDERSTATE_ZENABLE, TRUE);
    IDirect3DDevice2_SetRenderState(dev, D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
    IDirect3DDevice2_SetLightState(dev, D3DLIGHTSTATE_AMBIENT, RGB_MAKE(0, 0, 0));
    // The lower twelve rows of the well full of cubes.
    for (int i = 0; i < 10; ++i)
      for (int j = 8; j < 20; ++j) cells.push_back(Translation((i - 5) + 0.5f, (20 - j) - 0.5f, 0));
    const float wv[8][3] = {{-5, 20, -0.5f}, {-5, 20, 0.5f}, {-5, 0, -0.5f}, {-5, 0, 0.5f},
                            {5, 0, -0.5f},   {5, 0, 0.5f},   {5, 20, 0.5f},  {5, 20, -0.5f}};
    for (int i = 0; i < 8; ++i)
      wellVerts[i] = {wv[i][0], wv[i][1], wv[i][2], 0, wv[i][1] > 10 ? 0xFF000066u : 0xFF0000FFu, 0, 0, 0};
    for (int j = 0; j < 20; ++j)
      for (int i = 0; i < 10; ++i)
        guides[j * 10 + i] = {(i - 5) + 0.5f, (20 - j) - 0.5f, -0.4f, 0, 0xFF0000FFu, 0, 0, 0};
  }

  ~Scene() {
    for (auto m : mats) IDirect3DMaterial2_Release(m);
    for (auto l : lights) IDirect3DLight_Release(l);
    IDirect3DViewport2_Release(vp);
    IDirect3DDevice2_Release(dev);
    IDirectDrawSurface3_Release(zbuf);
    IDirectDrawSurface3_Release(back);
    IDirectDrawSurface3_Release(primary);
    IDirect3D2_Release(d3d);
    IDirectDraw2_Release(dd);
  }

  // One frame as the game draws and presents it.
  void Frame() {
    IDirect3DViewport2_Clear(vp, 1, (LPD3DRECT)&full, D3DCLEAR_ZBUFFER);
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    IDirectDrawSurface3_Blt(back, NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    IDirect3DDevice2_BeginScene(dev);
    IDirect3DDevice2_SetTransform(dev, D3DTRANSFORMSTATE_WORLD, &identity);
    IDirect3DDevice2_DrawIndexedPrimitive(dev, D3DPT_LINELIST, D3DVT_LVERTEX, wellVerts, 8, wellIndices, 20, 0);
    IDirect3DDevice2_DrawPrimitive(dev, D3DPT_POINTLIST, D3DVT_LVERTEX, guides, 200, 0);
    for (size_t k = 0; k < cells.size(); ++k) {
      IDirect3DDevice2_SetLightState(dev, D3DLIGHTSTATE_MATERIAL, handles[k % 7]);
      IDirect3DDevice2_SetTransform(dev, D3DTRANSFORMSTATE_WORLD, &cells[k]);
      IDirect3DDevice2_DrawIndexedPrimitive(dev, D3DPT_TRIANGLELIST, D3DVT_VERTEX, cube.verts.data(),
                                            static_cast<DWORD>(cube.verts.size()), cube.indices.data(),
                                            static_cast<DWORD>(cube.indices.size()), 0);
    }
    IDirect3DDevice2_EndScene(dev);
    IDirectDrawSurface3_Blt(primary, &full, back, NULL, DDBLT_WAIT, NULL);
  }
};

// ---- benchmarks -------------------------------------------------------------

void BM_DeviceFrame(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) scene.Frame();
  state.SetLabel(std::to_string(scene.width) + "x" + std::to_string(scene.height));
}
BENCHMARK(BM_DeviceFrame)->Args({400, 400})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace

// The Direct3D device's picture: lighting, culling, depth, shading, clipping at
// the near plane, the fill rule, the viewport mapping and projected positions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/d3d_raster.h"
#include "platform/dx_hooks.h"
#include "platform/dx_rig.h"

namespace {

const D3DMATRIX kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class DxRaster : public ::testing::Test {
 protected:
  DxRig rig;
  void SetUp() override {
    platform_test::ResetDXHooks();
    rig.Build(64, 64);
  }
  void TearDown() override {
    rig.Release();
    platform_test::ResetDXHooks();
  }
  // A pre-lit vertex at a pixel position of the 64 x 64 square viewport.
  static D3DLVERTEX PX(float sx, float sy, float z, D3DCOLOR color) {
    return LV(sx / 32.0f - 1.0f, 1.0f - sy / 32.0f, z, color);
  }
  void Draw(D3DPRIMITIVETYPE type, D3DLVERTEX* v, DWORD n) {
    ASSERT_EQ(IDirect3DDevice2_DrawPrimitive(rig.dev, type, D3DVT_LVERTEX, v, n, 0), D3D_OK);
  }
  static int CountNonBlack(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += Rgb(img, x, y) != 0;
    return n;
  }
};

// ---- lighting ----------------------------------------------------------------

// The game's light: white, quadratic attenuation on the normalised distance.
LPDIRECT3DLIGHT MakeLight(LPDIRECT3D2 d3d, float x, float y, float z, float range, DWORD flags) {
  LPDIRECT3DLIGHT light = nullptr;
  EXPECT_EQ(IDirect3D2_CreateLight(d3d, &light, NULL), D3D_OK);
  D3DLIGHT2 lt;
  std::memset(&lt, 0, sizeof(lt));
  lt.dwSize = sizeof(lt);
  lt.dltType = D3DLIGHT_POINT;
  lt.dcvColor = {1.0f, 1.0f, 1.0f, 1.0f};
  lt.dvPosition = {x, y, z};
  lt.dvRange = range;
  lt.dvAttenuation2 = 1.0f;
  lt.dwFlags = flags;
  EXPECT_EQ(IDirect3DLight_SetLight(light, (LPD3DLIGHT)&lt), D3D_OK);
  return light;
}

LPDIRECT3DMATERIAL2 MakeMaterial(LPDIRECT3D2 d3d, D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient,
                                 D3DCOLORVALUE emissive) {
  LPDIRECT3DMATERIAL2 mat = nullptr;
  EXPECT_EQ(IDirect3D2_CreateMaterial(d3d, &mat, NULL), D3D_OK);
  D3DMATERIAL m;
  std::memset(&m, 0, sizeof(m));
  m.dwSize = sizeof(m);
  m.diffuse = diffuse;
  m.ambient = ambient;
  m.specular = diffuse;
  m.emissive = emissive;
  m.dwRampSize = 16;
  EXPECT_EQ(IDirect3DMaterial2_SetMaterial(mat, &m), D3D_OK);
  return mat;
}

TEST_F(DxRaster, LitFaceFollowsTheLightingFormula) {
  // A face of the plane z = 0 facing the viewer (normal -z), flat shaded so
  // the whole face shows its first vertex's colour. The first vertex sits at
  // the world origin shifted by the world matrix, to show that both position
  // and normal go through it.
  D3DMATRIX world = kIdentity;
  world._41 = 0.25f, world._42 = -0.1f;
  ASSERT_EQ(IDirect3DDevice2_SetTransform(rig.dev, D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
  D3DMATRIX view = kIdentity;
  view._43 = 0.5f;
  ASSERT_EQ(IDirect3DDevice2_SetTransform(rig.dev, D3DTRANSFORMSTATE_VIEW, &view), D3D_OK);
  ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT), D3D_OK);

  LPDIRECT3DLIGHT light = MakeLight(rig.d3d, 1.0f, 2.0f, -3.0f, 10.0f, D3DLIGHT_ACTIVE);
  ASSERT_EQ(IDirect3DViewport2_AddLight(rig.vp, light), D3D_OK);
  LPDIRECT3DMATERIAL2 mat = MakeMaterial(rig.d3d, {0.75f, 0.5f, 0.25f, 1}, {0.2f, 0.4f, 0.6f, 1},
                                         {0.05f, 0.0f, 0.1f, 0});
  D3DMATERIALHANDLE h = 0;
  ASSERT_EQ(IDirect3DMaterial2_GetHandle(mat, rig.dev, &h), D3D_OK);
  ASSERT_EQ(IDirect3DDevice2_SetLightState(rig.dev, D3DLIGHTSTATE_MATERIAL, h), D3D_OK);
  const D3DCOLOR ambient = RGB_MAKE(0x40, 0x20, 0x80);
  ASSERT_EQ(IDirect3DDevice2_SetLightState(rig.dev, D3DLIGHTSTATE_AMBIENT, ambient), D3D_OK);

  // Clockwise on the screen: top-left, top-right, bottom-left. A fourth,
  // unused vertex makes the device light the others four at a time; the
  // faces are drawn both ways.
  D3DVERTEX v[4] = {{-0.25f, 0.1f, 0, 0, 0, -1, 0, 0},
                    {0.5f, 0.5f, 0, 0, 0, -1, 0, 0},
                    {-0.5f, -0.5f, 0, 0, 0, -1, 0, 0},
                    {0.9f, -0.9f, 0, 0, 0, -1, 0, 0}};
  WORD idx[3] = {0, 1, 2};
  auto draw = [&](DWORD vertexCount, D3DVERTEX* verts = nullptr) {
    rig.BeginFrame();
    EXPECT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(rig.dev, D3DPT_TRIANGLELIST, D3DVT_VERTEX, verts ? verts : v,
                                                    vertexCount, idx, 3, 0),
              D3D_OK);
    return rig.EndFrame();
  };

  // The formula, worked here from the first vertex at world (0, 0, 0).
  const double dx = 1.0, dy = 2.0, dz = -3.0;
  const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
  const double dn = (10.0 - d) / 10.0;
  const double att = dn * dn;
  const double ndotl = -dz / d;  // normal (0, 0, -1)
  const double amb[3] = {0x40 / 255.0, 0x20 / 255.0, 0x80 / 255.0};
  const double diff[3] = {0.75, 0.5, 0.25}, ambm[3] = {0.2, 0.4, 0.6}, emis[3] = {0.05, 0.0, 0.1};
  int expected[3];
  for (int c = 0; c < 3; ++c) {
    double v0 = emis[c] + ambm[c] * amb[c] + diff[c] * ndotl * att;
    expected[c] = static_cast<int>(std::lround(std::min(1.0, v0) * 255.0));
  }
  // The centre of the face.
  for (DWORD count : {3u, 4u}) {
    const QRgb px = draw(count).pixel(37, 34);
    EXPECT_NEAR(qRed(px), expected[0], 1) << count;
    EXPECT_NEAR(qGreen(px), expected[1], 1) << count;
    EXPECT_NEAR(qBlue(px), expected[2], 1) << count;
  }

  // The normal turns with the world matrix. The same face, made on the
  // plane x = 0 with its normals along +x and turned a quarter turn about y
  // onto the plane z = 0, lights the same (left unturned, its normals would
  // catch a third as much of the light; turned the other way, none).
  D3DMATRIX turn = world;
  turn._11 = 0, turn._13 = -1, turn._31 = 1, turn._33 = 0;  // x to -z, z to x
  ASSERT_EQ(IDirect3DDevice2_SetTransform(rig.dev, D3DTRANSFORMSTATE_WORLD, &turn), D3D_OK);
  D3DVERTEX turned[4];
  for (int i = 0; i < 4; ++i) turned[i] = {0, v[i].y, v[i].x, 1, 0, 0, 0, 0};
  for (DWORD count : {3u, 4u}) {
    const QRgb px = draw(count, turned).pixel(37, 34);
    EXPECT_NEAR(qRed(px), expected[0], 1) << count;
    EXPECT_NEAR(qGreen(px), expected[1], 1) << count;
    EXPECT_NEAR(qBlue(px), expected[2], 1) << count;
  }
  ASSERT_EQ(IDirect3DDevice2_SetTransform(rig.dev, D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);

  // Switched off, out of range, or taken out of the viewport, the light adds
  // nothing: only emissive and ambient remain.
  int base[3];
  for (int c = 0; c < 3; ++c) base[c] = static_cast<int>(std::lround((emis[c] + ambm[c] * amb[c]) * 255.0));
  LPDIRECT3DLIGHT far = MakeLight(rig.d3d, 1.0f, 2.0f, -3.0f, 3.7f, D3DLIGHT_ACTIVE);  // d = 3.74
  LPDIRECT3DLIGHT off = MakeLight(rig.d3d, 1.0f, 2.0f, -3.0f, 10.0f, 0);
  ASSERT_EQ(IDirect3DViewport2_DeleteLight(rig.vp, light), D3D_OK);
  ASSERT_EQ(IDirect3DViewport2_AddLight(rig.vp, far), D3D_OK);
  ASSERT_EQ(IDirect3DViewport2_AddLight(rig.vp, off), D3D_OK);
  for (DWORD count : {3u, 4u}) {
    const QRgb px2 = draw(count).pixel(37, 34);
    EXPECT_NEAR(qRed(px2), base[0], 1) << count;
    EXPECT_NEAR(qGreen(px2), base[1], 1) << count;
    EXPECT_NEAR(qBlue(px2), base[2], 1) << count;
  }

  // Taking a light out twice is harmless; taking out one that belongs to
  // another viewport is refused, and so is adding one that has a viewport.
  EXPECT_EQ(IDirect3DViewport2_DeleteLight(rig.vp, light), D3D_OK);
  LPDIRECT3DVIEWPORT2 other = nullptr;
  ASSERT_EQ(IDirect3D2_CreateViewport(rig.d3d, &other, NULL), D3D_OK);
  EXPECT_EQ(IDirect3DViewport2_DeleteLight(other, far), D3DERR_LIGHTNOTINTHISVIEWPORT);
  EXPECT_EQ(IDirect3DViewport2_AddLight(other, far), D3DERR_LIGHTHASVIEWPORT);
  IDirect3DViewport2_Release(other);
  IDirect3DLight_Release(light);
  IDirect3DLight_Release(far);
  IDirect3DLight_Release(off);
  IDirect3DMaterial2_Release(mat);
}

TEST_F(DxRaster, LightBehindTheFaceAndSaturationClamp) {
  // A light behind the face adds nothing; a very bright one saturates at 255.
  ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT), D3D_OK);
  LPDIRECT3DMATERIAL2 mat = MakeMaterial(rig.d3d, {1, 1, 1, 1}, {0, 0, 0, 1}, {0, 0, 0, 0});
  D3DMATERIALHANDLE h = 0;
  ASSERT_EQ(IDirect3DMaterial2_GetHandle(mat, rig.dev, &h), D3D_OK);
  ASSERT_EQ(IDirect3DDevice2_SetLightState(rig.dev, D3DLIGHTSTATE_MATERIAL, h), D3D_OK);
  D3DVERTEX v[3] = {{-0.5f, 0.5f, 0.5f, 0, 0, -1, 0, 0}, {0.5f, 0.5f, 0.5f, 0, 0, -1, 0, 0},
                    {-0.5f, -0.5f, 0.5f, 0, 0, -1, 0, 0}};
  WORD idx[3] = {0, 1, 2};

  LPDIRECT3DLIGHT behind = MakeLight(rig.d3d, 0, 0, 5.0f, 50.0f, D3DLIGHT_ACTIVE);
  ASSERT_EQ(IDirect3DViewport2_AddLight(rig.vp, behind), D3D_OK);
  rig.BeginFrame();
  ASSERT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(rig.dev, D3DPT_TRIANGLELIST, D3DVT_VERTEX, v, 3, idx, 3, 0),
            D3D_OK);
  EXPECT_EQ(Rgb(rig.EndFrame(), 24, 24), 0u);

  LPDIRECT3DLIGHT bright = nullptr;
  ASSERT_EQ(IDirect3D2_CreateLight(rig.d3d, &bright, NULL), D3D_OK);
  D3DLIGHT2 lt = {};
  lt.dwSize = sizeof(lt);
  lt.dltType = D3DLIGHT_POINT;
  lt.dcvColor = {3.0f, 3.0f, 3.0f, 1.0f};
  lt.dvPosition = {0, 0, -1};
  lt.dvRange = 50.0f;
  lt.dvAttenuation0 = 1.0f;
  lt.dwFlags = D3DLIGHT_ACTIVE;
  ASSERT_EQ(IDirect3DLight_SetLight(bright, (LPD3DLIGHT)&lt), D3D_OK);
  D3DLIGHT2 back = {};
  back.dwSize = sizeof(back);
  ASSERT_EQ(IDirect3DLight_GetLight(bright, (LPD3DLIGHT)&back), D3D_OK);
  EXPECT_EQ(back.dvAttenuation0, 1.0f);
  EXPECT_EQ(back.dvAttenuation2, 0.0f);
  ASSERT_EQ(IDirect3DViewport2_AddLight(rig.vp, bright), D3D_OK);
  rig.BeginFrame();
  ASSERT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(rig.dev, D3DPT_TRIANGLELIST, D3DVT_VERTEX, v, 3, idx, 3, 0),
            D3D_OK);
  EXPECT_EQ(Rgb(rig.EndFrame(), 24, 24), 0xFFFFFFu);
  IDirect3DLight_Release(behind);
  IDirect3DLight_Release(bright);
  IDirect3DMaterial2_Release(mat);
}

// Scene after scene the same draw calls are made, most with the same inputs
// as before; whatever input does change between two scenes (the caller's
// vertices changed in place, the material's or the light's record, the
// ambient light, the world or view matrix, the viewport, the indices alone,
// the shading), the picture is the one a device seeing that state for the
// first time draws, byte for byte, each of the three times it is drawn (the
// device keeps what it made the second time, and draws from that the third).
TEST_F(DxRaster, SceneAfterSceneDrawsWhatChanged) {
  struct State {
    D3DVERTEX lit[4];
    D3DLVERTEX prelit[3];
    D3DCOLORVALUE diffuse, emissive;
    float lightX;
    DWORD lightFlags;
    D3DCOLOR ambient;
    float worldX;
    float viewX;
    float clipX;
    WORD quad[6];
    DWORD shade;
  };
  State st = {{{-0.6f, 0.6f, 0.5f, 0, 0, -1, 0, 0},
               {0.6f, 0.6f, 0.5f, 0, 0, -1, 0, 0},
               {0.6f, -0.6f, 0.5f, 0, 0, -1, 0, 0},
               {-0.6f, -0.6f, 0.5f, 0, 0, -1, 0, 0}},
              {LV(-0.9f, -0.5f, 0.2f, 0xFF20C040), LV(-0.5f, -0.5f, 0.2f, 0xFF20C040),
               LV(-0.9f, -0.9f, 0.2f, 0xFF4020C0)},
              {0.8f, 0.4f, 0.2f, 1.0f},
              {0.0f, 0.1f, 0.0f, 0.0f},
              0.5f,
              D3DLIGHT_ACTIVE,
              RGB_MAKE(0x20, 0x10, 0x08),
              0.0f,
              0.0f,
              -1.0f,
              {0, 1, 2, 0, 2, 3},
              D3DSHADE_GOURAUD};
  const WORD tri[3] = {0, 1, 2};
  struct Objects {
    LPDIRECT3DLIGHT light = nullptr;
    LPDIRECT3DMATERIAL2 mat = nullptr;
  };
  // Hands the state to a device (the same light and material objects are
  // given their new records) and draws one scene.
  auto draw = [&](DxRig& r, Objects& o, D3DVERTEX* lit, D3DLVERTEX* prelit) {
    D3DLIGHT2 lt;
    std::memset(&lt, 0, sizeof(lt));
    lt.dwSize = sizeof(lt);
    lt.dltType = D3DLIGHT_POINT;
    lt.dcvColor = {1.0f, 1.0f, 1.0f, 1.0f};
    lt.dvPosition = {st.lightX, 0.3f, -1.0f};
    lt.dvRange = 20.0f;
    lt.dvAttenuation0 = 1.0f;
    lt.dwFlags = st.lightFlags;
    if (o.light == nullptr) {
      EXPECT_EQ(IDirect3D2_CreateLight(r.d3d, &o.light, NULL), D3D_OK);
      EXPECT_EQ(IDirect3DLight_SetLight(o.light, (LPD3DLIGHT)&lt), D3D_OK);
      EXPECT_EQ(IDirect3DViewport2_AddLight(r.vp, o.light), D3D_OK);
      o.mat = MakeMaterial(r.d3d, st.diffuse, st.diffuse, {0, 0, 0, 0});
      D3DMATERIALHANDLE h = 0;
      EXPECT_EQ(IDirect3DMaterial2_GetHandle(o.mat, r.dev, &h), D3D_OK);
      EXPECT_EQ(IDirect3DDevice2_SetLightState(r.dev, D3DLIGHTSTATE_MATERIAL, h), D3D_OK);
    }
    EXPECT_EQ(IDirect3DLight_SetLight(o.light, (LPD3DLIGHT)&lt), D3D_OK);
    D3DMATERIAL m;
    std::memset(&m, 0, sizeof(m));
    m.dwSize = sizeof(m);
    EXPECT_EQ(IDirect3DMaterial2_GetMaterial(o.mat, &m), D3D_OK);
    m.diffuse = m.ambient = st.diffuse;
    m.emissive = st.emissive;
    EXPECT_EQ(IDirect3DMaterial2_SetMaterial(o.mat, &m), D3D_OK);
    EXPECT_EQ(IDirect3DDevice2_SetLightState(r.dev, D3DLIGHTSTATE_AMBIENT, st.ambient), D3D_OK);
    r.SetViewport(st.clipX, 1.0f, 2.0f, 2.0f);
    EXPECT_EQ(IDirect3DDevice2_SetRenderState(r.dev, D3DRENDERSTATE_SHADEMODE, st.shade), D3D_OK);
    std::memcpy(lit, st.lit, sizeof(st.lit));
    std::memcpy(prelit, st.prelit, sizeof(st.prelit));
    D3DMATRIX view = kIdentity;
    view._41 = st.viewX;
    EXPECT_EQ(IDirect3DDevice2_SetTransform(r.dev, D3DTRANSFORMSTATE_VIEW, &view), D3D_OK);
    r.BeginFrame();
    D3DMATRIX world = kIdentity;
    world._41 = st.worldX;
    EXPECT_EQ(IDirect3DDevice2_SetTransform(r.dev, D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
    EXPECT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(r.dev, D3DPT_TRIANGLELIST, D3DVT_VERTEX, lit, 4, st.quad, 6, 0),
              D3D_OK);
    world = kIdentity;
    EXPECT_EQ(IDirect3DDevice2_SetTransform(r.dev, D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
    EXPECT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(r.dev, D3DPT_TRIANGLELIST, D3DVT_LVERTEX, prelit, 3, tri, 3, 0),
              D3D_OK);
    return r.EndFrame();
  };
  // The long-lived device keeps its vertex arrays, changed in place.
  Objects kept;
  D3DVERTEX keptLit[4];
  D3DLVERTEX keptPrelit[3];
  const std::vector<std::function<void()>> changes = {
      [] {},  // nothing: the same scene again
      [&] { st.lit[1].x = 0.7f; },
      [&] { st.prelit[2].color = 0xFFC04020; },
      [&] { st.diffuse = {0.3f, 0.9f, 0.5f, 1.0f}; },
      [&] { st.emissive = {0.2f, 0.0f, 0.1f, 0.0f}; },
      [&] { st.lightX = -0.4f; },
      [&] { st.lightFlags = 0; },
      [&] { st.ambient = RGB_MAKE(0x60, 0x60, 0x10); },
      [&] { st.worldX = 0.125f; },
      [&] { st.viewX = -0.0625f; },
      [&] { st.clipX = -0.8f; },
      [&] { st.quad[4] = 1, st.quad[5] = 2; },  // the second half of the quad gone
      [&] { st.shade = D3DSHADE_FLAT; },
  };
  QImage before;
  for (size_t k = 0; k < changes.size(); ++k) {
    changes[k]();
    QImage got;
    for (int time = 0; time < 3; ++time) {
      const QImage again = draw(rig, kept, keptLit, keptPrelit);
      if (time > 0) {
        EXPECT_TRUE(again == got) << "change " << k << ", time " << time;
      }
      got = again;
    }
    DxRig fresh;
    fresh.Build(64, 64);
    Objects made;
    D3DVERTEX freshLit[4];
    D3DLVERTEX freshPrelit[3];
    const QImage want = draw(fresh, made, freshLit, freshPrelit);
    EXPECT_TRUE(got == want) << "change " << k;
    if (k > 0) {
      EXPECT_FALSE(got == before) << "change " << k << " shows";
    }
    before = got;
    IDirect3DLight_Release(made.light);
    IDirect3DMaterial2_Release(made.mat);
    fresh.Release();
  }
  IDirect3DLight_Release(kept.light);
  IDirect3DMaterial2_Release(kept.mat);
}

// ---- culling, depth, shading --------------------------------------------------

TEST_F(DxRaster, AnticlockwiseFacesAreCulledByDefault) {
  D3DLVERTEX cw[3] = {PX(10, 10, 0.5f, 0xFFFF0000), PX(50, 10, 0.5f, 0xFFFF0000), PX(10, 50, 0.5f, 0xFFFF0000)};
  D3DLVERTEX ccw[3] = {cw[0], cw[2], cw[1]};
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, ccw, 3);
  EXPECT_EQ(CountNonBlack(rig.EndFrame()), 0);

  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, cw, 3);
  EXPECT_GT(CountNonBlack(rig.EndFrame()), 700);

  ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, ccw, 3);
  EXPECT_GT(CountNonBlack(rig.EndFrame()), 700);
}

TEST_F(DxRaster, DepthTestHidesWhatLiesBehind) {
  D3DLVERTEX face[3] = {PX(0, 0, 0.5f, 0xFF0000FF), PX(64, 0, 0.5f, 0xFF0000FF), PX(0, 64, 0.5f, 0xFF0000FF)};
  D3DLVERTEX points[2] = {PX(10, 10, 0.6f, 0xFFFFFFFF), PX(20, 20, 0.4f, 0xFFFF0000)};
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, face, 3);
  Draw(D3DPT_POINTLIST, points, 2);
  QImage img = rig.EndFrame();
  EXPECT_EQ(Rgb(img, 10, 10), 0x0000FFu);  // behind: hidden
  EXPECT_EQ(Rgb(img, 20, 20), 0xFF0000u);  // in front: shown

  // Equal depth passes (less or equal); with Z off, order alone decides.
  D3DLVERTEX same[1] = {PX(30, 5, 0.5f, 0xFF00FF00)};
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, face, 3);
  Draw(D3DPT_POINTLIST, same, 1);
  EXPECT_EQ(Rgb(rig.EndFrame(), 30, 5), 0x00FF00u);

  // Clearing the Z buffer takes back every depth written before: whatever
  // was drawn near in one frame (a point, a line, narrow and wide
  // triangles, one reaching past the far plane, one from an index list,
  // each somewhere the others are not), a face far behind it shows
  // everywhere in the next.
  D3DLVERTEX near[] = {PX(2, 3, 0.1f, 0xFFFFFFFF),                                                       // point
                       PX(10, 62, 0.1f, 0xFFFFFFFF), PX(60, 62, 0.1f, 0xFFFFFFFF),                      // line
                       PX(58, 20, 0.1f, 0xFFFFFFFF), PX(62.5f, 40, 0.1f, 0xFFFFFFFF), PX(58, 40, 0.1f, 0xFFFFFFFF),
                       PX(20, 20, 0.1f, 0xFFFFFFFF), PX(40, 20, 0.1f, 0xFFFFFFFF), PX(20, 40, 0.1f, 0xFFFFFFFF),
                       PX(40, -0.5f, 0.1f, 0xFFFFFFFF), PX(60, -0.5f, 0.1f, 0xFFFFFFFF), PX(40, 10, 1.5f, 0xFFFFFFFF)};
  D3DLVERTEX far[6] = {PX(0, 0, 0.9f, 0xFF00FF00),  PX(64, 0, 0.9f, 0xFF00FF00), PX(0, 64, 0.9f, 0xFF00FF00),
                       PX(64, 0, 0.9f, 0xFF00FF00), PX(64, 64, 0.9f, 0xFF00FF00), PX(0, 64, 0.9f, 0xFF00FF00)};
  D3DLVERTEX corner[3] = {PX(0, 50, 0.1f, 0xFFFFFFFF), PX(8, 64, 0.1f, 0xFFFFFFFF), PX(0, 64, 0.1f, 0xFFFFFFFF)};
  const WORD order[3] = {0, 1, 2};
  // Twice, so that the second time the device finds the same calls again.
  QImage drawn;
  for (int time = 0; time < 2; ++time) {
    rig.BeginFrame();
    Draw(D3DPT_POINTLIST, near, 1);
    Draw(D3DPT_LINELIST, near + 1, 2);
    Draw(D3DPT_TRIANGLELIST, near + 3, 9);
    ASSERT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(rig.dev, D3DPT_TRIANGLELIST, D3DVT_LVERTEX, corner, 3,
                                                    const_cast<WORD*>(order), 3, 0),
              D3D_OK);
    drawn = rig.EndFrame();
  }
  EXPECT_EQ(Rgb(drawn, 1, 63), 0xFFFFFFu);
  EXPECT_EQ(Rgb(drawn, 2, 3), 0xFFFFFFu);
  EXPECT_EQ(Rgb(drawn, 35, 62), 0xFFFFFFu);
  EXPECT_EQ(Rgb(drawn, 62, 39), 0xFFFFFFu);
  EXPECT_EQ(Rgb(drawn, 45, 0), 0xFFFFFFu);
  // A clear of the left half alone (a narrower viewport) leaves the right
  // half's depths for the next full clear to take back.
  D3DVIEWPORT2 half;
  std::memset(&half, 0, sizeof(half));
  half.dwSize = sizeof(half);
  half.dwWidth = 32, half.dwHeight = 64;
  half.dvClipX = -1.0f, half.dvClipY = 1.0f, half.dvClipWidth = 1.0f, half.dvClipHeight = 2.0f;
  half.dvMaxZ = 1.0f;
  ASSERT_EQ(IDirect3DViewport2_SetViewport2(rig.vp, &half), D3D_OK);
  rig.BeginFrame();
  rig.EndFrame();
  rig.SetViewport(-1.0f, 1.0f, 2.0f, 2.0f);
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, far, 6);
  const QImage next = rig.EndFrame();
  int shown = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) shown += Rgb(next, x, y) == 0x00FF00u;
  EXPECT_EQ(shown, 64 * 64);

  // With depth writes off, triangles are still tested against the depths
  // there but leave them as they were: after the near ones (those above,
  // and boxes two, four and seven pixels wide) the far face shows
  // everywhere, and a far face drawn so stays behind a near one drawn with
  // writes on.
  D3DLVERTEX thin[9] = {PX(30, 45, 0.1f, 0xFFFFFFFF), PX(31.5f, 60, 0.1f, 0xFFFFFFFF), PX(30, 60, 0.1f, 0xFFFFFFFF),
                        PX(44, 44, 0.1f, 0xFFFFFFFF), PX(47.5f, 56, 0.1f, 0xFFFFFFFF), PX(44, 56, 0.1f, 0xFFFFFFFF),
                        PX(4, 44, 0.1f, 0xFFFFFFFF),  PX(10.5f, 50, 0.1f, 0xFFFFFFFF), PX(4, 50, 0.1f, 0xFFFFFFFF)};
  auto zWrite = [this](DWORD on) {
    ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_ZWRITEENABLE, on), D3D_OK);
  };
  zWrite(FALSE);
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, near + 3, 9);
  Draw(D3DPT_TRIANGLELIST, corner, 3);
  Draw(D3DPT_TRIANGLELIST, thin, 9);
  zWrite(TRUE);
  Draw(D3DPT_TRIANGLELIST, far, 6);
  const QImage kept = rig.EndFrame();
  shown = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) shown += Rgb(kept, x, y) == 0x00FF00u;
  EXPECT_EQ(shown, 64 * 64);
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, face, 3);
  zWrite(FALSE);
  Draw(D3DPT_TRIANGLELIST, far, 6);
  zWrite(TRUE);
  const QImage behind = rig.EndFrame();
  EXPECT_EQ(Rgb(behind, 10, 10), 0x0000FFu);
  EXPECT_EQ(Rgb(behind, 60, 60), 0x00FF00u);

  ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_ZENABLE, FALSE), D3D_OK);
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, face, 3);
  Draw(D3DPT_POINTLIST, points, 1);
  EXPECT_EQ(Rgb(rig.EndFrame(), 10, 10), 0xFFFFFFu);
}

TEST_F(DxRaster, LinesAreOnePixelDepthTestedAndHalfOpen) {
  D3DLVERTEX line[2] = {PX(10, 30, 0.5f, 0xFFFF0000), PX(20, 30, 0.5f, 0xFF0000FF)};
  WORD idx[2] = {0, 1};
  rig.BeginFrame();
  ASSERT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(rig.dev, D3DPT_LINELIST, D3DVT_LVERTEX, line, 2, idx, 2, 0),
            D3D_OK);
  QImage img = rig.EndFrame();
  for (int x = 10; x < 20; ++x) EXPECT_NE(Rgb(img, x, 30), 0u) << x;
  EXPECT_EQ(Rgb(img, 20, 30), 0u);
  EXPECT_EQ(Rgb(img, 15, 29), 0u);
  EXPECT_EQ(Rgb(img, 15, 31), 0u);
  EXPECT_EQ(Rgb(img, 10, 30), 0xFF0000u);  // Gouraud: starts red, fades to blue
  EXPECT_GT(qBlue(img.pixel(19, 30)), 200);

  // Behind a nearer face the line is hidden.
  D3DLVERTEX face[3] = {PX(0, 0, 0.2f, 0xFF00FF00), PX(64, 0, 0.2f, 0xFF00FF00), PX(0, 64, 0.2f, 0xFF00FF00)};
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, face, 3);
  ASSERT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(rig.dev, D3DPT_LINELIST, D3DVT_LVERTEX, line, 2, idx, 2, 0),
            D3D_OK);
  EXPECT_EQ(Rgb(rig.EndFrame(), 12, 30), 0x00FF00u);
}

TEST_F(DxRaster, FlatUsesTheFirstVertexAndGouraudBlends) {
  D3DLVERTEX tri[3] = {PX(2, 2, 0.5f, 0xFFFF0000), PX(62, 2, 0.5f, 0xFF00FF00), PX(2, 62, 0.5f, 0xFF0000FF)};
  ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT), D3D_OK);
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, tri, 3);
  QImage flat = rig.EndFrame();
  for (int y = 3; y < 60; y += 7)
    for (int x = 3; x < 61 - y; x += 7) EXPECT_EQ(Rgb(flat, x, y), 0xFF0000u) << x << "," << y;

  ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD), D3D_OK);
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, tri, 3);
  QImage gouraud = rig.EndFrame();
  // Near each corner its own colour dominates; at (22, 22) the three mix evenly.
  EXPECT_GT(qRed(gouraud.pixel(3, 3)), 240);
  EXPECT_GT(qGreen(gouraud.pixel(59, 3)), 240);
  EXPECT_GT(qBlue(gouraud.pixel(3, 59)), 240);
  const QRgb mid = gouraud.pixel(22, 22);
  EXPECT_NEAR(qRed(mid), 85, 2);
  EXPECT_NEAR(qGreen(mid), 85, 2);
  EXPECT_NEAR(qBlue(mid), 85, 2);
}

// Thin and steep Gouraud triangles, four pixels at a time (depth on) and one
// at a time (depth off): every covered pixel keeps each channel between its
// vertices' values, so no channel spills into another or wraps round.
TEST_F(DxRaster, GouraudChannelsStayBetweenTheVertexColours) {
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  for (BOOL z : {TRUE, FALSE}) {
    ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_ZENABLE, z), D3D_OK);
    for (int t = 0; t < 150; ++t) {
      D3DLVERTEX tri[3];
      int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
      for (D3DLVERTEX& v : tri) {
        // Channels at 16 or more, so a covered pixel is never black.
        int ch[3];
        for (int c = 0; c < 3; ++c) {
          const uint32_t k = next(3);
          ch[c] = k == 0 ? 16 : k == 1 ? 255 : 16 + static_cast<int>(next(240));
          lo[c] = std::min(lo[c], ch[c]), hi[c] = std::max(hi[c], ch[c]);
        }
        const float sx = static_cast<float>(next(6400)) / 100.0f, sy = static_cast<float>(next(6400)) / 100.0f;
        v = PX(sx, sy, 0.5f, RGB_MAKE(ch[0], ch[1], ch[2]));
      }
      ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
      rig.BeginFrame();
      Draw(D3DPT_TRIANGLELIST, tri, 3);
      const QImage img = rig.EndFrame();
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
          const QRgb p = img.pixel(x, y);
          if ((p & 0xFFFFFFu) == 0) continue;
          const int got[3] = {qRed(p), qGreen(p), qBlue(p)};
          for (int c = 0; c < 3; ++c)
            ASSERT_TRUE(got[c] >= lo[c] - 1 && got[c] <= hi[c] + 1)
                << "triangle " << t << " z " << z << " pixel " << x << "," << y << " channel " << c << " = " << got[c];
        }
    }
  }
}

TEST_F(DxRaster, DeviceRefusesBadCallsWithoutDrawing) {
  D3DLVERTEX tri[3] = {PX(10, 10, 0.5f, 0xFFFF0000), PX(50, 10, 0.5f, 0xFFFF0000), PX(10, 50, 0.5f, 0xFFFF0000)};
  WORD beyond[3] = {0, 1, 3};
  // Outside a scene nothing is drawn.
  EXPECT_EQ(IDirect3DDevice2_DrawPrimitive(rig.dev, D3DPT_TRIANGLELIST, D3DVT_LVERTEX, tri, 3, 0),
            D3DERR_SCENE_NOT_IN_SCENE);
  rig.BeginFrame();
  // An index past the vertices would read beyond the caller's array,
  // wherever it stands in a longer list and however large it is.
  EXPECT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(rig.dev, D3DPT_TRIANGLELIST, D3DVT_LVERTEX, tri, 3, beyond, 3, 0),
            DDERR_INVALIDPARAMS);
  WORD away[12] = {0, 2, 1, 0, 2, 1, 0, 2, 1, 0, 2, 1};  // all culled: accepted, nothing drawn
  EXPECT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(rig.dev, D3DPT_TRIANGLELIST, D3DVT_LVERTEX, tri, 3, away, 12, 0),
            D3D_OK);
  for (WORD bad : {WORD{3}, WORD{40000}}) {
    for (int at = 0; at < 12; ++at) {
      WORD list[12] = {0, 1, 2, 0, 2, 1, 1, 0, 2, 2, 1, 0};
      list[at] = bad;
      EXPECT_EQ(IDirect3DDevice2_DrawIndexedPrimitive(rig.dev, D3DPT_TRIANGLELIST, D3DVT_LVERTEX, tri, 3, list, 12, 0),
                DDERR_INVALIDPARAMS)
          << bad << " at " << at;
    }
  }
  EXPECT_EQ(IDirect3DDevice2_DrawPrimitive(rig.dev, D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, tri, 3, 0),
            D3DERR_INVALIDVERTEXTYPE);
  EXPECT_EQ(IDirect3DDevice2_DrawPrimitive(rig.dev, static_cast<D3DPRIMITIVETYPE>(9), D3DVT_LVERTEX, tri, 3, 0),
            D3DERR_INVALIDPRIMITIVETYPE);
  EXPECT_EQ(CountNonBlack(rig.EndFrame()), 0);

  EXPECT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_SHADEMODE, 7), DDERR_INVALIDPARAMS);
  EXPECT_EQ(IDirect3DDevice2_SetLightState(rig.dev, D3DLIGHTSTATE_MATERIAL, 12345), DDERR_INVALIDPARAMS);
  // A released material's handle names nothing any more.
  LPDIRECT3DMATERIAL2 mat = nullptr;
  ASSERT_EQ(IDirect3D2_CreateMaterial(rig.d3d, &mat, NULL), D3D_OK);
  D3DMATERIALHANDLE h = 0;
  ASSERT_EQ(IDirect3DMaterial2_GetHandle(mat, rig.dev, &h), D3D_OK);
  EXPECT_NE(h, 0u);
  EXPECT_EQ(IDirect3DDevice2_SetLightState(rig.dev, D3DLIGHTSTATE_MATERIAL, h), D3D_OK);
  IDirect3DMaterial2_Release(mat);
  EXPECT_EQ(IDirect3DDevice2_SetLightState(rig.dev, D3DLIGHTSTATE_MATERIAL, h), DDERR_INVALIDPARAMS);
  D3DVIEWPORT2 bad = {};
  bad.dwSize = sizeof(bad);
  bad.dwWidth = 10, bad.dwHeight = 10, bad.dvClipWidth = 0.0f, bad.dvClipHeight = 1.0f;
  EXPECT_EQ(IDirect3DViewport2_SetViewport2(rig.vp, &bad), DDERR_INVALIDPARAMS);
}

// ---- clipping and the fill rule ------------------------------------------------

TEST_F(DxRaster, TriangleCrossingTheNearPlaneIsClipped) {
  // A floor at y = -1 reaching from in front of the camera to behind it,
  // under a perspective projection (near 1, far 100, 90 degrees).
  D3DMATRIX proj = {};
  const float q = 1.0f / (1.0f - 1.0f / 100.0f);
  proj._11 = 1.0f, proj._22 = 1.0f, proj._33 = q, proj._34 = 1.0f, proj._43 = -q;
  ASSERT_EQ(IDirect3DDevice2_SetTransform(rig.dev, D3DTRANSFORMSTATE_PROJECTION, &proj), D3D_OK);
  ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
  D3DLVERTEX floor[3] = {LV(-1.0f, -1.0f, 4.0f, 0xFFFFFFFF), LV(1.0f, -1.0f, 4.0f, 0xFFFFFFFF),
                         LV(0.0f, -1.0f, -4.0f, 0xFFFFFFFF)};
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, floor, 3);
  QImage img = rig.EndFrame();
  // The far edge (z = 4) lies on row 32 + 32/4 = 40; the floor fills the
  // picture below it down to the bottom, where it meets the near plane.
  EXPECT_EQ(Rgb(img, 32, 39), 0u);
  EXPECT_NE(Rgb(img, 32, 41), 0u);
  EXPECT_NE(Rgb(img, 32, 63), 0u);
  // Nothing wraps round to the upper half.
  for (int y = 0; y < 39; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(Rgb(img, x, y), 0u) << x << "," << y;
  // The sides converge towards the vertex behind the camera, so the bottom
  // corners stay empty.
  EXPECT_EQ(Rgb(img, 2, 62), 0u);
  EXPECT_EQ(Rgb(img, 61, 62), 0u);
  EXPECT_GT(CountNonBlack(img), 300);

  // Entirely behind the camera, or between the camera and the near plane:
  // nothing, though the latter would project well inside the picture.
  D3DLVERTEX behind[3] = {LV(-1, -1, -2, 0xFFFFFFFF), LV(1, -1, -2, 0xFFFFFFFF), LV(0, -1, -4, 0xFFFFFFFF)};
  D3DLVERTEX tooNear[3] = {LV(-0.1f, 0.1f, 0.5f, 0xFFFFFFFF), LV(0.1f, 0.1f, 0.5f, 0xFFFFFFFF),
                           LV(0.0f, -0.1f, 0.6f, 0xFFFFFFFF)};
  for (D3DLVERTEX* tri : {behind, tooNear}) {
    rig.BeginFrame();
    Draw(D3DPT_TRIANGLELIST, tri, 3);
    EXPECT_EQ(CountNonBlack(rig.EndFrame()), 0) << (tri == behind ? "behind" : "too near");
  }

  // A ceiling at y = 0.25 from z = 0.5 (red) to z = 4 (blue): only the part
  // beyond the near plane (z = 1, row 32 - 8 = 24) shows, down to its far
  // tip (row 30); the part in front of the plane would reach up to row 16.
  // The cut edge takes the colour of the points where the sides cross the
  // plane, and the picture blends from there to the tip.
  ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD), D3D_OK);
  D3DLVERTEX ceiling[3] = {LV(-0.2f, 0.25f, 0.5f, 0xFFFF0000), LV(0.2f, 0.25f, 0.5f, 0xFFFF0000),
                           LV(0.0f, 0.25f, 4.0f, 0xFF0000FF)};
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, ceiling, 3);
  img = rig.EndFrame();
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(Rgb(img, x, y), 0u) << x << "," << y;
  // Row 25 (z = 8 / 7) spans x from 27.4 to 36.6.
  EXPECT_NE(Rgb(img, 29, 25), 0u);
  EXPECT_NE(Rgb(img, 35, 25), 0u);
  EXPECT_EQ(Rgb(img, 26, 25), 0u);
  EXPECT_EQ(Rgb(img, 38, 25), 0u);
  EXPECT_NE(Rgb(img, 32, 28), 0u);
  EXPECT_EQ(CountNonBlack(img), CountNonBlack(img.copy(0, 23, 64, 8)));
  const double tNear = (1.0 - 0.5) / (4.0 - 0.5);  // along each side, from the near end
  // Row 25 lies a sixth of the way from the cut edge to the tip.
  const QRgb mid = img.pixel(32, 25);
  EXPECT_NEAR(qRed(mid), 255.0 * (1.0 - tNear) * 5.0 / 6.0, 3.0);
  EXPECT_NEAR(qBlue(mid), 255.0 * (tNear + (1.0 - tNear) / 6.0), 3.0);
}

TEST_F(DxRaster, SharedEdgesCoverEveryPixelOnce) {
  // A fan of triangles around an off-grid centre, all sharing edges, plus a
  // quad split along a shallow diagonal; with pixel counting no pixel may be
  // written twice and every pixel well inside must be written.
  ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_ZENABLE, FALSE), D3D_OK);
  ASSERT_EQ(IDirect3DDevice2_SetRenderState(rig.dev, D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
  platform_test::SetPixelCounting(true);
  const float cx = 31.37f, cy = 30.81f;
  const int n = 13;
  std::vector<float> px, py;
  for (int i = 0; i <= n; ++i) {
    const double a = 2 * M_PI * i / n + 0.1;
    px.push_back(cx + 27.3f * static_cast<float>(std::cos(a)));
    py.push_back(cy + 26.1f * static_cast<float>(std::sin(a)));
  }
  px.back() = px.front(), py.back() = py.front();
  std::vector<D3DLVERTEX> tris;
  for (int i = 0; i < n; ++i) {
    tris.push_back(PX(cx, cy, 0.5f, 0xFFFFFFFF));
    tris.push_back(PX(px[i], py[i], 0.5f, 0xFFFFFFFF));
    tris.push_back(PX(px[i + 1], py[i + 1], 0.5f, 0xFFFFFFFF));
  }
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, tris.data(), static_cast<DWORD>(tris.size()));
  const std::vector<uint32_t> counts = platform_test::CountedPixels();
  rig.EndFrame();
  ASSERT_EQ(counts.size(), 64u * 64u);
  int covered = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const uint32_t c = counts[static_cast<size_t>(y) * 64 + x];
      ASSERT_LE(c, 1u) << x << "," << y;
      covered += c;
      // Inside the polygon by a margin: each edge's distance test.
      bool inside = true;
      for (int i = 0; i < n && inside; ++i) {
        const double ex = px[i + 1] - px[i], ey = py[i + 1] - py[i];
        const double cross = ex * (y - py[i]) - ey * (x - px[i]);
        const double ccross = ex * (cy - py[i]) - ey * (cx - px[i]);
        if (cross * ccross <= 0 || std::fabs(cross) / std::hypot(ex, ey) < 0.01) inside = false;
      }
      if (inside) {
        ASSERT_EQ(c, 1u) << "gap at " << x << "," << y;
      }
    }
  EXPECT_GT(covered, 2000);

  // Two triangles of a quad with exact pixel corners: 40 x 20 pixels, once each.
  D3DLVERTEX quad[6] = {PX(10, 10, 0.5f, 0xFFFFFFFF), PX(50, 10, 0.5f, 0xFFFFFFFF), PX(10, 30, 0.5f, 0xFFFFFFFF),
                        PX(50, 10, 0.5f, 0xFFFFFFFF), PX(50, 30, 0.5f, 0xFFFFFFFF), PX(10, 30, 0.5f, 0xFFFFFFFF)};
  rig.BeginFrame();
  Draw(D3DPT_TRIANGLELIST, quad, 6);
  const std::vector<uint32_t> qc = platform_test::CountedPixels();
  rig.EndFrame();
  int total = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const uint32_t c = qc[static_cast<size_t>(y) * 64 + x];
      total += c;
      const bool in = x >= 10 && x < 50 && y >= 10 && y < 30;
      ASSERT_EQ(c, in ? 1u : 0u) << x << "," << y;
    }
  EXPECT_EQ(total, 800);
}

// Small triangles take a faster way than large ones or than pixel counting.
// Random small, thin and sliver triangles, some cut by the clip rectangle or
// reaching the end of a row, drawn both ways: the same pixels are written,
// with the same colours to within rounding and the same depths.
TEST(DxRasterWays, SmallTrianglesCoverWhatTheCountingWayCovers) {
  constexpr int W = 48, H = 40;
  raster::Context ctx;
  D3DVIEWPORT2 vp = {};
  vp.dwSize = sizeof(vp);
  vp.dwX = 0, vp.dwY = 0, vp.dwWidth = W, vp.dwHeight = H;
  vp.dvClipX = -1.0f, vp.dvClipY = 1.0f, vp.dvClipWidth = 2.0f, vp.dvClipHeight = 2.0f;
  vp.dvMinZ = 0.0f, vp.dvMaxZ = 1.0f;
  ctx.SetViewport(vp, W, H);
  ctx.pitch = W;
  ctx.bZTest = ctx.bZWrite = true;
  ctx.cull = D3DCULL_NONE;
  uint32_t seed = 777;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  auto vertex = [&](float sx, float sy) {
    raster::Vertex v = {};
    v.x = sx / (W / 2.0f) - 1.0f, v.y = 1.0f - sy / (H / 2.0f), v.z = 0.2f + 0.6f * next(1000) / 1000.0f, v.w = 1.0f;
    v.r = 16.0f + next(240), v.g = 16.0f + next(240), v.b = 16.0f + next(240);
    ctx.Project(v);
    return v;
  };
  int drawn = 0;
  for (int t = 0; t < 3000; ++t) {
    // Boxes from a sliver up to twelve pixels, anywhere (also past the edges).
    const float bw = 0.3f + next(1200) / 100.0f, bh = 0.3f + next(1200) / 100.0f;
    const float ox = -4.0f + next((W + 8) * 100) / 100.0f, oy = -4.0f + next((H + 8) * 100) / 100.0f;
    raster::Vertex v[3];
    for (raster::Vertex& x : v) x = vertex(ox + bw * next(1001) / 1000.0f, oy + bh * next(1001) / 1000.0f);
    ctx.bGouraud = next(4) != 0;
    std::vector<uint32_t> fastColor(W * H, 0), slowColor(W * H, 0), counts(W * H, 0);
    std::vector<float> fastDepth(W * H, 1.0f), slowDepth(W * H, 1.0f);
    raster::Context fast = ctx, slow = ctx;
    fast.color = fastColor.data(), fast.depth = fastDepth.data();
    slow.color = slowColor.data(), slow.depth = slowDepth.data(), slow.counts = counts.data();
    // A clip rectangle inside the target now and then.
    if (next(3) == 0) {
      fast.clipL = slow.clipL = static_cast<int>(next(8)), fast.clipR = slow.clipR = W - static_cast<int>(next(8));
      fast.clipT = slow.clipT = static_cast<int>(next(8)), fast.clipB = slow.clipB = H - static_cast<int>(next(8));
    }
    fast.Triangle(v[0], v[1], v[2]);
    slow.Triangle(v[0], v[1], v[2]);
    for (int i = 0; i < W * H; ++i) {
      ASSERT_EQ(fastColor[i] != 0, counts[i] != 0) << "triangle " << t << " pixel " << i % W << "," << i / W;
      if (counts[i] == 0) continue;
      ++drawn;
      for (int shift : {0, 8, 16})
        ASSERT_LE(std::abs(static_cast<int>((fastColor[i] >> shift) & 0xFF) - static_cast<int>((slowColor[i] >> shift) & 0xFF)), 1)
            << "triangle " << t << " pixel " << i % W << "," << i / W;
      ASSERT_NEAR(fastDepth[i], slowDepth[i], 1e-5f) << "triangle " << t;
    }
  }
  EXPECT_GT(drawn, 4000);
}

// ---- viewport mapping and projection ----------------------------------------

TEST(DxViewport, FourHundredByThreeHundredViewMapsItsClipVolume) {
  platform_test::ResetDXHooks();
  DxRig rig;
  rig.Build(400, 300);
  D3DVIEWPORT2 v = {};
  v.dwSize = sizeof(v);
  ASSERT_EQ(IDirect3DViewport2_GetViewport2(rig.vp, &v), D3D_OK);
  EXPECT_FLOAT_EQ(v.dvClipX, -1.0f);
  EXPECT_FLOAT_EQ(v.dvClipWidth, 2.0f);
  EXPECT_FLOAT_EQ(v.dvClipY, 0.75f);
  EXPECT_FLOAT_EQ(v.dvClipHeight, 1.5f);
  // Clip-space points (w = 1) and the pixels they land on.
  D3DLVERTEX pts[5] = {LV(-1.0f, 0.75f, 0.5f, 0xFFFF0000), LV(0.0f, 0.0f, 0.5f, 0xFF00FF00),
                       LV(0.5f, -0.375f, 0.5f, 0xFF0000FF), LV(-0.995f, -0.745f, 0.5f, 0xFFFFFF00),
                       LV(1.2f, 0.0f, 0.5f, 0xFFFFFFFF)};
  rig.BeginFrame();
  ASSERT_EQ(IDirect3DDevice2_DrawPrimitive(rig.dev, D3DPT_POINTLIST, D3DVT_LVERTEX, pts, 5, 0), D3D_OK);
  QImage img = rig.EndFrame();
  EXPECT_EQ(Rgb(img, 0, 0), 0xFF0000u);
  EXPECT_EQ(Rgb(img, 200, 150), 0x00FF00u);
  EXPECT_EQ(Rgb(img, 300, 225), 0x0000FFu);
  EXPECT_EQ(Rgb(img, 1, 299), 0xFFFF00u);
  int lit = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) lit += Rgb(img, x, y) != 0;
  EXPECT_EQ(lit, 4);  // the point outside the clip volume is not drawn
  rig.Release();
}

TEST(DxViewport, ProjectedPositionsOfKnownPoints) {
  // The game's camera on a 400 x 400 view: a translation by (0, -10, 6.53)
  // and the projection with sine-table index 170 (near 1, far 200).
  platform_test::ResetDXHooks();
  DxRig rig;
  rig.Build(400, 400);
  const double angle = 170.0 / 1024.0 * 2.0 * M_PI;
  const float s = static_cast<float>(std::sin(angle)), c = static_cast<float>(std::cos(angle));
  const float q = s / (1.0f - 1.0f / 200.0f);
  D3DMATRIX proj = {};
  proj._11 = c, proj._22 = c, proj._33 = q, proj._34 = s, proj._43 = -q;
  D3DMATRIX view = kIdentity;
  view._42 = -10.0f, view._43 = 6.53f;
  ASSERT_EQ(IDirect3DDevice2_SetTransform(rig.dev, D3DTRANSFORMSTATE_PROJECTION, &proj), D3D_OK);
  ASSERT_EQ(IDirect3DDevice2_SetTransform(rig.dev, D3DTRANSFORMSTATE_VIEW, &view), D3D_OK);
  const float wx[3] = {-4.5f, 0.0f, 4.5f}, wy[3] = {19.5f, 10.0f, 0.5f};
  D3DLVERTEX pts[3];
  for (int i = 0; i < 3; ++i) pts[i] = LV(wx[i], wy[i], 0.0f, 0xFFFFFFFF);
  rig.BeginFrame();
  ASSERT_EQ(IDirect3DDevice2_DrawPrimitive(rig.dev, D3DPT_POINTLIST, D3DVT_LVERTEX, pts, 3, 0), D3D_OK);
  QImage img = rig.EndFrame();
  for (int i = 0; i < 3; ++i) {
    // x/w = c x / (s z); sx = 200 + 200 x/w; sy = 200 - 200 y/w.
    const double xw = c * wx[i] / (s * 6.53), yw = c * (wy[i] - 10.0) / (s * 6.53);
    const int sx = static_cast<int>(std::floor(200.0 + 200.0 * xw + 0.5));
    const int sy = static_cast<int>(std::floor(200.0 - 200.0 * yw + 0.5));
    EXPECT_EQ(Rgb(img, sx, sy), 0xFFFFFFu) << i << " at " << sx << "," << sy;
  }
  EXPECT_EQ(Rgb(img, 200, 200), 0xFFFFFFu);  // the view's centre
  rig.Release();
}

TEST(DxViewport, FourAtATimeProjectsAsOneAtATime) {
  raster::Context ctx;
  D3DVIEWPORT2 vp = {};
  vp.dwSize = sizeof(vp);
  vp.dwX = 10, vp.dwY = 20, vp.dwWidth = 400, vp.dwHeight = 300;
  vp.dvClipX = -1.0f, vp.dvClipY = 0.75f, vp.dvClipWidth = 2.0f, vp.dvClipHeight = 1.5f;
  vp.dvMinZ = 0.0f, vp.dvMaxZ = 1.0f;
  ctx.SetViewport(vp, 640, 480);
  // Groups inside, in the guard band, beyond it on every side, beyond the
  // far plane, and groups with a vertex behind the camera or in front of the
  // near plane.
  const float clip[][4] = {{0.1f, 0.2f, 0.5f, 1.0f},   {-0.9f, 0.7f, 0.1f, 1.0f},  {3.7f, 0.0f, 0.4f, 2.0f},
                           {0.3f, -0.4f, 0.9f, 0.5f},  {0.1f, -0.3f, 1.5f, 1.0f},  {500.f, 0.0f, 0.5f, 1.0f},
                           {-500.f, 1.0f, 0.5f, 1.0f}, {0.0f, 500.f, 0.5f, 1.0f},  {0.0f, -500.f, 0.5f, 1.0f},
                           {0.2f, 0.2f, 0.5f, -1.0f},  {0.2f, 0.2f, -0.1f, 1.0f},  {0.2f, 0.2f, 0.5f, 0.0f},
                           {1.0f, 1.0f, 1.0f, 3.0f}};
  const int n = sizeof(clip) / sizeof(clip[0]);
  for (int g = 0; g + 4 <= n; ++g) {
    raster::Vertex one[4] = {}, four[4] = {};
    for (int j = 0; j < 4; ++j) {
      const float* c = clip[g + j];
      one[j].x = four[j].x = c[0], one[j].y = four[j].y = c[1];
      one[j].z = four[j].z = c[2], one[j].w = four[j].w = c[3];
      ctx.Project(one[j]);
    }
    ctx.ProjectFour(four);
    for (int j = 0; j < 4; ++j) {
      EXPECT_EQ(four[j].out, one[j].out) << g << "+" << j;
      if (one[j].out == 0) {
        const float got[3] = {four[j].sx, four[j].sy, four[j].sz}, want[3] = {one[j].sx, one[j].sy, one[j].sz};
        EXPECT_EQ(std::memcmp(got, want, sizeof(got)), 0) << g << "+" << j;
        EXPECT_EQ(four[j].X, one[j].X) << g << "+" << j;
        EXPECT_EQ(four[j].Y, one[j].Y) << g << "+" << j;
        EXPECT_EQ(four[j].outZ, one[j].outZ) << g << "+" << j;
      }
    }
  }
}

}  // namespace

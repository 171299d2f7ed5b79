// The software rasterizer behind the Direct3D device: clipping of transformed
// vertices, the viewport mapping, and one-pixel points, lines and triangles
// with depth test, flat or Gouraud colour and a top-left fill rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/d3d.h"

namespace raster {

// ---- types ----------------------------------------------------------------

// A vertex after transformation and lighting. Colour and depth lie side by
// side, so that a triangle's set-up reads them as one.
struct alignas(16) Vertex {
  float x, y, z, w;  // clip coordinates
  float r, g, b;     // colour, 0 to 255
  float sz;          // depth (valid when out is 0)
  float sx, sy;      // screen position (valid when out is 0)
  int32_t X, Y;      // screen position in 1/16 pixel, rounded (valid when out is 0)
  uint32_t out;      // one bit per clip plane the vertex lies outside
  uint32_t outZ;     // not 0 when the depth lies outside 0 to 1 (valid when out is 0)
};

// A triangle made ready for the depth-tested fill: everything its pixels
// depend on besides the target's pixels, so that the same triangle drawn
// again in the same context needs none of the set-up.
struct alignas(16) FillSetup {
  float gx[4], gy[4], at0[4];  // x and y gradients and value at vertex 0: r, g, b, depth
  uint32_t flat;               // the colour of a flat triangle
  int32_t X[4], Y[4];          // clockwise vertices in 1/16 pixel; the fourth lane is 0
  int32_t xMin, xMax, y0, y1, yMid;
  uint8_t kind;    // which fill draws it
  uint8_t shared;  // wide ones: bit 0 when one edge bounds the left side, bit 1 the right
};

// The row walks of a wide triangle's edges: left and right above the middle
// vertex, then below it.
struct FillWalks {
  int32_t walk[4][6];
};

// The triangles of one drawing as the depth-tested fill drew them, in order,
// with the walks of the wide ones in order beside them.
struct FillRecord {
  std::vector<FillSetup> setups;
  std::vector<FillWalks> walks;
  bool bComplete = true;  // false when a triangle took another way, or there was no room
};

// Where and how primitives are drawn.
struct Context {
  uint32_t* color = nullptr;  // X8R8G8B8 pixels, row by row
  float* depth = nullptr;     // Z buffer of the same size, or null
  uint32_t* counts = nullptr; // optional per-pixel write counts
  int pitch = 0;              // pixels per row
  // Pixels that may be written: [clipL, clipR) x [clipT, clipB).
  int clipL = 0, clipT = 0, clipR = 0, clipB = 0;
  bool bZTest = false;
  bool bZWrite = false;
  bool bGouraud = true;
  D3DCULL cull = D3DCULL_CCW;

  // Maps the viewport: sx = x/w * kx + bx, sy = y/w * ky + by.
  void SetViewport(const D3DVIEWPORT2& vp, int targetWidth, int targetHeight);
  // Fills in the clip bits and, inside, the screen position.
  void Project(Vertex& v) const {
    if (v.w > kMinW && v.z >= 0.0f) {
      // In front of the camera the guard band is a screen rectangle.
      const float rw = 1.0f / v.w;
      v.sx = v.x * rw * kx_ + bx_;
      v.sy = v.y * rw * ky_ + by_;
      v.sz = v.z * rw;
      v.out = (v.sx < guardL_ ? 4u : 0u) | (v.sx > guardR_ ? 8u : 0u) | (v.sy < guardT_ ? 16u : 0u) |
              (v.sy > guardB_ ? 32u : 0u);
      v.outZ = !(v.sz >= 0.0f && v.sz <= 1.0f);
      if (v.out == 0) v.X = Snap(v.sx), v.Y = Snap(v.sy);
      return;
    }
    uint32_t out = 0;
    for (int p = 0; p < kPlanes; ++p)
      if (PlaneDistance(v, p) < 0) out |= 1u << p;
    v.out = out;
  }

  // Project for four vertices in a row, the same arithmetic four at a time.
  void ProjectFour(Vertex* v) const;
#if defined(__SSE2__)
  // Stores four vertices given one to a lane (clip coordinates and colour)
  // and projects them as ProjectFour does.
  void StoreFour(Vertex* v, __m128 x, __m128 y, __m128 z, __m128 w, __m128 r, __m128 g, __m128 b) const;
#endif

  // Smallest w kept, so that the division by w stays finite.
  static constexpr float kMinW = 1e-6f;
  // Sub-pixel steps per pixel of the snapped positions.
  static constexpr int kSub = 16;
  // A screen coordinate inside the guard band to the nearest 1/16 pixel,
  // halves away from zero.
  static int32_t Snap(float s) {
    const float v = s * kSub;
    return static_cast<int32_t>(v >= 0.0f ? v + 0.5f : v - 0.5f);
  }

  void Point(const Vertex& a) const;
  void Line(const Vertex& a, const Vertex& b) const;
  // Draws a triangle; under flat shading it takes the colour of a.
  void Triangle(const Vertex& a, const Vertex& b, const Vertex& c) const;
  // Draws again the triangles of a complete record made in a context with
  // the same size, clip rectangle and states.
  void Replay(const FillRecord& rec) const;

  // While set, the triangles drawn are also kept here, within the room the
  // vectors already have: drawing never allocates.
  FillRecord* record = nullptr;

 private:
  float kx_ = 1, bx_ = 0, ky_ = 1, by_ = 0;
  float guardL_ = 0, guardR_ = 0, guardT_ = 0, guardB_ = 0;
  // Clip planes: a vertex is inside when a*x + b*y + c*z + d*w + e >= 0.
  static constexpr int kPlanes = 6;
  float planes_[kPlanes][5] = {};

  float PlaneDistance(const Vertex& v, int p) const {
    const float* q = planes_[p];
    return q[0] * v.x + q[1] * v.y + q[2] * v.z + q[3] * v.w + q[4];
  }
  Vertex Lerp(const Vertex& a, const Vertex& b, float t) const;
  void ClipTriangle(const Vertex& a, const Vertex& b, const Vertex& c) const;
  void RasterTriangle(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& flat) const;
  void AnySpans(const Vertex* const* v, int64_t area, const Vertex& flat, bool farInside) const;
  template <bool kZ, bool kGouraud, bool kChecked>
  void Spans(const Vertex* const* v, const int64_t* X, const int64_t* Y, int64_t area, const Vertex& flat,
             bool farInside) const;
  template <bool kGouraud, bool kZWrite>
  void Fill(const Vertex* const* v, int64_t area, const Vertex& flat) const;
  template <bool kGouraud>
  bool Prepare(const Vertex* const* v, int64_t area, const Vertex& flat, FillSetup& s, FillWalks& w) const;
  template <bool kGouraud, bool kZWrite>
  void Run(const FillSetup& s, const FillWalks* w) const;
};

}  // namespace raster

// The software rasterizer behind the Direct3D device: clipping of transformed
// vertices, the viewport mapping, and one-pixel points, lines and triangles
// with depth test, flat or Gouraud colour and a top-left fill rule.
#pragma once

#include <cstdint>

#include "platform/d3d.h"

namespace raster {

// ---- types ----------------------------------------------------------------

// A vertex after transformation and lighting.
struct Vertex {
  float x, y, z, w;  // clip coordinates
  float r, g, b;     // colour, 0 to 255
  uint32_t out;      // one bit per clip plane the vertex lies outside
  float sx, sy, sz;  // screen position and depth (valid when out is 0)
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
  void Project(Vertex& v) const;

  void Point(const Vertex& a) const;
  void Line(const Vertex& a, const Vertex& b) const;
  // Draws a triangle; under flat shading it takes the colour of a.
  void Triangle(const Vertex& a, const Vertex& b, const Vertex& c) const;

 private:
  float kx_ = 1, bx_ = 0, ky_ = 1, by_ = 0;
  // Clip planes: a vertex is inside when a*x + b*y + c*z + d*w + e >= 0.
  static constexpr int kPlanes = 6;
  float planes_[kPlanes][5] = {};

  float PlaneDistance(const Vertex& v, int plane) const;
  Vertex Lerp(const Vertex& a, const Vertex& b, float t) const;
  void RasterTriangle(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& flat) const;
  template <bool kZ, bool kGouraud, bool kChecked>
  void Spans(const Vertex* v, const int64_t* X, const int64_t* Y, int64_t area, const Vertex& flat,
             bool farInside) const;
};

}  // namespace raster

// The software rasterizer: clipping in homogeneous coordinates (near plane,
// and a guard band around the viewport so that fixed-point edges never
// overflow), the viewport mapping, and spans of triangles found exactly from
// integer edge functions in 1/16 pixel, so that triangles sharing an edge
// cover each pixel once. Pixel centres lie on whole coordinates.

#include "platform/d3d_raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace raster {

// ---- constants --------------------------------------------------------------

namespace {

// Sub-pixel steps per pixel for vertex positions.
constexpr int kSub = 16;
// Pixels beyond the drawable rectangle that geometry may reach before it is
// clipped; keeps fixed-point products well inside 64 bits.
constexpr float kGuard = 4096.0f;
// Smallest w kept, so that the division by w stays finite.
constexpr float kMinW = 1e-6f;

// ---- functions: helpers -----------------------------------------------------

// floor(a / b) for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
// ceil(a / b) for b > 0.
int64_t CeilDiv(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

// A colour channel from 0 to 255 as a byte, rounded.
uint32_t Channel(float c) {
  int v = static_cast<int>(c + 0.5f);
  return static_cast<uint32_t>(std::clamp(v, 0, 255));
}

uint32_t Pack(float r, float g, float b) {
  return 0xFF000000u | (Channel(r) << 16) | (Channel(g) << 8) | Channel(b);
}

}  // namespace

// ---- functions: set-up and clipping -------------------------------------------

// Takes the viewport's pixel rectangle and clip volume.
void Context::SetViewport(const D3DVIEWPORT2& vp, int targetWidth, int targetHeight) {
  const float w = static_cast<float>(vp.dwWidth), h = static_cast<float>(vp.dwHeight);
  kx_ = w / vp.dvClipWidth;
  bx_ = static_cast<float>(vp.dwX) - vp.dvClipX * kx_;
  ky_ = -h / vp.dvClipHeight;
  by_ = static_cast<float>(vp.dwY) + vp.dvClipY * h / vp.dvClipHeight;
  clipL = static_cast<int>(std::min<int64_t>(vp.dwX, targetWidth));
  clipT = static_cast<int>(std::min<int64_t>(vp.dwY, targetHeight));
  clipR = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(vp.dwX) + vp.dwWidth, targetWidth));
  clipB = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(vp.dwY) + vp.dwHeight, targetHeight));
  const float gl = static_cast<float>(clipL) - kGuard, gr = static_cast<float>(clipR) + kGuard;
  const float gt = static_cast<float>(clipT) - kGuard, gb = static_cast<float>(clipB) + kGuard;
  const float planes[kPlanes][5] = {
      {0, 0, 0, 1, -kMinW},          // w > 0
      {0, 0, 1, 0, 0},               // near: z >= 0
      {kx_, 0, 0, bx_ - gl, 0},      // sx >= left of the guard band
      {-kx_, 0, 0, gr - bx_, 0},     // sx <= right
      {0, ky_, 0, by_ - gt, 0},      // sy >= top
      {0, -ky_, 0, gb - by_, 0},     // sy <= bottom
  };
  std::copy(&planes[0][0], &planes[0][0] + kPlanes * 5, &planes_[0][0]);
}

float Context::PlaneDistance(const Vertex& v, int p) const {
  const float* q = planes_[p];
  return q[0] * v.x + q[1] * v.y + q[2] * v.z + q[3] * v.w + q[4];
}

void Context::Project(Vertex& v) const {
  uint32_t out = 0;
  for (int p = 0; p < kPlanes; ++p)
    if (PlaneDistance(v, p) < 0) out |= 1u << p;
  v.out = out;
  if (out == 0) {
    const float rw = 1.0f / v.w;
    v.sx = v.x * rw * kx_ + bx_;
    v.sy = v.y * rw * ky_ + by_;
    v.sz = v.z * rw;
  }
}

// A point between two vertices, with its screen position.
Vertex Context::Lerp(const Vertex& a, const Vertex& b, float t) const {
  Vertex v;
  v.x = a.x + (b.x - a.x) * t;
  v.y = a.y + (b.y - a.y) * t;
  v.z = a.z + (b.z - a.z) * t;
  v.w = std::max(a.w + (b.w - a.w) * t, kMinW);
  v.r = a.r + (b.r - a.r) * t;
  v.g = a.g + (b.g - a.g) * t;
  v.b = a.b + (b.b - a.b) * t;
  v.out = 0;
  const float rw = 1.0f / v.w;
  v.sx = v.x * rw * kx_ + bx_;
  v.sy = v.y * rw * ky_ + by_;
  v.sz = v.z * rw;
  return v;
}

// ---- functions: points and lines ----------------------------------------------

// One pixel at the nearest pixel centre, depth-tested.
void Context::Point(const Vertex& a) const {
  if (a.out != 0 || !(a.sz >= 0.0f && a.sz <= 1.0f)) return;
  const float fx = std::floor(a.sx + 0.5f), fy = std::floor(a.sy + 0.5f);
  if (fx < static_cast<float>(clipL) || fx >= static_cast<float>(clipR) || fy < static_cast<float>(clipT) ||
      fy >= static_cast<float>(clipB))
    return;
  const size_t i = static_cast<size_t>(fy) * static_cast<size_t>(pitch) + static_cast<size_t>(fx);
  if (bZTest) {
    if (!(a.sz <= depth[i])) return;
    if (bZWrite) depth[i] = a.sz;
  }
  color[i] = Pack(a.r, a.g, a.b);
  if (counts) ++counts[i];
}

// A one-pixel line: one pixel per step along the longer axis, the last
// pixel left out so that joined lines do not draw their joints twice.
void Context::Line(const Vertex& a0, const Vertex& b0) const {
  if (a0.out & b0.out) return;
  Vertex a = a0, b = b0;
  if (a0.out | b0.out) {
    float t0 = 0, t1 = 1;
    for (int p = 0; p < kPlanes; ++p) {
      if (((a0.out | b0.out) & (1u << p)) == 0) continue;
      const float da = PlaneDistance(a0, p), db = PlaneDistance(b0, p);
      if (da < 0 && db < 0) return;
      const float t = da / (da - db);
      if (da < 0) t0 = std::max(t0, t);
      if (db < 0) t1 = std::min(t1, t);
    }
    if (t0 > t1) return;
    a = Lerp(a0, b0, t0);
    b = Lerp(a0, b0, t1);
  }
  const Vertex& flat = a0;
  const float dx = b.sx - a.sx, dy = b.sy - a.sy;
  const bool xMajor = std::fabs(dx) >= std::fabs(dy);
  const float start = std::floor((xMajor ? a.sx : a.sy) + 0.5f);
  const float end = std::floor((xMajor ? b.sx : b.sy) + 0.5f);
  const float span = xMajor ? dx : dy;
  const int steps = static_cast<int>(std::fabs(end - start));
  const float dir = end >= start ? 1.0f : -1.0f;
  for (int i = 0; i < steps; ++i) {
    const float major = start + dir * static_cast<float>(i);
    const float t = std::clamp((major - (xMajor ? a.sx : a.sy)) / span, 0.0f, 1.0f);
    const float minor = std::floor((xMajor ? a.sy + dy * t : a.sx + dx * t) + 0.5f);
    const float px = xMajor ? major : minor, py = xMajor ? minor : major;
    if (px < static_cast<float>(clipL) || px >= static_cast<float>(clipR) || py < static_cast<float>(clipT) ||
        py >= static_cast<float>(clipB))
      continue;
    const float z = a.sz + (b.sz - a.sz) * t;
    if (!(z >= 0.0f && z <= 1.0f)) continue;
    const size_t idx = static_cast<size_t>(py) * static_cast<size_t>(pitch) + static_cast<size_t>(px);
    if (bZTest) {
      if (!(z <= depth[idx])) continue;
      if (bZWrite) depth[idx] = z;
    }
    color[idx] = bGouraud ? Pack(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t)
                          : Pack(flat.r, flat.g, flat.b);
    if (counts) ++counts[idx];
  }
}

// ---- functions: triangles -----------------------------------------------------

// Clips a triangle where it leaves the clip volume and draws what is left.
void Context::Triangle(const Vertex& a, const Vertex& b, const Vertex& c) const {
  const uint32_t any = a.out | b.out | c.out;
  if (any == 0) {
    RasterTriangle(a, b, c, a);
    return;
  }
  if (a.out & b.out & c.out) return;
  Vertex buf[2][3 + kPlanes];
  int n = 3;
  buf[0][0] = a, buf[0][1] = b, buf[0][2] = c;
  int cur = 0;
  for (int p = 0; p < kPlanes && n >= 3; ++p) {
    if ((any & (1u << p)) == 0) continue;
    const Vertex* in = buf[cur];
    Vertex* out = buf[cur ^ 1];
    int m = 0;
    for (int i = 0; i < n; ++i) {
      const Vertex& v0 = in[i];
      const Vertex& v1 = in[(i + 1) % n];
      const float d0 = PlaneDistance(v0, p), d1 = PlaneDistance(v1, p);
      if (d0 >= 0) out[m++] = v0;
      if ((d0 >= 0) != (d1 >= 0)) out[m++] = Lerp(v0, v1, d0 / (d0 - d1));
    }
    n = m;
    cur ^= 1;
  }
  if (n < 3) return;
  Vertex* poly = buf[cur];
  // Vertices of the input that were inside still need their screen position.
  for (int i = 0; i < n; ++i)
    if (poly[i].out != 0) poly[i] = Lerp(poly[i], poly[i], 0.0f);
  for (int i = 1; i + 1 < n; ++i) RasterTriangle(poly[0], poly[i], poly[i + 1], a);
}

// Snaps, culls and orders a screen triangle, then fills its spans.
void Context::RasterTriangle(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& flat) const {
  const Vertex* v[3] = {&a, &b, &c};
  int64_t X[3], Y[3];
  for (int i = 0; i < 3; ++i) {
    X[i] = std::lrint(v[i]->sx * kSub);
    Y[i] = std::lrint(v[i]->sy * kSub);
  }
  int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
  if (area == 0) return;
  // Screen y grows downwards, so a positive area runs clockwise on the screen.
  if (cull == D3DCULL_CCW && area < 0) return;
  if (cull == D3DCULL_CW && area > 0) return;
  if (area < 0) {
    std::swap(v[1], v[2]);
    std::swap(X[1], X[2]);
    std::swap(Y[1], Y[2]);
    area = -area;
  }
  const bool farInside = a.sz <= 1.0f && b.sz <= 1.0f && c.sz <= 1.0f && a.sz >= 0.0f && b.sz >= 0.0f &&
                         c.sz >= 0.0f;
  const Vertex verts[3] = {*v[0], *v[1], *v[2]};
  const bool z = bZTest && depth != nullptr;
  const bool checked = counts != nullptr || !farInside;
  if (z) {
    if (bGouraud)
      checked ? Spans<true, true, true>(verts, X, Y, area, flat, farInside)
              : Spans<true, true, false>(verts, X, Y, area, flat, farInside);
    else
      checked ? Spans<true, false, true>(verts, X, Y, area, flat, farInside)
              : Spans<true, false, false>(verts, X, Y, area, flat, farInside);
  } else {
    if (bGouraud)
      checked ? Spans<false, true, true>(verts, X, Y, area, flat, farInside)
              : Spans<false, true, false>(verts, X, Y, area, flat, farInside);
    else
      checked ? Spans<false, false, true>(verts, X, Y, area, flat, farInside)
              : Spans<false, false, false>(verts, X, Y, area, flat, farInside);
  }
}

// Fills the pixels whose centres the clockwise triangle covers: inside all
// three edges, or on a top or left edge.
template <bool kZ, bool kGouraud, bool kChecked>
void Context::Spans(const Vertex* v, const int64_t* X, const int64_t* Y, int64_t area, const Vertex& flat,
                    bool) const {
  const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
  const int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
  const int y0 = static_cast<int>(std::max<int64_t>(CeilDiv(minY, kSub), clipT));
  const int y1 = static_cast<int>(std::min<int64_t>(FloorDiv(maxY, kSub), clipB - 1));
  const int64_t xMin = std::max<int64_t>(CeilDiv(minX, kSub), clipL);
  const int64_t xMax = std::min<int64_t>(FloorDiv(maxX, kSub), clipR - 1);
  if (y0 > y1 || xMin > xMax) return;

  // Edge e runs from vertex e to vertex e + 1; a pixel at x is inside when
  // kSub * dy * x <= r, with r stepping by kSub * dx per row.
  int64_t dxE[3], dyE[3], r[3];
  for (int e = 0; e < 3; ++e) {
    const int i = e, j = (e + 1) % 3;
    dxE[e] = X[j] - X[i];
    dyE[e] = Y[j] - Y[i];
    const bool topLeft = dyE[e] < 0 || (dyE[e] == 0 && dxE[e] > 0);
    r[e] = (static_cast<int64_t>(y0) * kSub - Y[i]) * dxE[e] + X[i] * dyE[e] + (topLeft ? 0 : -1);
  }

  // Attribute gradients over the snapped triangle.
  const double fx1 = static_cast<double>(X[1] - X[0]) / kSub, fy1 = static_cast<double>(Y[1] - Y[0]) / kSub;
  const double fx2 = static_cast<double>(X[2] - X[0]) / kSub, fy2 = static_cast<double>(Y[2] - Y[0]) / kSub;
  const double det = static_cast<double>(area) / (kSub * kSub);
  const double ox = static_cast<double>(X[0]) / kSub, oy = static_cast<double>(Y[0]) / kSub;
  auto gradient = [&](float a0, float a1, float a2, double* ddx, double* ddy) {
    *ddx = ((a1 - a0) * fy2 - (a2 - a0) * fy1) / det;
    *ddy = ((a2 - a0) * fx1 - (a1 - a0) * fx2) / det;
  };
  double dzdx = 0, dzdy = 0, drdx = 0, drdy = 0, dgdx = 0, dgdy = 0, dbdx = 0, dbdy = 0;
  gradient(v[0].sz, v[1].sz, v[2].sz, &dzdx, &dzdy);
  if (kGouraud) {
    gradient(v[0].r, v[1].r, v[2].r, &drdx, &drdy);
    gradient(v[0].g, v[1].g, v[2].g, &dgdx, &dgdy);
    gradient(v[0].b, v[1].b, v[2].b, &dbdx, &dbdy);
  }
  const float fdzdx = static_cast<float>(dzdx);
  const int32_t idr = static_cast<int32_t>(std::lrint(drdx * 65536.0));
  const int32_t idg = static_cast<int32_t>(std::lrint(dgdx * 65536.0));
  const int32_t idb = static_cast<int32_t>(std::lrint(dbdx * 65536.0));
  const uint32_t flatColor = Pack(flat.r, flat.g, flat.b);

  for (int y = y0; y <= y1; ++y) {
    int64_t xl = xMin, xr = xMax;
    bool empty = false;
    for (int e = 0; e < 3; ++e) {
      const int64_t k = kSub * dyE[e];
      if (k > 0)
        xr = std::min(xr, FloorDiv(r[e], k));
      else if (k < 0)
        xl = std::max(xl, CeilDiv(-r[e], -k));
      else if (r[e] < 0)
        empty = true;
      r[e] += kSub * dxE[e];
    }
    if (empty || xl > xr) continue;

    const double px = static_cast<double>(xl) - ox, py = static_cast<double>(y) - oy;
    const float zStart = static_cast<float>(v[0].sz + dzdx * px + dzdy * py);
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(pitch);
    uint32_t* cp = color + row + xl;
    float* zp = kZ ? depth + row + xl : nullptr;
    const int n = static_cast<int>(xr - xl + 1);
    int32_t cr = 0, cg = 0, cb = 0;
    if (kGouraud) {
      cr = static_cast<int32_t>(std::lrint((v[0].r + drdx * px + drdy * py) * 65536.0)) + 32768;
      cg = static_cast<int32_t>(std::lrint((v[0].g + dgdx * px + dgdy * py) * 65536.0)) + 32768;
      cb = static_cast<int32_t>(std::lrint((v[0].b + dbdx * px + dbdy * py) * 65536.0)) + 32768;
    }
    float fi = 0.0f;
    for (int i = 0; i < n; ++i, fi += 1.0f) {
      uint32_t c = flatColor;
      if (kGouraud) {
        const int32_t r8 = std::clamp(cr >> 16, 0, 255), g8 = std::clamp(cg >> 16, 0, 255),
                      b8 = std::clamp(cb >> 16, 0, 255);
        c = 0xFF000000u | (static_cast<uint32_t>(r8) << 16) | (static_cast<uint32_t>(g8) << 8) |
            static_cast<uint32_t>(b8);
        cr += idr, cg += idg, cb += idb;
      }
      if (kZ || kChecked) {
        const float z = zStart + fdzdx * fi;
        if (kChecked && !(z >= 0.0f && z <= 1.0f)) continue;
        if (kZ) {
          if (!(z <= zp[i])) continue;
          if (bZWrite) zp[i] = z;
        }
      }
      cp[i] = c;
      if (kChecked && counts) ++counts[row + static_cast<size_t>(xl) + static_cast<size_t>(i)];
    }
  }
}

}  // namespace raster

// The software rasterizer: clipping in homogeneous coordinates (near plane,
// and a guard band around the viewport so that fixed-point edges never
// overflow), the viewport mapping, and triangles filled exactly by integer
// edge functions in 1/16 pixel (span by span, or pixel by pixel across the
// box of a narrow one), so that triangles sharing an edge cover each pixel
// once. Pixel centres lie on whole coordinates.

#include "platform/d3d_raster.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cmath>
#include <cstddef>
#include <utility>

namespace raster {

// ---- constants --------------------------------------------------------------

namespace {

// Sub-pixel steps per pixel for vertex positions.
constexpr int kSub = Context::kSub;
// Pixels beyond the drawable rectangle that geometry may reach before it is
// clipped; keeps fixed-point products well inside 64 bits.
constexpr float kGuard = 4096.0f;
// Narrow triangles, at most kNarrowGroups groups of four pixels across their
// box, are filled by testing pixels against their edge functions. Within
// kNarrowSide x kNarrowRows pixels the functions stay inside 32 bits.
constexpr int kNarrowGroups = 2;
constexpr int64_t kNarrowSide = 32;
constexpr int64_t kNarrowRows = 512;

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

// floor(a / b) for b > 0, from a reciprocal of b: the estimate is corrected
// exactly, so no 64-bit division is needed.
// The estimate is at most one off (the product's error is far below one for
// numerators inside the guard band), so one branchless step each way fixes it.
int64_t FloorDivBy(int64_t a, int64_t b, double invB) {
  int64_t q = static_cast<int64_t>(static_cast<double>(a) * invB);
  q -= static_cast<int64_t>(q * b > a);
  q += static_cast<int64_t>((q + 1) * b <= a);
  return q;
}

// The least and the greatest of three, by conditional moves rather than
// branches: which vertex is where is anybody's guess.
int64_t Min3(int64_t a, int64_t b, int64_t c) {
  const int64_t m = b < a ? b : a;
  return c < m ? c : m;
}
int64_t Max3(int64_t a, int64_t b, int64_t c) {
  const int64_t m = b > a ? b : a;
  return c > m ? c : m;
}

// floor(v) for values inside the guard band, without a libm call.
float Floor(float v) {
  const float t = static_cast<float>(static_cast<int32_t>(v));
  return t > v ? t - 1.0f : t;
}

// An opaque X8R8G8B8 pixel from 0-255 channels.
uint32_t Pack(float r, float g, float b) {
  return 0xFF000000u | (Channel(r) << 16) | (Channel(g) << 8) | Channel(b);
}

#if defined(__SSE2__)
// Four X8R8G8B8 pixels from colour channels held one pixel to a lane; the
// saturating packs hold each channel to 0..255, as Channel does.
__m128i PackInts(__m128i r, __m128i g, __m128i b) {
  const __m128i br = _mm_packs_epi32(b, r);
  const __m128i ga = _mm_packs_epi32(g, _mm_set1_epi32(255));
  const __m128i planes = _mm_packus_epi16(br, ga);  // b0..b3 r0..r3 g0..g3 a0..a3
  const __m128i pairs = _mm_unpacklo_epi8(planes, _mm_srli_si128(planes, 8));  // b0 g0 .. b3 g3 r0 a0 .. r3 a3
  return _mm_unpacklo_epi16(pairs, _mm_srli_si128(pairs, 8));
}

// The same from channels held as floats, rounded to the nearest.
__m128i PackLanes(__m128 r, __m128 g, __m128 b) {
  return PackInts(_mm_cvtps_epi32(r), _mm_cvtps_epi32(g), _mm_cvtps_epi32(b));
}

// The x and y gradients of the lanes r, g, b and depth over a snapped
// triangle, its edges from vertex 0 given in pixels: differences in float,
// the rest in double, so that every fill steps the very same values.
void LaneGradients(const Vertex* const* v, double fx1, double fy1, double fx2, double fy2, double invDet,
                   __m128* gx, __m128* gy) {
  auto lanes = [](const Vertex* p) { return _mm_load_ps(&p->r); };
  const __m128 a0 = lanes(v[0]), d1 = _mm_sub_ps(lanes(v[1]), a0), d2 = _mm_sub_ps(lanes(v[2]), a0);
  const __m128d det = _mm_set1_pd(invDet);
  const __m128d x1 = _mm_set1_pd(fx1), y1 = _mm_set1_pd(fy1), x2 = _mm_set1_pd(fx2), y2 = _mm_set1_pd(fy2);
  auto half = [&](__m128d e1, __m128d e2, __m128* hx, __m128* hy) {
    *hx = _mm_cvtpd_ps(_mm_mul_pd(_mm_sub_pd(_mm_mul_pd(e1, y2), _mm_mul_pd(e2, y1)), det));
    *hy = _mm_cvtpd_ps(_mm_mul_pd(_mm_sub_pd(_mm_mul_pd(e2, x1), _mm_mul_pd(e1, x2)), det));
  };
  __m128 gxLo, gyLo, gxHi, gyHi;
  half(_mm_cvtps_pd(d1), _mm_cvtps_pd(d2), &gxLo, &gyLo);
  half(_mm_cvtps_pd(_mm_movehl_ps(d1, d1)), _mm_cvtps_pd(_mm_movehl_ps(d2, d2)), &gxHi, &gyHi);
  *gx = _mm_movelh_ps(gxLo, gxHi);
  *gy = _mm_movelh_ps(gyLo, gyHi);
}

// Where a triangle is drawn, and its attributes: each is its value at
// vertex 0 plus its gradients times the offset from vertex 0, in pixels.
struct FillTarget {
  uint32_t* color;
  float* depth;
  int pitch;
  float dzdx, dzdy, z00;
  __m128 rgbdx, rgbdy, rgb0;  // colour gradients and start, lanes r, g, b, -
  __m128i flat4;              // the colour of a flat triangle, four times
};

// One lane of a vector in all four.
template <int k>
__m128 Lane(__m128 v) {
  return _mm_shuffle_ps(v, v, k * 0x55);
}

// The products of a and b lane by lane, modulo 2^32.
__m128i MulLow(__m128i a, __m128i b) {
  const __m128i even = _mm_mul_epu32(a, b);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// The three edges of a narrow triangle, lanes edge 0, 1, 2 (edge e runs from
// vertex e to vertex e + 1), modulo 2^32: the edge function at the pixel
// centre (px0, py0) in sixteenths, less one on the edges that are neither
// top nor left, and its steps per column and per row.
struct EdgeLanes {
  __m128i f, perColumn, perRow;
};

EdgeLanes NarrowEdges(const int32_t* X, const int32_t* Y, int64_t px0, int64_t py0) {
  // Lanes 0 to 2 the vertices (lane 3 goes unused). The box keeps the
  // functions inside 32 bits, whatever the products in between.
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(X));
  const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Y));
  const __m128i dx = _mm_sub_epi32(_mm_shuffle_epi32(x, _MM_SHUFFLE(3, 0, 2, 1)), x);
  const __m128i dy = _mm_sub_epi32(_mm_shuffle_epi32(y, _MM_SHUFFLE(3, 0, 2, 1)), y);
  // Not a top or left edge: dy > 0, or dy == 0 and dx <= 0.
  const __m128i zero = _mm_setzero_si128();
  const __m128i notTopLeft =
      _mm_or_si128(_mm_cmpgt_epi32(dy, zero), _mm_andnot_si128(_mm_cmpgt_epi32(dx, zero), _mm_cmpeq_epi32(dy, zero)));
  const __m128i f = _mm_sub_epi32(MulLow(_mm_sub_epi32(_mm_set1_epi32(static_cast<int32_t>(py0)), y), dx),
                                  MulLow(_mm_sub_epi32(_mm_set1_epi32(static_cast<int32_t>(px0)), x), dy));
  return {_mm_add_epi32(f, notTopLeft), _mm_slli_epi32(_mm_sub_epi32(zero, dy), 4), _mm_slli_epi32(dx, 4)};
}

// Lane e of a, b, c and d, for e = 0, 1, 2, as rows[e].
void Rows(__m128i a, __m128i b, __m128i c, __m128i d, __m128i* rows) {
  const __m128i ab = _mm_unpacklo_epi32(a, b), cd = _mm_unpacklo_epi32(c, d);
  rows[0] = _mm_unpacklo_epi64(ab, cd);
  rows[1] = _mm_unpackhi_epi64(ab, cd);
  rows[2] = _mm_unpacklo_epi64(_mm_unpackhi_epi32(a, b), _mm_unpackhi_epi32(c, d));
}

// Fills a narrow clockwise triangle, depth-tested, four pixels at a time
// across its box [xMin, xMax] x [y0, y1] (kGroups groups of four). A pixel is
// drawn when its centre is inside all three edges or on a top or left one:
// with the edge function F = (py - Yi) * dx - (px - Xi) * dy in sixteenths,
// when F > -1 on top and left edges and F > 0 on the others. F less one on
// the others is kept, so that a pixel is out exactly when a sign bit is set;
// the columns past the box carry a set sign bit of their own.
template <bool kGouraud, bool kZWrite, int kGroups>
void NarrowTriangle(const FillTarget& t, const int32_t* X, const int32_t* Y, int xMin, int xMax, int y0, int y1) {
  const int64_t px0 = int64_t{xMin} * kSub, py0 = int64_t{y0} * kSub;
  __m128i F[kGroups][3], down[3];
  {
    // Per edge: f, f + sx, f + 2 sx, f + 3 sx across the columns.
    const EdgeLanes E = NarrowEdges(X, Y, px0, py0);
    const __m128i sx2 = _mm_add_epi32(E.perColumn, E.perColumn);
    const __m128i f1 = _mm_add_epi32(E.f, E.perColumn), f2 = _mm_add_epi32(E.f, sx2);
    Rows(E.f, f1, f2, _mm_add_epi32(f1, sx2), F[0]);
    down[0] = _mm_shuffle_epi32(E.perRow, 0x00), down[1] = _mm_shuffle_epi32(E.perRow, 0x55);
    down[2] = _mm_shuffle_epi32(E.perRow, 0xAA);
    if (kGroups == 2) {
      const __m128i sx4 = _mm_add_epi32(sx2, sx2);
      F[1][0] = _mm_add_epi32(F[0][0], _mm_shuffle_epi32(sx4, 0x00));
      F[1][1] = _mm_add_epi32(F[0][1], _mm_shuffle_epi32(sx4, 0x55));
      F[1][2] = _mm_add_epi32(F[0][2], _mm_shuffle_epi32(sx4, 0xAA));
    }
  }
  // Attributes at the box's columns, per group of four.
  const __m128i lanes = _mm_setr_epi32(0, 1, 2, 3);
  __m128i past[kGroups];
  __m128 zAt[kGroups], rAt[kGroups], gAt[kGroups], bAt[kGroups];
  const float fx0 = static_cast<float>(px0 - X[0]) * (1.0f / kSub);
  for (int g = 0; g < kGroups; ++g) {
    const __m128i columns = _mm_add_epi32(lanes, _mm_set1_epi32(4 * g));
    past[g] = _mm_slli_epi32(_mm_cmpgt_epi32(columns, _mm_set1_epi32(xMax - xMin)), 31);
    const __m128 fx = _mm_add_ps(_mm_set1_ps(fx0 + static_cast<float>(4 * g)), _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f));
    zAt[g] = _mm_add_ps(_mm_set1_ps(t.z00), _mm_mul_ps(_mm_set1_ps(t.dzdx), fx));
    if (kGouraud) {
      rAt[g] = _mm_add_ps(Lane<0>(t.rgb0), _mm_mul_ps(Lane<0>(t.rgbdx), fx));
      gAt[g] = _mm_add_ps(Lane<1>(t.rgb0), _mm_mul_ps(Lane<1>(t.rgbdx), fx));
      bAt[g] = _mm_add_ps(Lane<2>(t.rgb0), _mm_mul_ps(Lane<2>(t.rgbdx), fx));
    }
  }
  const __m128 dzy = _mm_set1_ps(t.dzdy);
  const __m128 dry = Lane<0>(t.rgbdy), dgy = Lane<1>(t.rgbdy), dby = Lane<2>(t.rgbdy);
  const __m128i flat4 = t.flat4;
  const size_t pitch = static_cast<size_t>(t.pitch);
  float* zRow = t.depth + static_cast<size_t>(y0) * pitch + static_cast<size_t>(xMin);
  uint32_t* cRow = t.color + static_cast<size_t>(y0) * pitch + static_cast<size_t>(xMin);
  float fy = static_cast<float>(py0 - Y[0]) * (1.0f / kSub);
  for (int y = y0; y <= y1; ++y, fy += 1.0f, zRow += pitch, cRow += pitch) {
    for (int g = 0; g < kGroups; ++g) {
      const __m128i out = _mm_or_si128(_mm_or_si128(F[g][0], F[g][1]), _mm_or_si128(F[g][2], past[g]));
      F[g][0] = _mm_add_epi32(F[g][0], down[0]), F[g][1] = _mm_add_epi32(F[g][1], down[1]);
      F[g][2] = _mm_add_epi32(F[g][2], down[2]);
      const __m128 fy4 = _mm_set1_ps(fy);
      float* zp = zRow + 4 * g;
      const __m128 z = _mm_add_ps(zAt[g], _mm_mul_ps(dzy, fy4));
      const __m128 old = _mm_loadu_ps(zp);
      const __m128 pass = _mm_andnot_ps(_mm_castsi128_ps(_mm_srai_epi32(out, 31)), _mm_cmple_ps(z, old));
      if (_mm_movemask_ps(pass) == 0) continue;
      if (kZWrite) _mm_storeu_ps(zp, _mm_or_ps(_mm_and_ps(pass, z), _mm_andnot_ps(pass, old)));
      const __m128i c = kGouraud ? PackLanes(_mm_add_ps(rAt[g], _mm_mul_ps(dry, fy4)),
                                             _mm_add_ps(gAt[g], _mm_mul_ps(dgy, fy4)),
                                             _mm_add_ps(bAt[g], _mm_mul_ps(dby, fy4)))
                                 : flat4;
      const __m128i p = _mm_castps_si128(pass);
      __m128i* dst = reinterpret_cast<__m128i*>(cRow + 4 * g);
      _mm_storeu_si128(dst, _mm_or_si128(_mm_and_si128(p, c), _mm_andnot_si128(p, _mm_loadu_si128(dst))));
    }
  }
}

// NarrowTriangle for a box one or two pixels wide: two rows at a time, the
// lanes holding columns 0 and 1 of a row and then of the next, with the same
// edge functions and attribute sums as one row at a time.
template <bool kGouraud, bool kZWrite>
void NarrowPairs(const FillTarget& t, const int32_t* X, const int32_t* Y, int xMin, int xMax, int y0, int y1) {
  const int64_t px0 = int64_t{xMin} * kSub, py0 = int64_t{y0} * kSub;
  __m128i F[3], down2[3];
  {
    // Per edge: f, f + sx, f + down, f + sx + down.
    const EdgeLanes E = NarrowEdges(X, Y, px0, py0);
    const __m128i f1 = _mm_add_epi32(E.f, E.perColumn), f2 = _mm_add_epi32(E.f, E.perRow);
    Rows(E.f, f1, f2, _mm_add_epi32(f1, E.perRow), F);
    const __m128i two = _mm_add_epi32(E.perRow, E.perRow);
    down2[0] = _mm_shuffle_epi32(two, 0x00), down2[1] = _mm_shuffle_epi32(two, 0x55);
    down2[2] = _mm_shuffle_epi32(two, 0xAA);
  }
  // Attributes at the box's two columns, twice.
  const __m128i past =
      _mm_slli_epi32(_mm_cmpgt_epi32(_mm_setr_epi32(0, 1, 0, 1), _mm_set1_epi32(xMax - xMin)), 31);
  const float fx0 = static_cast<float>(px0 - X[0]) * (1.0f / kSub);
  const __m128 fx = _mm_add_ps(_mm_set1_ps(fx0 + 0.0f), _mm_setr_ps(0.0f, 1.0f, 0.0f, 1.0f));
  const __m128 zAt = _mm_add_ps(_mm_set1_ps(t.z00), _mm_mul_ps(_mm_set1_ps(t.dzdx), fx));
  __m128 rAt = zAt, gAt = zAt, bAt = zAt;
  if (kGouraud) {
    rAt = _mm_add_ps(Lane<0>(t.rgb0), _mm_mul_ps(Lane<0>(t.rgbdx), fx));
    gAt = _mm_add_ps(Lane<1>(t.rgb0), _mm_mul_ps(Lane<1>(t.rgbdx), fx));
    bAt = _mm_add_ps(Lane<2>(t.rgb0), _mm_mul_ps(Lane<2>(t.rgbdx), fx));
  }
  const __m128 dzy = _mm_set1_ps(t.dzdy);
  const __m128 dry = Lane<0>(t.rgbdy), dgy = Lane<1>(t.rgbdy), dby = Lane<2>(t.rgbdy);
  const __m128i flat4 = t.flat4;
  const size_t pitch = static_cast<size_t>(t.pitch);
  float* zRow = t.depth + static_cast<size_t>(y0) * pitch + static_cast<size_t>(xMin);
  uint32_t* cRow = t.color + static_cast<size_t>(y0) * pitch + static_cast<size_t>(xMin);
  const float fy0 = static_cast<float>(py0 - Y[0]) * (1.0f / kSub);
  __m128 fy = _mm_add_ps(_mm_set1_ps(fy0), _mm_setr_ps(0.0f, 0.0f, 1.0f, 1.0f));
  const __m128 two = _mm_set1_ps(2.0f);
  // Rows y and y + 1; the last of an odd count reads its own row twice and
  // writes it once.
  auto rows = [&](bool pair) {
    float* zNext = pair ? zRow + pitch : zRow;
    uint32_t* cNext = pair ? cRow + pitch : cRow;
    __m128i out = _mm_or_si128(_mm_or_si128(F[0], F[1]), _mm_or_si128(F[2], past));
    if (!pair) out = _mm_or_si128(out, _mm_setr_epi32(0, 0, INT32_MIN, INT32_MIN));
    F[0] = _mm_add_epi32(F[0], down2[0]), F[1] = _mm_add_epi32(F[1], down2[1]), F[2] = _mm_add_epi32(F[2], down2[2]);
    const __m128 z = _mm_add_ps(zAt, _mm_mul_ps(dzy, fy));
    const __m128 old = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(zRow)),
                                    reinterpret_cast<const __m64*>(zNext));
    const __m128 pass = _mm_andnot_ps(_mm_castsi128_ps(_mm_srai_epi32(out, 31)), _mm_cmple_ps(z, old));
    if (_mm_movemask_ps(pass) != 0) {
      if (kZWrite) {
        const __m128 zNew = _mm_or_ps(_mm_and_ps(pass, z), _mm_andnot_ps(pass, old));
        _mm_storel_pi(reinterpret_cast<__m64*>(zRow), zNew);
        if (pair) _mm_storeh_pi(reinterpret_cast<__m64*>(zNext), zNew);
      }
      const __m128i c = kGouraud ? PackLanes(_mm_add_ps(rAt, _mm_mul_ps(dry, fy)), _mm_add_ps(gAt, _mm_mul_ps(dgy, fy)),
                                             _mm_add_ps(bAt, _mm_mul_ps(dby, fy)))
                                 : flat4;
      const __m128i p = _mm_castps_si128(pass);
      const __m128i was = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cRow)),
                                             _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cNext)));
      const __m128i cNew = _mm_or_si128(_mm_and_si128(p, c), _mm_andnot_si128(p, was));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(cRow), cNew);
      if (pair) _mm_storel_epi64(reinterpret_cast<__m128i*>(cNext), _mm_unpackhi_epi64(cNew, cNew));
    }
    fy = _mm_add_ps(fy, two);
    zRow += 2 * pitch, cRow += 2 * pitch;
  };
  int y = y0;
  for (; y < y1; y += 2) rows(true);
  if (y == y1) rows(false);
}

// An edge of a wide triangle as a bound on the columns of each row: on a
// row, a pixel at x is inside when K * x <= r (dy > 0: a right bound,
// K = kSub * dy) or K * x >= -r (dy < 0: a left bound, K = kSub * -dy); r
// grows by kSub * dx per row, and floor(r / K) is kept as quotient and
// remainder, stepped exactly.
struct RowEdge {
  int64_t k;
  int64_t yTop, yBottom;   // its ends, in sixteenths
  int64_t dx, dy, x0, y0;  // direction and start, in sixteenths

  // Its walk from row y on, in pairs as WideRows takes them: q and rem, dq
  // and drem, k - 1 and k. On the rows between its ends an edge's bound lies
  // between the columns of its ends, inside the guard band, so they all fit
  // 32 bits.
  void Start(int64_t y, int32_t* walk) const {
    const int64_t r = (y * kSub - y0) * dx + x0 * dy + (dy < 0 ? 0 : -1);
    const double invK = 1.0 / static_cast<double>(k);
    const int64_t q = FloorDivBy(r, k, invK);
    const int64_t dq = FloorDivBy(kSub * dx, k, invK);
    walk[0] = static_cast<int32_t>(q), walk[1] = static_cast<int32_t>(r - q * k);
    walk[2] = static_cast<int32_t>(dq), walk[3] = static_cast<int32_t>(kSub * dx - dq * k);
    walk[4] = static_cast<int32_t>(k - 1), walk[5] = static_cast<int32_t>(k);
  }
};

// The first none, one, two and three lanes of four, for a short span.
alignas(16) constexpr int32_t kFirstLanes[4][4] = {{0, 0, 0, 0}, {-1, 0, 0, 0}, {-1, -1, 0, 0}, {-1, -1, -1, 0}};
// None to three pixels back, in every lane.
alignas(16) constexpr float kBackBy[4][4] = {{0, 0, 0, 0}, {1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}};

// Four pixels of a wide triangle's row: depth-tested against what is there,
// and only those in the mask that pass are written; when all four pass
// they are simply stored.
template <bool kGouraud, bool kZWrite>
inline void WideGroup(float* zp, uint32_t* cp, __m128 z, __m128 inSpan, __m128i c0, __m128i step1, __m128i step2,
                      __m128i step3, __m128i flat4) {
  const __m128 old = _mm_loadu_ps(zp);
  const __m128 pass = _mm_and_ps(inSpan, _mm_cmple_ps(z, old));
  const int mask = _mm_movemask_ps(pass);
  if (mask == 0) return;
  __m128i c = flat4;
  if (kGouraud) {
    // The saturating packs hold each channel to 0..255.
    const __m128i p01 = _mm_packs_epi32(_mm_srai_epi32(c0, 16), _mm_srai_epi32(_mm_add_epi32(c0, step1), 16));
    const __m128i p23 =
        _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(c0, step2), 16), _mm_srai_epi32(_mm_add_epi32(c0, step3), 16));
    c = _mm_or_si128(_mm_packus_epi16(p01, p23), _mm_set1_epi32(static_cast<int32_t>(0xFF000000u)));
  }
  __m128i* dst = reinterpret_cast<__m128i*>(cp);
  if (mask == 0xF) {
    if (kZWrite) _mm_storeu_ps(zp, z);
    _mm_storeu_si128(dst, c);
    return;
  }
  if (kZWrite) _mm_storeu_ps(zp, _mm_or_ps(_mm_and_ps(pass, z), _mm_andnot_ps(pass, old)));
  const __m128i p = _mm_castps_si128(pass);
  _mm_storeu_si128(dst, _mm_or_si128(_mm_and_si128(p, c), _mm_andnot_si128(p, _mm_loadu_si128(dst))));
}

// Fills rows [ya, yb] of a wide clockwise triangle, between the walks l0 and
// r0 above row yMid and between l1 and r1 from there on (the edges of the
// lower part started at yMid; a walk that bounds both parts is the same
// one), depth-tested, four pixels at a time: the same depths as one at a
// time, and only the pixels that pass are written. A span's last few pixels
// are done as the four at its end; a span shorter than four is done four
// wide, masked to the span, when the row has room for it. The pixels past
// the span are left as they are.
template <bool kGouraud, bool kZWrite>
void WideRows(const FillTarget& t, int64_t X0, int64_t Y0, int xMin, int xMax, int ya, int yMid, int yb,
              int32_t* const edges[4], __m128 cBase, __m128 cdx, __m128 cdy, __m128i step1) {
  const __m128i step2 = _mm_add_epi32(step1, step1), step3 = _mm_add_epi32(step2, step1);
  const __m128i step4 = _mm_add_epi32(step2, step2);
  // The colour steps back from a group to the four at the end of a span.
  const __m128i backs[4] = {_mm_setzero_si128(), step1, step2, step3};
  const __m128 dz = _mm_set1_ps(t.dzdx);
  const __m128i flat4 = t.flat4;
  const float z00 = t.z00, dzdx = t.dzdx, dzdy = t.dzdy;
  const int pitch = t.pitch;
  // Offsets from vertex 0 stay small, so the sums keep their precision.
  // Both are whole sixteenths below 2^24 of them, so float holds them exactly.
  float fy = static_cast<float>(static_cast<int64_t>(ya) * kSub - Y0) * (1.0f / kSub);
  uint32_t* cRow = t.color + static_cast<ptrdiff_t>(ya) * pitch;
  float* zRow = t.depth + static_cast<ptrdiff_t>(ya) * pitch;
  for (int part = 0; part < 2; ++part) {
    int32_t* const left = edges[2 * part];
    int32_t* const right = edges[2 * part + 1];
    const int yFrom = part == 0 ? ya : yMid, yTo = part == 0 ? yMid - 1 : yb;
    if (yFrom > yTo) continue;
    // Both edges stepped together: lanes left q, right q, left remainder,
    // right remainder. A remainder past k - 1 carries one.
    auto pairs = [&](int at) {
      return _mm_unpacklo_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(left + at)),
                                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(right + at)));
    };
    __m128i walk = pairs(0);
    const __m128i walkStep = pairs(2), ks = pairs(4);
    const __m128i carryAt = _mm_unpacklo_epi64(_mm_set1_epi32(INT32_MAX), ks);
    const __m128i carryBy = _mm_unpackhi_epi64(_mm_setzero_si128(), ks);
    for (int y = yFrom; y <= yTo; ++y, fy += 1.0f, cRow += pitch, zRow += pitch) {
      const int xl = std::max(xMin, -_mm_cvtsi128_si32(walk));
      const int xr = std::min(xMax, _mm_cvtsi128_si32(_mm_shuffle_epi32(walk, 1)));
      walk = _mm_add_epi32(walk, walkStep);
      const __m128i carry = _mm_cmpgt_epi32(walk, carryAt);
      walk = _mm_sub_epi32(_mm_sub_epi32(walk, _mm_and_si128(carry, carryBy)), _mm_srli_si128(carry, 8));
      if (xl > xr) continue;
      const float fx = static_cast<float>(int64_t{xl} * kSub - X0) * (1.0f / kSub);
      const float zStart = z00 + dzdx * fx + dzdy * fy;
      uint32_t* const cp = cRow + xl;
      float* const zp = zRow + xl;
      const int n = xr - xl + 1;
      // Pixel centres lie inside the snapped triangle, so the colours there lie
      // between the vertex colours; the clamp only absorbs rounding.
      __m128i c0 = _mm_setzero_si128();  // 16.16 colour (b, g, r, -) at xl
      if (kGouraud) {
        const __m128 first = _mm_min_ps(
            _mm_max_ps(
                _mm_add_ps(cBase, _mm_add_ps(_mm_mul_ps(cdx, _mm_set1_ps(fx)), _mm_mul_ps(cdy, _mm_set1_ps(fy)))),
                _mm_setzero_ps()),
            _mm_set1_ps(255.0f * 65536.0f));
        c0 = _mm_add_epi32(_mm_cvttps_epi32(first), _mm_set1_epi32(32768));
      }
      const __m128 zs = _mm_set1_ps(zStart);
      const __m128 all = _mm_castsi128_ps(_mm_set1_epi32(-1));
      __m128 fiv = _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f);
      const int whole = n & ~3;
      int i = 0;
      for (; i < whole; i += 4) {
        WideGroup<kGouraud, kZWrite>(zp + i, cp + i, _mm_add_ps(zs, _mm_mul_ps(dz, fiv)), all, c0, step1, step2, step3,
                                     flat4);
        fiv = _mm_add_ps(fiv, _mm_set1_ps(4.0f));
        if (kGouraud) c0 = _mm_add_epi32(c0, step4);
      }
      if (i == n) continue;
      if (n >= 4) {
        // The last four pixels of the span, the first of them already done:
        // they are tested again against what they left, with the same depth
        // and colour, and so come out as they were.
        const int back = 4 - (n - i);
        const __m128i c = _mm_sub_epi32(c0, backs[back]);
        const __m128 at = _mm_sub_ps(fiv, _mm_load_ps(kBackBy[back]));
        WideGroup<kGouraud, kZWrite>(zp + n - 4, cp + n - 4, _mm_add_ps(zs, _mm_mul_ps(dz, at)), all, c, step1, step2,
                                     step3, flat4);
        continue;
      }
      if (xl + 4 <= pitch) {
        // A span of fewer than four, four wide when the row has room for it.
        WideGroup<kGouraud, kZWrite>(zp, cp, _mm_add_ps(zs, _mm_mul_ps(dz, fiv)),
                                     _mm_load_ps(reinterpret_cast<const float*>(kFirstLanes[n])), c0, step1, step2,
                                     step3, flat4);
        continue;
      }
      // At the end of a row with no room for a whole group: one at a time.
      int32_t cb = _mm_cvtsi128_si32(c0), cg = _mm_cvtsi128_si32(_mm_shuffle_epi32(c0, 0x55)),
              cr = _mm_cvtsi128_si32(_mm_shuffle_epi32(c0, 0xAA));
      const int32_t sb = _mm_cvtsi128_si32(step1), sg = _mm_cvtsi128_si32(_mm_shuffle_epi32(step1, 0x55)),
                    sr = _mm_cvtsi128_si32(_mm_shuffle_epi32(step1, 0xAA));
      float fi = static_cast<float>(i);
      for (; i < n; ++i, fi += 1.0f) {
        const float z = zStart + dzdx * fi;
        if (z <= zp[i]) {
          if (kZWrite) zp[i] = z;
          cp[i] = kGouraud ? 0xFF000000u | (static_cast<uint32_t>(std::clamp(cr >> 16, 0, 255)) << 16) |
                                 (static_cast<uint32_t>(std::clamp(cg >> 16, 0, 255)) << 8) |
                                 static_cast<uint32_t>(std::clamp(cb >> 16, 0, 255))
                           : static_cast<uint32_t>(_mm_cvtsi128_si32(flat4));
        }
        cb += sb, cg += sg, cr += sr;
      }
    }
    // Where the walk stands now, for an edge that goes on below.
    const __m128i back = _mm_shuffle_epi32(walk, _MM_SHUFFLE(3, 1, 2, 0));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(left), back);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(right), _mm_unpackhi_epi64(back, back));
  }
}
#endif

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
  guardL_ = gl, guardR_ = gr, guardT_ = gt, guardB_ = gb;
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

// Project for four vertices in a row. Vertices behind the camera are rare and
// take the one-at-a-time way with their neighbours.
void Context::ProjectFour(Vertex* v) const {
#if defined(__SSE2__)
  __m128 c[4] = {_mm_load_ps(&v[0].x), _mm_load_ps(&v[1].x), _mm_load_ps(&v[2].x), _mm_load_ps(&v[3].x)};
  __m128 k[4] = {_mm_load_ps(&v[0].r), _mm_load_ps(&v[1].r), _mm_load_ps(&v[2].r), _mm_load_ps(&v[3].r)};
  _MM_TRANSPOSE4_PS(c[0], c[1], c[2], c[3]);
  _MM_TRANSPOSE4_PS(k[0], k[1], k[2], k[3]);
  StoreFour(v, c[0], c[1], c[2], c[3], k[0], k[1], k[2]);
#else
  for (int j = 0; j < 4; ++j) Project(v[j]);
#endif
}

#if defined(__SSE2__)
// Each vertex is written as four blocks of four lanes: clip coordinates,
// colour and depth, screen position, clip bits.
void Context::StoreFour(Vertex* v, __m128 x, __m128 y, __m128 z, __m128 w, __m128 r, __m128 g, __m128 b) const {
  const __m128 front = _mm_and_ps(_mm_cmpgt_ps(w, _mm_set1_ps(kMinW)), _mm_cmpge_ps(z, _mm_setzero_ps()));
  if (_mm_movemask_ps(front) != 0xF) {
    __m128 c0 = x, c1 = y, c2 = z, c3 = w, k0 = r, k1 = g, k2 = b, k3 = _mm_setzero_ps();
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
    _MM_TRANSPOSE4_PS(k0, k1, k2, k3);
    const __m128 c[4] = {c0, c1, c2, c3}, k[4] = {k0, k1, k2, k3};
    for (int j = 0; j < 4; ++j) {
      _mm_store_ps(&v[j].x, c[j]);
      _mm_store_ps(&v[j].r, k[j]);
      Project(v[j]);
    }
    return;
  }
  const __m128 rw = _mm_div_ps(_mm_set1_ps(1.0f), w);
  const __m128 sx = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(x, rw), _mm_set1_ps(kx_)), _mm_set1_ps(bx_));
  const __m128 sy = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(y, rw), _mm_set1_ps(ky_)), _mm_set1_ps(by_));
  const __m128 sz = _mm_mul_ps(z, rw);
  auto bit = [](__m128 mask, int value) { return _mm_and_si128(_mm_castps_si128(mask), _mm_set1_epi32(value)); };
  const __m128i out = _mm_or_si128(
      _mm_or_si128(bit(_mm_cmplt_ps(sx, _mm_set1_ps(guardL_)), 4), bit(_mm_cmpgt_ps(sx, _mm_set1_ps(guardR_)), 8)),
      _mm_or_si128(bit(_mm_cmplt_ps(sy, _mm_set1_ps(guardT_)), 16), bit(_mm_cmpgt_ps(sy, _mm_set1_ps(guardB_)), 32)));
  const __m128 inZ = _mm_and_ps(_mm_cmpge_ps(sz, _mm_setzero_ps()), _mm_cmple_ps(sz, _mm_set1_ps(1.0f)));
  const __m128i outZ = _mm_andnot_si128(_mm_castps_si128(inZ), _mm_set1_epi32(1));
  // Snapped as Snap does: halves away from zero, then cut towards zero.
  auto snap = [](__m128 s) {
    const __m128 s16 = _mm_mul_ps(s, _mm_set1_ps(static_cast<float>(kSub)));
    const __m128 half =
        _mm_or_ps(_mm_set1_ps(0.5f), _mm_andnot_ps(_mm_cmpge_ps(s16, _mm_setzero_ps()), _mm_set1_ps(-0.0f)));
    return _mm_castsi128_ps(_mm_cvttps_epi32(_mm_add_ps(s16, half)));
  };
  __m128 c0 = x, c1 = y, c2 = z, c3 = w;
  __m128 k0 = r, k1 = g, k2 = b, k3 = sz;
  __m128 p0 = sx, p1 = sy, p2 = snap(sx), p3 = snap(sy);
  __m128 o0 = _mm_castsi128_ps(out), o1 = _mm_castsi128_ps(outZ), o2 = _mm_setzero_ps(), o3 = _mm_setzero_ps();
  _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
  _MM_TRANSPOSE4_PS(k0, k1, k2, k3);
  _MM_TRANSPOSE4_PS(p0, p1, p2, p3);
  _MM_TRANSPOSE4_PS(o0, o1, o2, o3);
  const __m128 c[4] = {c0, c1, c2, c3}, k[4] = {k0, k1, k2, k3}, p[4] = {p0, p1, p2, p3}, o[4] = {o0, o1, o2, o3};
  static_assert(offsetof(Vertex, r) == 16 && offsetof(Vertex, sx) == 32 && offsetof(Vertex, out) == 48,
                "four blocks of four lanes");
  for (int j = 0; j < 4; ++j) {
    float* f = &v[j].x;
    _mm_store_ps(f, c[j]);
    _mm_store_ps(f + 4, k[j]);
    _mm_store_ps(f + 8, p[j]);
    _mm_store_ps(f + 12, o[j]);
  }
}
#endif

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
  v.X = Snap(v.sx), v.Y = Snap(v.sy);
  v.outZ = !(v.sz >= 0.0f && v.sz <= 1.0f);
  return v;
}

// ---- functions: points and lines ----------------------------------------------

// One pixel at the nearest pixel centre, depth-tested.
void Context::Point(const Vertex& a) const {
  if (a.out != 0 || !(a.sz >= 0.0f && a.sz <= 1.0f)) return;
  const float fx = Floor(a.sx + 0.5f), fy = Floor(a.sy + 0.5f);
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
  const float start = Floor((xMajor ? a.sx : a.sy) + 0.5f);
  const float end = Floor((xMajor ? b.sx : b.sy) + 0.5f);
  const float span = xMajor ? dx : dy;
  const int steps = static_cast<int>(std::fabs(end - start));
  if (steps == 0) return;
  const float dir = end >= start ? 1.0f : -1.0f;
  const float invSpan = 1.0f / span;
  int i = 0;
#if defined(__SSE2__)
  // Four pixels at a time, with the operations of one at a time below; the
  // pixels are then tested against the depths and written one by one.
  {
    const __m128 vStart = _mm_set1_ps(start), vDir = _mm_set1_ps(dir), vInv = _mm_set1_ps(invSpan);
    const __m128 from = _mm_set1_ps(xMajor ? a.sx : a.sy), across = _mm_set1_ps(xMajor ? a.sy : a.sx);
    const __m128 slope = _mm_set1_ps(xMajor ? dy : dx);
    const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f), half = _mm_set1_ps(0.5f);
    const __m128 az = _mm_set1_ps(a.sz), dz = _mm_set1_ps(b.sz - a.sz);
    const __m128 ar = _mm_set1_ps(a.r), dr = _mm_set1_ps(b.r - a.r);
    const __m128 ag = _mm_set1_ps(a.g), dg = _mm_set1_ps(b.g - a.g);
    const __m128 ab = _mm_set1_ps(a.b), db = _mm_set1_ps(b.b - a.b);
    const __m128 cl = _mm_set1_ps(static_cast<float>(clipL)), cr = _mm_set1_ps(static_cast<float>(clipR));
    const __m128 ct = _mm_set1_ps(static_cast<float>(clipT)), cb = _mm_set1_ps(static_cast<float>(clipB));
    auto floor4 = [one](__m128 v) {
      const __m128 t = _mm_cvtepi32_ps(_mm_cvttps_epi32(v));
      return _mm_sub_ps(t, _mm_and_ps(_mm_cmpgt_ps(t, v), one));
    };
    const __m128i flat4 = _mm_set1_epi32(static_cast<int32_t>(Pack(flat.r, flat.g, flat.b)));
    __m128 fi = _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f);
    for (; i + 4 <= steps; i += 4, fi = _mm_add_ps(fi, _mm_set1_ps(4.0f))) {
      const __m128 major = _mm_add_ps(vStart, _mm_mul_ps(vDir, fi));
      // As std::clamp: a depth of -0 stays -0.
      const __m128 t = _mm_min_ps(one, _mm_max_ps(zero, _mm_mul_ps(_mm_sub_ps(major, from), vInv)));
      const __m128 minor = floor4(_mm_add_ps(_mm_add_ps(across, _mm_mul_ps(slope, t)), half));
      const __m128 px = xMajor ? major : minor, py = xMajor ? minor : major;
      const __m128 z = _mm_add_ps(az, _mm_mul_ps(dz, t));
      const __m128 ok = _mm_and_ps(
          _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(px, cl), _mm_cmplt_ps(px, cr)),
                     _mm_and_ps(_mm_cmpge_ps(py, ct), _mm_cmplt_ps(py, cb))),
          _mm_and_ps(_mm_cmpge_ps(z, zero), _mm_cmple_ps(z, one)));
      const int okMask = _mm_movemask_ps(ok);
      if (okMask == 0) continue;
      // As Channel does: half added, then cut towards zero.
      auto channel = [half](__m128 base, __m128 delta, __m128 at) {
        return _mm_cvttps_epi32(_mm_add_ps(_mm_add_ps(base, _mm_mul_ps(delta, at)), half));
      };
      const __m128i c = bGouraud ? PackInts(channel(ar, dr, t), channel(ag, dg, t), channel(ab, db, t)) : flat4;
      alignas(16) int32_t ix[4], iy[4];
      alignas(16) float iz[4];
      alignas(16) uint32_t ic[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(ix), _mm_cvttps_epi32(px));
      _mm_store_si128(reinterpret_cast<__m128i*>(iy), _mm_cvttps_epi32(py));
      _mm_store_ps(iz, z);
      _mm_store_si128(reinterpret_cast<__m128i*>(ic), c);
      for (int k = 0; k < 4; ++k) {
        if (((okMask >> k) & 1) == 0) continue;
        const size_t idx = static_cast<size_t>(iy[k]) * static_cast<size_t>(pitch) + static_cast<size_t>(ix[k]);
        if (bZTest) {
          if (!(iz[k] <= depth[idx])) continue;
          if (bZWrite) depth[idx] = iz[k];
        }
        color[idx] = ic[k];
        if (counts) ++counts[idx];
      }
    }
  }
#endif
  for (; i < steps; ++i) {
    const float major = start + dir * static_cast<float>(i);
    const float t = std::clamp((major - (xMajor ? a.sx : a.sy)) * invSpan, 0.0f, 1.0f);
    const float minor = Floor((xMajor ? a.sy + dy * t : a.sx + dx * t) + 0.5f);
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

// Culls and orders a snapped screen triangle, then fills it. Inside
// Triangle, the way of nearly every triangle, rather than a call of its own.
[[gnu::always_inline]] inline void Context::RasterTriangle(const Vertex& a, const Vertex& b, const Vertex& c,
                                                          const Vertex& flat) const {
  const Vertex* v[3] = {&a, &b, &c};
  int64_t area = (int64_t{b.X} - a.X) * (int64_t{c.Y} - a.Y) - (int64_t{c.X} - a.X) * (int64_t{b.Y} - a.Y);
  if (area == 0) return;
  // Screen y grows downwards, so a positive area runs clockwise on the screen.
  if (cull == D3DCULL_CCW && area < 0) return;
  if (cull == D3DCULL_CW && area > 0) return;
  if (area < 0) {
    std::swap(v[1], v[2]);
    area = -area;
  }
  const bool farInside = (a.outZ | b.outZ | c.outZ) == 0;
  const bool z = bZTest && depth != nullptr;
  const bool checked = counts != nullptr || !farInside;
#if defined(__SSE2__)
  if (z && !checked) {
    if (bGouraud)
      bZWrite ? Fill<true, true>(v, area, flat) : Fill<true, false>(v, area, flat);
    else
      bZWrite ? Fill<false, true>(v, area, flat) : Fill<false, false>(v, area, flat);
    return;
  }
#endif
  if (record != nullptr) record->bComplete = false;
  AnySpans(v, area, flat, farInside);
}

// Clips a triangle where it leaves the clip volume and draws what is left.
void Context::Triangle(const Vertex& a, const Vertex& b, const Vertex& c) const {
  if ((a.out | b.out | c.out) != 0) {
    ClipTriangle(a, b, c);
    return;
  }
  // Clearly turned away: no need to look further.
  if (cull != D3DCULL_NONE) {
    const float area = (b.sx - a.sx) * (c.sy - a.sy) - (c.sx - a.sx) * (b.sy - a.sy);
    if ((cull == D3DCULL_CCW && area < -0.01f) || (cull == D3DCULL_CW && area > 0.01f)) return;
  }
  RasterTriangle(a, b, c, a);
}

// The part of a triangle inside the clip volume, drawn as a fan. Out of the
// way of the common case, which needs none of its buffers.
[[gnu::noinline]] void Context::ClipTriangle(const Vertex& a, const Vertex& b, const Vertex& c) const {
  const uint32_t any = a.out | b.out | c.out;
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

// The span by span fill for every other case: no depth test, pixels counted,
// or depths to be kept inside 0 to 1.
[[gnu::noinline]] void Context::AnySpans(const Vertex* const* v, int64_t area, const Vertex& flat,
                                         bool farInside) const {
  const bool z = bZTest && depth != nullptr;
  const bool checked = counts != nullptr || !farInside;
  const int64_t X[3] = {v[0]->X, v[1]->X, v[2]->X}, Y[3] = {v[0]->Y, v[1]->Y, v[2]->Y};
  if (z) {
    if (bGouraud)
      checked ? Spans<true, true, true>(v, X, Y, area, flat, farInside)
              : Spans<true, true, false>(v, X, Y, area, flat, farInside);
    else
      checked ? Spans<true, false, true>(v, X, Y, area, flat, farInside)
              : Spans<true, false, false>(v, X, Y, area, flat, farInside);
  } else {
    if (bGouraud)
      checked ? Spans<false, true, true>(v, X, Y, area, flat, farInside)
              : Spans<false, true, false>(v, X, Y, area, flat, farInside);
    else
      checked ? Spans<false, false, true>(v, X, Y, area, flat, farInside)
              : Spans<false, false, false>(v, X, Y, area, flat, farInside);
  }
}

#if defined(__SSE2__)
namespace {

// Which fill draws a prepared triangle.
enum FillKind : uint8_t { kPairs, kNarrow1, kNarrow2, kWide };

}  // namespace

// The depth-tested fill of a triangle inside the depth range: narrow ones
// pixel by pixel across their box, the others span by span.
template <bool kGouraud, bool kZWrite>
void Context::Fill(const Vertex* const* v, int64_t area, const Vertex& flat) const {
  FillSetup s;
  FillWalks w;
  if (!Prepare<kGouraud>(v, area, flat, s, w)) return;
  if (record != nullptr) {
    const bool wide = s.kind == kWide;
    if (record->setups.size() < record->setups.capacity() &&
        (!wide || record->walks.size() < record->walks.capacity())) {
      record->setups.push_back(s);
      if (wide) record->walks.push_back(w);
    } else {
      record->bComplete = false;
    }
  }
  Run<kGouraud, kZWrite>(s, &w);
}

// Sets a triangle up for the depth-tested fill: its gradients, its box, the
// fill that suits it and, for a wide one, its edges' walks. False when it
// covers no pixel centre of the clip rectangle.
template <bool kGouraud>
bool Context::Prepare(const Vertex* const* v, int64_t area, const Vertex& flat, FillSetup& s, FillWalks& w) const {
  const int64_t X[3] = {v[0]->X, v[1]->X, v[2]->X}, Y[3] = {v[0]->Y, v[1]->Y, v[2]->Y};
  const int64_t minY = Min3(Y[0], Y[1], Y[2]), maxY = Max3(Y[0], Y[1], Y[2]);
  const int64_t minX = Min3(X[0], X[1], X[2]), maxX = Max3(X[0], X[1], X[2]);
  // Whole pixels: floor by an arithmetic shift, ceiling by one after adding kSub - 1.
  int y0 = static_cast<int>(std::max<int64_t>((minY + kSub - 1) >> 4, clipT));
  int y1 = static_cast<int>(std::min<int64_t>(maxY >> 4, clipB - 1));
  const int64_t xMin = std::max<int64_t>((minX + kSub - 1) >> 4, clipL);
  const int64_t xMax = std::min<int64_t>(maxX >> 4, clipR - 1);
  // No pixel centre in the box, or the box off the clip rectangle: nothing to set up.
  if (y0 > y1 || xMin > xMax) return false;

  // Attribute gradients over the snapped triangle: differences in float,
  // the rest in double, lanes r, g, b and depth.
  const double fx1 = static_cast<double>(X[1] - X[0]) / kSub, fy1 = static_cast<double>(Y[1] - Y[0]) / kSub;
  const double fx2 = static_cast<double>(X[2] - X[0]) / kSub, fy2 = static_cast<double>(Y[2] - Y[0]) / kSub;
  const double invDet = static_cast<double>(kSub * kSub) / static_cast<double>(area);
  if (kGouraud) {
    __m128 gx, gy;
    LaneGradients(v, fx1, fy1, fx2, fy2, invDet, &gx, &gy);
    _mm_store_ps(s.gx, gx), _mm_store_ps(s.gy, gy), _mm_store_ps(s.at0, _mm_load_ps(&v[0]->r));
    s.flat = 0;
  } else {
    const float a1 = v[1]->sz - v[0]->sz, a2 = v[2]->sz - v[0]->sz;
    const float dzdx = static_cast<float>((a1 * fy2 - a2 * fy1) * invDet);
    const float dzdy = static_cast<float>((a2 * fx1 - a1 * fx2) * invDet);
    _mm_store_ps(s.gx, _mm_setr_ps(0.0f, 0.0f, 0.0f, dzdx));
    _mm_store_ps(s.gy, _mm_setr_ps(0.0f, 0.0f, 0.0f, dzdy));
    _mm_store_ps(s.at0, _mm_setr_ps(0.0f, 0.0f, 0.0f, v[0]->sz));
    s.flat = Pack(flat.r, flat.g, flat.b);
  }
  // Inside the guard band positions fit 32 bits. Stored four at a time, as
  // NarrowEdges reads them: a wide load right after narrow stores of the
  // same bytes would wait for them to reach the cache.
  _mm_storeu_si128(reinterpret_cast<__m128i*>(s.X), _mm_setr_epi32(v[0]->X, v[1]->X, v[2]->X, 0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(s.Y), _mm_setr_epi32(v[0]->Y, v[1]->Y, v[2]->Y, 0));
  s.xMin = static_cast<int32_t>(xMin), s.xMax = static_cast<int32_t>(xMax), s.y0 = y0;

  // Narrow triangles (the bevels and corners of the cubes, half of a frame's
  // rows) cover a pixel or two on each of their rows. For them the pixels of
  // the box are tested against the three edge functions, four at a time:
  // finding where each short span starts and ends costs more than that.
  if (maxX - minX <= kNarrowSide * kSub && maxY - minY <= kNarrowRows * kSub && xMax - xMin < 4 * kNarrowGroups) {
    const int64_t groups = (xMax - xMin) / 4 + 1;
    if (xMin + 4 * groups <= pitch) {
      static_assert(kNarrowGroups == 2, "one and two groups");
      s.y1 = y1, s.yMid = y1 + 1, s.shared = 0;
      s.kind = xMax - xMin <= 1 && xMin + 2 <= pitch ? kPairs : groups == 1 ? kNarrow1 : kNarrow2;
      return true;
    }
  }

  // The edges: a horizontal one only limits the rows (a top edge keeps the
  // row through it, a bottom edge does not); of the others, two lie on one
  // side, meeting at the middle vertex. Above that vertex the upper of the
  // two bounds the rows, below it the lower: the other one's line lies
  // beyond it there, the triangle being convex.
  RowEdge left[2], right[2];
  int nLeft = 0, nRight = 0;
  for (int e = 0; e < 3; ++e) {
    const int i = e, j = (e + 1) % 3;
    const int64_t dx = X[j] - X[i], dy = Y[j] - Y[i];
    if (dy == 0) {
      if (dx < 0) y1 = static_cast<int>(std::min<int64_t>(y1, ((Y[i] + kSub - 1) >> 4) - 1));
      continue;
    }
    RowEdge& E = dy > 0 ? right[nRight++] : left[nLeft++];
    E.k = kSub * (dy > 0 ? dy : -dy);
    E.dx = dx, E.dy = dy, E.x0 = X[i], E.y0 = Y[i];
    E.yTop = std::min(Y[i], Y[j]), E.yBottom = std::max(Y[i], Y[j]);
  }
  if (y0 > y1) return false;
  // Upper and lower edge on each side (the same one on the side with one).
  RowEdge* l0 = &left[0];
  RowEdge* l1 = &left[nLeft - 1];
  RowEdge* r0 = &right[0];
  RowEdge* r1 = &right[nRight - 1];
  if (l1->yTop < l0->yTop) std::swap(l0, l1);
  if (r1->yTop < r0->yTop) std::swap(r0, r1);
  // The first row at or below the middle vertex.
  const int64_t yJoin = nLeft == 2 ? l0->yBottom : nRight == 2 ? r0->yBottom : int64_t{y1 + 1} * kSub;
  const int yMid = static_cast<int>(std::clamp<int64_t>((yJoin + kSub - 1) >> 4, y0, int64_t{y1} + 1));
  l0->Start(y0, w.walk[0]);
  r0->Start(y0, w.walk[1]);
  // A lower edge is started only when it has rows of its own.
  if (yMid <= y1) {
    if (l1 != l0) l1->Start(yMid, w.walk[2]);
    if (r1 != r0) r1->Start(yMid, w.walk[3]);
  }
  s.y1 = y1, s.yMid = yMid;
  s.shared = static_cast<uint8_t>((l1 == l0 ? 1 : 0) | (r1 == r0 ? 2 : 0));
  s.kind = kWide;
  return true;
}

// Draws a prepared triangle (w holds the walks of a wide one) into this
// context's target.
template <bool kGouraud, bool kZWrite>
void Context::Run(const FillSetup& s, const FillWalks* w) const {
  FillTarget t;
  t.color = color, t.depth = depth, t.pitch = pitch;
  t.rgbdx = _mm_load_ps(s.gx), t.rgbdy = _mm_load_ps(s.gy), t.rgb0 = _mm_load_ps(s.at0);
  t.dzdx = s.gx[3], t.dzdy = s.gy[3], t.z00 = s.at0[3];
  t.flat4 = _mm_set1_epi32(static_cast<int32_t>(s.flat));
  const int32_t* const X = s.X;
  const int32_t* const Y = s.Y;
  switch (s.kind) {
    case kPairs:
      NarrowPairs<kGouraud, kZWrite>(t, X, Y, s.xMin, s.xMax, s.y0, s.y1);
      return;
    case kNarrow1:
      NarrowTriangle<kGouraud, kZWrite, 1>(t, X, Y, s.xMin, s.xMax, s.y0, s.y1);
      return;
    case kNarrow2:
      NarrowTriangle<kGouraud, kZWrite, 2>(t, X, Y, s.xMin, s.xMax, s.y0, s.y1);
      return;
    default:
      break;
  }
  // Colours in 16.16, lanes b, g, r as the pixel holds them. Colours at pixel
  // centres inside the triangle stay within 0..255, so a gradient steeper
  // than a few thousand steps per pixel only occurs on slivers whose spans
  // are a single pixel wide. Bounding it keeps four steps of 16.16 fixed
  // point (the four-wide lanes) inside 32 bits.
  __m128 cBase = _mm_setzero_ps(), cdx = _mm_setzero_ps(), cdy = _mm_setzero_ps();
  __m128i step1 = _mm_setzero_si128();
  if (kGouraud) {
    const __m128 fix = _mm_set1_ps(65536.0f);
    const __m128 bgr = _mm_castsi128_ps(_mm_setr_epi32(-1, -1, -1, 0));
    const __m128 gxs = _mm_and_ps(_mm_shuffle_ps(t.rgbdx, t.rgbdx, _MM_SHUFFLE(3, 0, 1, 2)), bgr);
    cBase = _mm_mul_ps(_mm_and_ps(_mm_shuffle_ps(t.rgb0, t.rgb0, _MM_SHUFFLE(3, 0, 1, 2)), bgr), fix);
    cdx = _mm_mul_ps(gxs, fix);
    cdy = _mm_mul_ps(_mm_and_ps(_mm_shuffle_ps(t.rgbdy, t.rgbdy, _MM_SHUFFLE(3, 0, 1, 2)), bgr), fix);
    const __m128 bound = _mm_set1_ps(4096.0f);
    step1 = _mm_cvttps_epi32(_mm_mul_ps(_mm_min_ps(_mm_max_ps(gxs, _mm_sub_ps(_mm_setzero_ps(), bound)), bound), fix));
  }
  // The walks are stepped on a copy; an edge that bounds both parts goes on
  // below from where it left off above.
  FillWalks walks = *w;
  int32_t* const edges[4] = {walks.walk[0], walks.walk[1], walks.walk[(s.shared & 1) ? 0 : 2],
                             walks.walk[(s.shared & 2) ? 1 : 3]};
  WideRows<kGouraud, kZWrite>(t, X[0], Y[0], s.xMin, s.xMax, s.y0, s.yMid, s.y1, edges, cBase, cdx, cdy, step1);
}

// Draws each recorded triangle in turn.
void Context::Replay(const FillRecord& rec) const {
  auto all = [&](auto run) {
    const FillWalks* w = rec.walks.data();
    for (const FillSetup& s : rec.setups) {
      run(s, w);
      if (s.kind == kWide) ++w;
    }
  };
  if (bGouraud && bZWrite)
    all([this](const FillSetup& s, const FillWalks* w) { Run<true, true>(s, w); });
  else if (bGouraud)
    all([this](const FillSetup& s, const FillWalks* w) { Run<true, false>(s, w); });
  else if (bZWrite)
    all([this](const FillSetup& s, const FillWalks* w) { Run<false, true>(s, w); });
  else
    all([this](const FillSetup& s, const FillWalks* w) { Run<false, false>(s, w); });
}
#else
// Without the four-wide fills nothing is recorded, so nothing is replayed.
void Context::Replay(const FillRecord&) const {}
#endif

// Fills the pixels whose centres the clockwise triangle covers: inside all
// three edges, or on a top or left edge.
template <bool kZ, bool kGouraud, bool kChecked>
void Context::Spans(const Vertex* const* v, const int64_t* X, const int64_t* Y, int64_t area, const Vertex& flat,
                    bool) const {
  const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
  const int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
  int y0 = static_cast<int>(std::max<int64_t>(CeilDiv(minY, kSub), clipT));
  int y1 = static_cast<int>(std::min<int64_t>(FloorDiv(maxY, kSub), clipB - 1));
  const int64_t xMin = std::max<int64_t>(CeilDiv(minX, kSub), clipL);
  const int64_t xMax = std::min<int64_t>(FloorDiv(maxX, kSub), clipR - 1);
  // No pixel centre in the box, or the box off the clip rectangle: nothing to set up.
  if (y0 > y1 || xMin > xMax) return;

  // Attribute gradients over the snapped triangle.
  const double fx1 = static_cast<double>(X[1] - X[0]) / kSub, fy1 = static_cast<double>(Y[1] - Y[0]) / kSub;
  const double fx2 = static_cast<double>(X[2] - X[0]) / kSub, fy2 = static_cast<double>(Y[2] - Y[0]) / kSub;
  const double invDet = static_cast<double>(kSub * kSub) / static_cast<double>(area);
  auto gradient = [&](float a0, float a1, float a2, float* ddx, float* ddy, float* at0) {
    const double gx = ((a1 - a0) * fy2 - (a2 - a0) * fy1) * invDet;
    const double gy = ((a2 - a0) * fx1 - (a1 - a0) * fx2) * invDet;
    *ddx = static_cast<float>(gx);
    *ddy = static_cast<float>(gy);
    *at0 = a0;  // value at vertex 0
  };
  float dzdx, dzdy, z00;
  float grad[3][3] = {};  // per channel: d/dx, d/dy, value at vertex 0
#if defined(__SSE2__)
  if (kGouraud) {
    // The four gradients two at a time, with the very operations of the
    // lambda: differences in float, the rest in double.
    __m128 gxLanes, gyLanes;
    LaneGradients(v, fx1, fy1, fx2, fy2, invDet, &gxLanes, &gyLanes);
    alignas(16) float gx[4], gy[4];
    _mm_store_ps(gx, gxLanes);
    _mm_store_ps(gy, gyLanes);
    for (int ch = 0; ch < 3; ++ch) grad[ch][0] = gx[ch], grad[ch][1] = gy[ch];
    grad[0][2] = v[0]->r, grad[1][2] = v[0]->g, grad[2][2] = v[0]->b;
    dzdx = gx[3], dzdy = gy[3], z00 = v[0]->sz;
  } else {
    gradient(v[0]->sz, v[1]->sz, v[2]->sz, &dzdx, &dzdy, &z00);
  }
#else
  gradient(v[0]->sz, v[1]->sz, v[2]->sz, &dzdx, &dzdy, &z00);
  if (kGouraud) {
    gradient(v[0]->r, v[1]->r, v[2]->r, &grad[0][0], &grad[0][1], &grad[0][2]);
    gradient(v[0]->g, v[1]->g, v[2]->g, &grad[1][0], &grad[1][1], &grad[1][2]);
    gradient(v[0]->b, v[1]->b, v[2]->b, &grad[2][0], &grad[2][1], &grad[2][2]);
  }
#endif
  const uint32_t flatColor = Pack(flat.r, flat.g, flat.b);
  // Colours at pixel centres inside the triangle stay within 0..255, so a
  // gradient steeper than a few thousand steps per pixel only occurs on
  // slivers whose spans are a single pixel wide. Bounding it keeps four
  // steps of 16.16 fixed point (the four-wide lanes) inside 32 bits.
  alignas(16) int32_t cstep[4] = {};
#if defined(__SSE2__)
  if (kGouraud) {
    const __m128 bound = _mm_set1_ps(4096.0f);
    const __m128 gx = _mm_setr_ps(grad[0][0], grad[1][0], grad[2][0], 0.0f);
    _mm_store_si128(reinterpret_cast<__m128i*>(cstep),
                    _mm_cvttps_epi32(_mm_mul_ps(_mm_min_ps(_mm_max_ps(gx, _mm_sub_ps(_mm_setzero_ps(), bound)), bound),
                                                _mm_set1_ps(65536.0f))));
  }
#else
  for (int ch = 0; ch < 3; ++ch)
    cstep[ch] = static_cast<int32_t>(std::clamp(grad[ch][0], -4096.0f, 4096.0f) * 65536.0f);
#endif
#if defined(__SSE2__)
  // Colours are kept one pixel to a vector, in the pixel's own byte order
  // (b, g, r, a), so that packing four of them gives the four pixels.
  // Scaled to 16.16 up front: a power of two, so every sum rounds the same.
  const __m128 fix = _mm_set1_ps(65536.0f);
  const __m128 cBase = _mm_mul_ps(_mm_setr_ps(grad[2][2], grad[1][2], grad[0][2], 0.0f), fix);
  const __m128 cdx = _mm_mul_ps(_mm_setr_ps(grad[2][0], grad[1][0], grad[0][0], 0.0f), fix);
  const __m128 cdy = _mm_mul_ps(_mm_setr_ps(grad[2][1], grad[1][1], grad[0][1], 0.0f), fix);
#endif

  // Edge e runs from vertex e to vertex e + 1. On a row, a pixel at x is
  // inside when K * x <= r (dy > 0: a right bound, K = kSub * dy) or
  // K * x >= -r (dy < 0: a left bound, K = kSub * -dy); r grows by kSub * dx
  // per row, and floor(r / K) is kept as quotient and remainder, stepped
  // exactly. A horizontal edge only limits the rows: a top edge keeps the
  // row through it, a bottom edge does not.
  struct Edge {
    int64_t k, q, rem, dq, drem;
  } left[2], right[2];
  int nLeft = 0, nRight = 0;
  for (int e = 0; e < 3; ++e) {
    const int i = e, j = (e + 1) % 3;
    const int64_t dx = X[j] - X[i], dy = Y[j] - Y[i];
    if (dy == 0) {
      if (dx < 0) y1 = std::min<int64_t>(y1, CeilDiv(Y[i], kSub) - 1);
      continue;
    }
    const bool topLeft = dy < 0;
    const int64_t r = (static_cast<int64_t>(y0) * kSub - Y[i]) * dx + X[i] * dy + (topLeft ? 0 : -1);
    Edge& E = dy > 0 ? right[nRight++] : left[nLeft++];
    E.k = kSub * (dy > 0 ? dy : -dy);
    const double invK = 1.0 / static_cast<double>(E.k);
    E.q = FloorDivBy(r, E.k, invK);
    E.rem = r - E.q * E.k;
    E.dq = FloorDivBy(kSub * dx, E.k, invK);
    E.drem = kSub * dx - E.dq * E.k;
  }
  if (y0 > y1 || xMin > xMax) return;
  const bool twoLeft = nLeft == 2, twoRight = nRight == 2;
  auto step = [](Edge& E) {
    E.q += E.dq;
    E.rem += E.drem;
    const int64_t carry = E.rem >= E.k;
    E.rem -= carry * E.k;
    E.q += carry;
  };

  for (int y = y0; y <= y1; ++y) {
    int64_t xl = std::max(xMin, -left[0].q);
    int64_t xr = std::min(xMax, right[0].q);
    step(left[0]), step(right[0]);
    if (twoLeft) xl = std::max(xl, -left[1].q), step(left[1]);
    if (twoRight) xr = std::min(xr, right[1].q), step(right[1]);
    if (xl > xr) continue;

    // Offsets from vertex 0 stay small, so the sums keep their precision.
    // Both are whole sixteenths below 2^24 of them, so float holds them exactly.
    const float fx = static_cast<float>(xl * kSub - X[0]) * (1.0f / kSub);
    const float fy = static_cast<float>(static_cast<int64_t>(y) * kSub - Y[0]) * (1.0f / kSub);
    const float zStart = z00 + dzdx * fx + dzdy * fy;
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(pitch);
    uint32_t* cp = color + row + xl;
    float* zp = kZ ? depth + row + xl : nullptr;
    const int n = static_cast<int>(xr - xl + 1);
    // Pixel centres lie inside the snapped triangle, so the colours there lie
    // between the vertex colours; the clamp only absorbs rounding.
    int32_t cc[3] = {};
    const int32_t* sc = cstep;
    int i = 0;
#if defined(__SSE2__)
    __m128i start = _mm_setzero_si128();  // 16.16 colour (b, g, r, -) at xl
    if (kGouraud) {
      const __m128 first = _mm_min_ps(
          _mm_max_ps(_mm_add_ps(cBase, _mm_add_ps(_mm_mul_ps(cdx, _mm_set1_ps(fx)), _mm_mul_ps(cdy, _mm_set1_ps(fy)))),
                     _mm_setzero_ps()),
          _mm_set1_ps(255.0f * 65536.0f));
      start = _mm_add_epi32(_mm_cvttps_epi32(first), _mm_set1_epi32(32768));
    }
    if (kGouraud) {
      cc[0] = _mm_cvtsi128_si32(_mm_shuffle_epi32(start, 0xAA));
      cc[1] = _mm_cvtsi128_si32(_mm_shuffle_epi32(start, 0x55));
      cc[2] = _mm_cvtsi128_si32(start);
    }
#else
    if (kGouraud) {
      for (int ch = 0; ch < 3; ++ch) {
        const float first = std::clamp(grad[ch][2] + grad[ch][0] * fx + grad[ch][1] * fy, 0.0f, 255.0f);
        cc[ch] = static_cast<int32_t>(first * 65536.0f) + 32768;
      }
    }
#endif
    float fi = static_cast<float>(i);
    for (; i < n; ++i, fi += 1.0f) {
      if (kZ || kChecked) {
        const float z = zStart + dzdx * fi;
        bool pass = true;
        if (kChecked) pass = z >= 0.0f && z <= 1.0f;
        if (kZ) pass = pass && z <= zp[i];
        if (!pass) {
          if (kGouraud) cc[0] += sc[0], cc[1] += sc[1], cc[2] += sc[2];
          continue;
        }
        if (kZ && bZWrite) zp[i] = z;
      }
      uint32_t c = flatColor;
      if (kGouraud) {
        c = 0xFF000000u | (static_cast<uint32_t>(std::clamp(cc[0] >> 16, 0, 255)) << 16) |
            (static_cast<uint32_t>(std::clamp(cc[1] >> 16, 0, 255)) << 8) |
            static_cast<uint32_t>(std::clamp(cc[2] >> 16, 0, 255));
        cc[0] += sc[0], cc[1] += sc[1], cc[2] += sc[2];
      }
      cp[i] = c;
      if (kChecked && counts) ++counts[row + static_cast<size_t>(xl) + static_cast<size_t>(i)];
    }
  }
}

}  // namespace raster

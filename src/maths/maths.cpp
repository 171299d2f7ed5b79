// The sine table and the matrix helpers. Points are row vectors, p' = p x M,
// so a translation sits in the fourth row and a x b applies a first.

#include "maths/maths.h"

#include <cmath>
#include <cstring>

static_assert(sizeof(D3DMATRIX) == 16 * sizeof(float), "a matrix is 16 floats, row by row");

// ---- globals --------------------------------------------------------------

float g_SinTable[1280];

// One step of the table: a full turn of 6.283185308 radians over 1024.
static const double gc_dSinStep = 0.00613592315234375;

// ---- functions ------------------------------------------------------------

// Advances the angle before each entry, by addition rather than by
// multiplication, so the table holds exactly the values it always has.
void InitSinTable(void) {
  double dAngle = 0.0;
  for (int i = 0; i < 1280; ++i) {
    dAngle += gc_dSinStep;
    g_SinTable[i] = (float)std::sin(dAngle);
  }
}

// Works on copies, so the destination may be one of the factors.
void MatrixMultiply(D3DMATRIX* lpDest, const D3DMATRIX* lpA, const D3DMATRIX* lpB) {
  float a[4][4], b[4][4], r[4][4];
  std::memcpy(a, lpA, sizeof(a));
  std::memcpy(b, lpB, sizeof(b));
  for (int p = 0; p < 4; ++p)
    for (int q = 0; q < 4; ++q)
      r[p][q] = a[p][0] * b[0][q] + a[p][1] * b[1][q] + a[p][2] * b[2][q] + a[p][3] * b[3][q];
  std::memcpy(lpDest, r, sizeof(r));
}

// The identity with the translation in the fourth row.
D3DMATRIX* TranslateMatrix(D3DMATRIX* lpDest, const D3DVECTOR* lpV) {
  std::memset(lpDest, 0, sizeof(*lpDest));
  lpDest->_11 = lpDest->_22 = lpDest->_33 = lpDest->_44 = 1.0f;
  lpDest->_41 = lpV->x;
  lpDest->_42 = lpV->y;
  lpDest->_43 = lpV->z;
  return lpDest;
}

// Turns from the +x axis towards the +y axis.
D3DMATRIX* RotateZMatrix(D3DMATRIX* lpDest, int k) {
  float s = g_SinTable[k];
  float c = g_SinTable[k + 256];
  std::memset(lpDest, 0, sizeof(*lpDest));
  lpDest->_11 = c;
  lpDest->_12 = s;
  lpDest->_21 = -s;
  lpDest->_22 = c;
  lpDest->_33 = 1.0f;
  lpDest->_44 = 1.0f;
  return lpDest;
}

// A perspective projection whose w is the view depth times the sine of the
// half angle.
D3DMATRIX* ProjectionMatrix(D3DMATRIX* lpDest, float fNear, float fFar, int k) {
  float s = g_SinTable[k];
  float c = g_SinTable[k + 256];
  float Q = s / (1.0f - fNear / fFar);
  std::memset(lpDest, 0, sizeof(*lpDest));
  lpDest->_11 = c;
  lpDest->_22 = c;
  lpDest->_33 = Q;
  lpDest->_34 = s;
  lpDest->_43 = -Q * fNear;
  return lpDest;
}

// The view matrix is only ever a translation, so the point's view position is
// a sum; it is divided by the view depth, not by the projected w.
void ProjectToScreen(float* lpfX, float* lpfY) {
  const D3DMATRIX& v = g_matView;
  const D3DMATRIX& p = g_matProjection;
  float x = *lpfX + v._41;
  float y = *lpfY + v._42;
  float z = v._43;
  float X = (p._11 * x + p._21 * y + p._31 * z + p._41) / z;
  float Y = (p._12 * x + p._22 * y + p._32 * z + p._42) / z;
  *lpfX = (float)(g_nBackBufferW / 2) * X;
  *lpfY = -Y * (float)(g_nBackBufferH / 2) / g_fAspect;
}

// The sine table and the matrix helpers, checked against worked values.

#include <gtest/gtest.h>

#include <cstring>

#include "maths/maths.h"

class Maths : public ::testing::Test {
 protected:
  void SetUp() override { InitSinTable(); }
};

// Matrices compared element by element.
static void ExpectMatrixNear(const D3DMATRIX& got, const float (&want)[16], float tolerance) {
  const float* g = &got._11;
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(g[i], want[i], tolerance) << "element _" << (i / 4 + 1) << (i % 4 + 1);
}

TEST_F(Maths, SineTableHoldsTheSineOneStepAhead) {
  EXPECT_FLOAT_EQ(g_SinTable[0], 0.0061358847f);
  EXPECT_EQ(g_SinTable[255], 1.0f);
  EXPECT_EQ(g_SinTable[1279], 1.0f);
  EXPECT_NEAR(g_SinTable[767], -1.0f, 1e-6f);
  // Half and full turn are not exactly 0; the summed angle gives these values
  // (a multiplied angle would give -4.1020687e-10 and 8.2041374e-10).
  EXPECT_FLOAT_EQ(g_SinTable[511], -4.1022641e-10f);
  EXPECT_FLOAT_EQ(g_SinTable[1023], 8.2034624e-10f);
}

TEST_F(Maths, RotationsTurnFromXTowardsYByIndexPlusOneSteps) {
  D3DMATRIX m;
  EXPECT_EQ(RotateZMatrix(&m, 0), &m);
  ExpectMatrixNear(m, {g_SinTable[256], 0.0061358847f, 0, 0, -0.0061358847f, g_SinTable[256], 0, 0,
                       0, 0, 1, 0, 0, 0, 0, 1},
                   1e-9f);
  EXPECT_NE(m._11, 1.0f) << "index 0 already turns by one step";
  RotateZMatrix(&m, 255);
  EXPECT_EQ(m._12, 1.0f);
  EXPECT_EQ(m._21, -1.0f);
  EXPECT_EQ(m._11, g_SinTable[511]);
  EXPECT_NE(m._11, 0.0f);
  // (1, 0, 0) becomes (c, s): a quarter turn lands on +y.
  D3DMATRIX p, r;
  D3DVECTOR v = {1.0f, 0.0f, 0.0f};
  MatrixMultiply(&r, TranslateMatrix(&p, &v), &m);
  EXPECT_NEAR(r._41, 0.0f, 1e-6f);
  EXPECT_EQ(r._42, 1.0f);
}

TEST_F(Maths, ProjectionOfTheGraphicsStartUp) {
  D3DMATRIX m;
  EXPECT_EQ(ProjectionMatrix(&m, 1.0f, 200.0f, 170), &m);
  const float s = 0.86704624f, c = 0.49822766f, Q = 0.87140325f;
  ExpectMatrixNear(m, {c, 0, 0, 0, 0, c, 0, 0, 0, 0, Q, s, 0, 0, -Q, 0}, 1e-7f);
  EXPECT_EQ(m._44, 0.0f);
}

TEST_F(Maths, ProductsAppliesTheFirstFactorFirstAndMayOverwriteAFactor) {
  D3DMATRIX a, b, expected;
  float* pa = &a._11;
  for (int i = 0; i < 16; ++i) pa[i] = (float)(i + 1);
  std::memcpy(&b, &a, sizeof(b));
  // The square of the rows 1..16.
  const float square[16] = {90, 100, 110, 120, 202, 228, 254, 280,
                            314, 356, 398, 440, 426, 484, 542, 600};
  MatrixMultiply(&a, &a, &a);
  ExpectMatrixNear(a, square, 0.0f);

  // Turn then move, against the same with the destination as either factor.
  D3DMATRIX turn, move;
  D3DVECTOR v = {2.0f, -3.0f, 4.0f};
  RotateZMatrix(&turn, 100);
  TranslateMatrix(&move, &v);
  MatrixMultiply(&expected, &turn, &move);
  EXPECT_EQ(expected._41, 2.0f);  // the move is not turned when it comes second
  EXPECT_EQ(expected._42, -3.0f);
  EXPECT_EQ(expected._43, 4.0f);
  a = turn;
  MatrixMultiply(&a, &a, &move);
  EXPECT_EQ(std::memcmp(&a, &expected, sizeof(a)), 0);
  b = move;
  MatrixMultiply(&b, &turn, &b);
  EXPECT_EQ(std::memcmp(&b, &expected, sizeof(b)), 0);
  // Move then turn: the move itself is turned.
  MatrixMultiply(&a, &move, &turn);
  EXPECT_FLOAT_EQ(a._41, 2.0f * turn._11 - 3.0f * turn._21);
  EXPECT_FLOAT_EQ(a._42, 2.0f * turn._12 - 3.0f * turn._22);
}

TEST_F(Maths, ProjectToScreenDividesByTheViewDepth) {
  D3DVECTOR eye = {0.0f, -10.0f, 6.53f};
  TranslateMatrix(&g_matView, &eye);
  ProjectionMatrix(&g_matProjection, 1.0f, 200.0f, 170);
  g_nBackBufferW = 400;
  g_nBackBufferH = 400;
  g_fAspect = 1.0f;
  float x = -7.5f, y = 17.5f;
  ProjectToScreen(&x, &y);
  EXPECT_NEAR(x, -114.447f, 1e-3f);
  EXPECT_NEAR(y, -114.447f, 1e-3f);
  x = 7.5f, y = 7.5f;
  ProjectToScreen(&x, &y);
  EXPECT_NEAR(x, 114.447f, 1e-3f);
  EXPECT_NEAR(y, 38.149f, 1e-3f);
  x = 0.0f, y = 10.0f;  // the view's centre
  ProjectToScreen(&x, &y);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(y, 0.0f);
  // Odd sizes use the half size rounded down; a tall view scales y by the aspect.
  g_nBackBufferW = 401;
  g_nBackBufferH = 801;
  g_fAspect = 801.0f / 401.0f;
  x = 7.5f, y = 7.5f;
  ProjectToScreen(&x, &y);
  EXPECT_NEAR(x, 114.447f, 1e-3f);
  EXPECT_NEAR(y, 38.149f * 400.0f / 200.0f / g_fAspect, 1e-3f);
}

// The statistics column: the next shape's turn and the easing of the others,
// which go on while the column is hidden; the shapes drawn upright or turned;
// and the counts written where the shapes stand.

#include <QRect>

#include "render_fixture.h"

namespace {

class StatsTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    g_bGameRunning = 1;
    g_bViewNext = 1;
    g_nNextShape = 2;
  }

  static void Step(float dt) {
    g_fFrameTime = dt;
    DrawStats();
  }

  // The bounding box of the pixels that differ between two pictures within
  // the rectangle.
  static QRect TextBox(const QImage& a, const QImage& b, QRect area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); y++)
      for (int x = area.left(); x <= area.right(); x++)
        if (a.pixel(x, y) != b.pixel(x, y)) box |= QRect(x, y, 1, 1);
    return box;
  }

  // Screen point of the front face centre of a cube at the offset of a shape.
  static QPointF CubeOnScreen(int k, float x, float y) {
    return ToScreen(g_vStatPos[k].x + x, g_vStatPos[k].y + y, -0.5f);
  }
};

}  // namespace

TEST_F(StatsTest, NextShapeTurnsOncePerSecondAndWraps) {
  Step(0.25f);
  EXPECT_FLOAT_EQ(g_fStatSpin[2], 0.25f);
  Step(2.5f);  // a long frame: whole turns drop out
  EXPECT_FLOAT_EQ(g_fStatSpin[2], 0.75f);
  Step(0.25f);
  EXPECT_FLOAT_EQ(g_fStatSpin[2], 0.0f);
  for (int k = 0; k < 7; k++) {
    if (k != 2) {
      EXPECT_EQ(g_fStatSpin[k], 0.0f) << k;
    }
  }
  // However long the frame, the turn ends in [0, 1).
  Step(3.0e9f);
  EXPECT_GE(g_fStatSpin[2], 0.0f);
  EXPECT_LT(g_fStatSpin[2], 1.0f);
}

TEST_F(StatsTest, FormerNextShapeEasesToRestUpright) {
  Step(0.5f);
  g_nNextShape = 5;  // shape 2 is no longer next and finishes its turn
  Step(0.5f);
  EXPECT_FLOAT_EQ(g_fStatSpin[2], 0.75f);
  EXPECT_FLOAT_EQ(g_fStatSpin[5], 0.5f);
  Step(0.1f);
  EXPECT_FLOAT_EQ(g_fStatSpin[2], 0.775f);
  g_bGameRunning = 0;  // game over: nothing turns, both ease on
  Step(1.5f);          // overshoots the full turn and stops at once
  EXPECT_EQ(g_fStatSpin[2], 0.0f);
  EXPECT_EQ(g_fStatSpin[5], 0.0f);
  Step(0.5f);
  for (int k = 0; k < 7; k++) EXPECT_EQ(g_fStatSpin[k], 0.0f) << k;

  // It stops once it reaches 0.9990234375 (1023/1024 of the turn and a bit),
  // not before.
  g_fStatSpin[3] = 0.999f;
  Step(0.01f);  // 0.99901
  EXPECT_GT(g_fStatSpin[3], 0.999f);
  g_fStatSpin[3] = 0.99902f;
  Step(0.1f);  // 0.999118
  EXPECT_EQ(g_fStatSpin[3], 0.0f);
}

TEST_F(StatsTest, HiddenColumnDrawsNothingButKeepsTurning) {
  g_bViewNext = 0;
  g_fStatSpin[4] = 0.9f;
  platform_test::ResetPlatformCallCounts();
  Step(0.05f);
  EXPECT_FLOAT_EQ(g_fStatSpin[4], 0.905f);
  EXPECT_EQ(g_fStatSpin[2], 0.0f);  // next shape off: none starts
  g_bViewNext = 1;
  Step(0.05f);
  EXPECT_FLOAT_EQ(g_fStatSpin[2], 0.05f);
  EXPECT_EQ(platform_test::PlatformCallCount(), 0u);
}

// The counts are the only thing that differs between two frames with other
// counts: the pixels that change are the texts, centred on their anchors.
TEST_F(StatsTest, CountsAreWrittenWhereTheShapesStand) {
  g_bGameRunning = 0;
  g_bViewStats = 1;
  UpdateView();
  for (int k = 0; k < 7; k++) g_ShapeCounts[k] = 88;
  const QImage wide = Frame();
  for (int k = 0; k < 7; k++) g_ShapeCounts[k] = 1;
  const QImage narrow = Frame();
  const QRect box0 = TextBox(wide, narrow, QRect(56, 76, 60, 30));
  ASSERT_FALSE(box0.isEmpty());
  EXPECT_NEAR((box0.left() + box0.right()) / 2.0, 86.0, 1.5);
  EXPECT_GE(box0.top(), 86);
  EXPECT_LE(box0.top(), 92);
  const QRect box5 = TextBox(wide, narrow, QRect(284, 228, 60, 30));
  ASSERT_FALSE(box5.isEmpty());
  EXPECT_NEAR((box5.left() + box5.right()) / 2.0, 314.0, 1.5);
  EXPECT_GE(box5.top(), 238);
  EXPECT_LE(box5.top(), 244);
  // Every shape has its count written, "0" included.
  for (int k = 0; k < 7; k++) g_ShapeCounts[k] = 0;
  const QImage zero = Frame();
  for (int k = 0; k < 7; k++) {
    float x = g_vStatPos[k].x, y = g_vStatPos[k].y;
    ProjectToScreen(&x, &y);
    const QPoint at(200 + (int)x, 200 + (int)y);
    EXPECT_FALSE(TextBox(zero, narrow, QRect(at.x() - 15, at.y(), 30, 16)).isEmpty()) << k;
  }
}

TEST_F(StatsTest, ShapesStandUprightAndOneTurns) {
  g_bGameRunning = 0;
  g_bViewStats = 1;
  UpdateView();
  const QImage upright = Frame();
  for (int k = 0; k < 7; k++) {
    const BLOCKSHAPE& s = g_BlockShapes[k];
    for (int r = 0; r < s.nSize; r++)
      for (int c = 0; c < s.nSize; c++) {
        if (s.lpszStates[0][r * s.nSize + c] != '#') continue;
        const float x = (float)c - (float)s.nSize * 0.5f, y = -((float)r - (float)s.nSize * 0.5f);
        EXPECT_FALSE(IsBlack(PixelAt(upright, CubeOnScreen(k, x, y)))) << k << ":" << r << "," << c;
      }
  }
  // Each shape in the colour of its index, every cube of it.
  for (int k = 0; k < 7; k++) {
    const BLOCKSHAPE& s = g_BlockShapes[k];
    for (int r = 0; r < s.nSize; r++)
      for (int c = 0; c < s.nSize; c++) {
        if (s.lpszStates[0][r * s.nSize + c] != '#') continue;
        const float x = (float)c - (float)s.nSize * 0.5f, y = -((float)r - (float)s.nSize * 0.5f);
        EXPECT_EQ(Channels(PixelAt(upright, CubeOnScreen(k, x, y))), kMaterialChannels[k]) << k;
      }
  }
  // The straight shape a quarter turn on: its column of cubes lies across,
  // each cube's offset turned about the shape's position.
  g_fStatSpin[1] = 0.25f;
  g_fFrameTime = 0.0f;
  const QImage turned = Frame();
  D3DMATRIX R;
  RotateZMatrix(&R, 256);
  int nEmptied = 0;
  for (int r = 0; r < 4; r++) {
    const float x = 0.0f, y = -((float)r - 2.0f);  // pattern column 2 of 4
    const float tx = x * R._11 + y * R._21, ty = x * R._12 + y * R._22;
    EXPECT_FALSE(IsBlack(PixelAt(turned, CubeOnScreen(1, tx, ty)))) << r;
    if (IsBlack(PixelAt(turned, CubeOnScreen(1, x, y)))) nEmptied++;
  }
  EXPECT_GE(nEmptied, 2);
}

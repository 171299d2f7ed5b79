// The playing field on a real (software) device: the empty well's outline
// and guide points, faces left out between neighbouring cubes and drawn
// where a neighbour is missing, neighbour bits recomputed only after a
// change, a change of block set, and the camera with and without statistics.

#include <numeric>

#include "render_fixture.h"

namespace {

class SceneTest : public RenderTest {
 protected:
  // Pixel writes of one frame of the given cells (column, row pairs).
  static uint64_t WritesWith(std::initializer_list<std::pair<int, int>> cells) {
    EmptyWell();
    for (auto [i, j] : cells) g_Well[i][j] = 4;
    platform_test::SetPixelCounting(true);
    GameFrame();
    const std::vector<uint32_t>& counts = platform_test::CountedPixels();
    const uint64_t total = std::accumulate(counts.begin(), counts.end(), uint64_t{0});
    platform_test::SetPixelCounting(false);
    return total;
  }

  // The brightest blue within a pixel of the point.
  static int MaxBlueNear(const QImage& img, QPointF pt) {
    int nMax = 0;
    for (int dy = -1; dy <= 1; dy++)
      for (int dx = -1; dx <= 1; dx++) {
        const int x = (int)std::floor(pt.x()) + dx, y = (int)std::floor(pt.y()) + dy;
        if (img.valid(x, y)) nMax = std::max(nMax, qBlue(img.pixel(x, y)));
      }
    return nMax;
  }

  // Whether a pixel of the given colour lies within a pixel of the point.
  static bool ColourNear(const QImage& img, QPointF pt, QRgb colour) {
    for (int dy = -1; dy <= 1; dy++)
      for (int dx = -1; dx <= 1; dx++) {
        const int x = (int)std::floor(pt.x()) + dx, y = (int)std::floor(pt.y()) + dy;
        if (img.valid(x, y) && (img.pixel(x, y) & 0xFFFFFF) == colour) return true;
      }
    return false;
  }
};

}  // namespace

TEST_F(SceneTest, EmptyWellShowsOutlineAndGuidePointsOnly) {
  platform_test::ResetPlatformCallCounts();
  const QImage img = Frame();
  ASSERT_EQ(img.width(), 400);
  ASSERT_EQ(img.height(), 400);
  EXPECT_EQ(platform_test::PlatformCallCount("IDirect3DDevice2_DrawIndexedPrimitive"), 1u);
  EXPECT_EQ(platform_test::PlatformCallCount("IDirect3DDevice2_DrawPrimitive"), 1u);

  int nGuides = 0;
  for (const D3DLVERTEX& g : g_WellGuides)
    if (ColourNear(img, ToScreen(g.x, g.y, g.z), 0x0000FF)) nGuides++;
  EXPECT_EQ(nGuides, 200);

  // The floor's front edge in bright blue; the left front upright fades to
  // dark blue at the top.
  EXPECT_TRUE(ColourNear(img, ToScreen(0.0f, 0.0f, -0.5f), 0x0000FF));
  const int top = MaxBlueNear(img, ToScreen(-5.0f, 19.5f, -0.5f));
  const int mid = MaxBlueNear(img, ToScreen(-5.0f, 10.0f, -0.5f));
  EXPECT_GT(mid, top);
  EXPECT_GT(top, 0x50);

  // No cube: nothing red or green anywhere.
  int nOther = 0;
  for (int y = 0; y < img.height(); y++)
    for (int x = 0; x < img.width(); x++)
      if (qRed(img.pixel(x, y)) != 0 || qGreen(img.pixel(x, y)) != 0) nOther++;
  EXPECT_EQ(nOther, 0);
}

// A face between two cubes costs pixel writes only if it is drawn: the pair
// then writes exactly what the two cubes write alone. Left of the centre line
// the camera looks at the right faces, above the well at the top faces.
TEST_F(SceneTest, FacesBetweenNeighboursAreNotDrawn) {
  for (UINT uSet = 0; uSet < 2; uSet++) {
    g_uBlockType = uSet;
    const uint64_t empty = WritesWith({});
    const int64_t side = (int64_t)WritesWith({{2, 19}, {3, 19}}) - (int64_t)WritesWith({{2, 19}}) -
                         (int64_t)WritesWith({{3, 19}}) + (int64_t)empty;
    EXPECT_LT(side, -20) << "set " << uSet;
    const int64_t stack = (int64_t)WritesWith({{2, 18}, {2, 19}}) - (int64_t)WritesWith({{2, 18}}) -
                          (int64_t)WritesWith({{2, 19}}) + (int64_t)empty;
    EXPECT_LT(stack, -20) << "set " << uSet;
    WritesWith({{2, 18}, {2, 19}});
    EXPECT_EQ(g_WellNeighbours[2][18], (uint32_t)BN_BELOW);
    EXPECT_EQ(g_WellNeighbours[2][19], (uint32_t)BN_ABOVE);
  }
}

TEST_F(SceneTest, FacesAreDrawnWhereANeighbourIsMissing) {
  g_uBlockType = 0;
  g_Well[2][19] = 4;
  g_Well[3][19] = 4;
  g_bWellChanged = 1;
  const QImage img = Frame();
  // Front faces of both, the right face of the right cube and the top faces.
  EXPECT_FALSE(IsBlack(PixelAt(img, ToScreen(-2.5f, 0.5f, -0.5f))));
  EXPECT_FALSE(IsBlack(PixelAt(img, ToScreen(-1.5f, 0.5f, -0.5f))));
  EXPECT_FALSE(IsBlack(PixelAt(img, ToScreen(-1.0f, 0.5f, 0.0f))));
  EXPECT_FALSE(IsBlack(PixelAt(img, ToScreen(-2.5f, 1.0f, 0.0f))));
  EXPECT_FALSE(IsBlack(PixelAt(img, ToScreen(-1.5f, 1.0f, 0.0f))));
  // The same point beside a lone cube is its right face, seen here.
  EmptyWell();
  g_Well[2][19] = 4;
  const QImage lone = Frame();
  EXPECT_FALSE(IsBlack(PixelAt(lone, ToScreen(-2.0f, 0.5f, 0.0f))));
}

TEST_F(SceneTest, NeighbourBitsAreRecomputedOnlyAfterAChange) {
  g_Well[0][19] = 1;
  g_Well[9][19] = 1;  // the other edge column is no left neighbour
  g_Well[0][18] = 1;
  g_bWellChanged = 1;
  Frame();
  EXPECT_EQ(g_bWellChanged, 0);
  EXPECT_EQ(g_WellNeighbours[0][19], (uint32_t)BN_ABOVE);
  EXPECT_EQ(g_WellNeighbours[9][19], (uint32_t)BN_NONE);
  // Unchanged well: the bits stay as they are, even wrong ones.
  g_WellNeighbours[9][19] = BN_LEFT;
  Frame();
  EXPECT_EQ(g_WellNeighbours[9][19], (uint32_t)BN_LEFT);
  g_bWellChanged = 1;
  Frame();
  EXPECT_EQ(g_WellNeighbours[9][19], (uint32_t)BN_NONE);
}

TEST_F(SceneTest, ChangingTheBlockSetChangesEveryCube) {
  const int cells[][2] = {{0, 19}, {1, 19}, {4, 10}, {5, 10}, {5, 9}, {9, 0}, {7, 15}};
  for (int k = 0; k < 7; k++) g_Well[cells[k][0]][cells[k][1]] = k;
  g_bWellChanged = 1;
  g_uBlockType = 1;
  const QImage bevelled = Frame();
  g_uBlockType = 0;
  const QImage plain = Frame();
  for (auto& c : cells) {
    const float cx = (float)c[0] - 4.5f, cy = 19.5f - (float)c[1];
    const QPointF a = ToScreen(cx - 0.5f, cy + 0.5f, -0.5f), b = ToScreen(cx + 0.5f, cy - 0.5f, -0.5f);
    int nDiffer = 0;
    for (int y = (int)a.y(); y <= (int)b.y(); y++)
      for (int x = (int)a.x(); x <= (int)b.x(); x++)
        if (bevelled.pixel(x, y) != plain.pixel(x, y)) nDiffer++;
    EXPECT_GT(nDiffer, 10) << c[0] << "," << c[1];
  }
}

TEST_F(SceneTest, CameraFramesTheWellWiderWithStatistics) {
  g_bViewStats = 1;
  UpdateView();
  EXPECT_NEAR(g_matView._43, 6.53f, 1e-4);
  EXPECT_FLOAT_EQ(g_matView._41, 0.0f);
  EXPECT_FLOAT_EQ(g_matView._42, -10.0f);
  g_bViewStats = 0;
  UpdateView();
  EXPECT_NEAR(g_matView._43, 6.53f, 1e-4);
  Resize(400, 800);
  EXPECT_NEAR(g_matView._43, 3.53f, 1e-4);
  g_bViewStats = 1;
  UpdateView();
  EXPECT_NEAR(g_matView._43, 6.53f, 1e-4);
}

// The cell's value is its shape and so its colour: seven lone cubes, one of
// each shape, each show their own colour on their front face.
TEST_F(SceneTest, EveryCubeTakesTheColourOfItsShape) {
  const int cells[7][2] = {{0, 19}, {2, 19}, {4, 17}, {6, 15}, {8, 13}, {1, 5}, {9, 0}};
  for (int k = 0; k < 7; k++) g_Well[cells[k][0]][cells[k][1]] = k;
  g_bWellChanged = 1;
  for (UINT uSet = 0; uSet < 2; uSet++) {
    g_uBlockType = uSet;
    const QImage img = Frame();
    for (int k = 0; k < 7; k++) {
      const float cx = (float)cells[k][0] - 4.5f, cy = 19.5f - (float)cells[k][1];
      EXPECT_EQ(Channels(PixelAt(img, ToScreen(cx, cy, -0.5f))), kMaterialChannels[k])
          << "shape " << k << ", set " << uSet;
    }
  }
}

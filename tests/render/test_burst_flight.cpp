// The flight of the row burst: one frame's motion, the slowing recession,
// retiring below -100 in the drawing pass with the order kept, a frame of no
// time, and switching the burst off.

#include "render_fixture.h"

namespace {

class BurstFlightTest : public RenderTest {
 protected:
  static void AddCube(float x, float y, float z, float vx, float vy, float vz, int32_t nMaterial) {
    if (g_uBurstCount + 1 > g_uBurstAlloc) {
      g_Well[0][0] = 0;  // make room the way the rules do
      const UINT uCount = g_uBurstCount;
      BurstRow(0);
      g_uBurstCount = uCount;
      g_Well[0][0] = -1;
    }
    g_pBurst[g_uBurstCount++] = BURSTCUBE{{x, y, z}, {vx, vy, vz}, nMaterial};
  }
};

}  // namespace

TEST_F(BurstFlightTest, FullRowFliesOutSpreadingFromTheCentre) {
  for (int i = 0; i < 10; i++) g_Well[i][4] = (i * 3) % 7;
  BurstRow(4);
  ASSERT_EQ(g_uBurstCount, 10u);
  g_fFrameTime = 0.5f;
  platform_test::ResetPlatformCallCounts();
  InScene(DrawBurst);
  EXPECT_EQ(platform_test::PlatformCallCount("IDirect3DDevice2_DrawIndexedPrimitive"), 10u);
  for (int k = 0; k < 10; k++) {
    const BURSTCUBE& c = g_pBurst[k];
    EXPECT_FLOAT_EQ(c.vVel.x, -4.5f + (float)k);
    EXPECT_FLOAT_EQ(c.vPos.x, (-4.5f + (float)k) * 1.5f);
    EXPECT_FLOAT_EQ(c.vPos.y, 15.5f);  // the velocity of the frame before: 0
    EXPECT_FLOAT_EQ(c.vVel.y, -0.49f);
    EXPECT_NEAR(c.vPos.z, -0.4f + 0.5f * 11.333333f, 1e-5);
    EXPECT_NEAR(c.vVel.z, 11.333333f * 0.5f, 1e-5);  // a quarter per second
    EXPECT_EQ(c.nMaterial, (k * 3) % 7);
  }
  // Four rows leave forty cubes, the storage always a whole row ahead.
  for (int r = 0; r < 3; r++) {
    for (int i = 0; i < 10; i++) g_Well[i][r] = 1;
    BurstRow(r);
    EXPECT_EQ(g_uBurstAlloc, g_uBurstCount);
    EXPECT_EQ(g_uBurstCount % 10, 0u);
  }
  EXPECT_EQ(g_uBurstCount, 40u);
}

// A flying cube keeps the colour of the cell it came from.
TEST_F(BurstFlightTest, FlyingCubesKeepTheColourOfTheirCells) {
  for (int i = 0; i < 7; i++) g_Well[i][19] = i;
  BurstRow(19);
  EmptyWell();
  g_fFrameTime = 0.0f;  // they stay where they start, in front of the well
  const QImage img = Frame();
  for (int i = 0; i < 7; i++)
    EXPECT_EQ(Channels(PixelAt(img, ToScreen((float)i - 4.5f, 0.5f, -0.9f))), kMaterialChannels[i]) << i;
}

TEST_F(BurstFlightTest, RetiresBelowMinusHundredKeepingOrder) {
  AddCube(0.0f, -100.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0);   // exactly -100: stays
  AddCube(1.0f, -99.9f, 0.0f, 0.0f, -1.0f, 0.0f, 1);   // falls through
  AddCube(2.0f, 5.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2);
  AddCube(3.0f, -100.0f, 0.0f, 0.0f, -0.5f, 0.0f, 3);  // falls through
  AddCube(4.0f, 7.0f, 0.0f, 0.0f, 0.0f, 0.0f, 4);
  const UINT uAlloc = g_uBurstAlloc;
  g_fFrameTime = 0.2f;
  platform_test::ResetPlatformCallCounts();
  InScene(DrawBurst);
  // The retired ones were still drawn in the frame they crossed.
  EXPECT_EQ(platform_test::PlatformCallCount("IDirect3DDevice2_DrawIndexedPrimitive"), 5u);
  ASSERT_EQ(g_uBurstCount, 3u);
  EXPECT_EQ(g_pBurst[0].nMaterial, 0);
  EXPECT_FLOAT_EQ(g_pBurst[0].vPos.y, -100.0f);
  EXPECT_EQ(g_pBurst[1].nMaterial, 2);
  EXPECT_EQ(g_pBurst[2].nMaterial, 4);
  EXPECT_EQ(g_uBurstAlloc, uAlloc);
  // The one at -100 has gained downward speed and goes in the next frame.
  InScene(DrawBurst);
  ASSERT_EQ(g_uBurstCount, 2u);
  EXPECT_EQ(g_pBurst[0].nMaterial, 2);
}

TEST_F(BurstFlightTest, FrameOfNoTimeMovesNothing) {
  AddCube(1.5f, 3.0f, 2.0f, 1.5f, -2.0f, 4.0f, 5);
  AddCube(-1.5f, -100.0f, 2.0f, -1.5f, -9.0f, 4.0f, 6);
  g_fFrameTime = 0.0f;
  InScene(DrawBurst);
  ASSERT_EQ(g_uBurstCount, 2u);
  EXPECT_EQ(g_pBurst[0].vPos.x, 1.5f);
  EXPECT_EQ(g_pBurst[0].vPos.y, 3.0f);
  EXPECT_EQ(g_pBurst[0].vPos.z, 2.0f);
  EXPECT_EQ(g_pBurst[0].vVel.y, -2.0f);
  EXPECT_EQ(g_pBurst[0].vVel.z, 4.0f);
  EXPECT_EQ(g_pBurst[1].vPos.y, -100.0f);
}

TEST_F(BurstFlightTest, SwitchingOffDropsEveryCube) {
  for (int i = 0; i < 10; i++) g_Well[i][19] = 2;
  BurstRow(19);
  BurstRow(19);
  const UINT uAlloc = g_uBurstAlloc;
  SetRowBurst(FALSE);
  EXPECT_EQ(g_bRowBurst, 0);
  EXPECT_EQ(g_uBurstCount, 0u);
  EXPECT_EQ(g_uBurstAlloc, uAlloc);
  SetRowBurst(TRUE);
  EXPECT_EQ(g_bRowBurst, 1);
  EXPECT_EQ(g_uBurstCount, 0u);
  // Nothing in flight: no drawing at all.
  platform_test::ResetPlatformCallCounts();
  DrawBurst();
  EXPECT_EQ(platform_test::PlatformCallCount(), 0u);
}

// The row burst records: one flying cube per occupied cell of the row, where
// and how fast it starts, and the storage that grows in tens.

#include <sys/resource.h>

#include <cmath>

#include "main/fatal.h"
#include "rules_fixture.h"

class BurstRowTest : public RulesTest {
 public:
  void SetUp() override {
    RulesTest::SetUp();
    EmptyWell();
  }
  void TearDown() override {
    EmptyWell();
    RulesTest::TearDown();
  }
};

TEST_F(BurstRowTest, EachCubeStartsAtItsGuidePointAndRecedes) {
  for (INT i = 0; i < WELL_COLUMNS; i++) g_Well[i][19] = i % SHAPE_COUNT;
  g_Well[3][18] = 6;  // another row: not part of the burst
  BurstRow(19);
  ASSERT_EQ(g_uBurstCount, 10u);
  for (UINT k = 0; k < 10; k++) {
    const BURSTCUBE& c = g_pBurst[k];
    EXPECT_FLOAT_EQ(c.vPos.x, -4.5f + (float)k) << k;
    EXPECT_FLOAT_EQ(c.vPos.y, 0.5f) << k;
    EXPECT_FLOAT_EQ(c.vPos.z, -0.4f) << k;
    EXPECT_FLOAT_EQ(c.vVel.x, c.vPos.x) << k;
    EXPECT_EQ(c.vVel.y, 0.0f) << k;
    EXPECT_NEAR(c.vVel.z, 11.333333, 1e-5) << k;
    EXPECT_EQ(c.nMaterial, (int32_t)(k % SHAPE_COUNT)) << k;
  }
  // The well itself is left for the rules to empty.
  EXPECT_EQ(g_Well[0][19], 0);
}

TEST_F(BurstRowTest, OnlyOccupiedCellsLeftToRight) {
  g_Well[7][0] = 5;
  g_Well[2][0] = 4;
  BurstRow(0);
  ASSERT_EQ(g_uBurstCount, 2u);
  EXPECT_FLOAT_EQ(g_pBurst[0].vPos.x, -2.5f);
  EXPECT_EQ(g_pBurst[0].nMaterial, 4);
  EXPECT_FLOAT_EQ(g_pBurst[1].vPos.x, 2.5f);
  EXPECT_EQ(g_pBurst[1].nMaterial, 5);
  EXPECT_FLOAT_EQ(g_pBurst[1].vPos.y, 19.5f);
}

TEST_F(BurstRowTest, StorageGrowsToCountPlusTenAndKeepsRecords) {
  g_uBurstAlloc = 0;  // as before the first burst; realloc keeps the block
  FillRow(10, -1, 2);
  BurstRow(10);
  EXPECT_EQ(g_uBurstCount, 10u);
  EXPECT_EQ(g_uBurstAlloc, 10u);
  EmptyWell();
  g_Well[0][5] = 1;
  g_Well[5][5] = 1;
  g_Well[9][5] = 1;
  BurstRow(5);
  EXPECT_EQ(g_uBurstCount, 13u);
  EXPECT_EQ(g_uBurstAlloc, 20u);
  FillRow(12, -1, 3);
  BurstRow(12);
  EXPECT_EQ(g_uBurstCount, 23u);
  EXPECT_EQ(g_uBurstAlloc, 23u);
  EmptyWell();
  BurstRow(12);  // nothing to burst, but room is made for a whole row
  EXPECT_EQ(g_uBurstCount, 23u);
  EXPECT_EQ(g_uBurstAlloc, 33u);
  // The first records survived every move of the storage, in order.
  EXPECT_EQ(g_pBurst[0].nMaterial, 2);
  EXPECT_FLOAT_EQ(g_pBurst[9].vPos.y, 9.5f);
  EXPECT_FLOAT_EQ(g_pBurst[12].vPos.x, 4.5f);
  EXPECT_EQ(g_pBurst[22].nMaterial, 3);
  // Room enough already: no growth.
  g_uBurstCount = 0;
  FillRow(1, -1, 0);
  BurstRow(1);
  EXPECT_EQ(g_uBurstAlloc, 33u);
}

TEST_F(BurstRowTest, RowOutsideTheWellMakesNothing) {
  FillRow(0, -1, 1);
  BurstRow(-1);
  BurstRow(20);
  EXPECT_EQ(g_uBurstCount, 0u);
}

#if defined(__SANITIZE_ADDRESS__)
#define QUANDREL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUANDREL_ASAN 1
#endif
#endif

// Runs in the child of the death test: the allocation for the records fails.
[[maybe_unused]] static void BurstWithoutMemory() {
  platform_test::SetMessageBoxHandler([](const platform_test::MessageBoxCall& call) {
    fprintf(stderr, "[%s] %s\n", call.caption.c_str(), call.text.c_str());
    return IDOK;
  });
  // No room for new address space: the next large allocation fails.
  struct rlimit lim;
  getrlimit(RLIMIT_AS, &lim);
  lim.rlim_cur = 64ull << 30;
  setrlimit(RLIMIT_AS, &lim);
  g_uBurstCount = 0xF0000000u;  // about 100 GiB of records wanted
  g_uBurstAlloc = 10;
  RulesTest::FillRow(3, -1, 1);
  BurstRow(3);
}

TEST_F(BurstRowTest, OutOfMemoryIsFatal) {
#ifdef QUANDREL_ASAN
  GTEST_SKIP() << "the sanitizer's allocator aborts instead of failing";
#else
  EXPECT_EXIT(BurstWithoutMemory(), ::testing::ExitedWithCode(1),
              "Error: out of memory in function BurstRow\\(\\);");
#endif
}

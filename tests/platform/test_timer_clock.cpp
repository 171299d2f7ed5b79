// The platform clock: the manual clock drives both counters, and the tick
// count wraps at 32 bits.

#include <gtest/gtest.h>

#include "platform/win_time.h"

class PlatformClock : public ::testing::Test {
 protected:
  void TearDown() override { platform_test::UseRealClock(); }
};

TEST_F(PlatformClock, ManualClockDrivesCounterAndTickCount) {
  platform_test::UseManualClock(5'000'000'000ull);
  LARGE_INTEGER f, c;
  ASSERT_TRUE(QueryPerformanceFrequency(&f));
  EXPECT_EQ(f.QuadPart, 1'000'000'000);
  QueryPerformanceCounter(&c);
  EXPECT_EQ(c.QuadPart, 5'000'000'000);
  EXPECT_EQ(GetTickCount(), 5000u);
  platform_test::AdvanceClock(1'500'000);
  EXPECT_EQ(GetTickCount(), 5001u);
}

TEST_F(PlatformClock, TickCountWrapsAt32Bits) {
  platform_test::UseManualClock((uint64_t)0xFFFFFFFFull * 1'000'000ull);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu);
  platform_test::AdvanceClock(2'000'000);
  EXPECT_EQ(GetTickCount(), 1u);
}

TEST_F(PlatformClock, MissingCounterReportsFailure) {
  platform_test::SetPerformanceCounterAvailable(false);
  LARGE_INTEGER f;
  EXPECT_FALSE(QueryPerformanceFrequency(&f));
  EXPECT_EQ(f.QuadPart, 0);
}

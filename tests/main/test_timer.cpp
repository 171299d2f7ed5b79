// The frame timer on the manual clock: both counters, the floor for an
// unmeasurable frame, the five-second rebase and the tick count's wrap.

#include <gtest/gtest.h>

#include "main/timer.h"

static const uint64_t kMs = 1'000'000ull;  // nanoseconds per millisecond

class FrameTimer : public ::testing::Test {
 protected:
  void TearDown() override { platform_test::UseRealClock(); }
  // Moves the clock and takes a reading.
  static float Frame(uint64_t nanoseconds) {
    platform_test::AdvanceClock(nanoseconds);
    UpdateFrameTime();
    return g_fFrameTime;
  }
};

TEST_F(FrameTimer, UsesThePerformanceCounterWhenThereIsOne) {
  platform_test::UseManualClock(3600'000 * kMs);
  InitFrameTimer();
  EXPECT_EQ(g_bPerfCounter, 1);
  EXPECT_EQ(g_liTimerFrequency, 1'000'000'000u);
  EXPECT_EQ(g_liTimerBase, 3600'000 * kMs);
  EXPECT_EQ(g_fTimerLast, 0.0f);
  EXPECT_NEAR(Frame(16'666'667), 0.016666667f, 1e-6f);
  EXPECT_NEAR(Frame(250'000), 0.00025f, 1e-6f);
}

TEST_F(FrameTimer, FallsBackToMillisecondsWithoutACounter) {
  platform_test::SetPerformanceCounterAvailable(false);
  platform_test::UseManualClock(7'000 * kMs);
  InitFrameTimer();
  EXPECT_EQ(g_bPerfCounter, 0);
  EXPECT_EQ(g_liTimerFrequency, 1000u);
  EXPECT_EQ(g_fSecondsPerCount, 0.001f);
  EXPECT_EQ(g_liTimerBase, 7'000u);
  EXPECT_NEAR(Frame(16'700'000), 0.016f, 1e-6f);  // whole milliseconds only
  EXPECT_NEAR(Frame(16'700'000), 0.017f, 1e-6f);
}

TEST_F(FrameTimer, AnUnmeasurableFrameCountsAsATenthOfAMillisecond) {
  platform_test::UseManualClock(1'000 * kMs);
  InitFrameTimer();
  EXPECT_EQ(Frame(0), 0.0001f);
  platform_test::SetPerformanceCounterAvailable(false);
  InitFrameTimer();
  EXPECT_EQ(Frame(400'000), 0.0001f);  // within the same millisecond
  EXPECT_NEAR(Frame(600'000), 0.001f, 1e-6f);
}

TEST_F(FrameTimer, MovesItsBaseOnceMoreThanFiveSecondsHavePassed) {
  platform_test::UseManualClock(50 * kMs);
  InitFrameTimer();
  for (int i = 1; i <= 5; ++i) EXPECT_NEAR(Frame(1'000 * kMs), 1.0f, 1e-6f);
  EXPECT_EQ(g_fTimerLast, 5.0f);
  EXPECT_EQ(g_liTimerBase, 50 * kMs);
  // The sixth second passes the limit: this frame keeps its time, the base moves.
  EXPECT_NEAR(Frame(1'000 * kMs), 1.0f, 1e-6f);
  EXPECT_EQ(g_fTimerLast, 0.0f);
  EXPECT_EQ(g_liTimerBase, 6'050 * kMs);
  EXPECT_NEAR(Frame(500 * kMs), 0.5f, 1e-6f);
}

TEST_F(FrameTimer, TheTickCountWrapGivesTheTrueSmallDifference) {
  platform_test::SetPerformanceCounterAvailable(false);
  platform_test::UseManualClock(0xFFFFFFF0ull * kMs);  // 16 ms before the wrap
  InitFrameTimer();
  EXPECT_NEAR(Frame(10 * kMs), 0.010f, 1e-6f);
  EXPECT_NEAR(Frame(32 * kMs), 0.032f, 1e-6f);  // the tick count is now 0x1A
  EXPECT_EQ(g_liTimerBase, 0x1Au);
  EXPECT_EQ(g_fTimerLast, 0.0f);
  EXPECT_NEAR(Frame(20 * kMs), 0.020f, 1e-6f);
}

TEST_F(FrameTimer, ACounterThatStepsBackPlaysNoTime) {
  platform_test::UseManualClock(10'000 * kMs);
  InitFrameTimer();
  Frame(100 * kMs);
  platform_test::SetClock(9'000 * kMs);
  UpdateFrameTime();
  EXPECT_EQ(g_fFrameTime, 0.0001f);
  EXPECT_EQ(g_liTimerBase, 9'000 * kMs);
  EXPECT_NEAR(Frame(20 * kMs), 0.020f, 1e-6f);
}

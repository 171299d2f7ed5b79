// Game over as the player meets it: the rules end the game, and the
// high-score step runs exactly once, with the final score, in entry mode.

#include "high_scores/high_scores_fixture.h"
#include "game/game.h"
#include "main/timer.h"
#include "platform/win_dialog.h"
#include "platform/win_time.h"
#include "rules/rules.h"
#include "window/window.h"

namespace {

class GameOverHighScore : public HighScoresTest {
 protected:
  void SetUp() override {
    HighScoresTest::SetUp();
    platform_test::UseManualClock(1'000'000'000ull);
    InitFrameTimer();
    platform_test::SetDialogHandler([this](const platform_test::DialogCall& call) {
      calls_.push_back(call);
      const HIGHSCORE* pending = (const HIGHSCORE*)call.param;
      scores_.push_back(pending ? pending->uScore : 0xFFFFFFFFu);
      return (INT_PTR)IDCANCEL;
    });
    srand(7);
    NewGame(0);
    // What earlier games and views left behind must not change the score.
    savedNext_ = g_bViewNext;
    g_bViewNext = 1;
    g_nBlockBonus = 1;
  }
  void TearDown() override {
    g_bViewNext = savedNext_;
    platform_test::SetDialogHandler(nullptr);
    platform_test::UseRealClock();
    HighScoresTest::TearDown();
  }

  // Blocks the entry place so that the next block has no room.
  static void BlockEntry() {
    EraseBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
    for (int i = 3; i <= 6; ++i)
      for (int j = 0; j < 4; ++j) g_Well[i][j] = 0;
  }

  std::vector<platform_test::DialogCall> calls_;
  std::vector<UINT> scores_;
  BOOL savedNext_ = 1;
};

TEST_F(GameOverHighScore, HighScoreCheckRunsOnceWithTheFinalScore) {
  g_uScore = 1234;
  BlockEntry();
  g_nShape = -1;
  NextBlock();  // scores the block (level 1 x bonus 1 x 2) and tries to bring in the next

  EXPECT_FALSE(g_bGameRunning);
  EXPECT_STREQ(g_szStatusText, "Game over");
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].templateId, 108);
  EXPECT_EQ(scores_[0], 1236u);

  // Later frames tick a finished game: nothing asks again.
  g_fFrameTime = 5.0f;
  for (int k = 0; k < 10; ++k) GameTick();
  EXPECT_EQ(calls_.size(), 1u);
}

TEST_F(GameOverHighScore, FullTableAndLowScoreOpensNoDialog) {
  for (UINT i = 0; i < MAX_HIGHSCORES; ++i) AddEntry(1000 - i, "someone");
  g_uScore = 0;
  BlockEntry();
  g_nShape = -1;
  NextBlock();
  EXPECT_FALSE(g_bGameRunning);
  EXPECT_TRUE(calls_.empty());
}

}  // namespace

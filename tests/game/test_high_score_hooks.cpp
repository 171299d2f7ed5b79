// The game-over and menu steps: when the high-score dialog opens, in which
// mode, when the table is saved, and that the dialog's time is not played.

#include <ctime>

#include "high_scores/high_scores_fixture.h"
#include "game/game.h"
#include "main/timer.h"
#include "platform/win_dialog.h"
#include "platform/win_time.h"
#include "rules/rules.h"

namespace {

class HighScoreHooks : public HighScoresTest {
 protected:
  void SetUp() override {
    HighScoresTest::SetUp();
    platform_test::UseManualClock(1'000'000'000ull);
    InitFrameTimer();
    platform_test::SetDialogHandler([this](const platform_test::DialogCall& call) {
      calls_.push_back(call);
      return script_ ? script_(call) : (INT_PTR)IDCANCEL;
    });
  }
  void TearDown() override {
    platform_test::SetDialogHandler(nullptr);
    platform_test::UseRealClock();
    HighScoresTest::TearDown();
  }

  // Plays the dialog as a player would: types the name (if any), presses OK,
  // then closes the table with the given button.
  std::function<INT_PTR(const platform_test::DialogCall&)> Player(const char* name,
                                                                  UINT closeWith) {
    return [name, closeWith](const platform_test::DialogCall& call) -> INT_PTR {
      HIGHSCOREDLGTEXT text;
      FillHighScoreDialog(&text, reinterpret_cast<HIGHSCORE*>(call.param));
      if (name != nullptr) HighScoreDialogCommand(&text, IDOK, name);
      platform_test::AdvanceClock(30'000'000'000ull);  // half a minute in the dialog
      return HighScoreDialogCommand(&text, closeWith, nullptr);
    };
  }

  std::vector<platform_test::DialogCall> calls_;
  std::function<INT_PTR(const platform_test::DialogCall&)> script_;
};

}  // namespace

TEST_F(HighScoreHooks, QualifyingScoreOpensEntryModeAndOkSaves) {
  SetScores({900, 100});
  g_uScore = 500;
  g_nLevel = 3;
  time_t before = time(nullptr);
  script_ = [this, before](const platform_test::DialogCall& call) {
    const HIGHSCORE* hs = reinterpret_cast<const HIGHSCORE*>(call.param);
    EXPECT_EQ(hs->uScore, 500u);
    EXPECT_EQ(hs->uLevel, 3u);
    EXPECT_GE(hs->tTime, (INT)before);
    EXPECT_EQ((UINT_PTR)hs->lpszName, 1u) << "the place waits in the name field";
    EXPECT_FALSE(Exists(g_szHighScoreFile));
    return Player("Ann", IDOK)(call);
  };
  CheckHighScore();
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].templateId, IDD_HIGHSCORES);
  EXPECT_EQ(Names(), (std::vector<std::string>{"p900", "Ann", "p100"}));
  EXPECT_EQ(g_pNewHighScore, nullptr);
  // Saved at once, and the half minute in the dialog is not one long frame.
  ClearTable();
  LoadHighScores();
  EXPECT_EQ(Names(), (std::vector<std::string>{"p900", "Ann", "p100"}));
  EXPECT_LT(g_fFrameTime, 0.01f);
  platform_test::AdvanceClock(16'000'000ull);
  UpdateFrameTime();
  EXPECT_NEAR(g_fFrameTime, 0.016f, 0.001f);
}

TEST_F(HighScoreHooks, ScoresThatDoNotQualifyOpenNoDialog) {
  SetScores({1000, 900, 800, 700, 600, 500, 400, 300, 200, 100});
  g_uScore = 99;
  CheckHighScore();
  EXPECT_TRUE(calls_.empty());

  g_uScore = 100;
  script_ = Player("Tenth", IDOK);
  CheckHighScore();
  EXPECT_EQ(calls_.size(), 1u);
  EXPECT_EQ(Names()[9], "Tenth");

  // Below the table's last but with room left: still in.
  SetScores({500});
  g_uScore = 0;
  CheckHighScore();
  EXPECT_EQ(calls_.size(), 2u);
  EXPECT_EQ(Scores(), (std::vector<UINT>{500, 0}));
}

TEST_F(HighScoreHooks, CancelSavesNothing) {
  g_uScore = 10;
  script_ = Player(nullptr, IDCANCEL);
  CheckHighScore();
  EXPECT_EQ(g_uNumHighScores, 0u);
  EXPECT_FALSE(Exists(g_szHighScoreFile));
  EXPECT_LT(g_fFrameTime, 0.01f);

  // A name taken, then the table closed with Escape: kept, but not saved yet.
  script_ = Player("Bob", IDCANCEL);
  CheckHighScore();
  EXPECT_EQ(Names(), (std::vector<std::string>{"Bob"}));
  EXPECT_FALSE(Exists(g_szHighScoreFile));
  EXPECT_EQ(g_pNewHighScore, nullptr) << "no pointer to the finished step's entry";
}

TEST_F(HighScoreHooks, MenuShowsTheTableOnly) {
  SetScores({900});
  script_ = [](const platform_test::DialogCall& call) -> INT_PTR {
    EXPECT_EQ(call.param, 0);
    HIGHSCOREDLGTEXT text;
    FillHighScoreDialog(&text, nullptr);
    EXPECT_FALSE(text.bEntryMode);
    platform_test::AdvanceClock(5'000'000'000ull);
    return HighScoreDialogCommand(&text, IDOK, nullptr);
  };
  ShowHighScores();
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].templateId, IDD_HIGHSCORES);
  EXPECT_FALSE(Exists(g_szHighScoreFile));
  // The next frame measures from the dialog's end, not from its start.
  platform_test::AdvanceClock(16'000'000ull);
  UpdateFrameTime();
  EXPECT_NEAR(g_fFrameTime, 0.016f, 0.001f);
}

// The high-score dialog run for real off-screen through the game-over and
// menu steps: what it shows in each mode, which names it takes, where the
// entry goes, and when the table reaches the file.

#include <Qt>
#include <string>

#include "game/game.h"
#include "high_scores/high_scores_fixture.h"
#include "main/timer.h"
#include "platform/dialog_rig.h"
#include "platform/win_time.h"
#include "rules/rules.h"

namespace {

// What the dialog showed at one moment.
struct Shown {
  std::string message;
  std::vector<std::string> names, scores;
  bool editShown = false, cancelShown = false;
  int focus = 0;
};

Shown Look(HWND hDlg) {
  Shown s;
  char buf[256];
  GetDlgItemTextA(hDlg, IDC_HIGHSCORE_MESSAGE, buf, sizeof(buf));
  s.message = buf;
  for (int k = 0; k < MAX_HIGHSCORES; ++k) {
    GetDlgItemTextA(hDlg, IDC_HIGHSCORE_NAME0 + 2 * k, buf, sizeof(buf));
    s.names.push_back(buf);
    GetDlgItemTextA(hDlg, IDC_HIGHSCORE_SCORE0 + 2 * k, buf, sizeof(buf));
    s.scores.push_back(buf);
  }
  s.editShown = platform_test::IsDlgItemShown(hDlg, IDC_HIGHSCORE_NAMEEDIT);
  s.cancelShown = platform_test::IsDlgItemShown(hDlg, IDCANCEL);
  s.focus = platform_test::FocusedDlgItem(hDlg);
  return s;
}

const char kTitle[] = "Quandrel 3D\n\nH I G H S C O R E S";

class HighScoreDialog : public HighScoresTest {
 protected:
  void SetUp() override {
    HighScoresTest::SetUp();
    platform_test::UseManualClock(1'000'000'000ull);
    InitFrameTimer();
  }
  void TearDown() override {
    platform_test::UseRealClock();
    HighScoresTest::TearDown();
  }
  bool FileExists() const { return !ReadBytes(g_szHighScoreFile).empty(); }

  DialogRig rig_;
};

}  // namespace

TEST_F(HighScoreDialog, EntryRefusesBlankNamesThenShowsTheTableAndOkSaves) {
  SetScores({900, 500, 500, 100});
  g_uScore = 500;
  g_nLevel = 2;
  Shown entry, afterBlank, view;
  bool openAfterBlank = false;
  rig_.Play([&](HWND hDlg) {
    entry = Look(hDlg);
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT, "   ");
    platform_test::ClickDlgItem(hDlg, IDOK);
    openAfterBlank = !platform_test::DialogEnded(hDlg);
    afterBlank = Look(hDlg);
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT, " Zed");
    platform_test::ClickDlgItem(hDlg, IDOK);
    view = Look(hDlg);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  CheckHighScore();
  ASSERT_EQ(rig_.shown, 1);
  EXPECT_EQ(rig_.lastTemplate, IDD_HIGHSCORES);

  EXPECT_EQ(entry.message,
            "500 points - H I G H S C O R E !\n\nEnter your name for the hall of fame:");
  EXPECT_EQ(entry.names,
            (std::vector<std::string>{"p900", "p500", "p500", "p100", "", "", "", "", "", ""}));
  EXPECT_EQ(entry.scores,
            (std::vector<std::string>{"900", "500", "500", "100", "", "", "", "", "", ""}));
  EXPECT_TRUE(entry.editShown);
  EXPECT_TRUE(entry.cancelShown);
  EXPECT_EQ(entry.focus, IDC_HIGHSCORE_NAMEEDIT);

  EXPECT_TRUE(openAfterBlank);
  EXPECT_EQ(afterBlank.message, entry.message);
  EXPECT_TRUE(afterBlank.editShown);

  // The new 500 goes before both older ones, with its leading blank.
  EXPECT_EQ(view.message, kTitle);
  EXPECT_EQ(view.names[1], " Zed");
  EXPECT_EQ(view.scores[1], "500");
  EXPECT_EQ(view.names[4], "p100");
  EXPECT_FALSE(view.editShown);
  EXPECT_FALSE(view.cancelShown);
  EXPECT_EQ(view.focus, IDOK);

  EXPECT_EQ(Scores(), (std::vector<UINT>{900, 500, 500, 500, 100}));
  EXPECT_EQ(g_HighScores[1].uLevel, 2u);
  EXPECT_EQ(g_pNewHighScore, nullptr);
  // OK twice: the file holds the new table.
  ClearTable();
  LoadHighScores();
  EXPECT_EQ(Names(), (std::vector<std::string>{"p900", " Zed", "p500", "p500", "p100"}));
}

TEST_F(HighScoreDialog, CancelInEntryModeChangesNothing) {
  SetScores({300});
  g_uScore = 50;
  rig_.Play([](HWND hDlg) {
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT, "Bea");
    platform_test::ClickDlgItem(hDlg, IDCANCEL);
  });
  CheckHighScore();
  EXPECT_EQ(rig_.shown, 1);
  EXPECT_EQ(Names(), (std::vector<std::string>{"p300"}));
  EXPECT_FALSE(FileExists());
}

TEST_F(HighScoreDialog, EnterConfirmsTheNameAndEscapeKeepsTheEntryUnsaved) {
  // A full table, a new best score: everything moves down one row.
  SetScores({1000, 900, 800, 700, 600, 500, 400, 300, 200, 100});
  g_uScore = 5000;
  Shown view;
  rig_.Play([&](HWND hDlg) {
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT, "Cy");
    platform_test::PressDlgKey(hDlg, Qt::Key_Return);
    view = Look(hDlg);
    platform_test::PressDlgKey(hDlg, Qt::Key_Escape);
  });
  CheckHighScore();
  EXPECT_EQ(view.names[0], "Cy");
  EXPECT_EQ(view.scores[0], "5000");
  EXPECT_EQ(view.scores[9], "200");
  EXPECT_EQ(Scores(), (std::vector<UINT>{5000, 1000, 900, 800, 700, 600, 500, 400, 300, 200}));
  EXPECT_FALSE(FileExists());  // reaches the file at the next save
}

TEST_F(HighScoreDialog, ScoreThatDoesNotQualifyOpensNoDialog) {
  SetScores({1000, 900, 800, 700, 600, 500, 400, 300, 200, 100});
  g_uScore = 99;
  rig_.Play([](HWND hDlg) { platform_test::ClickDlgItem(hDlg, IDOK); });
  CheckHighScore();
  EXPECT_EQ(rig_.shown, 0);
}

TEST_F(HighScoreDialog, NameIsLimitedWhileTyping) {
  g_uScore = 10;
  int typed = 0;
  rig_.Play([&](HWND hDlg) {
    platform_test::TypeDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT,
                               std::string(MAX_HIGHSCORE_NAME + 10, 'n'));
    typed = GetWindowTextLengthA(GetDlgItem(hDlg, IDC_HIGHSCORE_NAMEEDIT));
    platform_test::ClickDlgItem(hDlg, IDOK);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  CheckHighScore();
  EXPECT_EQ(typed, MAX_HIGHSCORE_NAME);
  ASSERT_EQ(g_uNumHighScores, 1u);
  EXPECT_EQ(std::string(g_HighScores[0].lpszName), std::string(MAX_HIGHSCORE_NAME, 'n'));
}

TEST_F(HighScoreDialog, MenuViewShowsTheTableAloneAndSavesNothing) {
  SetScores({700, 20});
  Shown view;
  bool cancelClickable = true;
  rig_.Play([&](HWND hDlg) {
    view = Look(hDlg);
    cancelClickable = platform_test::ClickDlgItem(hDlg, IDCANCEL);
    platform_test::ClickDlgItem(hDlg, IDOK);
  });
  ShowHighScores();
  EXPECT_EQ(rig_.shown, 1);
  EXPECT_EQ(view.message, kTitle);
  EXPECT_EQ(view.names, (std::vector<std::string>{"p700", "p20", "", "", "", "", "", "", "", ""}));
  EXPECT_EQ(view.scores[1], "20");
  EXPECT_FALSE(view.editShown);
  EXPECT_FALSE(view.cancelShown);
  EXPECT_FALSE(cancelClickable);
  EXPECT_EQ(view.focus, IDOK);
  EXPECT_FALSE(FileExists());
}

// Entering the table: the place of a new score, the name rules, the
// insertion, and the dialog's texts and commands in both modes.

#include "high_scores_fixture.h"

namespace {

// A pending entry as the game-over step makes it.
HIGHSCORE Pending(UINT score) {
  HIGHSCORE hs{score, 4, 1234, nullptr};
  hs.lpszName = (char*)(UINT_PTR)FindHighScorePosition(score);
  return hs;
}

}  // namespace

TEST_F(HighScoresTest, PlaceOfANewScore) {
  EXPECT_EQ(FindHighScorePosition(0), 0u) << "an empty table takes any score";
  SetScores({900, 500, 500, 100});
  EXPECT_EQ(FindHighScorePosition(500), 1u) << "before the older equal scores";
  EXPECT_EQ(FindHighScorePosition(0), 4u) << "a table not full takes any score";
  SetScores({100, 900});
  EXPECT_EQ(FindHighScorePosition(500), 2u) << "after the last entry that beats it";
  SetScores({4000000000u, 5});
  EXPECT_EQ(FindHighScorePosition(3000000000u), 1u) << "compared as unsigned numbers";
  SetScores({1000, 900, 800, 700, 600, 500, 400, 300, 200, 100});
  EXPECT_EQ(FindHighScorePosition(100), 9u);
  EXPECT_EQ(FindHighScorePosition(99), 10u);
  EXPECT_EQ(FindHighScorePosition(5000), 0u);
}

TEST_F(HighScoresTest, InsertionMovesEntriesAndDropsTheTenth) {
  SetScores({900, 500, 500, 100});
  HIGHSCORE hs{500, 2, 0, strdup("new")};
  InsertHighScore(&hs, FindHighScorePosition(500));
  EXPECT_EQ(Names(), (std::vector<std::string>{"p900", "new", "p500", "p500", "p100"}));

  SetScores({1000, 900, 800, 700, 600, 500, 400, 300, 200, 100});
  HIGHSCORE tenth{100, 0, 0, strdup("last")};
  InsertHighScore(&tenth, FindHighScorePosition(100));
  EXPECT_EQ(g_uNumHighScores, 10u);
  EXPECT_EQ(Names()[8], "p200");
  EXPECT_EQ(Names()[9], "last") << "the old tenth is dropped";

  HIGHSCORE best{5000, 0, 0, strdup("best")};
  InsertHighScore(&best, FindHighScorePosition(5000));
  EXPECT_EQ(Scores(), (std::vector<UINT>{5000, 1000, 900, 800, 700, 600, 500, 400, 300, 200}));
}

TEST_F(HighScoresTest, NameRules) {
  EXPECT_FALSE(IsAcceptableName(""));
  EXPECT_FALSE(IsAcceptableName("   "));
  EXPECT_FALSE(IsAcceptableName(" \t\n\v\f\r"));
  EXPECT_TRUE(IsAcceptableName("\xA0")) << "bytes from 0x80 up are never blank";
  EXPECT_TRUE(IsAcceptableName("  x "));
}

TEST_F(HighScoresTest, DialogEntryThenViewMode) {
  SetScores({900, 500, 100});
  HIGHSCORE hs = Pending(500);
  HIGHSCOREDLGTEXT text;
  FillHighScoreDialog(&text, &hs);
  EXPECT_EQ(g_pNewHighScore, &hs);
  EXPECT_TRUE(text.bEntryMode);
  EXPECT_STREQ(text.szMessage,
               "500 points - H I G H S C O R E !\n\nEnter your name for the hall of fame:");
  EXPECT_STREQ(text.lpszNames[2], "p100");
  EXPECT_STREQ(text.szScores[2], "100");
  EXPECT_STREQ(text.lpszNames[3], "");
  EXPECT_STREQ(text.szScores[9], "");

  // Blank names are refused and the dialog waits; other commands do nothing.
  EXPECT_EQ(HighScoreDialogCommand(&text, IDOK, ""), 0);
  EXPECT_EQ(HighScoreDialogCommand(&text, IDOK, "   "), 0);
  EXPECT_EQ(HighScoreDialogCommand(&text, 1012, "x"), 0);
  EXPECT_TRUE(text.bEntryMode);
  EXPECT_EQ(g_uNumHighScores, 3u);

  // A leading blank is kept.
  EXPECT_EQ(HighScoreDialogCommand(&text, IDOK, " Ann "), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"p900", " Ann ", "p500", "p100"}));
  EXPECT_EQ(g_HighScores[1].uLevel, 4u);
  EXPECT_EQ(g_HighScores[1].tTime, 1234);
  EXPECT_EQ(g_pNewHighScore, nullptr);
  EXPECT_FALSE(text.bEntryMode);
  EXPECT_STREQ(text.szMessage, "Quandrel 3D\n\nH I G H S C O R E S");
  EXPECT_STREQ(text.lpszNames[1], " Ann ");
  EXPECT_STREQ(text.szScores[1], "500");

  EXPECT_EQ(HighScoreDialogCommand(&text, IDOK, nullptr), IDOK);
}

TEST_F(HighScoresTest, CancelInEntryModeLeavesTheTable) {
  SetScores({900});
  HIGHSCORE hs = Pending(5);
  HIGHSCOREDLGTEXT text;
  FillHighScoreDialog(&text, &hs);
  EXPECT_EQ(HighScoreDialogCommand(&text, IDCANCEL, "Ann"), IDCANCEL);
  EXPECT_EQ(Scores(), (std::vector<UINT>{900}));
}

TEST_F(HighScoresTest, LongNamesAreCutAtSixtyFourBytesOnACharacterBoundary) {
  HIGHSCORE hs = Pending(1);
  HIGHSCOREDLGTEXT text;
  FillHighScoreDialog(&text, &hs);
  std::string typed = std::string(63, 'a') + "\xC3\xA9" + "tail";
  HighScoreDialogCommand(&text, IDOK, typed.c_str());
  EXPECT_EQ(Names(), (std::vector<std::string>{std::string(63, 'a')}));

  hs = Pending(0);
  FillHighScoreDialog(&text, &hs);
  HighScoreDialogCommand(&text, IDOK, std::string(64, 'b').c_str());
  EXPECT_EQ(Names()[1], std::string(64, 'b'));

  // What is left after the cut must still be a name.
  hs = Pending(0);
  FillHighScoreDialog(&text, &hs);
  EXPECT_EQ(HighScoreDialogCommand(&text, IDOK, (std::string(64, ' ') + "x").c_str()), 0);
  EXPECT_EQ(g_uNumHighScores, 2u);
  EXPECT_TRUE(text.bEntryMode);
}

TEST_F(HighScoresTest, CutOfANameThatIsNoUtf8KeepsSixtyFourBytes) {
  // Bytes 0x80 to 0xBF in a row are no UTF-8 sequence; the cut does not eat
  // them all, or the name would come out empty and be refused.
  HIGHSCORE hs = Pending(1);
  HIGHSCOREDLGTEXT text;
  FillHighScoreDialog(&text, &hs);
  std::string typed(70, '\xB0');
  EXPECT_EQ(HighScoreDialogCommand(&text, IDOK, typed.c_str()), 0);
  ASSERT_EQ(g_uNumHighScores, 1u);
  EXPECT_EQ(Names()[0], std::string(64, '\xB0'));
  EXPECT_FALSE(text.bEntryMode);
}

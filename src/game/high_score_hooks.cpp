// The game-over and menu steps of the high-score table: both run the
// high-score dialog modally and then read the frame timer, so that the time
// spent in the dialog is not played as one long frame.

#include <ctime>

#include "game/game.h"
#include "high_scores/high_scores.h"
#include "main/timer.h"
#include "rules/rules.h"
#include "window/window.h"

// ---- functions ------------------------------------------------------------

// A score that beats fewer than ten entries (or finds the table not full)
// gets the dialog in entry mode; the table is saved when it closes with OK.
void CheckHighScore(void) {
  HIGHSCORE hs;
  hs.uScore = g_uScore;
  hs.uLevel = (UINT)g_nLevel;
  hs.tTime = (INT)time(nullptr);
  UINT p = FindHighScorePosition(hs.uScore);
  if (p >= MAX_HIGHSCORES || p > g_uNumHighScores) return;
  // Until the name is typed the entry carries its place in the table.
  hs.lpszName = (char*)(UINT_PTR)p;
  INT_PTR nResult = DialogBoxParamA(nullptr, MAKEINTRESOURCE(IDD_HIGHSCORES), g_hwndMain,
                                    HighScoreDlgProc, (LPARAM)&hs);
  // The pending entry ends with this frame; nothing may point at it after.
  g_pNewHighScore = nullptr;
  if (nResult == IDOK) SaveHighScores();
  UpdateFrameTime();
  UpdateFrameTime();
}

// The table alone; nothing is saved.
void ShowHighScores(void) {
  DialogBoxParamA(nullptr, MAKEINTRESOURCE(IDD_HIGHSCORES), g_hwndMain, HighScoreDlgProc, 0);
  UpdateFrameTime();
}

// The frame and the high-score steps at game over and from the menu.
#pragma once

#include "platform/win32.h"

// ---- functions ------------------------------------------------------------

// At game over: offers the score a place in the high-score table.
void CheckHighScore(void);
// From the menu: shows the high-score table.
void ShowHighScores(void);
// One frame of play and drawing, run by the main loop when it is idle.
void GameFrame(void);

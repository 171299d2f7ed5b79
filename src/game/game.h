// The frame and the high-score steps at game over and from the menu.
#pragma once

#include "platform/win32.h"

// ---- functions ------------------------------------------------------------

// At game over: offers the score a place in the high-score table.
void CheckHighScore(void);
// From the menu: shows the high-score table.
void ShowHighScores(void);

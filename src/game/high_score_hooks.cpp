// The game-over and menu steps of the high-score table.

#include "game/game.h"

// Placeholder until the high-score table exists: no score enters a table.
void CheckHighScore(void) {}

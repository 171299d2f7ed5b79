// The mid-game state the frame benchmarks draw: about 120 cubes in the well,
// the statistics column with the next shape turning, and 40 cubes of a row
// burst in flight.
#pragma once

// Builds the state once (tables and meshes on first use) and keeps a copy.
void BuildMidGame(void);
// Puts the kept state back, so that every frame draws the same picture.
void RestoreMidGame(void);

// The game itself: starting a game, the player's moves, the timed fall,
// locking, full rows and their pause, score, level, next block and game over.

#include <cstdlib>
#include <ctime>

#include "game/game.h"
#include "main/timer.h"
#include "options/options.h"
#include "render/render.h"
#include "rules/rules.h"
#include "window/window.h"

// ---- globals --------------------------------------------------------------

INT g_nShape = -1;
INT g_nShapeX = 0;
INT g_nShapeY = 0;
INT g_nShapeRot = 0;
INT g_nNextShape = 0;

BOOL g_bGameRunning = 0;
INT g_nLevel = 0;
UINT g_uScore = 0;
INT g_nBlocksPlaced = 0;
INT g_ShapeCounts[SHAPE_COUNT] = {};
INT g_nPrevRows = 0;

float g_fFallInterval = 1.0f;
float g_fFallTimer = 0.0f;
BOOL g_bDownHeld = 0;
INT g_nPendingRow = -1;
INT g_nRowsThisBlock = 0;
INT g_nBlockBonus = 1;

BOOL g_bRandomSeeded = 0;

// The soft-drop step and the pause that a full row holds the game back by.
static const float gc_fDownStep = 0.05f;
static const float gc_fRowPause = 0.75f;

// ---- functions ------------------------------------------------------------

// Clears the well and the counters and brings in the first block.
void NewGame(INT nLevel) {
  g_bGameRunning = 1;
  // Seeded once per run, so that a new game continues the sequence.
  if (!g_bRandomSeeded) {
    srand((unsigned)time(nullptr));
    g_bRandomSeeded = 1;
  }
  for (INT i = 0; i < WELL_COLUMNS; i++) {
    for (INT j = 0; j < WELL_ROWS; j++) {
      g_Well[i][j] = -1;
      g_WellNeighbours[i][j] = BN_NONE;
    }
  }
  g_bWellChanged = 0;
  g_uScore = 0;
  g_nPrevRows = 0;
  SetLevel(nLevel);
  g_fFallTimer = 0.0f;
  g_nShape = rand() % SHAPE_COUNT;
  g_nNextShape = rand() % SHAPE_COUNT;
  for (INT k = 0; k < SHAPE_COUNT; k++) g_ShapeCounts[k] = 0;
  g_nBlocksPlaced = 0;
  SpawnBlock();
  SetStatusText("Play the game!");
}

// Each level takes about a tenth of a second off the one-row fall.
void SetLevel(INT nLevel) {
  g_nLevel = nLevel;
  g_fFallInterval = 1.0f - (float)nLevel * 0.10555556f;
  UpdateStatusBar(FALSE);
}

// The block enters with its top cube row on row 0, in the middle column.
void SpawnBlock(void) {
  g_nShapeX = 5;
  g_nShapeY = 0;
  g_nShapeRot = 0;
  while (BlockBounds(g_nShape, g_nShapeX, g_nShapeY, 0) != 0) g_nShapeY++;
  if (!BlockFits(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot)) {
    g_bGameRunning = 0;
    SetStatusText("Game over");
    UpdateStatusBar(FALSE);
    CheckHighScore();
  }
  // After game over the last block stays drawn over the cubes it hit.
  PaintBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  // A Down key held for the previous block does not carry over.
  g_bDownHeld = 0;
}

// A turn off the walls or the top is pushed back in; nothing pushes a block
// away from cubes or upwards.
void MoveBlock(INT nDirection) {
  // After game over the last block is part of the final picture.
  if (g_nShape < 0 || !g_bGameRunning) return;
  INT nX = g_nShapeX;
  INT nY = g_nShapeY;
  INT nRot = g_nShapeRot;
  if (nDirection < 0)
    nX--;
  else if (nDirection > 0)
    nX++;
  else
    nRot = (nRot == 0) ? 3 : nRot - 1;

  EraseBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  BOOL bAccept = BlockFits(g_nShape, nX, nY, nRot);
  if (!bAccept && nDirection == 0) {
    for (;;) {
      INT nOut = BlockBounds(g_nShape, nX, nY, nRot);
      if (nOut == 1)
        nX++;
      else if (nOut == 2)
        nX--;
      else if (nOut == 3)
        nY++;
      else
        break;
    }
    bAccept = BlockFits(g_nShape, nX, nY, nRot);
  }
  if (bAccept) {
    g_nShapeX = nX;
    g_nShapeY = nY;
    g_nShapeRot = nRot;
  }
  PaintBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
}

// Drops without points; the tick of the same frame then locks the block.
void DropBlock(void) {
  if (g_nShape < 0 || !g_bGameRunning) return;
  for (;;) {
    EraseBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
    if (!BlockFits(g_nShape, g_nShapeX, g_nShapeY + 1, g_nShapeRot)) break;
    g_nShapeY++;
    PaintBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  }
  PaintBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  g_fFallTimer = g_fFallInterval;
}

// Empties one row of the well.
static void ClearRow(INT nRow) {
  for (INT i = 0; i < WELL_COLUMNS; i++) g_Well[i][nRow] = -1;
  g_bWellChanged = 1;
}

// True when every cell of the row holds a cube.
static BOOL RowIsFull(INT nRow) {
  for (INT i = 0; i < WELL_COLUMNS; i++)
    if (g_Well[i][nRow] < 0) return FALSE;
  return TRUE;
}

// Removes the row that waited out its pause and scores it.
static void RemovePendingRow(void) {
  if (!g_bRowBurst) ClearRow(g_nPendingRow);
  for (INT r = g_nPendingRow; r >= 1; r--)
    for (INT i = 0; i < WELL_COLUMNS; i++) g_Well[i][r] = g_Well[i][r - 1];
  // Row 0 has moved down into row 1; leaving it as it was would duplicate any
  // cubes a block locked there, so the top row enters empty.
  ClearRow(0);
  g_nBlockBonus += (WELL_ROWS - g_nPendingRow) * (g_nRowsThisBlock + g_nPrevRows);
  g_nPendingRow = -1;
}

// The block has come to rest: count it and raise the level on its mark.
static void LockBlock(void) {
  PaintBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  g_ShapeCounts[g_nShape]++;
  g_nBlocksPlaced++;
  if (g_nLevel < 9 && g_nBlocksPlaced == (g_nLevel + 1) * 100) SetLevel(g_nLevel + 1);
  g_nShape = -1;
  g_nPendingRow = -1;
  g_nRowsThisBlock = 0;
  g_nBlockBonus = 1;
}

// Full rows are handled one at a time, bottom first, each holding the game
// back by the row pause; a held Down key moves at most one row per frame.
void GameTick(void) {
  // After game over nothing moves until the next game.
  if (!g_bGameRunning) return;
  const float fStep = (g_bDownHeld && g_nShape >= 0) ? gc_fDownStep : g_fFallInterval;
  g_fFallTimer += g_fFrameTime;
  while (g_bGameRunning && g_fFallTimer >= fStep) {
    g_fFallTimer -= fStep;
    if (g_nShape >= 0) {
      if (g_bDownHeld)
        while (g_fFallTimer >= fStep) g_fFallTimer -= fStep;
      EraseBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
      if (BlockFits(g_nShape, g_nShapeX, g_nShapeY + 1, g_nShapeRot)) {
        g_nShapeY++;
        PaintBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
        continue;
      }
      LockBlock();
    }

    if (g_nPendingRow >= 0) RemovePendingRow();

    INT nFull = -1;
    for (INT r = WELL_ROWS - 1; r >= 0; r--) {
      if (RowIsFull(r)) {
        nFull = r;
        break;
      }
    }
    if (nFull >= 0) {
      g_nRowsThisBlock++;
      // With the burst on the row flies out now and the rows above drop
      // after the pause; without it the row stays visible for the pause.
      if (g_bRowBurst) {
        BurstRow(nFull);
        ClearRow(nFull);
      }
      g_nPendingRow = nFull;
      g_fFallTimer -= gc_fRowPause - g_fFallInterval;
    } else {
      NextBlock();
    }
  }
}

// Rows removed high up and right after another block's rows score more; the
// score is worth less while the next block is shown.
void NextBlock(void) {
  const UINT uFactor = g_bViewNext ? 2u : 3u;
  g_uScore += (UINT)(g_nLevel + 1) * (UINT)g_nBlockBonus * uFactor;
  g_nPrevRows = g_nRowsThisBlock;
  g_nShape = g_nNextShape;
  g_nNextShape = rand() % SHAPE_COUNT;
  SpawnBlock();
  UpdateStatusBar(FALSE);
}

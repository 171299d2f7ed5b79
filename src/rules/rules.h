// The game rules: the well, the seven block shapes, the falling block and the
// game in progress (score, level, statistics, next block, game over).
#pragma once

#include "platform/win32.h"

// ---- constants ------------------------------------------------------------

#define WELL_COLUMNS 10
#define WELL_ROWS 20
#define SHAPE_COUNT 7

// Neighbour bits of an occupied cell: which of its four neighbours are
// occupied too. They pick the cube mesh that leaves out the shared faces.
#define BN_NONE 0x0
#define BN_ABOVE 0x1
#define BN_BELOW 0x2
#define BN_LEFT 0x4
#define BN_RIGHT 0x8

// ---- types ----------------------------------------------------------------

// One block shape: four rotation states, each a square pattern of nSize x
// nSize characters stored row by row from the top, '#' for a cube.
typedef struct _BLOCKSHAPE {
  const char* lpszStates[4];
  INT nSize;
} BLOCKSHAPE;

// ---- globals --------------------------------------------------------------

// The well, column by column: -1 for an empty cell, else the shape index of
// the cube there. The falling block is painted into it like a resting one.
extern int32_t g_Well[WELL_COLUMNS][WELL_ROWS];
// Per occupied cell, the BN_* bits of its occupied neighbours.
extern uint32_t g_WellNeighbours[WELL_COLUMNS][WELL_ROWS];
// Non-zero when g_Well changed since g_WellNeighbours was last computed.
extern BOOL g_bWellChanged;

extern const BLOCKSHAPE g_BlockShapes[SHAPE_COUNT];

// The falling block; g_nShape is -1 from the moment it locks until the next
// one enters.
extern INT g_nShape;
extern INT g_nShapeX;
extern INT g_nShapeY;
extern INT g_nShapeRot;
extern INT g_nNextShape;

// The game in progress.
extern BOOL g_bGameRunning;
extern INT g_nLevel;
extern UINT g_uScore;
extern INT g_nBlocksPlaced;
extern INT g_ShapeCounts[SHAPE_COUNT];
extern INT g_nPrevRows;

// Fall timing and row removal.
extern float g_fFallInterval;
extern float g_fFallTimer;
extern BOOL g_bDownHeld;
extern INT g_nPendingRow;
extern INT g_nRowsThisBlock;
extern INT g_nBlockBonus;

// Set once the random sequence has been seeded in this run.
extern BOOL g_bRandomSeeded;

// ---- functions: the well --------------------------------------------------

// 1 when every cube of the block lies inside the well on an empty cell.
BOOL BlockFits(INT nShape, INT nX, INT nY, INT nRot);
// Where the first cube outside the well lies: 1 left, 3 above, 2 right,
// 4 below; 0 when the block is inside.
INT BlockBounds(INT nShape, INT nX, INT nY, INT nRot);
// Writes the block's cubes into the well.
void PaintBlock(INT nShape, INT nX, INT nY, INT nRot);
// Empties the cells of the block's cubes.
void EraseBlock(INT nShape, INT nX, INT nY, INT nRot);
// Recomputes the neighbour bits of every occupied cell.
void UpdateNeighbours(void);

// ---- functions: the game --------------------------------------------------

// Starts a game at the given level 0 to 9.
void NewGame(INT nLevel);
// Sets the level and its fall interval.
void SetLevel(INT nLevel);
// Puts g_nShape at its entry position, or ends the game when there is no room.
void SpawnBlock(void);
// -1 moves the block left, +1 right, 0 turns it.
void MoveBlock(INT nDirection);
// Moves the block straight down as far as it goes.
void DropBlock(void);
// Lets one frame's time pass: falling, locking, row removal, next block.
void GameTick(void);
// Scores the block that locked and brings in the next one.
void NextBlock(void);

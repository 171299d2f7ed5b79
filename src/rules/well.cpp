// The well and the block shapes: where a block's cubes lie, whether it fits,
// painting it into the grid and the neighbour bits that shape the cubes.

#include "rules/rules.h"

// ---- globals --------------------------------------------------------------

int32_t g_Well[WELL_COLUMNS][WELL_ROWS];
uint32_t g_WellNeighbours[WELL_COLUMNS][WELL_ROWS];
BOOL g_bWellChanged = 0;

// Turning clockwise steps the state up by one; the straight shape has only two
// distinct states, each used twice.
const BLOCKSHAPE g_BlockShapes[SHAPE_COUNT] = {
    // 0, square
    {{"####", "####", "####", "####"}, 2},
    // 1, straight
    {{"..#...#...#...#.", "........####....", "..#...#...#...#.", "........####...."}, 4},
    // 2
    {{".#..#.##.", "#..###...", ".##.#..#.", "...###..#"}, 3},
    // 3
    {{".#..#..##", "...####..", "##..#..#.", "..####..."}, 3},
    // 4
    {{"...##..##", ".#.##.#..", "##..##...", "..#.##.#."}, 3},
    // 5
    {{"....####.", "#..##..#.", ".####....", ".#..##..#"}, 3},
    // 6
    {{"....#.###", "#..##.#..", "###.#....", "..#.##..#"}, 3},
};

// The well is empty until the first game starts, not full of shape 0.
[[maybe_unused]] static const BOOL s_bWellEmptied = [] {
  for (int i = 0; i < WELL_COLUMNS; i++)
    for (int j = 0; j < WELL_ROWS; j++) g_Well[i][j] = -1;
  return TRUE;
}();

// ---- functions ------------------------------------------------------------

// Calls fn(column, row) for each cube of the block, pattern column by pattern
// column and row by row within it, until fn returns FALSE.
template <typename Fn>
static void ForEachCube(INT nShape, INT nX, INT nY, INT nRot, Fn fn) {
  const BLOCKSHAPE& shape = g_BlockShapes[nShape];
  const char* lpszPattern = shape.lpszStates[nRot];
  const INT n = shape.nSize;
  const INT nHalf = n / 2;
  for (INT i = 0; i < n; i++) {
    for (INT j = 0; j < n; j++) {
      if (lpszPattern[j * n + i] != '#') continue;
      if (!fn(nX + i - nHalf, nY + j - nHalf)) return;
    }
  }
}

// Inside the well and empty.
BOOL BlockFits(INT nShape, INT nX, INT nY, INT nRot) {
  BOOL bFits = 1;
  ForEachCube(nShape, nX, nY, nRot, [&](INT nCol, INT nRow) {
    if (nCol < 0 || nCol >= WELL_COLUMNS || nRow < 0 || nRow >= WELL_ROWS ||
        g_Well[nCol][nRow] >= 0) {
      bFits = 0;
      return FALSE;
    }
    return TRUE;
  });
  return bFits;
}

// The first cube outside decides, so a block off two walls reports the wall
// of whichever cube the order reaches first.
INT BlockBounds(INT nShape, INT nX, INT nY, INT nRot) {
  INT nResult = 0;
  ForEachCube(nShape, nX, nY, nRot, [&](INT nCol, INT nRow) {
    if (nCol < 0)
      nResult = 1;
    else if (nRow < 0)
      nResult = 3;
    else if (nCol >= WELL_COLUMNS)
      nResult = 2;
    else if (nRow >= WELL_ROWS)
      nResult = 4;
    return nResult == 0;
  });
  return nResult;
}

// Callers only paint places that fit, or that the block already holds.
void PaintBlock(INT nShape, INT nX, INT nY, INT nRot) {
  ForEachCube(nShape, nX, nY, nRot, [&](INT nCol, INT nRow) {
    g_Well[nCol][nRow] = nShape;
    return TRUE;
  });
  g_bWellChanged = 1;
}

// Callers only erase the place the block holds.
void EraseBlock(INT nShape, INT nX, INT nY, INT nRot) {
  ForEachCube(nShape, nX, nY, nRot, [&](INT nCol, INT nRow) {
    g_Well[nCol][nRow] = -1;
    return TRUE;
  });
  g_bWellChanged = 1;
}

// A neighbour outside the well counts as empty; empty cells keep stale bits
// because nobody reads them.
void UpdateNeighbours(void) {
  for (INT i = 0; i < WELL_COLUMNS; i++) {
    for (INT j = 0; j < WELL_ROWS; j++) {
      if (g_Well[i][j] < 0) continue;
      uint32_t uBits = BN_NONE;
      if (j > 0 && g_Well[i][j - 1] >= 0) uBits |= BN_ABOVE;
      if (j < WELL_ROWS - 1 && g_Well[i][j + 1] >= 0) uBits |= BN_BELOW;
      if (i > 0 && g_Well[i - 1][j] >= 0) uBits |= BN_LEFT;
      if (i < WELL_COLUMNS - 1 && g_Well[i + 1][j] >= 0) uBits |= BN_RIGHT;
      g_WellNeighbours[i][j] = uBits;
    }
  }
  g_bWellChanged = 0;
}

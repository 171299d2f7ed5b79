// The well and the shapes: the shape table, where a block's cubes land, the
// fit and bounds tests in their order, painting, and the neighbour bits.

#include <algorithm>
#include <string>
#include <vector>

#include "rules_fixture.h"

namespace {

// The pattern turned a quarter turn clockwise.
std::string TurnClockwise(const std::string& s, int n) {
  std::string out(s.size(), '.');
  for (int r = 0; r < n; r++)
    for (int c = 0; c < n; c++) out[r * n + c] = s[(n - 1 - c) * n + r];
  return out;
}

// The (column, row) cells a block paints into an empty well.
std::vector<std::pair<int, int>> CellsOf(INT nShape, INT nX, INT nY, INT nRot) {
  RulesTest::EmptyWell();
  PaintBlock(nShape, nX, nY, nRot);
  std::vector<std::pair<int, int>> cells;
  for (int i = 0; i < WELL_COLUMNS; i++)
    for (int j = 0; j < WELL_ROWS; j++)
      if (g_Well[i][j] >= 0) {
        EXPECT_EQ(g_Well[i][j], nShape);
        cells.push_back({i, j});
      }
  RulesTest::EmptyWell();
  return cells;
}

using Cells = std::vector<std::pair<int, int>>;

}  // namespace

class ShapeTable : public RulesTest {};

TEST_F(ShapeTable, StartStatesAndSizesAreAsDrawn) {
  const char* states0[SHAPE_COUNT] = {"####",     "..#...#...#...#.", ".#..#.##.", ".#..#..##",
                                      "...##..##", "....####.",        "....#.###"};
  const INT sizes[SHAPE_COUNT] = {2, 4, 3, 3, 3, 3, 3};
  for (int s = 0; s < SHAPE_COUNT; s++) {
    EXPECT_EQ(g_BlockShapes[s].nSize, sizes[s]) << "shape " << s;
    EXPECT_STREQ(g_BlockShapes[s].lpszStates[0], states0[s]) << "shape " << s;
  }
}

TEST_F(ShapeTable, EveryStateHasFourCubesAndTurnsClockwise) {
  for (int s = 0; s < SHAPE_COUNT; s++) {
    const int n = g_BlockShapes[s].nSize;
    for (int r = 0; r < 4; r++) {
      std::string state = g_BlockShapes[s].lpszStates[r];
      ASSERT_EQ(state.size(), (size_t)(n * n)) << "shape " << s << " state " << r;
      EXPECT_EQ(std::count(state.begin(), state.end(), '#'), 4) << "shape " << s << " state " << r;
    }
    for (int r = 0; r < 3; r++) {
      std::string next = g_BlockShapes[s].lpszStates[r + 1];
      if (s == 1) {
        // The straight shape alternates between its two states.
        EXPECT_EQ(next, std::string(g_BlockShapes[s].lpszStates[(r + 1) % 2]));
      } else {
        EXPECT_EQ(next, TurnClockwise(g_BlockShapes[s].lpszStates[r], n))
            << "shape " << s << " state " << r + 1;
      }
    }
  }
  EXPECT_EQ(std::string(g_BlockShapes[1].lpszStates[1]),
            TurnClockwise(g_BlockShapes[1].lpszStates[0], 4));
}

class Placement : public RulesTest {};

TEST_F(Placement, AnchorIsOffsetByHalfThePatternSize) {
  // Straight upright covers pattern column 2 minus 2: its anchor column only.
  EXPECT_EQ(CellsOf(1, 4, 5, 0), (Cells{{4, 3}, {4, 4}, {4, 5}, {4, 6}}));
  // Lying, it covers pattern row 2 minus 2: the anchor row, columns x-2..x+1.
  EXPECT_EQ(CellsOf(1, 4, 5, 1), (Cells{{2, 5}, {3, 5}, {4, 5}, {5, 5}}));
  EXPECT_EQ(CellsOf(0, 3, 7, 2), (Cells{{2, 6}, {2, 7}, {3, 6}, {3, 7}}));
  // ".#." ".#." "##." centred on the anchor.
  EXPECT_EQ(CellsOf(2, 5, 10, 0), (Cells{{4, 11}, {5, 9}, {5, 10}, {5, 11}}));
  EXPECT_EQ(CellsOf(6, 5, 10, 3), (Cells{{5, 10}, {6, 9}, {6, 10}, {6, 11}}));
}

TEST_F(Placement, PaintAndEraseMarkTheWellChanged) {
  EmptyWell();
  g_Well[0][0] = 5;
  g_bWellChanged = 0;
  PaintBlock(4, 5, 5, 0);
  EXPECT_TRUE(g_bWellChanged);
  EXPECT_EQ(CountCubes(), 5);
  g_bWellChanged = 0;
  EraseBlock(4, 5, 5, 0);
  EXPECT_TRUE(g_bWellChanged);
  EXPECT_EQ(CountCubes(), 1);
  EXPECT_EQ(g_Well[0][0], 5);
}

class FitAndBounds : public RulesTest {};

TEST_F(FitAndBounds, FitsOnlyInsideOnEmptyCells) {
  EmptyWell();
  EXPECT_TRUE(BlockFits(0, 1, 1, 0));    // top-left corner
  EXPECT_TRUE(BlockFits(0, 9, 19, 0));   // bottom-right corner
  EXPECT_FALSE(BlockFits(0, 0, 5, 0));   // column -1
  EXPECT_FALSE(BlockFits(0, 10, 5, 0));  // column 10
  EXPECT_FALSE(BlockFits(0, 5, 0, 0));   // row -1
  EXPECT_FALSE(BlockFits(0, 5, 20, 0));  // row 20
  g_Well[9][19] = 0;
  EXPECT_FALSE(BlockFits(0, 9, 19, 0));
  EXPECT_TRUE(BlockFits(0, 8, 19, 0));
}

TEST_F(FitAndBounds, BoundsIgnoresTheCells) {
  for (int i = 0; i < WELL_COLUMNS; i++)
    for (int j = 0; j < WELL_ROWS; j++) g_Well[i][j] = 2;
  EXPECT_EQ(BlockBounds(6, 5, 10, 0), 0);
  EmptyWell();
}

TEST_F(FitAndBounds, EachWallHasItsCode) {
  EmptyWell();
  EXPECT_EQ(BlockBounds(1, 1, 5, 1), 1);   // lying straight from column -1
  EXPECT_EQ(BlockBounds(1, 9, 5, 1), 2);   // ... to column 10
  EXPECT_EQ(BlockBounds(1, 5, 1, 0), 3);   // upright straight from row -1
  EXPECT_EQ(BlockBounds(1, 5, 19, 0), 4);  // ... to row 20
}

TEST_F(FitAndBounds, FirstCubeInPatternColumnOrderDecides) {
  EmptyWell();
  // Left and above at once: the top-left cube comes first and is left.
  EXPECT_EQ(BlockBounds(6, 0, 0, 2), 1);
  // Right and below: "..." ".#." "###" at (9,19) meets (8,20) before (10,20),
  // so it is below, not right.
  EXPECT_EQ(BlockBounds(6, 9, 19, 0), 4);
  // Right and above: (8,-1) comes before (10,-1).
  EXPECT_EQ(BlockBounds(6, 9, 0, 2), 3);
  // Left and below: the cube at (-1,20) is left before it is below.
  EXPECT_EQ(BlockBounds(2, 0, 19, 0), 1);
  // Pattern column 1 inside, pattern column 2 off the right: right only.
  EXPECT_EQ(BlockBounds(3, 9, 18, 0), 2);
}

class Neighbours : public RulesTest {};

TEST_F(Neighbours, EdgesOfTheWellCountAsEmpty) {
  EmptyWell();
  // Column 0 and column 9 of one row: no wrap-around left or right.
  g_Well[0][5] = 1;
  g_Well[9][5] = 1;
  // Row 0 of column 3 sits just after row 19 of column 2 in memory.
  g_Well[2][19] = 1;
  g_Well[3][0] = 1;
  // Row 19 of column 6 sits just before row 0 of column 7.
  g_Well[6][19] = 1;
  g_Well[7][0] = 1;
  g_bWellChanged = 1;
  UpdateNeighbours();
  EXPECT_FALSE(g_bWellChanged);
  EXPECT_EQ(g_WellNeighbours[0][5], (uint32_t)BN_NONE);
  EXPECT_EQ(g_WellNeighbours[9][5], (uint32_t)BN_NONE);
  EXPECT_EQ(g_WellNeighbours[3][0], (uint32_t)BN_NONE);
  EXPECT_EQ(g_WellNeighbours[2][19], (uint32_t)BN_NONE);
  EXPECT_EQ(g_WellNeighbours[6][19], (uint32_t)BN_NONE);
  EXPECT_EQ(g_WellNeighbours[7][0], (uint32_t)BN_NONE);
}

TEST_F(Neighbours, EachBitNamesItsNeighbour) {
  EmptyWell();
  g_Well[4][10] = 0;  // centre
  g_Well[4][9] = 0;   // above
  g_Well[4][11] = 0;  // below
  g_Well[3][10] = 0;  // left
  g_Well[5][10] = 0;  // right
  UpdateNeighbours();
  EXPECT_EQ(g_WellNeighbours[4][10], (uint32_t)(BN_ABOVE | BN_BELOW | BN_LEFT | BN_RIGHT));
  EXPECT_EQ(g_WellNeighbours[4][9], (uint32_t)BN_BELOW);
  EXPECT_EQ(g_WellNeighbours[4][11], (uint32_t)BN_ABOVE);
  EXPECT_EQ(g_WellNeighbours[3][10], (uint32_t)BN_RIGHT);
  EXPECT_EQ(g_WellNeighbours[5][10], (uint32_t)BN_LEFT);
  // A cube that leaves updates its neighbours' bits on the next pass.
  g_Well[4][10] = -1;
  UpdateNeighbours();
  EXPECT_EQ(g_WellNeighbours[4][9], (uint32_t)BN_NONE);
  EXPECT_EQ(g_WellNeighbours[3][10], (uint32_t)BN_NONE);
}

// The game rules over time: moves and their push back, the timed and held
// fall, locking, full rows and their pause, score, level, game over and the
// random sequence across games.

#include <cmath>
#include <ctime>
#include <vector>

#include "rules_fixture.h"

// ---- starting a game -----------------------------------------------------

class NewGameTest : public RulesTest {};

TEST_F(NewGameTest, EachShapeEntersWithItsTopCubeRowOnRowZero) {
  const INT anchorRows[SHAPE_COUNT] = {1, 2, 1, 1, 0, 0, 0};
  for (INT s = 0; s < SHAPE_COUNT; s++) {
    StartGame(1);
    EmptyWell();
    g_nShape = s;
    SpawnBlock();
    EXPECT_TRUE(g_bGameRunning);
    EXPECT_EQ(g_nShapeX, 5);
    EXPECT_EQ(g_nShapeY, anchorRows[s]) << "shape " << s;
    EXPECT_EQ(g_nShapeRot, 0);
    bool bTopRowUsed = false;
    for (INT i = 0; i < WELL_COLUMNS; i++) bTopRowUsed |= g_Well[i][0] == s;
    EXPECT_TRUE(bTopRowUsed) << "shape " << s;
    EXPECT_EQ(CountCubes(), 4);
  }
}

TEST_F(NewGameTest, ClearsWellScoreAndStatistics) {
  StartGame(3, 2);
  FillRow(19, 0);
  g_uScore = 1234;
  g_ShapeCounts[4] = 7;
  g_nBlocksPlaced = 7;
  g_nPrevRows = 2;
  g_bDownHeld = 1;
  SetStatusText("something else");
  NewGame(4);
  EXPECT_TRUE(g_bGameRunning);
  EXPECT_EQ(g_uScore, 0u);
  EXPECT_EQ(g_nLevel, 4);
  EXPECT_EQ(g_nBlocksPlaced, 0);
  EXPECT_EQ(g_nPrevRows, 0);
  for (INT k = 0; k < SHAPE_COUNT; k++) EXPECT_EQ(g_ShapeCounts[k], 0);
  EXPECT_EQ(CountCubes(), 4);  // only the new block
  EXPECT_EQ(g_fFallTimer, 0.0f);
  EXPECT_FALSE(g_bDownHeld);
  EXPECT_TRUE(g_bWellChanged);
  EXPECT_STREQ(g_szStatusText, "Play the game!");
}

TEST_F(NewGameTest, LaterGamesContinueTheRandomSequence) {
  srand(77);
  std::vector<int> draws;
  for (int k = 0; k < 4; k++) draws.push_back(rand() % 7);
  StartGame(77);
  EXPECT_EQ(g_nShape, draws[0]);
  EXPECT_EQ(g_nNextShape, draws[1]);
  NewGame(0);  // not reseeded: the next two draws
  EXPECT_EQ(g_nShape, draws[2]);
  EXPECT_EQ(g_nNextShape, draws[3]);
}

TEST_F(NewGameTest, FirstGameOfTheRunSeedsFromTheClock) {
  g_bRandomSeeded = 0;
  srand(12345);  // a sequence the game must not continue
  const time_t t0 = time(nullptr);
  NewGame(0);
  const time_t t1 = time(nullptr);
  EXPECT_TRUE(g_bRandomSeeded);
  std::vector<int> after;
  for (int k = 0; k < 6; k++) after.push_back(rand());
  bool bMatched = false;
  for (time_t t = t0; t <= t1 && !bMatched; t++) {
    srand((unsigned)t);
    bool bSame = rand() % 7 == g_nShape && rand() % 7 == g_nNextShape;
    for (int k = 0; k < 6 && bSame; k++) bSame = rand() == after[k];
    bMatched = bSame;
  }
  EXPECT_TRUE(bMatched);
  g_bRandomSeeded = 1;
}

TEST_F(NewGameTest, FallIntervalPerLevel) {
  const float table[10] = {1.0f,   0.8944f, 0.7889f, 0.6833f, 0.5778f,
                           0.4722f, 0.3667f, 0.2611f, 0.1556f, 0.05f};
  for (INT l = 0; l < 10; l++) {
    SetLevel(l);
    EXPECT_EQ(g_nLevel, l);
    EXPECT_NEAR(g_fFallInterval, table[l], 5e-5) << "level " << l;
  }
}

// ---- moves and turns -------------------------------------------------------

class Moves : public RulesTest {
 protected:
  void SetUp() override {
    RulesTest::SetUp();
    StartGame(5);
  }
};

TEST_F(Moves, SidewaysIntoWallOrCubesChangesNothing) {
  SetBlock(0, 1, 10, 0);  // square on columns 0 and 1
  MoveBlock(-1);
  EXPECT_EQ(g_nShapeX, 1);
  EXPECT_EQ(g_Well[0][10], 0);
  SetBlock(0, 9, 10, 0);  // columns 8 and 9
  MoveBlock(+1);
  EXPECT_EQ(g_nShapeX, 9);
  g_Well[7][9] = 4;
  MoveBlock(-1);
  EXPECT_EQ(g_nShapeX, 9);
  EXPECT_EQ(g_Well[7][9], 4);
  EXPECT_EQ(CountCubes(), 5);
  MoveBlock(+1);
  EXPECT_EQ(g_nShapeX, 9);
  SetBlock(0, 5, 10, 0);
  MoveBlock(+1);
  EXPECT_EQ(g_nShapeX, 6);
  EXPECT_EQ(g_Well[6][10], 0);
  EXPECT_EQ(g_Well[4][10], -1);
}

TEST_F(Moves, TurnStepsTheStateDownAndWraps) {
  SetBlock(6, 5, 10, 0);
  MoveBlock(0);
  EXPECT_EQ(g_nShapeRot, 3);
  MoveBlock(0);
  EXPECT_EQ(g_nShapeRot, 2);
  EXPECT_EQ(g_Well[4][9], 6);  // "###" on top
  EXPECT_EQ(g_Well[6][9], 6);
  EXPECT_EQ(CountCubes(), 4);
}

TEST_F(Moves, SquareTurnRepaintsTheSameCells) {
  SetBlock(0, 5, 10, 0);
  int32_t before[WELL_COLUMNS][WELL_ROWS];
  std::memcpy(before, g_Well, sizeof(before));
  MoveBlock(0);
  EXPECT_EQ(std::memcmp(before, g_Well, sizeof(before)), 0);
  EXPECT_EQ(g_nShapeX, 5);
  EXPECT_EQ(g_nShapeY, 10);
}

TEST_F(Moves, TurnIsPushedOffTheLeftWall) {
  SetBlock(1, 0, 10, 0);  // upright straight in column 0
  MoveBlock(0);           // lying would reach columns -2..1
  EXPECT_EQ(g_nShapeRot, 3);
  EXPECT_EQ(g_nShapeX, 2);
  for (INT i = 0; i < 4; i++) EXPECT_EQ(g_Well[i][10], 1) << "column " << i;
  EXPECT_EQ(CountCubes(), 4);
}

TEST_F(Moves, TurnIsPushedOffTheRightWall) {
  SetBlock(1, 9, 10, 0);  // lying would reach columns 7..10
  MoveBlock(0);
  EXPECT_EQ(g_nShapeRot, 3);
  EXPECT_EQ(g_nShapeX, 8);
  for (INT i = 6; i < 10; i++) EXPECT_EQ(g_Well[i][10], 1) << "column " << i;
  EXPECT_EQ(CountCubes(), 4);
}

TEST_F(Moves, TurnIsPushedDownFromTheTop) {
  SetBlock(1, 5, 0, 1);  // lying straight on row 0
  MoveBlock(0);          // upright would cover rows -2..1
  EXPECT_EQ(g_nShapeRot, 0);
  EXPECT_EQ(g_nShapeY, 2);
  for (INT j = 0; j < 4; j++) EXPECT_EQ(g_Well[5][j], 1) << "row " << j;
  EXPECT_EQ(CountCubes(), 4);
}

TEST_F(Moves, PushedTurnOntoCubesIsRefused) {
  g_Well[3][10] = 4;
  SetBlock(1, 0, 10, 0);
  MoveBlock(0);  // pushed to columns 0..3, where (3,10) is taken
  EXPECT_EQ(g_nShapeRot, 0);
  EXPECT_EQ(g_nShapeX, 0);
  for (INT j = 8; j < 12; j++) EXPECT_EQ(g_Well[0][j], 1);
  EXPECT_EQ(g_Well[3][10], 4);
  EXPECT_EQ(CountCubes(), 5);
}

TEST_F(Moves, NoPushAwayFromCubes) {
  // Lying at columns 3..6 would hit (3,10); one column right would fit.
  g_Well[3][10] = 4;
  SetBlock(1, 5, 10, 0);
  MoveBlock(0);
  EXPECT_EQ(g_nShapeRot, 0);
  EXPECT_EQ(g_nShapeX, 5);
  EXPECT_EQ(g_nShapeY, 10);
  EXPECT_EQ(CountCubes(), 5);
}

TEST_F(Moves, NoPushUpFromTheFloor) {
  // "#.." "###" on rows 18 and 19; turning to ".#." ".#." "##." would need
  // row 20, and one row up would fit.
  SetBlock(2, 5, 19, 1);
  MoveBlock(0);
  EXPECT_EQ(g_nShapeRot, 1);
  EXPECT_EQ(g_nShapeY, 19);
  EXPECT_EQ(g_Well[4][18], 2);
  EXPECT_EQ(CountCubes(), 4);
}

TEST_F(Moves, MovesWaitWhileNoBlockFalls) {
  SetBlock(0, 5, 10, 0);
  g_nShape = -1;
  MoveBlock(-1);
  MoveBlock(0);
  DropBlock();
  EXPECT_EQ(g_nShapeX, 5);
  EXPECT_EQ(g_nShapeY, 10);
  EXPECT_EQ(g_Well[4][10], 0);
}

TEST_F(Moves, DropGoesToTheBottomAndLocksInTheSameFrame) {
  SetBlock(0, 5, 1, 0);
  g_Well[5][15] = 3;
  DropBlock();
  EXPECT_EQ(g_nShapeY, 14);
  EXPECT_EQ(g_uScore, 0u);  // no points for the drop itself
  EXPECT_EQ(g_fFallTimer, g_fFallInterval);
  const INT nNext = g_nNextShape;
  Tick(0.016f);
  EXPECT_EQ(g_nBlocksPlaced, 1);
  EXPECT_EQ(g_ShapeCounts[0], 1);
  EXPECT_EQ(g_nShape, nNext);
  EXPECT_EQ(g_Well[5][14], 0);
  EXPECT_EQ(g_Well[4][13], 0);
}

// ---- the fall ---------------------------------------------------------------

class Fall : public RulesTest {
 protected:
  void SetUp() override {
    RulesTest::SetUp();
    StartGame(9);
    SetBlock(0, 5, 1, 0);
  }
};

TEST_F(Fall, OneRowPerIntervalAtTheLevel) {
  Tick(0.5f);
  EXPECT_EQ(g_nShapeY, 1);
  Tick(0.5f);
  EXPECT_EQ(g_nShapeY, 2);
  // A long frame catches up on every interval it stands for.
  Tick(3.0f);
  EXPECT_EQ(g_nShapeY, 5);
}

TEST_F(Fall, HeldDownMovesAtMostOneRowPerFrame) {
  g_bDownHeld = 1;
  Tick(0.5f);  // ten soft-drop steps, one row
  EXPECT_EQ(g_nShapeY, 2);
  EXPECT_LT(g_fFallTimer, 0.05f);
  g_fFallTimer = 0.0f;
  Tick(0.03f);
  EXPECT_EQ(g_nShapeY, 2);
  Tick(0.03f);
  EXPECT_EQ(g_nShapeY, 3);
  // Released: back to the level's one row per second, with no queued rows.
  g_bDownHeld = 0;
  Tick(0.9f);
  EXPECT_EQ(g_nShapeY, 3);
  Tick(0.1f);
  EXPECT_EQ(g_nShapeY, 4);
}

TEST_F(Fall, HeldDownDoesNotCarryOverToTheNextBlock) {
  g_bDownHeld = 1;
  DropBlock();
  Tick(0.016f);
  EXPECT_GE(g_nShape, 0);
  EXPECT_FALSE(g_bDownHeld);
}

// ---- full rows ----------------------------------------------------------------

class Rows : public RulesTest {
 protected:
  // An upright straight that drops into column nCol.
  static void StraightInto(INT nCol) { SetBlock(1, nCol, 2, 0); }
};

TEST_F(Rows, WithoutBurstTheRowStaysVisibleForThePause) {
  StartGame(11);
  g_bRowBurst = 0;
  FillRow(19, 0);
  g_Well[4][18] = 5;  // drops with the rows above
  StraightInto(0);
  DropBlock();
  Tick(0.016f);
  EXPECT_EQ(g_nShape, -1);
  EXPECT_EQ(g_nPendingRow, 19);
  for (INT i = 0; i < WELL_COLUMNS; i++) EXPECT_GE(g_Well[i][19], 0);
  Tick(0.72f);
  EXPECT_EQ(g_nPendingRow, 19);
  EXPECT_EQ(g_Well[4][19], 3);
  EXPECT_EQ(g_Well[4][18], 5);
  g_bWellChanged = 0;
  Tick(0.03f);  // 0.75 s are over
  EXPECT_EQ(g_nPendingRow, -1);
  EXPECT_EQ(g_Well[4][19], 5);
  EXPECT_EQ(g_Well[0][19], 1);  // the straight's upper cubes moved down
  EXPECT_EQ(g_Well[0][16], -1);
  EXPECT_TRUE(g_bWellChanged);
  EXPECT_GE(g_nShape, 0);
  EXPECT_EQ(g_uBurstCount, 0u);
}

TEST_F(Rows, WithBurstTheRowVanishesAtOnceAndFliesOut) {
  StartGame(11);
  g_bRowBurst = 1;
  FillRow(19, 9, 2);
  g_Well[4][18] = 5;
  StraightInto(9);
  DropBlock();
  Tick(0.016f);
  EXPECT_EQ(g_nPendingRow, 19);
  for (INT i = 0; i < WELL_COLUMNS; i++) EXPECT_EQ(g_Well[i][19], -1);
  EXPECT_EQ(g_Well[4][18], 5);  // the rows above wait for the pause
  ASSERT_EQ(g_uBurstCount, 10u);
  for (UINT k = 0; k < 10; k++) {
    EXPECT_FLOAT_EQ(g_pBurst[k].vVel.x, -4.5f + (float)k);
    EXPECT_EQ(g_pBurst[k].nMaterial, k == 9 ? 1 : 2);
  }
  Tick(0.72f);
  EXPECT_EQ(g_Well[4][18], 5);
  Tick(0.03f);
  EXPECT_EQ(g_Well[4][19], 5);
  EXPECT_EQ(g_Well[4][18], -1);
  EXPECT_EQ(g_uBurstCount, 10u);
}

TEST_F(Rows, SeveralRowsOneAtATimeBottomFirst) {
  StartGame(13);
  g_bRowBurst = 1;
  for (INT r = 16; r < 20; r++) FillRow(r, 4);
  g_Well[7][15] = 6;
  StraightInto(4);
  DropBlock();
  // The row each removal step found, as it waits out its pause.
  std::vector<INT> rows;
  Tick(0.016f);
  for (int k = 0; k < 200 && g_nShape < 0; k++) {
    if (rows.size() < (size_t)g_nRowsThisBlock) rows.push_back(g_nPendingRow);
    Tick(0.05f);
  }
  EXPECT_EQ(rows, (std::vector<INT>{19, 19, 19, 19}));
  EXPECT_EQ(g_uBurstCount, 40u);
  EXPECT_EQ(g_Well[7][19], 6);
  EXPECT_EQ(CountCubes(), 1 + 4);  // the lone cube and the next block
}

TEST_F(Rows, EachRemovalWaitsItsOwnPause) {
  StartGame(13);
  g_bRowBurst = 0;
  FillRow(18, 4);
  FillRow(19, 4);
  StraightInto(4);
  DropBlock();
  Tick(0.016f);
  EXPECT_EQ(g_nRowsThisBlock, 1);
  Tick(0.7f);
  EXPECT_EQ(g_nRowsThisBlock, 1);
  Tick(0.1f);  // first row removed, second found at the same row number
  EXPECT_EQ(g_nRowsThisBlock, 2);
  EXPECT_EQ(g_nPendingRow, 19);
  Tick(0.6f);
  EXPECT_EQ(g_nShape, -1);
  Tick(0.2f);
  EXPECT_GE(g_nShape, 0);
}

TEST_F(Rows, RowsWithAGapBetweenAreFoundWhereTheyMoved) {
  StartGame(13);
  FillRow(17, 4);
  FillRow(18, 4);
  g_Well[4][18] = -1;
  g_Well[3][18] = -1;  // row 18 stays open after the drop
  FillRow(19, 4);
  StraightInto(4);
  DropBlock();
  Tick(0.016f);
  EXPECT_EQ(g_nPendingRow, 19);
  Tick(0.75f);
  EXPECT_EQ(g_nPendingRow, 18);  // former row 17, moved down
  ASSERT_TRUE(RunUntilNextBlock());
  // 2 x (1 + 1 x 1 + 2 x 2)
  EXPECT_EQ(g_uScore, 12u);
}

TEST_F(Rows, TopRowIsEmptiedByTheShift) {
  StartGame(17);
  g_bRowBurst = 0;
  FillRow(19, 9);
  g_Well[0][0] = 3;  // a cube left at the very top
  StraightInto(9);
  DropBlock();
  ASSERT_TRUE(RunUntilNextBlock());
  EXPECT_EQ(g_Well[0][1], 3);
  EXPECT_EQ(g_Well[0][0], -1);
}

// ---- score -----------------------------------------------------------------

class Score : public RulesTest {
 protected:
  // Drops an upright straight into column 0 with the given number of bottom
  // rows waiting for it, and lets the game reach the next block.
  static void ClearBottomRows(INT nRows) {
    EmptyWell();
    for (INT r = WELL_ROWS - nRows; r < WELL_ROWS; r++) FillRow(r, 0);
    SetBlock(1, 0, 2, 0);
    DropBlock();
    ASSERT_TRUE(RunUntilNextBlock());
  }
  // Drops a square at the right without completing a row.
  static void PlaceWithoutRows() {
    SetBlock(0, 9, 1, 0);
    DropBlock();
    Tick(0.016f);
    ASSERT_GE(g_nShape, 0);
  }
};

TEST_F(Score, BottomRowExamples) {
  StartGame(21);
  ClearBottomRows(1);
  EXPECT_EQ(g_uScore, 4u);
  EXPECT_EQ(g_nPrevRows, 1);
  StartGame(21);
  ClearBottomRows(2);
  EXPECT_EQ(g_uScore, 8u);
  StartGame(21);
  ClearBottomRows(4);
  EXPECT_EQ(g_uScore, 22u);
  EXPECT_EQ(g_nPrevRows, 4);
  EXPECT_EQ(CountCubes(), 4);  // only the next block is left
}

TEST_F(Score, RowsRightAfterAnotherBlocksRowsScoreMore) {
  StartGame(23);
  ClearBottomRows(1);
  EXPECT_EQ(g_uScore, 4u);
  ClearBottomRows(1);  // 2 x (1 + 1 x (1 + 1))
  EXPECT_EQ(g_uScore, 10u);
  PlaceWithoutRows();
  EXPECT_EQ(g_uScore, 12u);
  EXPECT_EQ(g_nPrevRows, 0);
  // The block without rows breaks the run: back to the plain value.
  ClearBottomRows(1);
  EXPECT_EQ(g_uScore, 16u);
}

TEST_F(Score, LevelAndHiddenNextBlockMultiply) {
  StartGame(25, 2);
  g_bViewNext = 0;
  PlaceWithoutRows();
  EXPECT_EQ(g_uScore, 9u);  // (2 + 1) x 3
  g_bViewNext = 1;
  PlaceWithoutRows();
  EXPECT_EQ(g_uScore, 15u);  // + (2 + 1) x 2
  ClearBottomRows(1);  // 3 x 2 x (1 + 1 x 1)
  EXPECT_EQ(g_uScore, 27u);
}

TEST_F(Score, ArithmeticWrapsAt32Bits) {
  StartGame(27);
  g_uScore = 0xFFFFFFFFu;
  Score::PlaceWithoutRows();
  EXPECT_EQ(g_uScore, 1u);
}

// ---- level -----------------------------------------------------------------

class Level : public RulesTest {
 protected:
  static void LockOne() {
    SetBlock(0, 9, 1, 0);
    DropBlock();
    Tick(0.016f);
    // Clear the well so that the game can go on as long as needed.
    EmptyWell();
    SetBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  }
};

TEST_F(Level, RisesExactlyAtTheMark) {
  StartGame(31);
  g_nBlocksPlaced = 98;
  LockOne();
  EXPECT_EQ(g_nLevel, 0);
  LockOne();
  EXPECT_EQ(g_nBlocksPlaced, 100);
  EXPECT_EQ(g_nLevel, 1);
  EXPECT_NEAR(g_fFallInterval, 0.8944f, 5e-5);
  LockOne();
  EXPECT_EQ(g_nLevel, 1);
  g_nBlocksPlaced = 199;
  LockOne();
  EXPECT_EQ(g_nLevel, 2);
}

TEST_F(Level, MarkUsesTheCurrentLevel) {
  StartGame(33, 5);
  g_nBlocksPlaced = 99;
  LockOne();
  EXPECT_EQ(g_nLevel, 5);
  g_nBlocksPlaced = 599;
  LockOne();
  EXPECT_EQ(g_nLevel, 6);
}

TEST_F(Level, NeverRisesFromNine) {
  StartGame(35, 9);
  g_nBlocksPlaced = 999;
  LockOne();
  EXPECT_EQ(g_nBlocksPlaced, 1000);
  EXPECT_EQ(g_nLevel, 9);
}

TEST_F(Level, NewSpeedAppliesToTheNextBlock) {
  StartGame(37);
  g_nBlocksPlaced = 99;
  SetBlock(0, 9, 1, 0);
  DropBlock();
  Tick(0.016f);  // locks the hundredth block
  ASSERT_EQ(g_nLevel, 1);
  const INT nY = g_nShapeY;
  Tick(0.88f);  // 0.896 s collected: one row at level 1, none at level 0
  EXPECT_EQ(g_nShapeY, nY + 1);
}

// ---- game over -------------------------------------------------------------

class GameOver : public RulesTest {};

TEST_F(GameOver, NoRoomToEnterEndsTheGame) {
  StartGame(41);
  SetBlock(0, 1, 19, 0);
  DropBlock();
  const INT nNext = g_nNextShape;
  const int32_t nStack = (nNext + 1) % SHAPE_COUNT;
  // A stack in the middle columns, no row full.
  for (INT i = 3; i <= 7; i++)
    for (INT j = 0; j < 19; j++) g_Well[i][j] = nStack;
  const UINT uScoreBefore = g_uScore;
  Tick(0.016f);
  EXPECT_FALSE(g_bGameRunning);
  EXPECT_STREQ(g_szStatusText, "Game over");
  EXPECT_EQ(g_nShape, nNext);
  EXPECT_EQ(g_uScore, uScoreBefore + 2u);  // the last locked block still scores
  // The last block is drawn over the stack at its entry place.
  int nPainted = 0;
  for (INT i = 0; i < WELL_COLUMNS; i++)
    for (INT j = 0; j < 3; j++) nPainted += g_Well[i][j] == nNext;
  EXPECT_EQ(nPainted, 4);

  // Nothing changes after game over.
  int32_t well[WELL_COLUMNS][WELL_ROWS];
  std::memcpy(well, g_Well, sizeof(well));
  const float fTimer = g_fFallTimer;
  const UINT uScore = g_uScore;
  Tick(5.0f);
  MoveBlock(-1);
  MoveBlock(0);
  DropBlock();
  Tick(5.0f);
  EXPECT_EQ(std::memcmp(well, g_Well, sizeof(well)), 0);
  EXPECT_EQ(g_fFallTimer, fTimer);
  EXPECT_EQ(g_uScore, uScore);
  EXPECT_STREQ(g_szStatusText, "Game over");
}

TEST_F(GameOver, TickLoopStopsAtGameOverWhateverTimeIsLeft) {
  StartGame(43, 9);  // 0.05 s per row: a long frame holds many steps
  for (INT i = 0; i < WELL_COLUMNS; i++)
    for (INT j = 3; j < WELL_ROWS; j++) g_Well[i][j] = (i == 0) ? -1 : 4;
  SetBlock(0, 9, 1, 0);  // falls one row onto the cubes
  for (INT j = 0; j < 3; j++) g_Well[5][j] = 4;
  for (INT j = 0; j < 3; j++) g_Well[4][j] = 4;
  Tick(10.0f);
  EXPECT_FALSE(g_bGameRunning);
  EXPECT_EQ(g_nBlocksPlaced, 1);
  EXPECT_GT(g_fFallTimer, 5.0f);
}

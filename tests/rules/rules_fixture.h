// Shared set-up for the rules tests: a repeatable game, the options the rules
// read put back afterwards, and helpers to build a well by hand.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "main/timer.h"
#include "options/options.h"
#include "platform/win_dialog.h"
#include "render/render.h"
#include "rules/rules.h"
#include "window/window.h"

class RulesTest : public ::testing::Test {
 public:
  void SetUp() override {
    m_bRowBurst = g_bRowBurst;
    m_bViewNext = g_bViewNext;
    g_bRowBurst = 1;
    g_bViewNext = 1;
    g_bDownHeld = 0;
    g_uBurstCount = 0;
    // A game over offers the high-score table; here the player declines.
    platform_test::SetDialogHandler([](const platform_test::DialogCall&) { return (INT_PTR)IDCANCEL; });
  }
  void TearDown() override {
    platform_test::SetDialogHandler(nullptr);
    g_bRowBurst = m_bRowBurst;
    g_bViewNext = m_bViewNext;
    g_bDownHeld = 0;
    g_uBurstCount = 0;
  }

  // A game whose shapes follow a known sequence.
  static void StartGame(unsigned uSeed, INT nLevel = 0) {
    g_bRandomSeeded = 1;
    srand(uSeed);
    NewGame(nLevel);
  }

  // Replaces the falling block by the given one.
  static void SetBlock(INT nShape, INT nX, INT nY, INT nRot) {
    if (g_nShape >= 0) EraseBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
    g_nShape = nShape;
    g_nShapeX = nX;
    g_nShapeY = nY;
    g_nShapeRot = nRot;
    PaintBlock(nShape, nX, nY, nRot);
  }

  // Fills a row with cubes, leaving one column open (or none with -1).
  static void FillRow(INT nRow, INT nOpenColumn, int32_t nValue = 3) {
    for (INT i = 0; i < WELL_COLUMNS; i++)
      if (i != nOpenColumn) g_Well[i][nRow] = nValue;
  }

  static void Tick(float fSeconds) {
    g_fFrameTime = fSeconds;
    GameTick();
  }

  // Lets time pass in small frames until the next block falls; false if it
  // never comes.
  static bool RunUntilNextBlock(void) {
    Tick(0.016f);
    for (int k = 0; k < 1000 && g_bGameRunning && g_nShape < 0; k++) Tick(0.05f);
    return g_nShape >= 0;
  }

  static void EmptyWell(void) {
    for (INT i = 0; i < WELL_COLUMNS; i++)
      for (INT j = 0; j < WELL_ROWS; j++) g_Well[i][j] = -1;
  }

  // Number of occupied cells in the well.
  static int CountCubes(void) {
    int n = 0;
    for (INT i = 0; i < WELL_COLUMNS; i++)
      for (INT j = 0; j < WELL_ROWS; j++)
        if (g_Well[i][j] >= 0) n++;
    return n;
  }

 private:
  BOOL m_bRowBurst = 1;
  BOOL m_bViewNext = 1;
};

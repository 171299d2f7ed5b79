// The cost of one whole frame on a mid-game state: about 120 cubes in the
// well, the statistics column with the next shape turning, and 40 cubes of a
// row burst in flight; the game's time step, the drawing and the copy to the
// view, at a small and at a full-HD view.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "mid_game.h"

#include "game/game.h"
#include "main/timer.h"
#include "maths/maths.h"
#include "options/options.h"
#include "platform/dx_hooks.h"
#include "platform/qt_app.h"
#include "render/render.h"
#include "rules/rules.h"
#include "video_main/video_main.h"
#include "window/window.h"

namespace {

// The state every iteration starts from, so that each frame draws the same.
struct MidGame {
  int32_t well[WELL_COLUMNS][WELL_ROWS];
  BURSTCUBE burst[40];
  float fFallTimer;
  float spin[7];
};

MidGame s_MidGame;

}  // namespace

// Builds the mid-game picture once: four rows burst and half a second into
// their flight, then a well of 13 rows with one gap each under the falling
// block.
void BuildMidGame(void) {
  static bool s_bTables = false;
  if (!s_bTables) {
    platform::EnsureApplication();
    InitSinTable();
    InitRender();
    s_bTables = true;
  }
  g_bViewStats = 1;
  g_bViewNext = 1;
  g_bRowBurst = 1;
  g_bShowFPS = 0;
  g_uBlockType = 1;
  g_dwShadeMode = 2;
  g_bRandomSeeded = 1;
  srand(3);
  NewGame(0);
  EraseBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  g_uBurstCount = 0;
  for (INT r = 16; r < 20; r++) {
    for (INT i = 0; i < WELL_COLUMNS; i++) g_Well[i][r] = (i + r) % SHAPE_COUNT;
    BurstRow(r);
  }
  for (INT i = 0; i < WELL_COLUMNS; i++)
    for (INT r = 0; r < WELL_ROWS; r++) {
      const bool bGap = i == (r * 3) % WELL_COLUMNS;
      g_Well[i][r] = (r >= 7 && !bGap) ? (i * 2 + r) % SHAPE_COUNT : -1;
    }
  PaintBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  g_bWellChanged = 1;
  g_fStatSpin[g_nNextShape] = 0.3f;
  for (int k = 0; k < 10; k++) {
    g_fFrameTime = 0.05f;
    // Half a second of flight, without a device: move the records by hand
    // exactly as the drawing pass does.
    for (UINT c = 0; c < g_uBurstCount; c++) {
      BURSTCUBE& b = g_pBurst[c];
      b.vPos.x += g_fFrameTime * b.vVel.x;
      b.vPos.y += g_fFrameTime * b.vVel.y;
      b.vPos.z += g_fFrameTime * b.vVel.z;
      b.vVel.y -= 0.98f * g_fFrameTime;
    }
  }
  memcpy(s_MidGame.well, g_Well, sizeof(g_Well));
  memcpy(s_MidGame.burst, g_pBurst, sizeof(s_MidGame.burst));
  s_MidGame.fFallTimer = g_fFallTimer;
  memcpy(s_MidGame.spin, g_fStatSpin, sizeof(g_fStatSpin));
}

// Puts the mid-game state back (about a kilobyte of copying).
void RestoreMidGame(void) {
  memcpy(g_Well, s_MidGame.well, sizeof(g_Well));
  g_bWellChanged = 1;
  memcpy(g_pBurst, s_MidGame.burst, sizeof(s_MidGame.burst));
  g_uBurstCount = 40;
  g_fFallTimer = s_MidGame.fFallTimer;
  memcpy(g_fStatSpin, s_MidGame.spin, sizeof(g_fStatSpin));
}

namespace {

// One frame as the main loop runs it: the frame (with the game's time step
// inside) and the copy of the back buffer to the view.
void BM_FullFrame(benchmark::State& state) {
  BuildMidGame();
  platform::SetPresentHandler(nullptr);
  InitGraph();
  for (INT i = LIGHT_POINT1; i <= LIGHT_POINT3; i++) EnableLight(i, TRUE);
  g_nViewW = (INT)state.range(0);
  g_nViewH = (INT)state.range(1);
  g_nViewScreenX = 0;
  g_nViewScreenY = 0;
  RebuildSurfaces();
  int nCubes = 0;
  for (INT i = 0; i < WELL_COLUMNS; i++)
    for (INT r = 0; r < WELL_ROWS; r++) nCubes += g_Well[i][r] >= 0;
  for (auto _ : state) {
    RestoreMidGame();
    g_fFrameTime = 1.0f / 60.0f;
    GameFrame();
    PresentFrame();
  }
  state.counters["well_cubes"] = nCubes;
  state.counters["flying_cubes"] = g_uBurstCount;
  FreeGraph();
}

}  // namespace

BENCHMARK(BM_FullFrame)
    ->Args({400, 400})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

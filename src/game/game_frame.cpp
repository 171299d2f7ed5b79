// One frame of play and drawing: the player's keys, the game's time step,
// then the picture of the well, its cubes, the row burst and the statistics,
// all inside one Direct3D scene. The main loop runs it whenever it is idle
// and nothing holds the game suspended; the graphics device then presents
// the finished back buffer.
//
// Every DirectX call here works on surfaces the platform may take away at
// any moment (another program going full screen, a display change). Such a
// lost surface is restored and the call made once more; any other failure,
// or a second one, cannot be worked round and ends the game with a report.

#include <cstring>

#include "game/game.h"
#include "input/input.h"
#include "main/fatal.h"
#include "options/options.h"
#include "platform/d3d.h"
#include "platform/ddraw.h"
#include "render/render.h"
#include "rules/rules.h"
#include "video_main/video_main.h"

// ---- constants and globals ------------------------------------------------

// The fill of the back buffer: black, the colour of an empty picture.
static const DWORD gc_dwBackgroundColour = 0;
// Whether the last frame played a game: a new one drops the keys of before.
static BOOL s_bPlayedLastFrame = FALSE;

// ---- functions ------------------------------------------------------------

// Keys first, so that a move lands before the block falls further.
static void PlayFrame(void) {
  if (!s_bPlayedLastFrame) DiscardKeyEvents();
  ReadKeyboard();
  GameTick();
}

// The frame itself: play while a game runs, then draw everything afresh.
// After game over the frames go on: the final well, the last game's counts
// and the flying cubes stay until a new game, and the turning statistics
// shape eases to rest. The depth buffer is cleared over the whole back
// buffer, filled black so that nothing of the previous frame shows through;
// the drawing calls handle their own failures.
void GameFrame(void) {
  if (g_bGameRunning) PlayFrame();
  s_bPlayedLastFrame = g_bGameRunning;
  DDBLTFX bltfx;
  memset(&bltfx, 0, sizeof(bltfx));
  bltfx.dwSize = sizeof(bltfx);
  bltfx.dwFillColor = gc_dwBackgroundColour;
  // A zero fill is the black the Blt below paints: the size field tells the
  // platform which layout of the effects record it was handed.

  CHECK_DX_RETRY(IDirect3DViewport2_Clear(g_Viewport, 1, (LPD3DRECT) &g_rBackBuffer, D3DCLEAR_ZBUFFER));
  CHECK_DX_RETRY(IDirectDrawSurface3_Blt(g_BackBuffer, NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &bltfx));

  // Everything of the picture is drawn inside one scene.
  CHECK_DX_RETRY(IDirect3DDevice2_BeginScene(g_3DD));
  DrawWell();
  DrawBlocks();
  // Flying cubes only while the burst is wanted; switching it off has
  // dropped them already.
  if (g_bRowBurst) DrawBurst();
  // Last, so that the counts are written over the finished scene.
  DrawStats();

  CHECK_DX_RETRY(IDirect3DDevice2_EndScene(g_3DD));
}

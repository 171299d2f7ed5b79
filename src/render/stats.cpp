// The statistics column beside the well: the seven shapes in their colours
// with the number of blocks of each used in this game, the next shape
// turning in place and a shape that stops being the next one easing to rest.

#include <cmath>
#include <cstdio>

#include "main/fatal.h"
#include "main/timer.h"
#include "maths/maths.h"
#include "options/options.h"
#include "platform/d3d.h"
#include "render/render.h"
#include "rules/rules.h"
#include "video_main/video_main.h"

// ---- globals --------------------------------------------------------------

// Left column for the even shapes, right column for the odd ones.
const D3DVECTOR g_vStatPos[7] = {
    {-7.5f, 17.5f, 0.0f}, {7.5f, 17.5f, 0.0f}, {-7.5f, 12.5f, 0.0f}, {7.5f, 12.5f, 0.0f},
    {-7.5f, 7.5f, 0.0f},  {7.5f, 7.5f, 0.0f},  {-7.5f, 2.5f, 0.0f},
};

float g_fStatSpin[7] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};

// A slowing shape closer than this to a full turn is upright again.
static const float gc_fSpinRest = 0.9990234375f;

// ---- functions ------------------------------------------------------------

// The next shape turns once a second; every other shape that is mid-turn
// finishes its turn, slowing as it nears upright. Runs whether or not the
// column is shown, so a switched-off column comes back mid-turn.
static void AdvanceSpins(float dt) {
  const INT nTurning = (g_bViewNext && g_bGameRunning) ? g_nNextShape : -1;
  for (INT k = 0; k < SHAPE_COUNT; k++) {
    float& spin = g_fStatSpin[k];
    if (k == nTurning) {
      spin += dt;
      // Whole turns drop out at once: however long the frame, this ends.
      if (spin >= 1.0f) spin -= floorf(spin);
    } else if (spin != 0.0f) {
      spin += (1.0f - spin) * dt;
      if (spin >= gc_fSpinRest) spin = 0.0f;
    }
  }
}

// Cube offsets come from rotation state 0 with the pattern's centre half a
// cell left of and above the point the shape turns about.
static void DrawStatShape(INT k) {
  const BLOCKSHAPE& shape = g_BlockShapes[k];
  const INT n = shape.nSize;
  const char* lpszPattern = shape.lpszStates[0];
  SetMaterial(k);
  for (INT r = 0; r < n; r++) {
    for (INT c = 0; c < n; c++) {
      if (lpszPattern[r * n + c] != '#') continue;
      const float x = (float)c - (float)n * 0.5f;
      const float y = -((float)r - (float)n * 0.5f);
      D3DMATRIX mat;
      if (g_fStatSpin[k] > 0.0f) {
        D3DMATRIX T, R, P;
        const D3DVECTOR vOffset = {x, y, 0.0f};
        TranslateMatrix(&T, &vOffset);
        RotateZMatrix(&R, (int)(g_fStatSpin[k] * 1024.0f));
        TranslateMatrix(&P, &g_vStatPos[k]);
        MatrixMultiply(&mat, &T, &R);
        MatrixMultiply(&mat, &mat, &P);
      } else {
        const D3DVECTOR vPos = {x + g_vStatPos[k].x, y + g_vStatPos[k].y, 0.0f};
        TranslateMatrix(&mat, &vPos);
      }
      SET_WORLD_TRANSFORM(mat);
      CHECK_DX_RETRY(IDirect3DDevice2_DrawIndexedPrimitive(g_3DD, D3DPT_TRIANGLELIST, D3DVT_VERTEX, g_BlockTypes[g_uBlockType].vertices[BN_NONE], g_BlockTypes[g_uBlockType].numvertices[BN_NONE], g_BlockTypes[g_uBlockType].indices[BN_NONE], g_BlockTypes[g_uBlockType].numindices[BN_NONE], 0));
    }
  }
}

// The counts go straight into the back buffer, each centred below the point
// where its shape stands on the screen.
static void WriteStatCounts(void) {
  HDC hdc;
  CHECK_DX_RETRY(IDirectDrawSurface3_GetDC(g_BackBuffer, &hdc));
  SelectObject(hdc, g_hStatFont);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, RGB(255, 255, 255));
  SetTextAlign(hdc, TA_CENTER | TA_TOP);
  for (INT k = 0; k < SHAPE_COUNT; k++) {
    float x = g_vStatPos[k].x;
    float y = g_vStatPos[k].y;
    ProjectToScreen(&x, &y);
    char szCount[16];
    const int nLen = snprintf(szCount, sizeof(szCount), "%d", g_ShapeCounts[k]);
    TextOutA(hdc, g_nBackBufferW / 2 + (int)x, g_nBackBufferH / 2 + (int)y, szCount, nLen);
  }
  CHECK_DX_RETRY(IDirectDrawSurface3_ReleaseDC(g_BackBuffer, hdc));
}

// The last drawing of every frame, inside the scene.
void DrawStats(void) {
  AdvanceSpins(g_fFrameTime);
  if (!g_bViewStats) return;
  for (INT k = 0; k < SHAPE_COUNT; k++) DrawStatShape(k);
  WriteStatCounts();
}

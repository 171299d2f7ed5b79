// The row burst: when a full row is found, its cubes become free cubes that
// fly out of the well, spreading sideways, receding and falling, until they
// have dropped far below the well.

#include <cmath>
#include <cstdlib>

#include "main/fatal.h"
#include "main/timer.h"
#include "maths/maths.h"
#include "options/options.h"
#include "platform/d3d.h"
#include "render/render.h"
#include "rules/rules.h"
#include "video_main/video_main.h"

// ---- globals --------------------------------------------------------------

BURSTCUBE* g_pBurst = nullptr;
UINT g_uBurstAlloc = 0;
UINT g_uBurstCount = 0;

// ---- functions ------------------------------------------------------------

// Grows the storage so that a whole row of ten always fits, then makes one
// flying cube per occupied cell, left to right.
void BurstRow(INT nRow) {
  if (nRow < 0 || nRow >= WELL_ROWS) return;
  if (g_uBurstCount + 10 > g_uBurstAlloc) {
    BURSTCUBE* pGrown =
        (BURSTCUBE*)realloc(g_pBurst, ((size_t)g_uBurstCount + 10) * sizeof(BURSTCUBE));
    if (pGrown == nullptr) Fatal("Error: out of memory in function BurstRow();");
    g_pBurst = pGrown;
    g_uBurstAlloc = g_uBurstCount + 10;
  }
  for (INT i = 0; i < WELL_COLUMNS; i++) {
    if (g_Well[i][nRow] < 0) continue;
    BURSTCUBE& cube = g_pBurst[g_uBurstCount];
    // The cube starts at the cell's guide point, a little nearer the viewer
    // than a resting cube.
    const D3DLVERTEX& guide = g_WellGuides[nRow * WELL_COLUMNS + i];
    cube.vPos.x = guide.x;
    cube.vPos.y = guide.y;
    cube.vPos.z = guide.z;
    // Cubes further out fly sideways faster; all recede from the viewer.
    cube.vVel.x = cube.vPos.x * 1.0f;
    cube.vVel.y = 0.0f;
    cube.vVel.z = cube.vPos.z * 5.0f + 13.333333f;
    cube.nMaterial = g_Well[i][nRow];
    g_uBurstCount++;
  }
}

// Moves every flying cube by one frame, draws it, and retires the ones that
// have fallen below -100 in the same pass, keeping the others in order.
void DrawBurst(void) {
  if (g_uBurstCount == 0) return;
  const float dt = g_fFrameTime;
  // The speed away from the viewer falls to a quarter each second.
  const float decay = (float)pow(0.25, (double)dt);
  const UINT uCount = g_uBurstCount;
  UINT removed = 0;
  for (UINT k = 0; k < uCount; k++) {
    BURSTCUBE& cube = g_pBurst[k];
    cube.vPos.x += dt * cube.vVel.x;
    cube.vPos.y += dt * cube.vVel.y;
    cube.vPos.z += dt * cube.vVel.z;
    cube.vVel.y -= 0.98f * dt;
    cube.vVel.z = cube.vVel.z * decay;

    D3DMATRIX mat;
    TranslateMatrix(&mat, &cube.vPos);
    SET_WORLD_TRANSFORM(mat);
    SetMaterial(cube.nMaterial);
    CHECK_DX_RETRY(IDirect3DDevice2_DrawIndexedPrimitive(g_3DD, D3DPT_TRIANGLELIST, D3DVT_VERTEX, g_BlockTypes[g_uBlockType].vertices[BN_NONE], g_BlockTypes[g_uBlockType].numvertices[BN_NONE], g_BlockTypes[g_uBlockType].indices[BN_NONE], g_BlockTypes[g_uBlockType].numindices[BN_NONE], 0));

    if (cube.vPos.y < -100.0f)
      removed++;
    else if (removed > 0)
      g_pBurst[k - removed] = cube;
  }
  g_uBurstCount -= removed;
}

// Switching the burst off drops the cubes in flight; the storage stays for
// the next burst.
void SetRowBurst(BOOL bOn) {
  g_bRowBurst = bOn;
  if (!bOn) g_uBurstCount = 0;
}

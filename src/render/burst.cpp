// The row burst: when a full row is found, its cubes become free cubes that
// fly out of the well, spreading sideways, receding and falling.

#include <cstdlib>

#include "main/fatal.h"
#include "render/render.h"
#include "rules/rules.h"

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
    cube.vPos.x = (float)(i - 5) + 0.5f;
    cube.vPos.y = (float)(WELL_ROWS - nRow) - 0.5f;
    cube.vPos.z = -0.4f;
    // Cubes further out fly sideways faster; all recede from the viewer.
    cube.vVel.x = cube.vPos.x * 1.0f;
    cube.vVel.y = 0.0f;
    cube.vVel.z = cube.vPos.z * 5.0f + 13.333333f;
    cube.nMaterial = g_Well[i][nRow];
    g_uBurstCount++;
  }
}

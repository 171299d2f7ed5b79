// Drawing the game: the row burst, in which the cubes of a full row fly out
// of the well.
#pragma once

#include "platform/d3d_types.h"
#include "platform/win32.h"

// ---- types ----------------------------------------------------------------

// One flying cube of a burst row.
typedef struct _BURSTCUBE {
  D3DVECTOR vPos;     // centre, world units
  D3DVECTOR vVel;     // world units per second
  int32_t nMaterial;  // the shape index the cell held
} BURSTCUBE;
static_assert(sizeof(BURSTCUBE) == 28, "a flying cube is 28 bytes");

// ---- globals --------------------------------------------------------------

// The flying cubes, live records first in the order they were made; the
// array grows and is kept for the whole run.
extern BURSTCUBE* g_pBurst;
extern UINT g_uBurstAlloc;
extern UINT g_uBurstCount;

// ---- functions ------------------------------------------------------------

// Turns every cube of the well row into a flying cube, before the rules empty
// the row.
void BurstRow(INT nRow);

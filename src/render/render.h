// Drawing the game: the cube meshes and their neighbour variants, the well
// and its cubes, the row burst in which the cubes of a full row fly out of
// the well, and the statistics column beside it.
#pragma once

#include "platform/d3d_types.h"
#include "platform/win32.h"
#include "platform/win_gdi.h"

typedef WORD* LPWORD;

// ---- constants ------------------------------------------------------------

// One mesh variant for every combination of the four neighbour bits.
#define BLOCK_VARIANTS 16
// The two appearance sets: the plain cube and the bevelled one.
#define BLOCKTYPE_SIMPLE 0
#define BLOCKTYPE_DEFAULT 1
#define BLOCKTYPE_COUNT 2

#define LVERTEX_COUNT(a) (sizeof(a) / sizeof(D3DLVERTEX))
#define INDEX_COUNT(a) (sizeof(a) / sizeof(WORD))

// Places the next thing drawn; a failure cannot be worked round.
#define SET_WORLD_TRANSFORM(mat) \
  CHECK_DX(IDirect3DDevice2_SetTransform(g_3DD, D3DTRANSFORMSTATE_WORLD, &(mat)))

// ---- types ----------------------------------------------------------------

// One flying cube of a burst row.
typedef struct _BURSTCUBE {
  D3DVECTOR vPos;     // centre, world units
  D3DVECTOR vVel;     // world units per second
  int32_t nMaterial;  // the shape index the cell held
} BURSTCUBE;
static_assert(sizeof(BURSTCUBE) == 28, "a flying cube is 28 bytes");

// One appearance set: per neighbour variant, the vertices and the triangle
// list of the cube with the faces towards those neighbours left out.
typedef struct _BLOCKTYPE {
  LPD3DVERTEX vertices[BLOCK_VARIANTS];
  INT numvertices[BLOCK_VARIANTS];
  LPWORD indices[BLOCK_VARIANTS];
  INT numindices[BLOCK_VARIANTS];
} BLOCKTYPE;

// ---- globals: meshes --------------------------------------------------------

extern BLOCKTYPE g_BlockTypes[BLOCKTYPE_COUNT];
extern D3DVERTEX g_SimpleVerts[20];
extern WORD g_SimpleIndices[30];
extern D3DVERTEX g_DefaultVerts[20];
extern WORD g_DefaultIndices[90];

// ---- globals: scene -----------------------------------------------------------

// World matrix of every cell, [column][row].
extern D3DMATRIX g_matBlocks[10][20];
extern D3DMATRIX g_matIdentity;
// The well's outline and the guide point of every cell (row by row).
extern const D3DLVERTEX g_WellVerts[8];
extern const WORD g_WellIndices[20];
extern D3DLVERTEX g_WellGuides[200];
// The font of the statistics counts.
extern HFONT g_hStatFont;

// ---- globals: row burst -------------------------------------------------------

// The flying cubes, live records first in the order they were made; the
// array grows and is kept for the whole run.
extern BURSTCUBE* g_pBurst;
extern UINT g_uBurstAlloc;
extern UINT g_uBurstCount;

// ---- globals: statistics --------------------------------------------------------

// Where each shape stands beside the well.
extern const D3DVECTOR g_vStatPos[7];
// Each shape's turn as a fraction of a full turn; 0 is upright and still.
extern float g_fStatSpin[7];

// ---- functions --------------------------------------------------------------

// Derives neighbour variants 1 to 15 of a set from its full cube.
void BuildBlockVariants(INT nType);
// Start-up: cell matrices, guide points, the statistics font, both block sets.
void InitRender(void);
// Points the camera at the well, wide enough for the statistics when shown.
void UpdateView(void);
// The outline of the well and the guide points of its cells.
void DrawWell(void);
// Every occupied cell of the well as a lit cube.
void DrawBlocks(void);
// Turns every cube of the well row into a flying cube, before the rules empty
// the row.
void BurstRow(INT nRow);
// Moves, draws and retires the flying cubes.
void DrawBurst(void);
// Switches the row burst on or off; off drops every flying cube.
void SetRowBurst(BOOL bOn);
// The statistics column, the turning next shape and the counts.
void DrawStats(void);

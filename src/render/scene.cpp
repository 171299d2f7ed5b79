// The playing field: the renderer's start-up tables, the camera that frames
// the well, the well's outline with a guide point in every cell, and every
// occupied cell as a lit cube in the colour of its shape.

#include "main/fatal.h"
#include "maths/maths.h"
#include "options/options.h"
#include "platform/d3d.h"
#include "render/render.h"
#include "rules/rules.h"
#include "video_main/video_main.h"

// ---- globals --------------------------------------------------------------

D3DMATRIX g_matBlocks[10][20];

// Never written; not const only because the device takes matrices by plain
// pointer.
D3DMATRIX g_matIdentity = {
    1.0f, 0.0f, 0.0f, 0.0f,  //
    0.0f, 1.0f, 0.0f, 0.0f,  //
    0.0f, 0.0f, 1.0f, 0.0f,  //
    0.0f, 0.0f, 0.0f, 1.0f,  //
};

// The corners of the well, bright blue at the floor and dark blue at the top.
const D3DLVERTEX g_WellVerts[8] = {
    {-5.0f, 20.0f, -0.5f, 0, 0xFF000066, 0, 0.0f, 0.0f},
    {-5.0f, 20.0f, 0.5f, 0, 0xFF000066, 0, 0.0f, 0.0f},
    {-5.0f, 0.0f, -0.5f, 0, 0xFF0000FF, 0, 0.0f, 0.0f},
    {-5.0f, 0.0f, 0.5f, 0, 0xFF0000FF, 0, 0.0f, 0.0f},
    {5.0f, 0.0f, -0.5f, 0, 0xFF0000FF, 0, 0.0f, 0.0f},
    {5.0f, 0.0f, 0.5f, 0, 0xFF0000FF, 0, 0.0f, 0.0f},
    {5.0f, 20.0f, 0.5f, 0, 0xFF000066, 0, 0.0f, 0.0f},
    {5.0f, 20.0f, -0.5f, 0, 0xFF000066, 0, 0.0f, 0.0f},
};

// The left wall, the floor's front and back edges, the right wall.
const WORD g_WellIndices[20] = {
    0, 1, 1, 3, 3, 2, 2, 0,  //
    2, 4, 3, 5,              //
    4, 5, 5, 6, 6, 7, 7, 4,  //
};

D3DLVERTEX g_WellGuides[200];

HFONT g_hStatFont = NULL;

// ---- functions ------------------------------------------------------------

// A guide point sits 0.1 behind the front face of a cube in its cell, so that
// an occupied cell hides it.
static void FillWellGuides(void) {
  for (INT i = 0; i < WELL_COLUMNS; i++) {
    for (INT j = 0; j < WELL_ROWS; j++) {
      D3DLVERTEX& v = g_WellGuides[j * WELL_COLUMNS + i];
      v.x = (float)(i - 5) + 0.5f;
      v.y = (float)(WELL_ROWS - j) - 0.5f;
      v.z = -0.4f;
      v.dwReserved = 0;
      v.color = 0xFF0000FF;
      v.specular = 0;
      v.tu = 0.0f;
      v.tv = 0.0f;
    }
  }
}

// The row burst starts its cubes at the guide points; having them from load
// time on keeps that true for code that runs the rules without the renderer.
static const BOOL s_bGuidesAtLoad = (FillWellGuides(), TRUE);

// Builds the tables that never change while the program runs.
void InitRender(void) {
  (void)s_bGuidesAtLoad;
  FillWellGuides();
  for (INT i = 0; i < WELL_COLUMNS; i++) {
    for (INT j = 0; j < WELL_ROWS; j++) {
      D3DVECTOR v = {(float)(i - 5) + 0.5f, (float)(WELL_ROWS - j) - 0.5f, 0.0f};
      TranslateMatrix(&g_matBlocks[i][j], &v);
    }
  }

  CHECK_NULL(g_hStatFont = (HFONT) GetStockObject(DEFAULT_GUI_FONT));

  g_BlockTypes[BLOCKTYPE_SIMPLE].vertices[BN_NONE] = g_SimpleVerts;
  g_BlockTypes[BLOCKTYPE_SIMPLE].numvertices[BN_NONE] = 20;
  g_BlockTypes[BLOCKTYPE_SIMPLE].indices[BN_NONE] = g_SimpleIndices;
  g_BlockTypes[BLOCKTYPE_SIMPLE].numindices[BN_NONE] = 30;
  BuildBlockVariants(BLOCKTYPE_SIMPLE);
  g_BlockTypes[BLOCKTYPE_DEFAULT].vertices[BN_NONE] = g_DefaultVerts;
  g_BlockTypes[BLOCKTYPE_DEFAULT].numvertices[BN_NONE] = 20;
  g_BlockTypes[BLOCKTYPE_DEFAULT].indices[BN_NONE] = g_DefaultIndices;
  g_BlockTypes[BLOCKTYPE_DEFAULT].numindices[BN_NONE] = 90;
  BuildBlockVariants(BLOCKTYPE_DEFAULT);
}

// The well with a small margin; with the statistics on, the right edge
// reaches out to x = 10.05, and since the camera stays centred on the well
// that widens the picture on both sides.
void UpdateView(void) {
  SetViewMatrix(-5.05f, -0.05f, g_bViewStats ? 10.05f : 5.05f, 20.05f, 0.0f, 10.0f);
}

// Pre-lit lines and points: they keep their own colours.
void DrawWell(void) {
  SET_WORLD_TRANSFORM(g_matIdentity);
  CHECK_DX_RETRY(IDirect3DDevice2_DrawIndexedPrimitive(g_3DD, D3DPT_LINELIST, D3DVT_LVERTEX, g_WellVerts, LVERTEX_COUNT(g_WellVerts), g_WellIndices, INDEX_COUNT(g_WellIndices), 0));
  CHECK_DX_RETRY(IDirect3DDevice2_DrawPrimitive(g_3DD, D3DPT_POINTLIST, D3DVT_LVERTEX, g_WellGuides, LVERTEX_COUNT(g_WellGuides), 0));
}

// One material change, one transform and one draw per cube; the faces
// between occupied neighbours are left out by the mesh variant.
void DrawBlocks(void) {
  if (g_bWellChanged) UpdateNeighbours();
  for (INT x = 0; x < WELL_COLUMNS; x++) {
    for (INT y = 0; y < WELL_ROWS; y++) {
      if (g_Well[x][y] < 0) continue;
      SetMaterial(g_Well[x][y]);
      SET_WORLD_TRANSFORM(g_matBlocks[x][y]);
      const DWORD n = g_WellNeighbours[x][y] & (BLOCK_VARIANTS - 1);
      CHECK_DX_RETRY(IDirect3DDevice2_DrawIndexedPrimitive(g_3DD, D3DPT_TRIANGLELIST, D3DVT_VERTEX, g_BlockTypes[g_uBlockType].vertices[n], g_BlockTypes[g_uBlockType].numvertices[n], g_BlockTypes[g_uBlockType].indices[n], g_BlockTypes[g_uBlockType].numindices[n], 0));
    }
  }
}

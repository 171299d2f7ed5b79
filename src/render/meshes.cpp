// The two cube meshes, plain and bevelled, and their sixteen neighbour
// variants each: a cube whose neighbour cell is occupied leaves out the face
// it shares with that neighbour.

#include <cstdlib>

#include "main/fatal.h"
#include "render/render.h"
#include "rules/rules.h"

// ---- globals --------------------------------------------------------------

BLOCKTYPE g_BlockTypes[BLOCKTYPE_COUNT];

// The plain cube: front, bottom, left, right and top face, four vertices
// each. No back face: the camera never sees it.
D3DVERTEX g_SimpleVerts[20] = {
    {-0.5f, 0.5f, -0.5f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f},
    {0.5f, 0.5f, -0.5f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f},
    {0.5f, -0.5f, -0.5f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f},
    {-0.5f, -0.5f, -0.5f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f},

    {-0.5f, -0.5f, -0.5f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f},
    {0.5f, -0.5f, -0.5f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f},
    {0.5f, -0.5f, 0.5f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f},
    {-0.5f, -0.5f, 0.5f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f},

    {-0.5f, 0.5f, 0.5f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {-0.5f, 0.5f, -0.5f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {-0.5f, -0.5f, -0.5f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {-0.5f, -0.5f, 0.5f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f},

    {0.5f, 0.5f, -0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.5f, 0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.5f, -0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.5f, -0.5f, -0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},

    {-0.5f, 0.5f, 0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
    {0.5f, 0.5f, 0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
    {0.5f, 0.5f, -0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
    {-0.5f, 0.5f, -0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
};

WORD g_SimpleIndices[30] = {
    2,  0,  1,  3,  0,  2,   // front
    6,  4,  5,  7,  4,  6,   // bottom
    10, 8,  9,  11, 8,  10,  // left
    14, 12, 13, 15, 12, 14,  // right
    18, 16, 17, 19, 16, 18,  // top
};

// The bevelled cube: the same faces inset to squares of edge 0.8; bevels and
// corners join them over the same vertices, so under Gouraud shading the
// edges take the normals of both faces and look rounded.
D3DVERTEX g_DefaultVerts[20] = {
    {-0.4f, 0.4f, -0.5f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f},
    {0.4f, 0.4f, -0.5f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f},
    {0.4f, -0.4f, -0.5f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f},
    {-0.4f, -0.4f, -0.5f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f},

    {-0.4f, -0.5f, -0.4f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f},
    {0.4f, -0.5f, -0.4f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f},
    {0.4f, -0.5f, 0.4f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f},
    {-0.4f, -0.5f, 0.4f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f},

    {-0.5f, 0.4f, 0.4f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {-0.5f, 0.4f, -0.4f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {-0.5f, -0.4f, -0.4f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {-0.5f, -0.4f, 0.4f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f},

    {0.5f, 0.4f, -0.4f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.5f, 0.4f, 0.4f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.5f, -0.4f, 0.4f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.5f, -0.4f, -0.4f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},

    {-0.4f, 0.5f, 0.4f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
    {0.4f, 0.5f, 0.4f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
    {0.4f, 0.5f, -0.4f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
    {-0.4f, 0.5f, -0.4f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
};

WORD g_DefaultIndices[90] = {
    2,  0,  1,  3,  0,  2,   // front
    6,  4,  5,  7,  4,  6,   // bottom
    10, 8,  9,  11, 8,  10,  // left
    14, 12, 13, 15, 12, 14,  // right
    18, 16, 17, 19, 16, 18,  // top
    3,  5,  4,  3,  2,  5,   // bevel front-bottom
    9,  0,  3,  9,  3,  10,  // bevel front-left
    1,  12, 15, 1,  15, 2,   // bevel front-right
    19, 18, 1,  19, 1,  0,   // bevel front-top
    11, 10, 4,  11, 4,  7,   // bevel left-bottom
    5,  15, 14, 5,  14, 6,   // bevel bottom-right
    16, 19, 9,  16, 9,  8,   // bevel top-left
    18, 17, 13, 18, 13, 12,  // bevel top-right
    10, 3,  4,               // corner front-left-bottom
    2,  15, 5,               // corner front-right-bottom
    19, 0,  9,               // corner front-left-top
    18, 12, 1,               // corner front-right-top
};

// What belongs to the face towards each neighbour, in bit order above,
// below, left, right: the plain cube's vertex ranges and the bevelled cube's
// index ranges (first, last).
static const INT gc_SimpleFaceVerts[4][2] = {{16, 19}, {4, 7}, {8, 11}, {12, 15}};
static const INT gc_DefaultFaceIndices[4][2] = {{24, 29}, {6, 11}, {12, 17}, {18, 23}};

// ---- functions ------------------------------------------------------------

// True when the value lies in the range of one of the neighbour bits of n.
static BOOL InFaceRange(const INT ranges[4][2], INT n, INT v) {
  for (INT bit = 0; bit < 4; bit++)
    if ((n & (1 << bit)) && v >= ranges[bit][0] && v <= ranges[bit][1]) return TRUE;
  return FALSE;
}

// Set 0 drops a face with its four vertices and renumbers the rest in order;
// set 1 drops only the face's two triangles, so its bevels stay.
void BuildBlockVariants(INT nType) {
  BLOCKTYPE* bt = &g_BlockTypes[nType];
  int* pVertUsage;
  CHECK_NULL(pVertUsage = (int *) malloc(sizeof(int) * bt->numvertices[BN_NONE]));
  const LPD3DVERTEX pVerts = bt->vertices[BN_NONE];
  const LPWORD pIndices = bt->indices[BN_NONE];
  for (INT n = 1; n < BLOCK_VARIANTS; n++) {
    INT nNumVerts = 0;
    for (INT v = 0; v < bt->numvertices[BN_NONE]; v++) {
      if (nType == BLOCKTYPE_SIMPLE && InFaceRange(gc_SimpleFaceVerts, n, v))
        pVertUsage[v] = -1;
      else
        pVertUsage[v] = nNumVerts++;
    }
    LPD3DVERTEX pNewVerts;
    CHECK_NULL(pNewVerts = (LPD3DVERTEX) malloc(sizeof(D3DVERTEX) * nNumVerts));
    for (INT v = 0; v < bt->numvertices[BN_NONE]; v++)
      if (pVertUsage[v] >= 0) pNewVerts[pVertUsage[v]] = pVerts[v];

    LPWORD pNewIndices;
    CHECK_NULL(pNewIndices = (LPWORD) malloc(sizeof(WORD) * bt->numindices[BN_NONE]));
    INT nNumIndices = 0;
    for (INT j = 0; j + 2 < bt->numindices[BN_NONE]; j += 3) {
      if (nType == BLOCKTYPE_DEFAULT && InFaceRange(gc_DefaultFaceIndices, n, j)) continue;
      if (pVertUsage[pIndices[j]] < 0 || pVertUsage[pIndices[j + 1]] < 0 ||
          pVertUsage[pIndices[j + 2]] < 0)
        continue;
      for (INT k = 0; k < 3; k++) pNewIndices[nNumIndices++] = (WORD)pVertUsage[pIndices[j + k]];
    }
    // A variant that kept nothing keeps its block rather than asking for an
    // empty one, which the allocator may answer with null.
    if (nNumIndices < bt->numindices[BN_NONE] && nNumIndices > 0)
      CHECK_NULL(pNewIndices = (LPWORD) realloc(pNewIndices, sizeof(WORD) * nNumIndices));

    // Built once per run; should start-up run again, the old variants go
    // rather than leak.
    free(bt->vertices[n]);
    free(bt->indices[n]);
    bt->vertices[n] = pNewVerts;
    bt->numvertices[n] = nNumVerts;
    bt->indices[n] = pNewIndices;
    bt->numindices[n] = nNumIndices;
  }
  free(pVertUsage);
}

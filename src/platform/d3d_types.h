// The Direct3D records the game fills itself: matrices, vectors and the lit
// and pre-lit vertex formats.
#pragma once

#include "platform/win_types.h"

typedef float D3DVALUE;
typedef DWORD D3DCOLOR;

typedef struct _D3DVECTOR {
  D3DVALUE x;
  D3DVALUE y;
  D3DVALUE z;
} D3DVECTOR, *LPD3DVECTOR;

// Row by row; points are row vectors, p' = p x M.
typedef struct _D3DMATRIX {
  D3DVALUE _11, _12, _13, _14;
  D3DVALUE _21, _22, _23, _24;
  D3DVALUE _31, _32, _33, _34;
  D3DVALUE _41, _42, _43, _44;
} D3DMATRIX, *LPD3DMATRIX;

// Position and normal: lit by the device with the current material.
typedef struct _D3DVERTEX {
  D3DVALUE x, y, z;
  D3DVALUE nx, ny, nz;
  D3DVALUE tu, tv;
} D3DVERTEX, *LPD3DVERTEX;

// Position and colour: drawn as given, without lighting.
typedef struct _D3DLVERTEX {
  D3DVALUE x, y, z;
  DWORD dwReserved;
  D3DCOLOR color;
  D3DCOLOR specular;
  D3DVALUE tu, tv;
} D3DLVERTEX, *LPD3DLVERTEX;

typedef struct _D3DCOLORVALUE {
  D3DVALUE r, g, b, a;
} D3DCOLORVALUE, *LPD3DCOLORVALUE;

typedef struct _D3DRECT {
  LONG x1, y1, x2, y2;
} D3DRECT, *LPD3DRECT;

#define RGBA_MAKE(r, g, b, a) \
  ((D3DCOLOR)(((DWORD)(a) << 24) | ((DWORD)(r) << 16) | ((DWORD)(g) << 8) | (DWORD)(b)))
#define RGB_MAKE(r, g, b) ((D3DCOLOR)(((DWORD)(r) << 16) | ((DWORD)(g) << 8) | (DWORD)(b)))

// The sine table and the matrix helpers shared by the renderer and the
// graphics device. Angles are table indices, 1024 to a full turn.
#pragma once

#include "platform/d3d_types.h"

// ---- globals --------------------------------------------------------------

// Entry i holds the sine of (i + 1) steps of a 1024th of a turn; the cosine
// of index k is entry k + 256.
extern float g_SinTable[1280];

// Owned by the graphics device, which sets them whenever it rebuilds its
// surfaces or moves the camera; read here to place points on the screen.
extern D3DMATRIX g_matView;
extern D3DMATRIX g_matProjection;
extern int g_nBackBufferW;
extern int g_nBackBufferH;
extern float g_fAspect;

// ---- functions ------------------------------------------------------------

// Fills the sine table; called once at start-up.
void InitSinTable(void);
// Destination = a x b (a applied first); the destination may be a or b.
void MatrixMultiply(D3DMATRIX* lpDest, const D3DMATRIX* lpA, const D3DMATRIX* lpB);
// Makes the destination a translation by v.
D3DMATRIX* TranslateMatrix(D3DMATRIX* lpDest, const D3DVECTOR* lpV);
// Makes the destination a turn about the z axis by the angle of index k.
D3DMATRIX* RotateZMatrix(D3DMATRIX* lpDest, int k);
// Makes the destination the perspective projection for the half field-of-view
// angle of index k.
D3DMATRIX* ProjectionMatrix(D3DMATRIX* lpDest, float fNear, float fFar, int k);
// Turns a point of the plane z = 0 into its offset in pixels from the centre
// of the back buffer (x to the right, y downwards).
void ProjectToScreen(float* lpfX, float* lpfY);

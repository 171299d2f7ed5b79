// The camera, projection and back-buffer size of the graphics device, which sets them; the maths helpers read them.

#include "maths/maths.h"

// ---- globals --------------------------------------------------------------

D3DMATRIX g_matView;
D3DMATRIX g_matProjection;
int g_nBackBufferW = 0;
int g_nBackBufferH = 0;
float g_fAspect = 0.0f;

// The graphics device: DirectDraw and Direct3D objects, the view-sized
// surfaces, presentation, lights, materials and the camera.
#pragma once

#include "platform/win32.h"

// ---- functions ------------------------------------------------------------

// Makes a lost back buffer, depth buffer and primary surface usable again.
void RestoreSurfaces(void);

// The paint record a window's paint message hands to its painter: the device
// context to draw on and the part of the client area to be drawn.
#pragma once

#include "platform/win_types.h"

// ---- types ----------------------------------------------------------------

typedef struct tagPAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
} PAINTSTRUCT, *LPPAINTSTRUCT;

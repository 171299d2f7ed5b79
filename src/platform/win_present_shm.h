// Presenting pictures to an X server through shared memory of our own,
// around the window system's per-frame wait (win_present_shm.cpp).
#pragma once

#include <QImage>

#include "platform/win_user_internal.h"

namespace platform {

// ---- functions ------------------------------------------------------------

// Puts the part of the picture inside the window's client area (at the
// window's picture position) into the window on the X server; false where the
// window system has to paint it (no X server, no shared memory, a pixel
// layout not ours, any failure).
bool PresentThroughServer(WindowData* d, const QImage& picture);
// The window is going: so do the shared segments and what else was made for it.
void ForgetServerPresenting(HWND hwnd);

}  // namespace platform

// Icons of the layer: an icon resource drawn as a picture of any size, and
// the Qt icon that windows and dialogs show.
#pragma once

#include <QIcon>
#include <QImage>

#include "platform/win_resources.h"

namespace platform {

// The sizes, in pixels, a loaded icon carries ready drawn.
inline constexpr int gc_IconSides[] = {16, 24, 32, 48, 64, 128, 256};

// The icon drawn into a side x side picture, transparent around the well.
// Every edge falls on a whole pixel, so that no size comes out blurred.
QImage DrawIconPicture(const IconPicture& picture, int side);
// The icon with every size of gc_IconSides; a null icon for an unknown id.
QIcon IconOfResource(UINT id);

}  // namespace platform

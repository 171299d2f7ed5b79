// The program's icon (resource 101): a well with a few blocks in it. It is
// described as cubes in the cells of a small well rather than as pixels, so
// that the window, the About box and the installed icons all draw it sharply
// at whatever size they need.

#include "platform/win_resources.h"
#include "resources/resource.h"

// ---- globals --------------------------------------------------------------

namespace {

// Each cube: column and row (row 0 at the top), then its light and dark shade.
const platform::IconCube gc_IconCubes[] = {
    {1, 0, 0xffc070, 0xf08010}, {2, 0, 0xffc070, 0xf08010},  // orange, falling
    {2, 1, 0xff7070, 0xd02020}, {2, 2, 0xff7070, 0xd02020}, {2, 3, 0xff7070, 0xd02020},
    {3, 1, 0x70f080, 0x20b030}, {3, 2, 0x70f080, 0x20b030}, {3, 3, 0x70f080, 0x20b030},
    {0, 2, 0x7090ff, 0x2050e0}, {0, 3, 0x7090ff, 0x2050e0}, {1, 3, 0x7090ff, 0x2050e0},
};

const platform::IconPicture gc_IconPicture = {
    4, 4, 0x9a9a9a, 0x202020, gc_IconCubes, sizeof(gc_IconCubes) / sizeof(gc_IconCubes[0])};

}  // namespace

// ---- functions ------------------------------------------------------------

namespace platform {

// The one icon.
const IconPicture* FindIconPicture(UINT id) { return id == IDI_MAINICON ? &gc_IconPicture : nullptr; }

}  // namespace platform

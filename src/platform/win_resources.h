// The resources of the executable as the layer reads them: menus, accelerator
// tables, the string table and icons. The game's resource module defines the
// tables; the layer realises them as Qt menus, shortcuts and icons.
#pragma once

#include <cstddef>

#include "platform/win_types.h"

struct tagACCEL;

namespace platform {

// One item of a menu template, in the order of the resource script: an item
// with MF_POPUP opens a submenu whose items follow it; MF_END marks the last
// item of its level.
struct MenuItemTemplate {
  UINT flags;
  UINT id;
  const char* text;
};

// The menu with the resource id, or null; *count gets its number of items.
const MenuItemTemplate* FindMenuTemplate(UINT id, size_t* count);
// The accelerator table with the resource id, or null.
const tagACCEL* FindAcceleratorTable(UINT id, size_t* count);
// The string with the resource id, or null.
const char* FindStringResource(UINT id);
// An icon as a well of columns x rows cells with a wall at each side and a
// floor, and cubes in some of its cells, each lit on its top and left edges
// and dark on the other two. Colours are 0xRRGGBB.
struct IconCube {
  int column;
  int row;  // 0 at the top
  UINT light;
  UINT dark;
};
struct IconPicture {
  int columns;
  int rows;
  UINT wall;
  UINT edge;  // the dark edge of every cube
  const IconCube* cubes;
  size_t count;
};

// The icon with the resource id, or null.
const IconPicture* FindIconPicture(UINT id);

}  // namespace platform

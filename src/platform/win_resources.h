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
// The picture of the icon with the resource id as XPM lines, or null.
const char* const* FindIconPicture(UINT id);

}  // namespace platform

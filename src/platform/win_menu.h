// Menus: the menu bar of a window made from its class's menu resource, the
// calls that read and change its items, and the messages it sends (menu loop,
// popup opening, item highlighting, command).
#pragma once

#include "platform/win_types.h"

// ---- types ----------------------------------------------------------------

typedef struct tagMENUITEMINFOA {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  void* hbmpChecked;
  void* hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPSTR dwTypeData;
  UINT cch;
  void* hbmpItem;
} MENUITEMINFOA, MENUITEMINFO, *LPMENUITEMINFOA;
typedef const MENUITEMINFOA* LPCMENUITEMINFOA;

// ---- constants ------------------------------------------------------------

#define MF_BYCOMMAND 0x00000000u
#define MF_BYPOSITION 0x00000400u
#define MF_STRING 0x00000000u
#define MF_GRAYED 0x00000001u
#define MF_DISABLED 0x00000002u
#define MF_UNCHECKED 0x00000000u
#define MF_CHECKED 0x00000008u
#define MF_POPUP 0x00000010u
#define MF_HILITE 0x00000080u
#define MF_END 0x00000080u
#define MF_SEPARATOR 0x00000800u
#define MF_MOUSESELECT 0x00008000u

#define MIIM_STATE 0x00000001u
#define MIIM_ID 0x00000002u
#define MFS_UNCHECKED MF_UNCHECKED
#define MFS_CHECKED MF_CHECKED

#define SetMenuItemInfo SetMenuItemInfoA

// ---- functions ------------------------------------------------------------

// Items of the menu, separators included; -1 for a bad handle.
int GetMenuItemCount(HMENU hMenu);
// Command id of the item at the position: 0 for a separator, -1 (as UINT) for
// a submenu or a bad position.
UINT GetMenuItemID(HMENU hMenu, int nPos);
// Changes an item found by command id (fByPosition FALSE) or position; only
// the checked state is supported.
BOOL SetMenuItemInfoA(HMENU hMenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOA lpmii);
// The menu bar of a window, or null.
HMENU GetMenu(HWND hWnd);

// ---- test hooks -----------------------------------------------------------

namespace platform_test {
// Opens the top-level popup at the position of the window's menu bar, as a
// click on its title does.
void OpenMenu(HWND hWnd, int nTopPosition);
// Highlights the item with the command id (or, with bySubmenuTitle, the
// title of the submenu that holds it) in the open menus.
void HighlightMenuItem(HWND hWnd, UINT id, bool bySubmenuTitle = false);
// Chooses the item with the command id, as a click does: the menus close and
// the command is posted.
void ChooseMenuItem(HWND hWnd, UINT id);
// Closes every open menu without choosing anything.
void CloseMenus();
// Whether the item with the command id shows a check mark.
bool IsMenuItemChecked(HWND hWnd, UINT id);
// The text of the item with the command id as the menu shows it.
const char* MenuItemText(HWND hWnd, UINT id);
}  // namespace platform_test

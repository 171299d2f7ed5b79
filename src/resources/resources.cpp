// The menu, the accelerator table and the string table of the executable.

#include "platform/win32.h"
#include "platform/win_resources.h"
#include "resources/resource.h"

// ---- globals --------------------------------------------------------------

namespace {

using platform::MenuItemTemplate;

// The main window's menu: each popup's items follow it; MF_END closes a level.
const MenuItemTemplate gc_MainMenu[] = {
    {MF_POPUP, 0, "&Game"},
    {0, ID_GAME_NEWGAME, "&New Game\tCtrl+G"},
    {MF_POPUP, 0, "Select Start &Level"},
    {0, 40012, "Level 0\tCtrl+0"},
    {0, 40013, "Level 1\tCtrl+1"},
    {0, 40014, "Level 2\tCtrl+2"},
    {0, 40015, "Level 3\tCtrl+3"},
    {0, 40016, "Level 4\tCtrl+4"},
    {0, 40017, "Level 5\tCtrl+5"},
    {0, 40018, "Level 6\tCtrl+6"},
    {0, 40019, "Level 7\tCtrl+7"},
    {0, 40020, "Level 8\tCtrl+8"},
    {MF_END, 40021, "Level 9\tCtrl+9"},
    {MF_SEPARATOR, 0, nullptr},
    {0, ID_GAME_OPTIONS, "&Game Options..."},
    {MF_SEPARATOR, 0, nullptr},
    {MF_END, ID_GAME_EXIT, "E&xit"},
    {MF_POPUP, 0, "&View"},
    {0, ID_VIEW_STATISTICS, "&Statistics\tCtrl+S"},
    {0, ID_VIEW_NEXTBLOCK, "&Next Block\tCtrl+N"},
    {MF_SEPARATOR, 0, nullptr},
    {0, ID_VIEW_3DOPTIONS, "3D &Options..."},
    {MF_SEPARATOR, 0, nullptr},
    {MF_END, ID_VIEW_HIGHSCORES, "&High Scores..."},
    {MF_POPUP | MF_END, 0, "&Help"},
    {0, ID_HELP_HELP, "&Help..."},
    {0, ID_HELP_LICENSE, "&License..."},
    {MF_SEPARATOR, 0, nullptr},
    {MF_END, ID_HELP_ABOUT, "&About..."},
};

// Ctrl and a key; the frame-rate switch is in no menu.
const ACCEL gc_Accelerators[] = {
    {FVIRTKEY | FCONTROL | FNOINVERT, '0', 40012}, {FVIRTKEY | FCONTROL | FNOINVERT, '1', 40013},
    {FVIRTKEY | FCONTROL | FNOINVERT, '2', 40014}, {FVIRTKEY | FCONTROL | FNOINVERT, '3', 40015},
    {FVIRTKEY | FCONTROL | FNOINVERT, '4', 40016}, {FVIRTKEY | FCONTROL | FNOINVERT, '5', 40017},
    {FVIRTKEY | FCONTROL | FNOINVERT, '6', 40018}, {FVIRTKEY | FCONTROL | FNOINVERT, '7', 40019},
    {FVIRTKEY | FCONTROL | FNOINVERT, '8', 40020}, {FVIRTKEY | FCONTROL | FNOINVERT, '9', 40021},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'F', ID_VIEW_FRAMERATE},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'G', ID_GAME_NEWGAME},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'N', ID_VIEW_NEXTBLOCK},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'S', ID_VIEW_STATISTICS},
};

// One string of the table.
struct StringResource {
  UINT id;
  const char* text;
};

// The hints of the menu commands and of the system menu.
const StringResource gc_Strings[] = {
    {ID_HELP_LICENSE, "Show the MIT License under which you may use and share this game"},
    {ID_HELP_ABOUT, "About Quandrel 3D"},
    {ID_GAME_NEWGAME, "Start a new game"},
    {ID_GAME_EXIT, "Exit the game"},
    {ID_VIEW_STATISTICS, "View statistics on the number of blocks you have had"},
    {ID_VIEW_NEXTBLOCK, "See the next block before it appears"},
    {ID_VIEW_3DOPTIONS, "Alter options affecting the way the graphics are drawn"},
    {ID_VIEW_HIGHSCORES, "View previous high scores and cower in shame (or gloat in triumph)"},
    {ID_GAME_OPTIONS, "Select game options"},
    {40012, "Start a new game at level 0"},
    {40013, "Start a new game at level 1"},
    {40014, "Start a new game at level 2"},
    {40015, "Start a new game at level 3"},
    {40016, "Start a new game at level 4"},
    {40017, "Start a new game at level 5"},
    {40018, "Start a new game at level 6"},
    {40019, "Start a new game at level 7"},
    {40020, "Start a new game at level 8"},
    {40021, "Start a new game at level 9"},
    {ID_HELP_HELP, "Display the Plumbo help file"},
    {IDS_SC_SIZE, "Change the size of this window"},
    {IDS_SC_MOVE, "Move this window around the screen"},
    {IDS_SC_MINIMIZE, "Minimizes this window"},
    {IDS_SC_MAXIMIZE, "Maximizes this window"},
    {IDS_SC_CLOSE, "Close the window"},
    {IDS_SC_RESTORE, "Restores this window to its default size"},
};

}  // namespace

// ---- functions ------------------------------------------------------------

namespace platform {

// The one menu.
const MenuItemTemplate* FindMenuTemplate(UINT id, size_t* count) {
  if (id != IDR_MAINMENU) return nullptr;
  if (count != nullptr) *count = sizeof(gc_MainMenu) / sizeof(gc_MainMenu[0]);
  return gc_MainMenu;
}

// The one accelerator table.
const ACCEL* FindAcceleratorTable(UINT id, size_t* count) {
  if (id != IDR_ACCELERATOR) return nullptr;
  if (count != nullptr) *count = sizeof(gc_Accelerators) / sizeof(gc_Accelerators[0]);
  return gc_Accelerators;
}

// A string of the table.
const char* FindStringResource(UINT id) {
  for (const StringResource& s : gc_Strings)
    if (s.id == id) return s.text;
  return nullptr;
}

}  // namespace platform

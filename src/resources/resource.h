// Resource ids of the executable: the icon, the menu and its commands, the
// accelerator table, the status bar control and the string table (each
// command's hint has the command's id).
#pragma once

#define IDI_MAINICON 101
#define IDR_MAINMENU 102
#define IDS_STATUSBAR 104
#define IDR_ACCELERATOR 105

// Menu and accelerator commands
#define ID_HELP_LICENSE 40002
#define ID_HELP_ABOUT 40003
#define ID_GAME_NEWGAME 40004
#define ID_GAME_EXIT 40005
#define ID_VIEW_STATISTICS 40006
#define ID_VIEW_NEXTBLOCK 40007
#define ID_VIEW_3DOPTIONS 40008
#define ID_VIEW_HIGHSCORES 40009
#define ID_GAME_OPTIONS 40010
#define ID_VIEW_FRAMERATE 40011
#define ID_GAME_LEVEL0 40012
#define ID_GAME_LEVEL9 40021
#define ID_HELP_HELP 40022

// System menu commands, whose hints the string table holds too
#define IDS_SC_SIZE 61440
#define IDS_SC_MOVE 61456
#define IDS_SC_MINIMIZE 61472
#define IDS_SC_MAXIMIZE 61488
#define IDS_SC_CLOSE 61536
#define IDS_SC_RESTORE 61728

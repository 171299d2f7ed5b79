// Ids of the dialog templates and of the controls the dialog procedures
// address.
#pragma once

// ---- templates --------------------------------------------------------------

#define IDD_ABOUT 103
#define IDD_GAMEOPTIONS 106
#define IDD_RENDEROPTIONS 107
#define IDD_HIGHSCORES 108

// ---- About ------------------------------------------------------------------

#define IDI_QUANDREL_ICON 101
#define IDC_ABOUT_VERSION 1023
#define IDC_ABOUT_DATE 1024

// ---- Game Options -----------------------------------------------------------

#define IDC_KEY_LEFT 1001
#define IDC_KEY_ROTATE 1002
#define IDC_KEY_RIGHT 1003
#define IDC_KEY_DROP 1004
#define IDC_KEY_DOWN 1005
#define IDC_KEYS_DEFAULT 1006
#define IDC_KEYS_ARROWS 1007
#define IDC_VIEW_STATS 40006  // the id of the View menu's Statistics item
#define IDC_VIEW_NEXT 1019
#define IDC_HIGHSCORE_FILE 1020
#define IDC_HIGHSCORE_BROWSE 1021

// ---- 3D Rendering Options ---------------------------------------------------

#define IDC_BLOCKS_DEFAULT 1008
#define IDC_BLOCKS_SIMPLE 1009
#define IDC_GOURAUD 1010
#define IDC_ROW_BURST 1011

// ---- High Scores ------------------------------------------------------------

#define IDC_HIGHSCORE_NAMEEDIT 1012
#define IDC_HIGHSCORE_MESSAGE 1013
#define IDC_HIGHSCORE_NAME0 1014   // name of row k: 1014 + 2k
#define IDC_HIGHSCORE_SCORE0 1015  // score of row k: 1015 + 2k

// The player's settings: one table binds each setting's name to its global
// variable; the values come from the defaults, then the settings store, then
// the command line, and are written back to the store at exit.
#pragma once

#include "platform/win32.h"

// A key binding: a keyboard scan code 0 to 255, or no key.
#define KEY_NONE 0xFFFFFFFFu

// ---- types ----------------------------------------------------------------

// Bits of OPTION::uFlags.
#define OPTION_SIZE_MASK 0x0000FFFFu  // size of a fixed string buffer, 0 for none
#define OPTION_TYPE_MASK 0x00030000u
#define OPTION_UINT 0x00000000u
#define OPTION_BOOL 0x00010000u
#define OPTION_STRING 0x00020000u
#define OPTION_INT 0x00030000u
#define OPTION_ALLOC 0x00100000u    // a string from the store may get a heap block
#define OPTION_DYNAMIC 0x00200000u  // the string is a heap block owned by the table
#define OPTION_NOSAVE 0x00400000u   // not written back at exit

// One setting: its name (store value name and command-line switch), its type
// and state bits, and where its value lives: a 32-bit variable, a fixed
// buffer, or a variable holding a pointer to a heap string.
typedef struct tagOPTION {
  const char* lpszValueName;
  UINT uFlags;
  char** lplpszData;
} OPTION;

#define NUM_OPTIONS 17

// The store key of the game's settings.
extern const char gc_szRegistryKey[];
// Where an installed game's data folder lies, relative to its program's
// folder; a game whose folder has no such folder runs as a portable copy.
extern const char gc_szInstalledDataFolder[];

// ---- globals --------------------------------------------------------------

extern OPTION g_Options[NUM_OPTIONS];

extern char* g_lpszEXEPath;
extern UINT g_uKeyLeft;
extern UINT g_uKeyRight;
extern UINT g_uKeyRotate;
extern UINT g_uKeyDown;
extern UINT g_uKeyDrop;
extern BOOL g_bRowBurst;
extern DWORD g_dwShadeMode;
extern UINT g_uBlockType;
extern char g_szHighScoreFile[MAX_PATH];
extern INT g_nWindowX;
extern INT g_nWindowY;
extern INT g_nWindowW;
extern INT g_nWindowH;
extern BOOL g_bViewStats;
extern BOOL g_bViewNext;
extern BOOL g_bShowFPS;
extern char g_szHelpFile[MAX_PATH];

// ---- functions ------------------------------------------------------------

// Start-up: the store, then the command line, then the default file places.
void LoadOptions(void);
// Normal exit: writes every row not marked OPTION_NOSAVE to the store.
void SaveOptions(void);

// The three steps of LoadOptions, in their order.
void LoadOptionsFromRegistry(void);
void LoadOptionsFromCommandLine(const char* lpszCommandLine);
void PlaceDefaultFiles(void);

// The Game Options dialog (template 106): keys, view switches, high-score
// file. OK applies them; a file that is not a high-score file is taken only
// when the player agrees to have it overwritten.
INT_PTR CALLBACK GameOptionsDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
// The 3D Rendering Options dialog (template 107): shading, block set and row
// burst, applied at once on OK.
INT_PTR CALLBACK RenderOptionsDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Number conversions of store texts and switch values, with the results a
// 32-bit C library gives: strtoul with base 10 and atoi.
UINT OptionTextToUInt(const char* lpszText);
INT OptionTextToInt(const char* lpszText);

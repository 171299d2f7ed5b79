// The player's settings: one global variable per option, loaded from the
// settings store and the command line, written back at exit.
#pragma once

#include "platform/win32.h"

// A key binding: a keyboard scan code 0 to 255, or no key.
#define KEY_NONE 0xFFFFFFFFu

// ---- globals --------------------------------------------------------------

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

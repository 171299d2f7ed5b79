// The option variables with their defaults.

#include "options/options.h"

// ---- globals --------------------------------------------------------------

char* g_lpszEXEPath = nullptr;
UINT g_uKeyLeft = 0x47;
UINT g_uKeyRight = 0x49;
UINT g_uKeyRotate = 0x48;
UINT g_uKeyDown = 0x2A;
UINT g_uKeyDrop = 0x39;
BOOL g_bRowBurst = 1;
DWORD g_dwShadeMode = 2;
UINT g_uBlockType = 1;
char g_szHighScoreFile[MAX_PATH] = "Quandrel3DHiScores";
INT g_nWindowX = 10;
INT g_nWindowY = 10;
INT g_nWindowW = 400;
INT g_nWindowH = 400;
BOOL g_bViewStats = 1;
BOOL g_bViewNext = 1;
BOOL g_bShowFPS = 0;
char g_szHelpFile[MAX_PATH] = "Quandrel3D.chm";

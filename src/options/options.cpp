// The option table: the settings' defaults, their loading from the settings
// store and the command line, the placing of the high-score and help files
// (beside the executable, or where an installed game keeps them), and the
// saving at exit.

#include "options/options.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "main/fatal.h"
#include "platform/win_files.h"

// ---- globals --------------------------------------------------------------

const char gc_szRegistryKey[] = "Software\\Quandrel3D";

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

// Row 0 must stay EXEPath: the command line's first token is its value. The
// order is also the order of the store's reads and writes.
OPTION g_Options[NUM_OPTIONS] = {
    {"EXEPath", OPTION_STRING | OPTION_ALLOC | OPTION_NOSAVE,
     reinterpret_cast<char**>(&g_lpszEXEPath)},
    {"KeyLeft", OPTION_UINT, reinterpret_cast<char**>(&g_uKeyLeft)},
    {"KeyRight", OPTION_UINT, reinterpret_cast<char**>(&g_uKeyRight)},
    {"KeyRotate", OPTION_UINT, reinterpret_cast<char**>(&g_uKeyRotate)},
    {"KeyDown", OPTION_UINT, reinterpret_cast<char**>(&g_uKeyDown)},
    {"KeyDrop", OPTION_UINT, reinterpret_cast<char**>(&g_uKeyDrop)},
    {"RowBurst", OPTION_BOOL, reinterpret_cast<char**>(&g_bRowBurst)},
    {"ShadeMode", OPTION_UINT, reinterpret_cast<char**>(&g_dwShadeMode)},
    {"BlockSet", OPTION_UINT, reinterpret_cast<char**>(&g_uBlockType)},
    {"HighScoreFile", OPTION_STRING | sizeof(g_szHighScoreFile),
     reinterpret_cast<char**>(g_szHighScoreFile)},
    {"WindowX", OPTION_INT, reinterpret_cast<char**>(&g_nWindowX)},
    {"WindowY", OPTION_INT, reinterpret_cast<char**>(&g_nWindowY)},
    {"WindowW", OPTION_INT, reinterpret_cast<char**>(&g_nWindowW)},
    {"WindowH", OPTION_INT, reinterpret_cast<char**>(&g_nWindowH)},
    {"ViewStats", OPTION_BOOL, reinterpret_cast<char**>(&g_bViewStats)},
    {"ViewNext", OPTION_BOOL, reinterpret_cast<char**>(&g_bViewNext)},
    {"ShowFPS", OPTION_BOOL, reinterpret_cast<char**>(&g_bShowFPS)},
};

// The build's install layout gives the data folder's place.
const char gc_szInstalledDataFolder[] = QUANDREL_DATA_FOLDER;

static const char gc_szHighScoreName[] = "Quandrel3DHiScores";
static const char gc_szHelpName[] = "Quandrel3D.chm";

// ---- helpers --------------------------------------------------------------

// White space of the C locale, whatever locale the toolkit has set.
static BOOL IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// ASCII comparison without regard to case, independent of the locale.
static BOOL SameTextNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char ca = (*a >= 'A' && *a <= 'Z') ? (char)(*a - 'A' + 'a') : *a;
    char cb = (*b >= 'A' && *b <= 'Z') ? (char)(*b - 'A' + 'a') : *b;
    if (ca != cb) return FALSE;
    if (ca == '\0') return TRUE;
  }
}

// The 32-bit variable of a number or truth-value row.
static DWORD* NumberOf(const OPTION* pOption) {
  return reinterpret_cast<DWORD*>(pOption->lplpszData);
}

// 1 for "yes", "true", "1"; 0 for "no", "false", "0"; -1 for anything else.
static int TextToBool(const char* lpszText) {
  if (SameTextNoCase(lpszText, "yes") || SameTextNoCase(lpszText, "true") ||
      SameTextNoCase(lpszText, "1"))
    return 1;
  if (SameTextNoCase(lpszText, "no") || SameTextNoCase(lpszText, "false") ||
      SameTextNoCase(lpszText, "0"))
    return 0;
  return -1;
}

// Values their users could not use are refused and the previous value stays:
// key codes index 256-entry tables, the block set a two-entry table, and the
// device knows only flat and Gouraud shading.
static BOOL IsUsableValue(const OPTION* pOption, DWORD dwValue) {
  const void* p = pOption->lplpszData;
  if (p == &g_uKeyLeft || p == &g_uKeyRight || p == &g_uKeyRotate || p == &g_uKeyDown ||
      p == &g_uKeyDrop)
    return dwValue <= 255 || dwValue == KEY_NONE;
  if (p == &g_uBlockType) return dwValue <= 1;
  if (p == &g_dwShadeMode) return dwValue == 1 || dwValue == 2;
  return TRUE;
}

// No name is no file: an empty high-score file name would fail every save,
// so it is refused like any other value its user could not use.
static BOOL IsUsableText(const OPTION* pOption, const char* lpszText) {
  return lpszText[0] != '\0' || reinterpret_cast<const void*>(pOption->lplpszData) !=
                                    reinterpret_cast<const void*>(g_szHighScoreFile);
}

// Sets a number row unless its user could not use the value.
static void SetNumber(const OPTION* pOption, DWORD dwValue) {
  if (IsUsableValue(pOption, dwValue)) *NumberOf(pOption) = dwValue;
}

// A string from the store: into the fixed buffer when it fits, else into a
// heap block when the row allows one, else ignored.
static void AssignRegistryString(int i, const char* lpszText) {
  if (!IsUsableText(&g_Options[i], lpszText)) return;
  size_t len = std::strlen(lpszText) + 1;
  size_t size = g_Options[i].uFlags & OPTION_SIZE_MASK;
  if (size != 0 && len <= size) {
    std::memcpy(reinterpret_cast<char*>(g_Options[i].lplpszData), lpszText, len);
  } else if (g_Options[i].uFlags & OPTION_ALLOC) {
    CHECK_NULL(*g_Options[i].lplpszData = (char*)realloc(g_Options[i].uFlags & OPTION_DYNAMIC ? *g_Options[i].lplpszData : NULL, len));
    g_Options[i].uFlags |= OPTION_DYNAMIC;
    std::memcpy(*g_Options[i].lplpszData, lpszText, len);
  }
}

// Gives a switch's value to its row. bTemp: the switch had the "*" prefix.
static void AssignSwitchValue(int i, const char* lpszValue, BOOL bTemp) {
  OPTION* pOption = &g_Options[i];
  switch (pOption->uFlags & OPTION_TYPE_MASK) {
    case OPTION_INT:
      if (bTemp) pOption->uFlags |= OPTION_NOSAVE;
      SetNumber(pOption, (DWORD)OptionTextToInt(lpszValue));
      break;
    case OPTION_UINT:
      if (bTemp) pOption->uFlags |= OPTION_NOSAVE;
      SetNumber(pOption, OptionTextToUInt(lpszValue));
      break;
    case OPTION_BOOL: {
      int b = TextToBool(lpszValue);
      if (b < 0) break;
      *NumberOf(pOption) = (DWORD)b;
      if (bTemp) pOption->uFlags |= OPTION_NOSAVE;
      break;
    }
    case OPTION_STRING: {
      if (!IsUsableText(pOption, lpszValue)) break;
      size_t len = std::strlen(lpszValue) + 1;
      size_t size = pOption->uFlags & OPTION_SIZE_MASK;
      if (size != 0) {
        if (len >= size) break;
        std::memcpy(reinterpret_cast<char*>(pOption->lplpszData), lpszValue, len);
      } else {
        CHECK_NULL(*pOption->lplpszData = (char*)realloc(pOption->uFlags & OPTION_DYNAMIC ? *pOption->lplpszData : NULL, len));
        pOption->uFlags |= OPTION_DYNAMIC;
        std::memcpy(*pOption->lplpszData, lpszValue, len);
      }
      if (bTemp) pOption->uFlags |= OPTION_NOSAVE;
      break;
    }
  }
}

// One token of the command line: a switch, or the value the last switch
// awaits. nCurOp is the row awaiting a value, or -1.
static void HandleToken(const char* lpszToken, int& nCurOp, BOOL& bTemp) {
  if (nCurOp < 0) {
    if (lpszToken[0] != '/' && lpszToken[0] != '*') return;
    bTemp = lpszToken[0] == '*';
    for (int i = 0; i < NUM_OPTIONS; ++i) {
      if (SameTextNoCase(lpszToken + 1, g_Options[i].lpszValueName)) {
        nCurOp = i;
        break;
      }
    }
    return;
  }
  int i = nCurOp;
  nCurOp = -1;
  AssignSwitchValue(i, lpszToken, bTemp);
}

// ---- functions ------------------------------------------------------------

// strtoul with base 10 as a 32-bit C library has it: leading white space and
// a sign, digits up to the first other character, saturation at the largest
// value, and a minus sign negating modulo 2^32.
UINT OptionTextToUInt(const char* lpszText) {
  const char* p = lpszText;
  while (IsBlank(*p)) ++p;
  BOOL bNegative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  uint64_t value = 0;
  BOOL bOverflow = FALSE;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (uint64_t)(*p - '0');
    if (value > 0xFFFFFFFFull) {
      bOverflow = TRUE;
      value = 0xFFFFFFFFull;
    }
  }
  if (bOverflow) return 0xFFFFFFFFu;
  return bNegative ? (UINT)(0u - (UINT)value) : (UINT)value;
}

// atoi as a 32-bit C library has it, saturating instead of overflowing.
INT OptionTextToInt(const char* lpszText) {
  const char* p = lpszText;
  while (IsBlank(*p)) ++p;
  BOOL bNegative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > (int64_t)INT_MAX + 1) value = (int64_t)INT_MAX + 1;
  }
  if (bNegative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return (INT)value;
}

// Step 1: every row's value from the store, converted by its type.
void LoadOptionsFromRegistry(void) {
  HKEY hKey;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, gc_szRegistryKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
    return;
  for (int i = 0; i < NUM_OPTIONS; ++i) {
    // One spare byte keeps a text terminated even if the store left it open.
    BYTE data[1024 + 1];
    DWORD cbData = 1024;
    DWORD dwType = REG_NONE;
    if (RegQueryValueExA(hKey, g_Options[i].lpszValueName, NULL, &dwType, data, &cbData) !=
        ERROR_SUCCESS)
      continue;
    if (dwType != REG_DWORD && dwType != REG_SZ) continue;
    if (dwType == REG_DWORD && cbData < 4) continue;
    DWORD dwNumber = (DWORD)data[0] | (DWORD)data[1] << 8 | (DWORD)data[2] << 16 |
                     (DWORD)data[3] << 24;
    data[cbData < 1024 ? cbData : 1024] = '\0';
    const char* lpszText = reinterpret_cast<const char*>(data);
    OPTION* pOption = &g_Options[i];
    switch (pOption->uFlags & OPTION_TYPE_MASK) {
      case OPTION_BOOL:
        if (dwType == REG_DWORD) {
          *NumberOf(pOption) = dwNumber != 0;
        } else {
          int b = TextToBool(lpszText);
          if (b >= 0) *NumberOf(pOption) = (DWORD)b;
        }
        break;
      case OPTION_UINT:
        SetNumber(pOption, dwType == REG_DWORD ? dwNumber : OptionTextToUInt(lpszText));
        break;
      case OPTION_INT:
        SetNumber(pOption, dwType == REG_DWORD ? dwNumber : (DWORD)OptionTextToInt(lpszText));
        break;
      case OPTION_STRING:
        if (dwType == REG_DWORD) {
          char szNumber[16];
          std::snprintf(szNumber, sizeof(szNumber), "%u", (unsigned)dwNumber);
          AssignRegistryString(i, szNumber);
        } else {
          AssignRegistryString(i, lpszText);
        }
        break;
    }
  }
  RegCloseKey(hKey);
}

// Step 2: the command line, cut into tokens in a copy of its own. Quoted
// tokens may hold white space; one still open at the end is dropped.
void LoadOptionsFromCommandLine(const char* lpszCommandLine) {
  size_t cmdlen = std::strlen(lpszCommandLine);
  void* lpszCmdLine;
  CHECK_NULL(lpszCmdLine = malloc(cmdlen + 1));
  char* s = static_cast<char*>(lpszCmdLine);
  std::memcpy(s, lpszCommandLine, cmdlen + 1);

  int nCurOp = 0;  // the first token is always the executable's path
  BOOL bTemp = FALSE;
  char* lpszToken = nullptr;
  BOOL bQuoted = FALSE;
  // The terminator is examined too, so that it ends a token as a blank does.
  for (size_t i = 0; i <= cmdlen; ++i) {
    char c = s[i];
    if (lpszToken == nullptr) {
      if (c == '\0' || IsBlank(c)) continue;
      bQuoted = c == '"';
      lpszToken = bQuoted ? s + i + 1 : s + i;
    } else if (bQuoted) {
      if (c == '"') {
        s[i] = '\0';
        HandleToken(lpszToken, nCurOp, bTemp);
        lpszToken = nullptr;
      }
    } else if (c == '\0' || IsBlank(c)) {
      s[i] = '\0';
      HandleToken(lpszToken, nCurOp, bTemp);
      lpszToken = nullptr;
    }
  }
  free(lpszCmdLine);
}

// Step 3: the default high-score file and the help file. A copy run from
// its own folder (a build, a portable copy) keeps both beside the program,
// or the high scores in the player's data directory when that folder takes
// no new files. An installed game has its data folder at a fixed place
// relative to the program: the help is there, and the high scores always go
// to the player's data directory, so that nothing is ever written into the
// installation, not even by the superuser.
void PlaceDefaultFiles(void) {
  if (g_lpszEXEPath == nullptr) return;
  const char* lpszSlash = std::strrchr(g_lpszEXEPath, '/');
  if (lpszSlash == nullptr) return;
  std::string exeDir(g_lpszEXEPath, (size_t)(lpszSlash - g_lpszEXEPath) + 1);
  std::string dataDir = platform::ExistingDirectory(exeDir + gc_szInstalledDataFolder);
  const BOOL bInstalled = !dataDir.empty();

  if (std::strcmp(g_szHighScoreFile, gc_szHighScoreName) == 0) {
    std::string dir = exeDir;
    if (bInstalled || !platform::IsDirectoryWritable(dir)) {
      // Without a data directory an installed game falls back to the bare
      // name, in the current folder, rather than to its own folder.
      dir = platform::UserDataDirectory();
      if (dir.empty() && !bInstalled) dir = exeDir;
    }
    std::string path = dir + gc_szHighScoreName;
    // A path too long for the buffer leaves the bare name.
    if (path.size() < sizeof(g_szHighScoreFile))
      std::memcpy(g_szHighScoreFile, path.c_str(), path.size() + 1);
  }
  std::string help = (bInstalled ? dataDir : exeDir) + gc_szHelpName;
  if (help.size() < sizeof(g_szHelpFile))
    std::memcpy(g_szHelpFile, help.c_str(), help.size() + 1);
}

// Defaults, then the store, then the command line, then the file places.
void LoadOptions(void) {
  LoadOptionsFromRegistry();
  LoadOptionsFromCommandLine(GetCommandLineA());
  PlaceDefaultFiles();
}

// Writes every savable row; negative signed numbers go as text.
void SaveOptions(void) {
  HKEY hKey;
  DWORD dwDisposition;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, gc_szRegistryKey, 0, NULL, REG_OPTION_NON_VOLATILE,
                      KEY_WRITE, NULL, &hKey, &dwDisposition) != ERROR_SUCCESS)
    return;
  for (int i = 0; i < NUM_OPTIONS; ++i) {
    const OPTION* pOption = &g_Options[i];
    if (pOption->uFlags & OPTION_NOSAVE) continue;
    DWORD dwValue;
    BYTE number[4];
    switch (pOption->uFlags & OPTION_TYPE_MASK) {
      case OPTION_BOOL:
      case OPTION_UINT:
      case OPTION_INT: {
        dwValue = *NumberOf(pOption);
        if ((pOption->uFlags & OPTION_TYPE_MASK) == OPTION_BOOL) dwValue = dwValue != 0;
        if ((pOption->uFlags & OPTION_TYPE_MASK) == OPTION_INT && (INT)dwValue < 0) {
          char szText[16];
          int n = std::snprintf(szText, sizeof(szText), "%d", (INT)dwValue);
          RegSetValueExA(hKey, pOption->lpszValueName, 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(szText), (DWORD)n + 1);
          break;
        }
        for (int b = 0; b < 4; ++b) number[b] = (BYTE)(dwValue >> (8 * b));
        RegSetValueExA(hKey, pOption->lpszValueName, 0, REG_DWORD, number, 4);
        break;
      }
      case OPTION_STRING: {
        const char* lpszText = pOption->uFlags & OPTION_SIZE_MASK
                                   ? reinterpret_cast<const char*>(pOption->lplpszData)
                                   : *pOption->lplpszData;
        if (lpszText == nullptr) break;
        RegSetValueExA(hKey, pOption->lpszValueName, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(lpszText),
                       (DWORD)std::strlen(lpszText) + 1);
        break;
      }
    }
  }
  RegCloseKey(hKey);
}

// The ten best results: the table in memory, its file, and the steps of the
// high-score dialog (who enters the table, where, under which name).
#pragma once

#include <cstddef>

#include "platform/win32.h"
#include "resources/dialog_ids.h"

// ---- types and constants --------------------------------------------------

#define MAX_HIGHSCORES 10
// The longest name kept from the dialog, in bytes.
#define MAX_HIGHSCORE_NAME 64
// No table needs more; a larger file is not read.
#define MAX_HIGHSCORE_FILE_SIZE (1u << 20)


// One entry. While an entry waits for its name, lpszName carries the
// entry's insertion position instead.
typedef struct tagHIGHSCORE {
  UINT uScore;
  UINT uLevel;
  INT tTime;  // seconds since 1 January 1970 UTC
  char* lpszName;
} HIGHSCORE;

// Start of the file: magic, whole length, byte sum after the header, count.
typedef struct tagHIGHSCOREHEADER {
  char szMagic[8];
  UINT uDataLen;
  UINT uChecksum;
  UINT uNumScores;
} HIGHSCOREHEADER;

// The texts the dialog shows for one state of the table; the names point
// into the table and are valid until it changes.
typedef struct tagHIGHSCOREDLGTEXT {
  BOOL bEntryMode;  // name edit and Cancel shown, edit has the focus
  char szMessage[128];
  const char* lpszNames[MAX_HIGHSCORES];  // the table's own names, or ""
  char szScores[MAX_HIGHSCORES][16];
} HIGHSCOREDLGTEXT;

// ---- globals --------------------------------------------------------------

extern HIGHSCORE g_HighScores[MAX_HIGHSCORES];
extern UINT g_uNumHighScores;
// 1 the last checked file was loaded, -1 it was not a valid file, 0 not yet.
extern INT g_nHighScoreFileState;
// The entry waiting for its name while the dialog is in entry mode, else null.
extern HIGHSCORE* g_pNewHighScore;

// ---- functions: table and file --------------------------------------------

// Reads g_szHighScoreFile; replaces the table only when the file is valid.
void LoadHighScores(void);
// Writes the table to g_szHighScoreFile, reporting failures in a message box.
void SaveHighScores(void);

// Checks a file image and, when it is valid, makes it the table. Sets the
// state to 1 or -1 and returns TRUE for a valid image.
BOOL LoadHighScoreImage(const BYTE* lpData, size_t uSize);
// TRUE when the image passes every check of a high-score file.
BOOL IsValidHighScoreImage(const BYTE* lpData, size_t uSize);
// The file image of the table in a heap block (released with free); its
// length goes to *puSize.
BYTE* MakeHighScoreImage(size_t* puSize);

// The player has agreed to have this file overwritten although it is not a
// valid high-score file (called when the Game Options question gets Yes).
void AgreeToOverwriteHighScoreFile(const char* lpszFile);
// Asks whether the invalid file may be overwritten; Yes counts as agreement.
BOOL AskToOverwriteHighScoreFile(HWND hwndOwner, const char* lpszFile);

// ---- functions: entering the table ----------------------------------------

// The place a new score takes: the number of entries that beat it, so that it
// goes before older equal scores. MAX_HIGHSCORES or more: no place.
UINT FindHighScorePosition(UINT uScore);
// TRUE when the typed name holds something other than white space.
BOOL IsAcceptableName(const char* lpszName);
// Puts the entry (with its name) at place p; a full table drops its last.
void InsertHighScore(const HIGHSCORE* pEntry, UINT p);
// Fills the dialog's texts for the table; pEntry null is view mode.
void FillHighScoreDialog(HIGHSCOREDLGTEXT* pText, HIGHSCORE* pEntry);
// A dialog command: OK with the name edit's text, or Cancel. Returns 0 while
// the dialog stays open, else its result (IDOK, IDCANCEL).
INT_PTR HighScoreDialogCommand(HIGHSCOREDLGTEXT* pText, UINT uId, const char* lpszTyped);
// The dialog procedure of the high-score dialog (template 108); the
// parameter is the entry waiting for its name, or null for the table alone.
INT_PTR CALLBACK HighScoreDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

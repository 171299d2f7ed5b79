// The high-score table and its file: a 20-byte little-endian header (magic
// "QN_3D_HS", file length, byte sum of the records, record count) and up to
// ten records of score, level, time and name length, each followed by the
// name's bytes. Saving replaces the file as a whole, never silently
// overwrites a file that is not a high-score file, and leaves alone a file
// that already holds the table.

#include "high_scores/high_scores.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "main/fatal.h"
#include "options/options.h"
#include "platform/win_files.h"
#include "window/window.h"

static_assert(sizeof(HIGHSCOREHEADER) == 20, "the header is 20 bytes on disk");

// ---- globals --------------------------------------------------------------

HIGHSCORE g_HighScores[MAX_HIGHSCORES];
UINT g_uNumHighScores = 0;
INT g_nHighScoreFileState = 0;

// The file the player last agreed to have overwritten.
static char s_szOverwriteAgreed[MAX_PATH] = "";

static const char gc_szMagic[8] = {'Q', 'N', '_', '3', 'D', '_', 'H', 'S'};
static const size_t HEADER_SIZE = 20;
static const size_t RECORD_SIZE = 16;

// How a read of the file went.
enum { HSREAD_FAILED, HSREAD_TOO_LARGE, HSREAD_OK };

// ---- helpers --------------------------------------------------------------

// A little-endian 32-bit number.
static UINT GetLE32(const BYTE* p) {
  return (UINT)p[0] | (UINT)p[1] << 8 | (UINT)p[2] << 16 | (UINT)p[3] << 24;
}

// Writes a 32-bit value little-endian, as the file keeps it.
static void PutLE32(BYTE* p, UINT v) {
  for (int i = 0; i < 4; ++i) p[i] = (BYTE)(v >> (8 * i));
}

// Sum of the bytes, modulo 2^32.
static UINT ByteSum(const BYTE* p, size_t n) {
  UINT sum = 0;
  for (size_t i = 0; i < n; ++i) sum += p[i];
  return sum;
}

// Reads the whole file into a heap block. A file that cannot be opened or
// read, or is not a plain file, fails; one larger than any table is too
// large and is not read.
static int ReadHighScoreFile(const char* lpszFile, BYTE** ppData, size_t* puSize) {
  *ppData = nullptr;
  *puSize = 0;
  // Non-blocking, so that a named pipe put in the file's place cannot hang us.
  int fd = open(lpszFile, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return HSREAD_FAILED;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return HSREAD_FAILED;
  }
  if (st.st_size > (off_t)MAX_HIGHSCORE_FILE_SIZE) {
    close(fd);
    return HSREAD_TOO_LARGE;
  }
  UINT uDataLen = (UINT)st.st_size;
  HIGHSCOREHEADER* data;
  CHECK_NULL(data = (HIGHSCOREHEADER*) malloc(uDataLen));
  BYTE* bytes = reinterpret_cast<BYTE*>(data);
  size_t got = 0;
  while (got < uDataLen) {
    ssize_t n = read(fd, bytes + got, uDataLen - got);
    if (n <= 0) break;
    got += (size_t)n;
  }
  close(fd);
  if (got < uDataLen) {
    free(data);
    return HSREAD_FAILED;
  }
  *ppData = bytes;
  *puSize = uDataLen;
  return HSREAD_OK;
}

// Shows a save failure, owned by the main window when there is one.
static void ReportSaveError(const char* lpszFormat) {
  char szText[MAX_PATH + 128];
  std::snprintf(szText, sizeof(szText), lpszFormat, g_szHighScoreFile);
  MessageBoxA(IsWindow(g_hwndMain) ? g_hwndMain : nullptr, szText, "Quandrel 3D",
              MB_OK | MB_ICONERROR);
}

// An existing file may be replaced when it is a high-score file (bValid: it
// was read and holds one), or when the player agrees; a file that does not
// exist may always be made. A directory is not offered for overwriting: the
// save then fails to open it.
static BOOL MayReplaceHighScoreFile(const char* lpszFile, BOOL bValid) {
  struct stat st;
  if (stat(lpszFile, &st) != 0 || S_ISDIR(st.st_mode)) return TRUE;
  if (bValid || std::strcmp(s_szOverwriteAgreed, lpszFile) == 0) return TRUE;
  return AskToOverwriteHighScoreFile(IsWindow(g_hwndMain) ? g_hwndMain : nullptr, lpszFile);
}

// ---- functions ------------------------------------------------------------

// Every check in its order; the first failure makes the image invalid.
BOOL IsValidHighScoreImage(const BYTE* lpData, size_t uSize) {
  if (uSize < HEADER_SIZE) return FALSE;
  if (std::memcmp(lpData, gc_szMagic, sizeof(gc_szMagic)) != 0) return FALSE;
  if ((size_t)GetLE32(lpData + 8) != uSize) return FALSE;
  UINT uNumScores = GetLE32(lpData + 16);
  if (uNumScores > MAX_HIGHSCORES) return FALSE;
  if (GetLE32(lpData + 12) != ByteSum(lpData + HEADER_SIZE, uSize - HEADER_SIZE)) return FALSE;
  size_t offset = HEADER_SIZE;
  for (UINT i = 0; i < uNumScores; ++i) {
    if (uSize - offset < RECORD_SIZE) return FALSE;
    size_t uStrLen = GetLE32(lpData + offset + 12);
    if (uStrLen > uSize - offset - RECORD_SIZE) return FALSE;
    offset += RECORD_SIZE + uStrLen;
  }
  return TRUE;
}

// A valid image replaces the table, in the order stored.
BOOL LoadHighScoreImage(const BYTE* lpData, size_t uSize) {
  if (!IsValidHighScoreImage(lpData, uSize)) {
    g_nHighScoreFileState = -1;
    return FALSE;
  }
  for (UINT i = 0; i < g_uNumHighScores; ++i) {
    free(g_HighScores[i].lpszName);
    g_HighScores[i].lpszName = nullptr;
  }
  g_uNumHighScores = GetLE32(lpData + 16);
  // Hands out char blocks, so that the checked statement reads as the report
  // of a failed name allocation quotes it.
  auto malloc = [](size_t n) { return static_cast<char*>(std::malloc(n)); };
  size_t offset = HEADER_SIZE;
  for (UINT i = 0; i < g_uNumHighScores; ++i) {
    const BYTE* record = lpData + offset;
    g_HighScores[i].uScore = GetLE32(record);
    g_HighScores[i].uLevel = GetLE32(record + 4);
    g_HighScores[i].tTime = (INT)GetLE32(record + 8);
    UINT uStrLen = GetLE32(record + 12);
    CHECK_NULL(g_HighScores[i].lpszName = malloc(uStrLen + 1));
    std::memcpy(g_HighScores[i].lpszName, record + RECORD_SIZE, uStrLen);
    g_HighScores[i].lpszName[uStrLen] = '\0';
    offset += RECORD_SIZE + uStrLen;
  }
  g_nHighScoreFileState = 1;
  return TRUE;
}

// Table and state change only when the file could be read.
void LoadHighScores(void) {
  BYTE* data;
  size_t size;
  switch (ReadHighScoreFile(g_szHighScoreFile, &data, &size)) {
    case HSREAD_FAILED:
      return;
    case HSREAD_TOO_LARGE:
      g_nHighScoreFileState = -1;
      return;
    default:
      LoadHighScoreImage(data, size);
      free(data);
      return;
  }
}

// Header, then one record and name per entry; length and sum filled last.
BYTE* MakeHighScoreImage(size_t* puSize) {
  HIGHSCOREHEADER* data;
  CHECK_NULL(data = (HIGHSCOREHEADER*)malloc(sizeof(HIGHSCOREHEADER)));
  BYTE* bytes = reinterpret_cast<BYTE*>(data);
  std::memcpy(bytes, gc_szMagic, sizeof(gc_szMagic));
  PutLE32(bytes + 16, g_uNumHighScores);
  size_t uDataLen = HEADER_SIZE;
  for (UINT i = 0; i < g_uNumHighScores; ++i) {
    const char* lpszName = g_HighScores[i].lpszName != nullptr ? g_HighScores[i].lpszName : "";
    size_t uStrLen = std::strlen(lpszName);
    // The allocator often has room to spare; grow only when it has not.
    if (malloc_usable_size(data) < uDataLen + RECORD_SIZE + uStrLen) {
      CHECK_NULL(data = (HIGHSCOREHEADER*)realloc(data, uDataLen + sizeof(HIGHSCORE) + uStrLen));
      bytes = reinterpret_cast<BYTE*>(data);
    }
    BYTE* record = bytes + uDataLen;
    PutLE32(record, g_HighScores[i].uScore);
    PutLE32(record + 4, g_HighScores[i].uLevel);
    PutLE32(record + 8, (UINT)g_HighScores[i].tTime);
    PutLE32(record + 12, (UINT)uStrLen);
    std::memcpy(record + RECORD_SIZE, lpszName, uStrLen);
    uDataLen += RECORD_SIZE + uStrLen;
  }
  PutLE32(bytes + 8, (UINT)uDataLen);
  PutLE32(bytes + 12, ByteSum(bytes + HEADER_SIZE, uDataLen - HEADER_SIZE));
  *puSize = uDataLen;
  return bytes;
}

// Writes the table through a temporary file, so that a failed save leaves the
// old file whole; table and state are never changed. A file that already
// holds the table is left alone; a missing one is made.
void SaveHighScores(void) {
  size_t size;
  BYTE* data = MakeHighScoreImage(&size);
  // The file as it is now, read once. When it already holds exactly this
  // table there is nothing to write, and a file the player may read but not
  // write is no error.
  BYTE* old;
  size_t oldSize;
  const BOOL bRead = ReadHighScoreFile(g_szHighScoreFile, &old, &oldSize) == HSREAD_OK;
  const BOOL bSame = bRead && oldSize == size && std::memcmp(old, data, size) == 0;
  const BOOL bValid = bRead && IsValidHighScoreImage(old, oldSize);
  free(old);
  if (!bSame && MayReplaceHighScoreFile(g_szHighScoreFile, bValid)) {
    switch (platform::ReplaceFileContents(g_szHighScoreFile, data, size)) {
      case platform::ReplaceResult::OpenFailed:
        ReportSaveError("Error saving high score table to file \"%s\" - cannot open file.");
        break;
      case platform::ReplaceResult::WriteFailed:
        ReportSaveError("Error saving high score table to file \"%s\" - write error.");
        break;
      case platform::ReplaceResult::Ok:
        break;
    }
  }
  free(data);
}

// Remembers the player's consent for this one file.
void AgreeToOverwriteHighScoreFile(const char* lpszFile) {
  std::snprintf(s_szOverwriteAgreed, sizeof(s_szOverwriteAgreed), "%s", lpszFile);
}

// The same question the Game Options dialog asks.
BOOL AskToOverwriteHighScoreFile(HWND hwndOwner, const char* lpszFile) {
  char szText[MAX_PATH + 256];
  std::snprintf(szText, sizeof(szText),
                "\"%s\" is not a valid %s high score file. Do you really want %s to overwrite "
                "thsi file with the high score table?",
                lpszFile, "Quandrel 3D", "Quandrel 3D");
  if (MessageBoxA(hwndOwner, szText, "Quandrel 3D", MB_ICONWARNING | MB_YESNO) != IDYES)
    return FALSE;
  AgreeToOverwriteHighScoreFile(lpszFile);
  return TRUE;
}

// Entering the high-score table: where a new score goes, which names are
// taken, the insertion, and the texts and commands of the high-score dialog
// in its two modes (entry: a score waits for a name; view: the table alone).

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "high_scores/high_scores.h"
#include "main/fatal.h"

// ---- globals --------------------------------------------------------------

HIGHSCORE* g_pNewHighScore = nullptr;

// ---- helpers --------------------------------------------------------------

// White space of the C locale; bytes from 0x80 up are letters of some kind.
static BOOL IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The length of the name that is kept: at most MAX_HIGHSCORE_NAME bytes,
// cut before a character whose UTF-8 sequence would not fit whole. A UTF-8
// sequence has at most three continuation bytes; more in a row are no UTF-8,
// and such a name is cut at the limit itself.
static size_t KeptNameLength(const char* lpszTyped) {
  size_t n = std::strlen(lpszTyped);
  if (n <= MAX_HIGHSCORE_NAME) return n;
  n = MAX_HIGHSCORE_NAME;
  size_t cut = n;
  while (cut > 0 && n - cut < 4 && ((unsigned char)lpszTyped[cut] & 0xC0) == 0x80) --cut;
  return n - cut < 4 ? cut : n;
}

// ---- functions ------------------------------------------------------------

// Unsigned comparison; only strictly better scores count, so the new entry
// goes before older equal ones. A table in unusual order gives the place
// after the last entry that beats the score.
UINT FindHighScorePosition(UINT uScore) {
  UINT p = 0;
  for (UINT i = 0; i < g_uNumHighScores; ++i)
    if (g_HighScores[i].uScore > uScore) p = i + 1;
  return p;
}

// Empty and all-blank names are refused.
BOOL IsAcceptableName(const char* lpszName) {
  for (const char* p = lpszName; *p != '\0'; ++p)
    if (!IsBlank(*p)) return TRUE;
  return FALSE;
}

// Moves the entries from p on one place down and puts the new one at p.
void InsertHighScore(const HIGHSCORE* pEntry, UINT p) {
  if (g_uNumHighScores >= MAX_HIGHSCORES) {
    free(g_HighScores[MAX_HIGHSCORES - 1].lpszName);
    g_HighScores[MAX_HIGHSCORES - 1].lpszName = nullptr;
    g_uNumHighScores = MAX_HIGHSCORES - 1;
  }
  if (p > g_uNumHighScores) p = g_uNumHighScores;
  std::memmove(&g_HighScores[p + 1], &g_HighScores[p],
               (g_uNumHighScores - p) * sizeof(HIGHSCORE));
  g_HighScores[p] = *pEntry;
  ++g_uNumHighScores;
}

// The rows of the table, then the announcement (entry mode) or the title.
void FillHighScoreDialog(HIGHSCOREDLGTEXT* pText, HIGHSCORE* pEntry) {
  g_pNewHighScore = pEntry;
  for (UINT k = 0; k < MAX_HIGHSCORES; ++k) {
    if (k < g_uNumHighScores) {
      pText->lpszNames[k] = g_HighScores[k].lpszName != nullptr ? g_HighScores[k].lpszName : "";
      std::snprintf(pText->szScores[k], sizeof(pText->szScores[k]), "%u", g_HighScores[k].uScore);
    } else {
      pText->lpszNames[k] = "";
      pText->szScores[k][0] = '\0';
    }
  }
  pText->bEntryMode = pEntry != nullptr;
  if (pEntry != nullptr)
    std::snprintf(pText->szMessage, sizeof(pText->szMessage),
                  "%u points - H I G H S C O R E !\n\nEnter your name for the hall of fame:",
                  pEntry->uScore);
  else
    std::snprintf(pText->szMessage, sizeof(pText->szMessage),
                  "Quandrel 3D\n\nH I G H S C O R E S");
}

// OK in entry mode takes an acceptable name, inserts the entry and turns
// the dialog into the view; OK in view mode closes it; Cancel abandons.
INT_PTR HighScoreDialogCommand(HIGHSCOREDLGTEXT* pText, UINT uId, const char* lpszTyped) {
  if (uId == IDCANCEL) return IDCANCEL;
  if (uId != IDOK) return 0;
  HIGHSCORE* pEntry = g_pNewHighScore;
  if (pEntry == nullptr) return IDOK;
  if (lpszTyped == nullptr) return 0;

  size_t nNameLen = KeptNameLength(lpszTyped) + 1;
  void* lpszName;
  CHECK_NULL(lpszName = malloc(nNameLen));
  char* name = static_cast<char*>(lpszName);
  std::memcpy(name, lpszTyped, nNameLen - 1);
  name[nNameLen - 1] = '\0';
  if (!IsAcceptableName(name)) {
    free(lpszName);
    return 0;
  }
  UINT p = (UINT)(UINT_PTR)pEntry->lpszName;
  pEntry->lpszName = name;
  InsertHighScore(pEntry, p);
  FillHighScoreDialog(pText, nullptr);
  return 0;
}

// Fuzz target: any bytes as a high-score file image. A valid image must load
// into a table that saves as a valid image and loads back the same; an
// invalid one must leave the table alone. A new score then enters the table.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "high_scores/high_scores.h"

namespace {

struct Entry {
  UINT score, level;
  INT time;
  std::string name;
  bool operator==(const Entry&) const = default;
};

std::vector<Entry> Table() {
  std::vector<Entry> t;
  for (UINT i = 0; i < g_uNumHighScores; ++i)
    t.push_back({g_HighScores[i].uScore, g_HighScores[i].uLevel, g_HighScores[i].tTime,
                 g_HighScores[i].lpszName});
  return t;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<Entry> before = Table();
  g_nHighScoreFileState = 0;
  bool valid = IsValidHighScoreImage(data, size);
  Check(LoadHighScoreImage(data, size) == (BOOL)valid);
  if (!valid) {
    Check(g_nHighScoreFileState == -1);
    Check(Table() == before);
    return 0;
  }
  Check(g_nHighScoreFileState == 1);
  Check(g_uNumHighScores <= MAX_HIGHSCORES);

  size_t imageSize;
  BYTE* image = MakeHighScoreImage(&imageSize);
  Check(IsValidHighScoreImage(image, imageSize));
  std::vector<Entry> loaded = Table();
  Check(LoadHighScoreImage(image, imageSize));
  Check(Table() == loaded);
  free(image);

  // A new score from the last bytes takes its place with a name.
  UINT score = 0;
  std::memcpy(&score, data + size - 4, 4);
  UINT p = FindHighScorePosition(score);
  if (p < MAX_HIGHSCORES) {
    HIGHSCORE hs{score, 0, 0, (char*)(UINT_PTR)p};
    HIGHSCOREDLGTEXT text;
    FillHighScoreDialog(&text, &hs);
    std::string name(reinterpret_cast<const char*>(data) + 20, size - 20 < 80 ? size - 20 : 80);
    INT_PTR r = HighScoreDialogCommand(&text, IDOK, name.c_str());
    Check(r == 0);
    if (!text.bEntryMode) {
      Check(g_HighScores[p].uScore == score);
      Check(std::strlen(g_HighScores[p].lpszName) <= MAX_HIGHSCORE_NAME);
    }
    g_pNewHighScore = nullptr;
    image = MakeHighScoreImage(&imageSize);
    Check(IsValidHighScoreImage(image, imageSize));
    free(image);
  }
  return 0;
}

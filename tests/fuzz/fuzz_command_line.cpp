// Fuzz target: any bytes as the command line. The switches must keep every
// setting within its bounds (a high-score file always has a name); and
// arguments joined the way the platform builds the command line must come
// back out of the tokenizer unchanged.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "options/options.h"
#include "platform/win_cmdline.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool KeyOk(UINT k) { return k <= 255 || k == KEY_NONE; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The whole input as one command line, up to its first NUL.
  std::string line(reinterpret_cast<const char*>(data), size);
  LoadOptionsFromCommandLine(line.c_str());
  Check(KeyOk(g_uKeyLeft) && KeyOk(g_uKeyRight) && KeyOk(g_uKeyRotate) && KeyOk(g_uKeyDown) &&
        KeyOk(g_uKeyDrop));
  Check(g_uBlockType <= 1);
  Check(g_dwShadeMode == 1 || g_dwShadeMode == 2);
  Check(std::strlen(g_szHighScoreFile) < MAX_PATH - 1);
  Check(g_szHighScoreFile[0] != '\0');

  // Two parts split at the first NUL: the executable path and a file name.
  size_t nul = line.find('\0');
  if (nul == std::string::npos) return 0;
  std::string exe = line.substr(0, nul);
  std::string file = line.substr(nul + 1);
  file = file.substr(0, file.find('\0'));
  if (exe.find('"') != std::string::npos || file.find('"') != std::string::npos) return 0;
  std::string sw = "/HighScoreFile";
  char* argv[] = {nullptr, sw.data(), file.data(), nullptr};
  std::string joined = platform::JoinCommandLine(exe, 3, argv);
  LoadOptionsFromCommandLine(joined.c_str());
  Check(g_lpszEXEPath != nullptr && exe == g_lpszEXEPath);
  // No name is refused, and the file in force stays.
  if (!file.empty() && file.size() + 1 < MAX_PATH) Check(file == g_szHighScoreFile);
  Check(g_szHighScoreFile[0] != '\0');
  return 0;
}

// Fuzz target: any bytes as the settings store file. The parser either
// refuses the text or reads it into a store whose text reads back the same;
// the options loader then applies whatever the file holds, within the
// bounds every setting has.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "options/options.h"
#include "platform/win_registry.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// A private configuration directory for the whole run.
const std::string& StoreFile() {
  static std::string path = [] {
    char dir[] = "/tmp/quandrel-fuzz-store-XXXXXX";
    Check(mkdtemp(dir) != nullptr);
    platform_test::SetConfigHome(dir);
    std::string sub = std::string(dir) + "/Quandrel3D";
    Check(mkdir(sub.c_str(), 0700) == 0);
    return sub + "/settings.reg";
  }();
  return path;
}

bool KeyOk(UINT k) { return k <= 255 || k == KEY_NONE; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  platform::RegStore store;
  if (platform::ParseRegStore(text, store)) {
    std::string formatted = platform::FormatRegStore(store);
    platform::RegStore again;
    Check(platform::ParseRegStore(formatted, again));
    Check(platform::FormatRegStore(again) == formatted);
  } else {
    Check(store.empty());
  }

  {
    std::ofstream out(StoreFile(), std::ios::binary | std::ios::trunc);
    out.write(text.data(), (std::streamsize)text.size());
  }
  LoadOptionsFromRegistry();
  Check(KeyOk(g_uKeyLeft) && KeyOk(g_uKeyRight) && KeyOk(g_uKeyRotate) && KeyOk(g_uKeyDown) &&
        KeyOk(g_uKeyDrop));
  Check(g_uBlockType <= 1);
  Check(g_dwShadeMode == 1 || g_dwShadeMode == 2);
  Check(g_bRowBurst <= 1 && g_bViewStats <= 1 && g_bViewNext <= 1 && g_bShowFPS <= 1);
  Check(std::strlen(g_szHighScoreFile) < MAX_PATH);
  return 0;
}

// Fuzz target: any bytes as the settings store file. The parser reads what
// it can into a store whose text reads back whole and the same; the options
// loader then applies whatever the store holds, within the bounds every
// setting has. Everything happens in memory, so that the disk does not set
// the pace.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "options/options.h"
#include "platform/win_registry.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool KeyOk(UINT k) { return k <= 255 || k == KEY_NONE; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::RegStore store;
  platform::ParseRegStore(std::string_view(reinterpret_cast<const char*>(data), size), store);
  platform::RegStore again;
  Check(platform::ParseRegStore(platform::FormatRegStore(store), again));
  Check(again == store);

  platform_test::SetStoreContents(&store);
  LoadOptionsFromRegistry();
  platform_test::SetStoreContents(nullptr);
  Check(KeyOk(g_uKeyLeft) && KeyOk(g_uKeyRight) && KeyOk(g_uKeyRotate) && KeyOk(g_uKeyDown) &&
        KeyOk(g_uKeyDrop));
  Check(g_uBlockType <= 1);
  Check(g_dwShadeMode == 1 || g_dwShadeMode == 2);
  Check(g_bRowBurst <= 1 && g_bViewStats <= 1 && g_bViewNext <= 1 && g_bShowFPS <= 1);
  Check(g_szHighScoreFile[0] != '\0' && std::strlen(g_szHighScoreFile) < MAX_PATH);
  return 0;
}

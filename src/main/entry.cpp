// Program entry point: hands the command line to the platform layer and
// starts the game.

#include <cstdio>

#include "platform/win_cmdline.h"

// The game's window, menu and keyboard are not built yet, so there is no game
// to play; say so plainly rather than open an empty window.
int main(int argc, char** argv) {
  platform::SetCommandLineArgs(argc, argv);
  std::puts(
      "Quandrel 3D: the game window is not built yet, so there is nothing to play.\n"
      "The rules, settings, high-score table and 3D drawing are in place: run\n"
      "'bash scripts/test.sh' for the tests, or build/release/snapshot to draw a frame.");
  return 0;
}

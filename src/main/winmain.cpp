// Start-up and shut-down in their fixed order: options, timer, common
// controls, tables and meshes, high scores, a first game, the windows and
// their loop; then the options and the high scores are saved.

#include "main/main.h"

#include "high_scores/high_scores.h"
#include "main/fatal.h"
#include "main/timer.h"
#include "maths/maths.h"
#include "options/options.h"
#include "render/render.h"
#include "rules/rules.h"
#include "window/window.h"

// ---- functions ------------------------------------------------------------

// The options read the command line themselves; the show command is the
// window style's business.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  g_hInstance = hInstance;
  LoadOptions();
  InitFrameTimer();

  INITCOMMONCONTROLSEX icc;
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES;
  CHECK_FALSE(InitCommonControlsEx(&icc));

  InitSinTable();
  InitRender();
  LoadHighScores();
  // A game runs before any window exists; its status text waits for the bar.
  NewGame(0);

  LaunchWindow();

  // The windows are gone: keep the settings, then the table.
  SaveOptions();
  SaveHighScores();
  return 0;
}

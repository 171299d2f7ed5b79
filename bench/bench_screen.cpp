// The cost of a frame as the player sees it: the real main window and view,
// made by the same code as the game's, and the game's own loop passes, each
// playing the mid-game frame of the full-frame benchmark, presenting it, and
// letting the window system paint the view and send it to the display. Under
// an X server (DISPLAY set) the frames go to that server; without one, to the
// off-screen platform. The label names the platform.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>

#include <string>

#include "mid_game.h"

#include "main/main.h"
#include "main/timer.h"
#include "maths/maths.h"
#include "options/options.h"
#include "platform/dx_hooks.h"
#include "platform/qt_app.h"
#include "platform/win_time.h"
#include "platform/win_user.h"
#include "video_main/video_main.h"
#include "window/window.h"

namespace {

// A sixtieth of a second on the manual clock: every frame plays the same step.
constexpr uint64_t kFrameNanoseconds = 16666667;
// Frames between two round trips to the display server. The window system
// only queues what it sends; waiting for the server now and then keeps the
// frames measured those the server has taken, not a growing queue.
constexpr int kFramesPerSync = 16;

// Waits until the display server has handled everything sent so far.
void SyncWithDisplay(void) { QGuiApplication::sync(); }

// Loop passes until the view has the wanted size and its surfaces are built;
// false if that never happens.
bool SizeView(int width, int height) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT outer;
    GetWindowRect(g_hwndMain, &outer);
    // The main window's outer size beyond the view's client area stays the
    // same whatever the size: menu bar, status bar, the view's edge.
    const int extraW = (outer.right - outer.left) - g_nViewW;
    const int extraH = (outer.bottom - outer.top) - g_nViewH;
    MoveWindow(g_hwndMain, outer.left, outer.top, width + extraW, height + extraH, TRUE);
    for (int pass = 0; pass < 200; ++pass) {
      LoopPass();
      if (pass % 20 == 19) SyncWithDisplay();
    }
    if (g_nViewW == width && g_nViewH == height && g_nBackBufferW == width && g_nBackBufferH == height)
      return true;
  }
  return false;
}

// Closes what Launch made and puts the layer's switches back.
void Close(void) {
  DestroyMainWindow();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  platform_test::ClearMessageQueue();
  platform_test::UnregisterAllClasses();
  platform_test::IgnoreSystemActivation(false);
  platform_test::UseRealClock();
  platform::SetPresentHandler(nullptr);
  g_dwSuspendFlags = SUSPEND_INACTIVE;
}

// One pass of the game's loop with the view at range(0) x range(1) pixels and
// the frame rate shown when range(2) is 1: frame, present, paint, flush.
void BM_FrameToScreen(benchmark::State& state) {
  platform::EnsureApplication();
  BuildMidGame();
  g_bShowFPS = (BOOL)state.range(2);
  g_hInstance = platform::ModuleInstance();
  g_nWindowX = 0, g_nWindowY = 0, g_nWindowW = 400, g_nWindowH = 420;
  g_dwSuspendFlags = SUSPEND_INACTIVE;
  g_bResizePending = FALSE;
  // The benchmark gives focus and activation itself: without a window
  // manager nobody else does, and nothing may suspend the frames meanwhile.
  platform_test::IgnoreSystemActivation(true);
  platform_test::UseManualClock(1000000000ull);
  InitFrameTimer();
  CreateMainWindow();
  if (g_hwndMain == NULL) {
    state.SkipWithError("no main window");
    Close();
    return;
  }
  platform_test::SetApplicationActive(true);
  platform_test::SetKeyboardFocus(g_hwndMain, true);
  if (!SizeView((int)state.range(0), (int)state.range(1))) {
    state.SkipWithError("the view did not take the wanted size");
    Close();
    return;
  }
  SyncWithDisplay();

  const uint64_t uPresentsBefore = platform_test::PresentCount();
  int nFrames = 0;
  for (auto _ : state) {
    RestoreMidGame();
    platform_test::AdvanceClock(kFrameNanoseconds);
    LoopPass();
    if (++nFrames % kFramesPerSync == 0) SyncWithDisplay();
  }
  // Every pass must have played and presented a frame, or the figure means
  // nothing.
  if (platform_test::PresentCount() - uPresentsBefore != (uint64_t)nFrames)
    state.SkipWithError("a loop pass did not present a frame");
  state.SetLabel(QGuiApplication::platformName().toStdString() + (g_bShowFPS ? ", frame rate shown" : ""));
  Close();
}

}  // namespace

BENCHMARK(BM_FrameToScreen)
    ->Args({400, 400, 0})
    ->Args({1920, 1080, 0})
    ->Args({400, 400, 1})
    ->Args({1920, 1080, 1})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

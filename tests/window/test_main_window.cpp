// The main window, its status bar and the view: the order of their creation
// messages, the layout, the recorded geometry, the suspension flags, the
// surfaces rebuilt before a frame and the pictures that reach the view.

#include "window_fixture.h"

#include "high_scores/high_scores.h"
#include "video_main/video_fixture.h"

#include <QTimer>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace {

// Frames played so far: each opens one scene. (Paints of the view blit the
// last frame again, so the blits to the screen are no count of frames.)
uint64_t Frames() { return platform_test::PlatformCallCount("IDirect3DDevice2_BeginScene"); }

// The messages of one window among the records, in order.
std::vector<UINT> MessagesOf(HWND hwnd) {
  std::vector<UINT> result;
  for (const auto& r : platform_test::Records())
    if (r.hwnd == hwnd) result.push_back(r.message);
  return result;
}

// Where a message of a window stands among all records (-1: never).
int IndexOf(HWND hwnd, UINT message, int nth = 0) {
  const auto& records = platform_test::Records();
  for (size_t i = 0; i < records.size(); ++i)
    if (records[i].hwnd == hwnd && records[i].message == message && nth-- == 0) return (int)i;
  return -1;
}

// The client size of a window.
SIZE ClientSize(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  return {r.right, r.bottom};
}

// The height of a window.
LONG Height(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r.bottom - r.top;
}

}  // namespace

// Creation runs in the window system's order: the main window's creation
// makes the status bar and the view (whose creation starts the graphics),
// then the main window's first size lays the view out and its first move
// records where the view is on the screen.
TEST_F(WindowTest, CreationMessagesComeInTheWindowSystemsOrder) {
  platform_test::RecordMessages(true);
  CreateMainWindow();
  ASSERT_NE(g_hwndMain, nullptr);
  ASSERT_NE(g_hwndStatus, nullptr);
  ASSERT_NE(g_hwndView, nullptr);

  const int mainCreate = IndexOf(g_hwndMain, WM_CREATE);
  const int viewCreate = IndexOf(g_hwndView, WM_CREATE);
  const int viewFirstSize = IndexOf(g_hwndView, WM_SIZE, 0);
  const int mainSize = IndexOf(g_hwndMain, WM_SIZE);
  const int viewSecondSize = IndexOf(g_hwndView, WM_SIZE, 1);
  const int mainMove = IndexOf(g_hwndMain, WM_MOVE);
  EXPECT_EQ(mainCreate, 0);
  EXPECT_LT(mainCreate, viewCreate);
  EXPECT_LT(viewCreate, viewFirstSize);
  EXPECT_LT(viewFirstSize, mainSize);
  EXPECT_LT(mainSize, viewSecondSize);
  EXPECT_LT(viewSecondSize, mainMove);
  // The view's first size is its 100 x 100 placeholder inside the sunken edge.
  const auto& first = platform_test::Records()[(size_t)viewFirstSize];
  EXPECT_EQ(first.wParam, (WPARAM)SIZE_RESTORED);
  EXPECT_EQ(LOWORD(first.lParam), 96);
  EXPECT_EQ(HIWORD(first.lParam), 96);
  std::vector<UINT> mainMessages = MessagesOf(g_hwndMain);
  EXPECT_EQ(mainMessages.front(), (UINT)WM_CREATE);

  // The view's creation made the graphics and switched the lights on.
  EXPECT_NE(g_DD2, nullptr);
  EXPECT_NE(g_Primary, nullptr);
  for (int i = 0; i < NUM_LIGHTS; ++i) EXPECT_TRUE(g_bLightOn[i]) << i;
  // No surfaces yet: the loop builds them.
  EXPECT_TRUE(g_bResizePending);
  EXPECT_EQ(g_BackBuffer, nullptr);
}

// The view fills the client area above the status bar, one pixel larger each
// way; its recorded size is its client area inside the sunken edge.
TEST_F(WindowTest, ViewFillsTheSpaceAboveTheStatusBar) {
  Launch();
  SIZE main = ClientSize(g_hwndMain);
  RECT view;
  GetWindowRect(g_hwndView, &view);
  EXPECT_EQ(view.right - view.left, main.cx + 1);
  EXPECT_EQ(view.bottom - view.top, main.cy - Height(g_hwndStatus) + 1);
  EXPECT_EQ(g_nViewW, main.cx + 1 - 4);
  EXPECT_EQ(g_nViewH, main.cy - Height(g_hwndStatus) + 1 - 4);
  // The status bar lies along the bottom edge.
  RECT bar, client;
  GetWindowRect(g_hwndStatus, &bar);
  POINT origin = {0, 0};
  ClientToScreen(g_hwndMain, &origin);
  GetClientRect(g_hwndMain, &client);
  EXPECT_EQ(bar.bottom, origin.y + client.bottom);
  EXPECT_EQ(bar.right - bar.left, client.right);
  // The main window's outer size and place are what the options asked for.
  EXPECT_EQ(g_nWindowW, 400);
  EXPECT_EQ(g_nWindowH, 420);
  EXPECT_EQ(g_nWindowX, 20);
  EXPECT_EQ(g_nWindowY, 30);
}

// Three parts: the message without a border, the level, and the score with
// room for the size grip; the widths come from the bar's own font.
// The rules keep the score and the message up to date as the game goes.
TEST_F(WindowTest, StatusBarPartsAndTexts) {
  Launch();
  RECT r;
  GetWindowRect(g_hwndStatus, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<int> parts = platform_test::StatusBarParts(g_hwndStatus);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0], w - g_nScoreWidth - g_nLevelWidth - h);
  EXPECT_EQ(parts[1], w - g_nScoreWidth - h);
  EXPECT_EQ(parts[2], -1);

  // The widths fit the longest texts they are for.
  HDC hdc = GetDC(NULL);
  SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE level, score;
  GetTextExtentPoint32A(hdc, "Level 9", 7, &level);
  GetTextExtentPoint32A(hdc, "4000000000", 10, &score);
  ReleaseDC(NULL, hdc);
  EXPECT_GT(g_nLevelWidth, level.cx);
  EXPECT_GT(g_nScoreWidth, score.cx);

  // The message of the game that started before the bar existed shows now.
  EXPECT_EQ(Part(0), "Play the game!");
  EXPECT_TRUE(platform_test::StatusBarPartBorderless(g_hwndStatus, 0));
  EXPECT_FALSE(platform_test::StatusBarPartBorderless(g_hwndStatus, 1));
  EXPECT_EQ(Part(1), "Level 0");
  EXPECT_EQ(Part(2), "0");
  g_nLevel = 9;
  g_uScore = 4000000000u;
  UpdateStatusBar(FALSE);
  EXPECT_EQ(Part(1), "Level 9");
  EXPECT_EQ(Part(2), "4000000000");
  SetStatusText("Game over");
  EXPECT_EQ(Part(0), "Game over");
  SetStatusText(NULL);
  EXPECT_EQ(Part(0), "");
  EXPECT_EQ(g_szStatusText[0], '\0');

  // The rules keep the bar up to date: the score once a block has scored;
  // at game over, before the high-score step asks for a name, the message
  // and the final score.
  std::string atDialog[3];
  dialog_ = [&](const platform_test::DialogCall&) {
    for (int n = 0; n < 3; ++n) atDialog[n] = Part(n);
    return (INT_PTR)IDCANCEL;
  };
  NewGame(0);
  EXPECT_EQ(Part(0), "Play the game!");
  EXPECT_EQ(Part(1), "Level 0");
  EXPECT_EQ(Part(2), "0");
  EraseBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  g_nShape = -1;
  g_nBlockBonus = 1;
  NextBlock();  // level 0 + 1, bonus 1, 3 without the next block shown
  EXPECT_TRUE(g_bGameRunning);
  EXPECT_EQ(Part(2), "3");
  ASSERT_EQ(g_uNumHighScores, 0u) << "an empty table gives every score a place";
  EraseBlock(g_nShape, g_nShapeX, g_nShapeY, g_nShapeRot);
  for (int i = 3; i <= 6; ++i)
    for (int j = 0; j < 4; ++j) g_Well[i][j] = 0;
  g_nShape = -1;
  NextBlock();
  EXPECT_FALSE(g_bGameRunning);
  ASSERT_EQ(dialogs_.size(), 1u);
  EXPECT_EQ(atDialog[0], "Game over");
  EXPECT_EQ(atDialog[1], "Level 0");
  EXPECT_EQ(atDialog[2], "6");
  EXPECT_EQ(Part(0), "Game over");
  EXPECT_EQ(Part(2), "6");
}

// A text longer than the buffers is cut, never overrun.
TEST_F(WindowTest, LongStatusTextsAreCut) {
  std::string text(300, 'x');
  SetStatusText(text.c_str());
  EXPECT_EQ(std::strlen(g_szStatusText), 127u);
  SetMenuHint(text.c_str());
  EXPECT_EQ(std::strlen(g_szMenuHint), 127u);
  SetMenuHint(NULL);
}

// Nothing runs until the program is first activated; focus and activation
// each hold the frames back on their own.
TEST_F(WindowTest, FocusAndActivationSuspendFrames) {
  Launch();
  const uint64_t before = Frames();
  Pass();
  EXPECT_EQ(Frames(), before) << "a frame ran before the first activation";
  EXPECT_TRUE(g_dwSuspendFlags & SUSPEND_INACTIVE);

  Activate();
  EXPECT_EQ(g_dwSuspendFlags, 0u);
  Pass();
  EXPECT_EQ(Frames(), before + 1);

  platform_test::SetKeyboardFocus(g_hwndMain, false);
  EXPECT_EQ(g_dwSuspendFlags, (DWORD)SUSPEND_NOFOCUS);
  Pass();
  EXPECT_EQ(Frames(), before + 1);
  platform_test::SetKeyboardFocus(g_hwndMain, true);

  platform_test::SetApplicationActive(false);
  EXPECT_EQ(g_dwSuspendFlags, (DWORD)SUSPEND_INACTIVE);
  Pass();
  EXPECT_EQ(Frames(), before + 1);
  platform_test::SetApplicationActive(true);
  Pass();
  EXPECT_EQ(Frames(), before + 2);
}

// While nothing can be played the loop sleeps until something comes, and the
// time slept is not played: the program deactivated, twenty seconds away,
// then activated again from inside the sleep.
TEST_F(WindowTest, SuspendedLoopSleepsAndTheSleepIsNotPlayed) {
  Launch();
  Activate();
  Pass();
  platform_test::SetApplicationActive(false);
  Pass();
  const uint64_t before = Frames();
  int sleeps = 0;
  platform_test::SetMessageWaits(true);
  platform_test::SetWaitHook([&] {
    ++sleeps;
    platform_test::AdvanceClock(20000000000ull);
    platform_test::SetApplicationActive(true);
  });
  Pass();
  platform_test::SetWaitHook(nullptr);
  EXPECT_EQ(sleeps, 1);
  EXPECT_EQ(Frames(), before);
  platform_test::AdvanceClock(10000000ull);
  Pass();
  EXPECT_EQ(sleeps, 1) << "slept with a frame to run";
  EXPECT_EQ(Frames(), before + 1);
  EXPECT_NEAR(g_fFrameTime, 0.01f, 1e-4f);
}

// WaitMessage does not sleep with a message waiting; otherwise the first
// event (here a timer's) or its own bound ends the sleep.
TEST_F(WindowTest, WaitMessageReturns) {
  Launch();
  Pass();
  platform_test::SetMessageWaits(true);
  PostQuitMessage(0);
  int sleeps = 0;
  platform_test::SetWaitHook([&] { ++sleeps; });
  EXPECT_TRUE(WaitMessage());
  EXPECT_EQ(sleeps, 0);
  platform_test::ClearMessageQueue();
  bool fired = false;
  QTimer::singleShot(1, [&] { fired = true; });
  while (!fired) EXPECT_TRUE(WaitMessage());
  EXPECT_GE(sleeps, 1);
}

// A menu loop holds the frames back; when it ends the time spent in it is
// not played.
TEST_F(WindowTest, MenuLoopSuspendsAndItsTimeIsNotPlayed) {
  Launch();
  Activate();
  Pass();
  platform_test::OpenMenu(g_hwndMain, 0);
  EXPECT_TRUE(g_dwSuspendFlags & SUSPEND_MENU);
  const uint64_t before = Frames();
  platform_test::AdvanceClock(3000000000ull);
  Pass();
  EXPECT_EQ(Frames(), before);
  platform_test::CloseMenus();
  EXPECT_EQ(g_dwSuspendFlags, 0u);
  platform_test::AdvanceClock(10000000ull);
  Pass();
  EXPECT_EQ(Frames(), before + 1);
  EXPECT_NEAR(g_fFrameTime, 0.01f, 1e-4f);
}

// The player resizing the window: the view's new size is recorded and the
// next idle pass rebuilds the surfaces at that size before its frame; the
// window's outer size is kept for the options.
TEST_F(WindowTest, ResizeRecordsSizesAndTheLoopRebuildsFirst) {
  Launch();
  Activate();
  Pass();
  EXPECT_EQ(g_nBackBufferW, g_nViewW);
  RECT r;
  GetWindowRect(g_hwndMain, &r);
  platform_test::DragWindow(g_hwndMain, r.left, r.top, 520, 300);
  EXPECT_EQ(g_nWindowW, 520);
  EXPECT_EQ(g_nWindowH, 300);
  EXPECT_TRUE(g_bResizePending);
  EXPECT_EQ(g_nViewW, ClientSize(g_hwndMain).cx + 1 - 4);
  EXPECT_NE(g_nBackBufferW, g_nViewW);
  const uint64_t before = platform_test::PresentCount();
  Pass();
  EXPECT_FALSE(g_bResizePending);
  EXPECT_EQ(g_nBackBufferW, g_nViewW);
  EXPECT_EQ(g_nBackBufferH, g_nViewH);
  EXPECT_EQ(platform_test::PresentCount(), before + 1);
  EXPECT_EQ(platform_test::LastPresentedImage().width(), g_nViewW);
  // The status bar parts followed the new width.
  EXPECT_EQ(platform_test::StatusBarParts(g_hwndStatus)[1], 520 - g_nScoreWidth - Height(g_hwndStatus));
}

// Moving records the window's place and where the view's client area is on
// the screen, and the move's time is not played.
TEST_F(WindowTest, MoveRecordsPlaceAndViewOrigin) {
  Launch();
  platform_test::AdvanceClock(2000000000ull);
  platform_test::DragWindow(g_hwndMain, 70, 90, 400, 420);
  EXPECT_EQ(g_nWindowX, 70);
  EXPECT_EQ(g_nWindowY, 90);
  POINT pt = {0, 0};
  ClientToScreen(g_hwndView, &pt);
  EXPECT_EQ(g_nViewScreenX, pt.x);
  EXPECT_EQ(g_nViewScreenY, pt.y);
  // The view's client area starts inside its edge, under the menu bar.
  const int menuBar = 420 - ClientSize(g_hwndMain).cy;
  EXPECT_GT(menuBar, 0);
  EXPECT_EQ(g_nViewScreenX, 70 + 2);
  EXPECT_EQ(g_nViewScreenY, 90 + menuBar + 2);
  platform_test::AdvanceClock(1000000ull);
  UpdateFrameTime();
  EXPECT_NEAR(g_fFrameTime, 0.001f, 1e-5f);
}

// A place and size that no screen can show (a strange saved value, a screen
// that is gone, a size from a larger screen) still bring the window up where
// the player sees it, large enough to show the well and no larger than the
// screen; that is what is kept for the next start.
TEST_F(WindowTest, StrangeSavedPlaceStillShowsTheWindow) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const INT saved[][4] = {
      {90000, -90000, -50, 0}, {10, 10, 999999, 999999}, {10, 10, 0x7fffffff, -5}};
  for (const auto& place : saved) {
    g_nWindowX = place[0], g_nWindowY = place[1], g_nWindowW = place[2], g_nWindowH = place[3];
    platform_test::UnregisterAllClasses();
    Launch();
    RECT r;
    GetWindowRect(g_hwndMain, &r);
    const QRect shown(r.left, r.top, r.right - r.left, r.bottom - r.top);
    EXPECT_GE(shown.width(), 200) << place[2];
    EXPECT_GE(shown.height(), 200) << place[3];
    EXPECT_GE(g_nViewH, 100) << "room for the well under the menu, over the status bar";
    EXPECT_TRUE(screen.contains(shown)) << shown.x() << "," << shown.y() << " " << shown.width()
                                        << "x" << shown.height();
    EXPECT_EQ(g_nWindowX, r.left);
    EXPECT_EQ(g_nWindowY, r.top);
    EXPECT_EQ(g_nWindowW, r.right - r.left);
    EXPECT_EQ(g_nWindowH, r.bottom - r.top);
    DestroyMainWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform_test::ClearMessageQueue();
  }
}

// Minimising changes nothing of the layout or the recorded sizes; restoring
// lays everything out again.
TEST_F(WindowTest, MinimiseLeavesLayoutAndSizesAlone) {
  Launch();
  const INT viewW = g_nViewW, viewH = g_nViewH, winW = g_nWindowW, winH = g_nWindowH;
  RECT before;
  GetWindowRect(g_hwndView, &before);
  platform_test::RecordMessages(true);
  platform_test::SetMinimized(g_hwndMain, true);
  std::vector<platform_test::MessageRecord> sizes;
  for (const auto& rec : platform_test::Records())
    if (rec.hwnd == g_hwndMain && rec.message == WM_SIZE) sizes.push_back(rec);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back().wParam, (WPARAM)SIZE_MINIMIZED);
  EXPECT_EQ(g_nViewW, viewW);
  EXPECT_EQ(g_nViewH, viewH);
  EXPECT_EQ(g_nWindowW, winW);
  EXPECT_EQ(g_nWindowH, winH);
  platform_test::RecordMessages(true);
  platform_test::SetMinimized(g_hwndMain, false);
  EXPECT_GE(IndexOf(g_hwndMain, WM_SIZE), 0);
  EXPECT_EQ(platform_test::Records()[(size_t)IndexOf(g_hwndMain, WM_SIZE)].wParam, (WPARAM)SIZE_RESTORED);
  RECT after;
  GetWindowRect(g_hwndView, &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(g_nViewW, viewW);
}

// What the loop presents is what the view shows: the picture lands in the
// view's client area, and a paint of the view shows it again.
TEST_F(WindowTest, PresentedFrameReachesTheView) {
  Launch();
  Activate();
  Pass();
  const QImage& presented = platform_test::LastPresentedImage();
  ASSERT_EQ(presented.width(), g_nViewW);
  QImage shown = platform_test::GrabWindow(g_hwndView).convertToFormat(QImage::Format_RGB32);
  ASSERT_GE(shown.width(), g_nViewW + 2);
  QImage client = shown.copy(2, 2, g_nViewW, g_nViewH);
  EXPECT_EQ(client, presented.convertToFormat(QImage::Format_RGB32));
  // The well is drawn: the picture is not all black.
  bool lit = false;
  for (int y = 0; y < client.height() && !lit; y += 4)
    for (int x = 0; x < client.width() && !lit; x += 4) lit = (client.pixel(x, y) & 0xFFFFFF) != 0;
  EXPECT_TRUE(lit);
}

// Surfaces that cannot be built for lack of video memory stop the frames and
// the view explains why; a later rebuild that succeeds plays on.
TEST_F(WindowTest, SurfaceErrorShowsTheExplanationInTheView) {
  CreateMainWindow();
  Activate();
  platform_test::FailCall("IDirectDraw2_CreateSurface", DDERR_OUTOFVIDEOMEMORY);
  const uint64_t before = platform_test::PresentCount();
  Pass();
  EXPECT_TRUE(g_dwSuspendFlags & SUSPEND_GFXERROR);
  EXPECT_EQ(platform_test::PresentCount(), before);
  QImage shown = platform_test::GrabWindow(g_hwndView).convertToFormat(QImage::Format_RGB32);
  int white = 0;
  for (int y = 2; y < 24; ++y)
    for (int x = 2; x < shown.width() - 2; ++x) white += (shown.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
  EXPECT_GT(white, 20) << "no explanation text in the view";

  RECT r;
  GetWindowRect(g_hwndMain, &r);
  platform_test::DragWindow(g_hwndMain, r.left, r.top, 380, 380);
  Pass();
  EXPECT_FALSE(g_dwSuspendFlags & SUSPEND_GFXERROR);
  EXPECT_EQ(platform_test::PresentCount(), before + 1);
}

// Closing the window ends the loop: the window goes with the view, the
// keyboard and every graphics object.
TEST_F(WindowTest, CloseEndsTheLoopAndReleasesEverything) {
  Launch();
  Activate();
  Pass();
  ASSERT_GT(platform_test::LiveObjectCount(), 0);
  platform_test::CloseWindowBox(g_hwndMain);
  EXPECT_EQ(g_hwndMain, nullptr);
  EXPECT_EQ(g_hwndView, nullptr);
  EXPECT_EQ(g_DD2, nullptr);
  EXPECT_EQ(platform_test::LiveObjectCount(), 0);
  EXPECT_FALSE(Pass());
}

// Qt's own focus and activation reach the window as its messages: the shown
// window becomes active and takes the focus, so frames run; the focus moving
// away stops them, coming back starts them again.
TEST_F(WindowTest, QtFocusAndActivationBecomeMessages) {
  platform_test::IgnoreSystemActivation(false);
  Launch();
  for (int i = 0; i < 20 && g_dwSuspendFlags != 0; ++i) Pass();
  EXPECT_EQ(g_dwSuspendFlags, 0u) << "the shown window did not become active with the focus";
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  EXPECT_EQ(focus->window(), platform::WidgetOf(g_hwndMain));
  focus->clearFocus();
  EXPECT_EQ(g_dwSuspendFlags, (DWORD)SUSPEND_NOFOCUS);
  const uint64_t frames = Frames();
  Pass();
  EXPECT_EQ(Frames(), frames);
  focus->setFocus(Qt::OtherFocusReason);
  EXPECT_EQ(g_dwSuspendFlags, 0u);
  Pass();
  EXPECT_EQ(Frames(), frames + 1);
}

// A minimised window has no keyboard focus, so no frame runs; restoring it
// gives the focus back and the game plays on, without the time it spent
// minimised.
TEST_F(WindowTest, MinimisingStopsFramesAndRestoringResumesThem) {
  platform_test::IgnoreSystemActivation(false);
  Launch();
  for (int i = 0; i < 20 && g_dwSuspendFlags != 0; ++i) Pass();
  ASSERT_EQ(g_dwSuspendFlags, 0u);
  platform_test::SetMinimized(g_hwndMain, true);
  EXPECT_EQ(g_dwSuspendFlags, (DWORD)SUSPEND_NOFOCUS);
  const uint64_t frames = Frames();
  platform_test::AdvanceClock(30000000000ull);
  Pass();
  EXPECT_EQ(Frames(), frames);
  platform_test::SetMinimized(g_hwndMain, false);
  EXPECT_EQ(g_dwSuspendFlags, 0u) << "restoring did not give the focus back";
  platform_test::AdvanceClock(10000000ull);
  Pass();
  EXPECT_EQ(Frames(), frames + 1);
  EXPECT_NEAR(g_fFrameTime, 0.01f, 1e-4f);
}

// Each creation step that fails ends the program with its own report: the
// status bar and the view name the statement that made them, the main window
// its sentence.
TEST_F(WindowTest, FailedCreationStepsReportTheirStatements) {
  const char* const kFalse = "\n\nThe statement evaluated to FALSE, which signals an error";
  EXPECT_FATAL_AT("src/window/window.cpp",
                  "g_hwndStatus = CreateStatusWindow(WS_CHILD | WS_VISIBLE, \"\", g_hwndMain, IDS_STATUSBAR)",
                  kFalse, {
                    platform_test::FailWindowCreation("msctls_statusbar32");
                    CreateMainWindow();
                  });
  EXPECT_FATAL_AT("src/window/window.cpp",
                  "CreateWindowEx(WS_EX_CLIENTEDGE, gc_ChildWindowClass, \"Plumbo View\", WS_CHILD | "
                  "WS_VISIBLE, 0, 0, 100, 100, g_hwndMain, NULL, g_hInstance, NULL)",
                  kFalse, {
                    platform_test::FailWindowCreation("QN3D_MainChildWindow");
                    CreateMainWindow();
                  });
  EXPECT_FATAL_TEXT("Error: unable to create main window in function LaunchWindow().", {
    platform_test::FailWindowCreation("QN3D_MainWindow");
    CreateMainWindow();
  });
}

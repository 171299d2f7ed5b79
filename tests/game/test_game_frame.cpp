// The frame: the game steps only while it runs, the burst flies only while
// the option is on, a lost surface is restored and the call repeated once,
// and every other failure of the four frame calls is reported with its
// statement text (the expanded one when the repeat fails too).

#include <cstdio>
#include <string>

#include <QWidget>

#include "../render/render_fixture.h"
#include "input/input.h"
#include "main/fatal.h"
#include "platform/dinput_hooks.h"
#include "platform/win_window.h"
#include "platform/dx_results.h"
#include "platform/win_msgbox.h"

namespace {

class GameFrameTest : public RenderTest {};

struct FrameCall {
  const char* name;
  unsigned uLine;
  const char* lpszText;
  const char* lpszRetryText;
};

const FrameCall gc_FrameCalls[] = {
    {"IDirect3DViewport2_Clear", 56,
     "IDirect3DViewport2_Clear(g_Viewport, 1, (LPD3DRECT) &g_rBackBuffer, D3DCLEAR_ZBUFFER)",
     "(g_Viewport)->lpVtbl->Clear(g_Viewport, 1, (LPD3DRECT) &g_rBackBuffer, 0x00000002)"},
    {"IDirectDrawSurface3_Blt", 57,
     "IDirectDrawSurface3_Blt(g_BackBuffer, NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &bltfx)",
     "(g_BackBuffer)->lpVtbl->Blt(g_BackBuffer,((void *)0),((void *)0),((void *)0),0x00000400l | "
     "0x01000000l,&bltfx)"},
    {"IDirect3DDevice2_BeginScene", 60, "IDirect3DDevice2_BeginScene(g_3DD)",
     "(g_3DD)->lpVtbl->BeginScene(g_3DD)"},
    {"IDirect3DDevice2_EndScene", 69, "IDirect3DDevice2_EndScene(g_3DD)",
     "(g_3DD)->lpVtbl->EndScene(g_3DD)"},
};

// Runs in the child of a death test: the frame meets the scripted failures
// and the box says whether it shows the expected place and statement.
void FrameFailing(const FrameCall& call, bool bRetryFails) {
  std::string expected = std::string("src/game/game_frame.cpp:") + std::to_string(call.uLine) + " { " +
                         (bRetryFails ? call.lpszRetryText : call.lpszText) + " }\n\nDirectDraw or Direct3D error: ";
  platform_test::SetMessageBoxHandler([expected](const platform_test::MessageBoxCall& box) {
    if (box.text.rfind(expected, 0) == 0 && box.caption == "Quandrel 3D")
      fprintf(stderr, "EXPECTED BOX\n");
    else
      fprintf(stderr, "OTHER BOX [%s] %s\n", box.caption.c_str(), box.text.c_str());
    return IDOK;
  });
  if (bRetryFails) {
    // The call and its repeat after the restore both find the surface lost.
    platform_test::FailCall(call.name, DDERR_SURFACELOST, 1);
    platform_test::FailCall(call.name, DDERR_SURFACELOST, 2);
  } else {
    platform_test::FailCall(call.name, DDERR_INVALIDPARAMS, 1);
  }
  GameFrame();
  fprintf(stderr, "NO REPORT\n");
}

}  // namespace

TEST_F(GameFrameTest, FailuresReportTheStatement) {
  for (const FrameCall& call : gc_FrameCalls) {
    EXPECT_EXIT(FrameFailing(call, false), ::testing::ExitedWithCode(1), "EXPECTED BOX") << call.name;
    EXPECT_EXIT(FrameFailing(call, true), ::testing::ExitedWithCode(1), "EXPECTED BOX") << call.name;
  }
}

TEST_F(GameFrameTest, LostSurfaceIsRestoredAndTheCallRepeated) {
  g_Well[4][19] = 2;
  for (const FrameCall& call : gc_FrameCalls) {
    platform_test::ResetPlatformCallCounts();
    platform_test::FailCall(call.name, DDERR_SURFACELOST, 1);
    const QImage img = Frame();
    // The colour fill and the copy to the view are both blits.
    const uint64_t uExpected = std::string(call.name) == "IDirectDrawSurface3_Blt" ? 3u : 2u;
    EXPECT_EQ(platform_test::PlatformCallCount(call.name), uExpected) << call.name;
    EXPECT_FALSE(IsBlack(PixelAt(img, ToScreen(-0.5f, 0.5f, -0.5f)))) << call.name;
  }
}

TEST_F(GameFrameTest, GameStepsOnlyWhileItRuns) {
  g_bRandomSeeded = 1;
  srand(7);
  NewGame(0);
  g_fFrameTime = 0.3f;
  GameFrame();
  EXPECT_FLOAT_EQ(g_fFallTimer, 0.3f);
  g_bGameRunning = 0;
  GameFrame();
  EXPECT_FLOAT_EQ(g_fFallTimer, 0.3f);
}

TEST_F(GameFrameTest, BurstFliesOnlyWhileTheOptionIsOn) {
  for (int i = 0; i < 10; i++) g_Well[i][10] = 1;
  BurstRow(10);
  EmptyWell();
  g_fFrameTime = 0.1f;
  g_bRowBurst = 0;
  GameFrame();
  EXPECT_FLOAT_EQ(g_pBurst[0].vPos.z, -0.4f);
  g_bRowBurst = 1;
  GameFrame();
  EXPECT_GT(g_pBurst[0].vPos.z, 0.5f);
}

// Each frame starts from black: cubes gone from the well leave nothing.
TEST_F(GameFrameTest, EveryFrameStartsFromBlack) {
  g_Well[4][19] = 1;
  const QImage with = Frame();
  EXPECT_FALSE(IsBlack(PixelAt(with, ToScreen(-0.5f, 0.5f, -0.5f))));
  EmptyWell();
  const QImage without = Frame();
  EXPECT_TRUE(IsBlack(PixelAt(without, ToScreen(-0.5f, 0.3f, -0.5f))));
}

// A keyboard in front of a main window, the keys bound as the default set
// binds them, and a seeded game whose first frame has taken the keyboard;
// everything is put back afterwards.
class KeyboardGame {
 public:
  KeyboardGame() {
    g_hwndMain = platform::HandleOf(&main_);
    platform_test::ResetDIHooks();
    platform_test::SetKeyboardForeground(platform_test::KeyboardForeground::Always);
    g_uKeyLeft = DIK_NUMPAD7;
    g_uKeyDown = DIK_LSHIFT;
    g_uKeyDrop = DIK_SPACE;
    InitInput();
    g_bRandomSeeded = 1;
    srand(7);
    NewGame(0);
    g_fFrameTime = 0.01f;
    GameFrame();  // takes the keyboard
  }
  ~KeyboardGame() {
    g_bGameRunning = 0;
    ReleaseInput();
    g_bDownHeld = 0;
    g_uKeyLeft = uLeft_, g_uKeyDown = uDown_, g_uKeyDrop = uDrop_;
    g_hwndMain = nullptr;
    platform_test::ResetDIHooks();
  }
  // A key pressed and let go.
  static void Tap(BYTE dik) {
    platform_test::InjectKey(dik, true);
    platform_test::InjectKey(dik, false);
  }

 private:
  QWidget main_;
  const UINT uLeft_ = g_uKeyLeft, uDown_ = g_uKeyDown, uDrop_ = g_uKeyDrop;
};

// The keys of a frame are played before the game steps: a Down pressed since
// the last frame already speeds this frame's fall. No game, no reading.
TEST_F(GameFrameTest, KeysArePlayedBeforeTheGameSteps) {
  KeyboardGame game;
  const INT x0 = g_nShapeX, y0 = g_nShapeY;
  KeyboardGame::Tap(DIK_NUMPAD7);
  platform_test::InjectKey(DIK_LSHIFT, true);
  g_fFrameTime = 0.12f;
  GameFrame();
  EXPECT_EQ(g_nShapeX, x0 - 1);
  EXPECT_TRUE(g_bDownHeld);
  EXPECT_GT(g_nShapeY, y0) << "fell at the held-Down pace in the same frame";

  g_bGameRunning = 0;
  platform_test::ResetPlatformCallCounts();
  platform_test::InjectKey(DIK_NUMPAD7, true);
  GameFrame();
  EXPECT_EQ(platform_test::PlatformCallCount("IDirectInputDevice_GetDeviceData"), 0u);
}

// Keys pressed while no game runs (at the final well, before choosing a new
// game) are not played on the new game's first block; the keys of the new
// game are.
TEST_F(GameFrameTest, ANewGameStartsWithoutTheKeysOfTheTimeBefore) {
  KeyboardGame game;
  g_bGameRunning = 0;
  GameFrame();  // the game is over; the final well stays
  for (BYTE dik : {DIK_NUMPAD7, DIK_NUMPAD7, DIK_SPACE}) KeyboardGame::Tap(dik);
  GameFrame();
  NewGame(0);
  const INT x0 = g_nShapeX, y0 = g_nShapeY;
  GameFrame();
  INT nCubes = 0;
  for (INT i = 0; i < WELL_COLUMNS; i++)
    for (INT j = 0; j < WELL_ROWS; j++) nCubes += g_Well[i][j] >= 0;
  EXPECT_EQ(nCubes, 4) << "the first block was dropped and locked by the Space of before";
  EXPECT_EQ(g_nShapeX, x0);
  EXPECT_EQ(g_nShapeY, y0);

  KeyboardGame::Tap(DIK_NUMPAD7);
  GameFrame();
  EXPECT_EQ(g_nShapeX, x0 - 1);
}

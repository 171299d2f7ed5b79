// Shared set-up of the window tests: the real windows on the off-screen
// platform, driven pass by pass through the game's own loop, with a manual
// clock, scripted message boxes and dialogs, and focus and activation given
// only by the test.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <cstring>
#include <functional>
#include <string>

#include "game/game.h"
#include "main/main.h"
#include "main/timer.h"
#include "maths/maths.h"
#include "options/options.h"
#include "platform/dx_hooks.h"
#include "platform/win32.h"
#include "platform/win_controls.h"
#include "platform/win_dialog.h"
#include "render/render.h"
#include "resources/resource.h"
#include "rules/rules.h"
#include "video_main/video_main.h"
#include "window/window.h"

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedX_ = g_nWindowX, savedY_ = g_nWindowY, savedW_ = g_nWindowW, savedH_ = g_nWindowH;
    savedStats_ = g_bViewStats, savedNext_ = g_bViewNext, savedFPS_ = g_bShowFPS;
    std::memcpy(savedHelp_, g_szHelpFile, MAX_PATH);
    platform_test::ResetDXHooks();
    platform_test::UnregisterAllClasses();
    platform_test::ClearMessageQueue();
    platform_test::IgnoreSystemActivation(true);
    platform_test::SetMessageWaits(false);
    platform_test::UseManualClock(1000000000ull);
    platform_test::SetMessageBoxHandler([this](const platform_test::MessageBoxCall& c) {
      ++boxes_;
      lastBox_ = c;
      if (answer_) return answer_(c);
      ADD_FAILURE() << "unexpected message box: " << c.text;
      return IDOK;
    });
    platform_test::SetDialogHandler([this](const platform_test::DialogCall& c) {
      dialogs_.push_back(c);
      return dialog_ ? dialog_(c) : (INT_PTR)IDOK;
    });
    static bool s_bTables = false;
    if (!s_bTables) {
      InitSinTable();
      InitRender();
      s_bTables = true;
    }
    g_hInstance = platform::ModuleInstance();
    g_nWindowX = 20, g_nWindowY = 30, g_nWindowW = 400, g_nWindowH = 420;
    g_bViewStats = 0, g_bViewNext = 0, g_bShowFPS = 0;
    g_dwSuspendFlags = SUSPEND_INACTIVE;
    g_bResizePending = FALSE;
    SetMenuHint(NULL);
    InitFrameTimer();
    NewGame(0);
  }

  void TearDown() override {
    DestroyMainWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform_test::ClearMessageQueue();
    platform_test::SetPeekMessageHook(nullptr);
    platform_test::SetMessageBoxHandler(nullptr);
    platform_test::SetDialogHandler(nullptr);
    platform_test::IgnoreSystemActivation(false);
    platform_test::SetMessageWaits(true);
    platform_test::SetWaitHook(nullptr);
    platform_test::FailWindowCreation(nullptr);
    platform_test::RecordMessages(false);
    platform_test::UseRealClock();
    platform_test::ResetDXHooks();
    platform::SetPresentHandler(nullptr);
    g_nWindowX = savedX_, g_nWindowY = savedY_, g_nWindowW = savedW_, g_nWindowH = savedH_;
    g_bViewStats = savedStats_, g_bViewNext = savedNext_, g_bShowFPS = savedFPS_;
    std::memcpy(g_szHelpFile, savedHelp_, MAX_PATH);
    g_dwSuspendFlags = SUSPEND_INACTIVE;
    g_bGameRunning = FALSE;
  }

  // The windows as LaunchWindow makes them, then the passes until the first
  // rebuild of the surfaces has been done.
  void Launch() {
    CreateMainWindow();
    ASSERT_NE(g_hwndMain, nullptr);
    Pass();
  }

  // Makes the program active with the focus on the main window.
  static void Activate() {
    platform_test::SetApplicationActive(true);
    platform_test::SetKeyboardFocus(g_hwndMain, true);
  }

  // Loop passes until one finds no message (that one runs the idle part);
  // false if the quit message came.
  static bool Pass(int maxPasses = 200) {
    for (int i = 0; i < maxPasses; ++i) {
      bool idle = platform_test::QueuedMessageCount() == 0;
      if (!LoopPass()) return false;
      if (idle) return true;
    }
    ADD_FAILURE() << "the loop never became idle";
    return true;
  }

  // A key with Ctrl, through the queue and the accelerators.
  static void CtrlKey(UINT vk) {
    platform_test::PressKey(g_hwndMain, vk, true);
    Pass();
  }

  // The bar's text of a part.
  static std::string Part(int n) { return platform_test::StatusBarText(g_hwndStatus, n); }

  int boxes_ = 0;
  platform_test::MessageBoxCall lastBox_{};
  std::function<int(const platform_test::MessageBoxCall&)> answer_;
  std::vector<platform_test::DialogCall> dialogs_;
  std::function<INT_PTR(const platform_test::DialogCall&)> dialog_;

 private:
  INT savedX_, savedY_, savedW_, savedH_;
  BOOL savedStats_, savedNext_, savedFPS_;
  char savedHelp_[MAX_PATH];
};

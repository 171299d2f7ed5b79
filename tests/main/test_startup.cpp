// The whole program in one process: start-up in its order, the windows and
// the loop with frames, the close, and the shut-down that saves the options
// first and the high-score table second. And the fatal report of a window
// class that cannot be registered.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <string>

#include "high_scores/high_scores.h"
#include "main/main.h"
#include "options/options_fixture.h"
#include "platform/dx_hooks.h"
#include "platform/win32.h"
#include "rules/rules.h"
#include "video_main/video_fixture.h"
#include "window/window.h"

class StartupTest : public OptionsTest {
 protected:
  void SetUp() override {
    OptionsTest::SetUp();
    platform_test::ResetDXHooks();
    platform_test::UnregisterAllClasses();
    platform_test::ClearMessageQueue();
    platform_test::IgnoreSystemActivation(true);
    platform_test::SetMessageWaits(false);
    platform_test::UseManualClock(5000000000ull);
    platform_test::SetMessageBoxHandler([this](const platform_test::MessageBoxCall& c) {
      if (answer_) return answer_(c);
      ADD_FAILURE() << "unexpected message box: " << c.text;
      return IDOK;
    });
    bin_ = dir_.path() + "/bin/";
    WriteBytes(bin_ + "keep", "");
    platform_test::SetCommandLine(bin_ + "quandrel3d");
  }
  void TearDown() override {
    DestroyMainWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform_test::SetPeekMessageHook(nullptr);
    platform_test::ClearMessageQueue();
    platform_test::SetMessageBoxHandler(nullptr);
    platform_test::IgnoreSystemActivation(false);
    platform_test::SetMessageWaits(true);
    platform_test::UseRealClock();
    platform_test::ResetDXHooks();
    platform_test::SetCommandLine("");
    platform::SetPresentHandler(nullptr);
    g_dwSuspendFlags = SUSPEND_INACTIVE;
    g_bGameRunning = FALSE;
    OptionsTest::TearDown();
  }

  // Runs the program; the script gets each pass of the loop by number.
  int RunProgram(std::function<void(int)> script) {
    int pass = 0;
    platform_test::SetPeekMessageHook([&] {
      ++pass;
      platform_test::AdvanceClock(16000000ull);
      if (pass > 500 && g_hwndMain != nullptr) {
        ADD_FAILURE() << "the script never closed the window";
        SendMessage(g_hwndMain, WM_CLOSE, 0, 0);
        return;
      }
      script(pass);
    });
    return WinMain(platform::ModuleInstance(), nullptr, GetCommandLineA(), 1);
  }

  std::string bin_;
  std::function<int(const platform_test::MessageBoxCall&)> answer_;
};

// Start-up builds everything before the first frame; frames run once the
// program is active; closing ends the loop, releases the graphics and saves
// the window's last place and size and the high-score table beside the
// executable; the program returns 0.
TEST_F(StartupTest, RunsFramesAndSavesAtExit) {
  uint64_t framesAtClose = 0;
  const int result = RunProgram([&](int pass) {
    if (pass == 1) {
      ASSERT_NE(g_hwndMain, nullptr);
      EXPECT_EQ(platform_test::StatusBarText(g_hwndStatus, 0), "Play the game!");
      EXPECT_TRUE(g_bGameRunning);
      EXPECT_EQ(g_dwSuspendFlags, (DWORD)SUSPEND_INACTIVE);
      platform_test::SetApplicationActive(true);
      platform_test::SetKeyboardFocus(g_hwndMain, true);
    } else if (pass == 10) {
      platform_test::DragWindow(g_hwndMain, 33, 44, 410, 430);
    } else if (pass == 20) {
      framesAtClose = platform_test::PlatformCallCount("IDirect3DDevice2_BeginScene");
      SendMessage(g_hwndMain, WM_CLOSE, 0, 0);
    }
  });
  EXPECT_EQ(result, 0);
  EXPECT_GT(framesAtClose, 10u);
  EXPECT_EQ(g_hwndMain, nullptr);
  EXPECT_EQ(g_hwndView, nullptr);
  EXPECT_EQ(platform_test::LiveObjectCount(), 0);

  platform::RegKeyValues stored = StoredValues();
  ASSERT_EQ(stored.count("WindowX"), 1u);
  EXPECT_EQ(stored["WindowX"].number, 33u);
  EXPECT_EQ(stored["WindowY"].number, 44u);
  EXPECT_EQ(stored["WindowW"].number, 410u);
  EXPECT_EQ(stored["WindowH"].number, 430u);
  const std::string scores = ReadBytes(bin_ + "Quandrel3DHiScores");
  EXPECT_EQ(scores.substr(0, 8), "QN_3D_HS");
}

// The options are saved before the high-score table: when saving the table
// stops to ask about a file that is not a high-score file, the settings are
// already written. Answering No leaves that file as it was.
TEST_F(StartupTest, OptionsAreSavedBeforeTheHighScores) {
  WriteBytes(bin_ + "Quandrel3DHiScores", "not a table");
  bool asked = false;
  answer_ = [&](const platform_test::MessageBoxCall& c) {
    asked = true;
    EXPECT_NE(c.text.find("is not a valid Quandrel 3D high score file"), std::string::npos) << c.text;
    EXPECT_TRUE(Exists(StorePath())) << "the settings were not saved first";
    EXPECT_NE(ReadBytes(StorePath()).find("\"WindowW\""), std::string::npos);
    return IDNO;
  };
  const int result = RunProgram([&](int pass) {
    if (pass == 3) SendMessage(g_hwndMain, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(asked);
  EXPECT_EQ(ReadBytes(bin_ + "Quandrel3DHiScores"), "not a table");
}

// A window class that cannot be registered ends the program with the report
// of the statement that failed.
TEST_F(StartupTest, ClassThatCannotBeRegisteredIsFatal) {
  g_hInstance = platform::ModuleInstance();
  EXPECT_FATAL_AT("src/window/window.cpp", "RegisterClass(&wc)",
                  "\n\nThe statement evaluated to FALSE, which signals an error", {
                    WNDCLASS wc = {};
                    wc.lpfnWndProc = DefWindowProcA;
                    wc.lpszClassName = "QN3D_MainWindow";
                    RegisterClass(&wc);
                    LaunchWindow();
                  });
}

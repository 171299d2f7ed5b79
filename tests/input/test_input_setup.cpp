// Setting up and releasing the keyboard: the device the game gets, the key
// names it reports, and the report of each step that fails.

#include <QApplication>

#include <cstring>
#include <vector>

#include "input_fixture.h"

namespace {

class InputSetUp : public InputTest {};

// Reads everything the device holds now; the result code goes to *phr.
std::vector<DIDEVICEOBJECTDATA> ReadAll(HRESULT* phr) {
  std::vector<DIDEVICEOBJECTDATA> buf(1000);
  DWORD n = 1000;
  *phr = IDirectInputDevice_GetDeviceData(g_Keyboard, sizeof(DIDEVICEOBJECTDATA), buf.data(), &n, 0);
  buf.resize(n);
  return buf;
}

}  // namespace

// A keyboard for the main window, not yet acquired, with a buffer of 256
// events, and the names of its keys in heap copies of their own.
TEST_F(InputSetUp, OpensTheKeyboardForTheMainWindow) {
  InitInput();
  ASSERT_NE(g_DI, nullptr);
  ASSERT_NE(g_Keyboard, nullptr);
  EXPECT_EQ(platform_test::PlatformCallCount("IDirectInputDevice_GetObjectInfo"), 256u);
  for (int c = 0; c < 256; ++c) {
    if (gc_KeyNames[c] == nullptr) {
      EXPECT_EQ(g_lpszKeyNames[c], nullptr) << c;
    } else {
      ASSERT_NE(g_lpszKeyNames[c], nullptr) << c;
      EXPECT_STREQ(g_lpszKeyNames[c], gc_KeyNames[c]);
      EXPECT_NE(g_lpszKeyNames[c], gc_KeyNames[c]) << "a copy, not the device's own text";
    }
  }

  BYTE state[256];
  EXPECT_EQ(IDirectInputDevice_GetDeviceState(g_Keyboard, sizeof(state), state), DIERR_NOTACQUIRED);

  // The foreground is the main window's.
  platform_test::SetKeyboardForeground(platform_test::KeyboardForeground::FollowActiveWindow);
  QWidget other;
  other.show();
  other.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &other);
  EXPECT_EQ(IDirectInputDevice_Acquire(g_Keyboard), DIERR_OTHERAPPHASPRIO);
  m_window->show();
  m_window->activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), m_window.get());
  ASSERT_EQ(IDirectInputDevice_Acquire(g_Keyboard), DI_OK);

  for (int i = 0; i < 150; ++i) Tap(DIK_A);
  HRESULT hr = DI_OK;
  EXPECT_EQ(ReadAll(&hr).size(), 256u);
  EXPECT_EQ(hr, DI_BUFFEROVERFLOW);
}

// A second keyboard (a new view window) keeps the names already reported.
TEST_F(InputSetUp, ASecondSetUpKeepsTheNames) {
  InitInput();
  const char* lpszSpace = g_lpszKeyNames[DIK_SPACE];
  ReleaseInput();
  InitInput();
  EXPECT_EQ(g_lpszKeyNames[DIK_SPACE], lpszSpace);
}

// A code the device does not know has no name and no list position; any
// other failure to describe a key ends the game.
TEST_F(InputSetUp, KeysTheDeviceDoesNotKnowHaveNoName) {
  platform_test::FailCall("IDirectInputDevice_GetObjectInfo", DIERR_OBJECTNOTFOUND, DIK_NUMPAD8 + 1);
  InitInput();
  EXPECT_EQ(g_lpszKeyNames[DIK_NUMPAD8], nullptr);
  EXPECT_STREQ(g_lpszKeyNames[DIK_NUMPAD9], "Num 9");
  EXPECT_EQ(ListIndexToKey(KeyToListIndex(DIK_NUMPAD7) + 1), (UINT)DIK_NUMPAD9);
  ReleaseInput();
  InitInput();
  EXPECT_STREQ(g_lpszKeyNames[DIK_NUMPAD8], "Num 8") << "named again when the device knows it";

  ReleaseInput();
  EXPECT_INPUT_FATAL("Unable to enumerate the system keyboard." + DISuffix(DIERR_GENERIC), {
    platform_test::FailCall("IDirectInputDevice_GetObjectInfo", DIERR_GENERIC, 40);
    InitInput();
  });
}

// Each checked step names its statement and the DirectInput error.
TEST_F(InputSetUp, EachFailedStepIsReportedWithItsStatement) {
  struct Step {
    const char* call;
    const char* statement;
    HRESULT hr;
  } const steps[] = {
      {"DirectInputCreate", "DirectInputCreate(g_hInstance, DIRECTINPUT_VERSION, &g_DI, NULL)",
       DIERR_OLDDIRECTINPUTVERSION},
      {"IDirectInput_CreateDevice", "IDirectInput_CreateDevice(g_DI, &GUID_SysKeyboard, &g_Keyboard, NULL)",
       DIERR_DEVICENOTREG},
      {"IDirectInputDevice_SetCooperativeLevel",
       "IDirectInputDevice_SetCooperativeLevel(g_Keyboard, g_hwndMain, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE)",
       DIERR_INVALIDPARAM},
      {"IDirectInputDevice_SetDataFormat", "IDirectInputDevice_SetDataFormat(g_Keyboard, &c_dfDIKeyboard)",
       DIERR_ACQUIRED},
      {"IDirectInputDevice_SetProperty", "IDirectInputDevice_SetProperty(g_Keyboard, DIPROP_BUFFERSIZE, &prop.diph)",
       DIERR_UNSUPPORTED},
  };
  for (const Step& step : steps) {
    EXPECT_INPUT_REPORT([&](const std::string& t) { return IsInputCheckReport(t, step.statement, step.hr); }, {
      platform_test::FailCall(step.call, step.hr);
      InitInput();
    }) << step.call;
  }
  // Without a main window the foreground level cannot be set: the real
  // failure, not an injected one.
  EXPECT_INPUT_REPORT(
      [&](const std::string& t) {
        return IsInputCheckReport(t,
                                  "IDirectInputDevice_SetCooperativeLevel(g_Keyboard, g_hwndMain, "
                                  "DISCL_FOREGROUND | DISCL_NONEXCLUSIVE)",
                                  DIERR_INVALIDPARAM);
      },
      {
        g_hwndMain = nullptr;
        InitInput();
      });
}

// Keyboard first, then DirectInput; both cleared, the key filter gone, and
// a second release harmless.
TEST_F(InputSetUp, ReleaseLetsGoOfEverything) {
  InitInput();
  ReadKeyboard();  // acquires
  ASSERT_TRUE(platform_test::KeyFilterInstalled());
  platform_test::ResetPlatformCallCounts();
  ReleaseInput();
  EXPECT_EQ(g_Keyboard, nullptr);
  EXPECT_EQ(g_DI, nullptr);
  EXPECT_EQ(platform_test::PlatformCallCount("IDirectInputDevice_Unacquire"), 1u);
  EXPECT_EQ(platform_test::LiveKeyboardCount(), 0);
  EXPECT_FALSE(platform_test::KeyFilterInstalled());
  ReleaseInput();
  EXPECT_EQ(platform_test::PlatformCallCount(), 3u) << "unacquire and two releases, once";
  ReadKeyboard();  // no keyboard: nothing to read
  EXPECT_EQ(platform_test::PlatformCallCount(), 3u);
}

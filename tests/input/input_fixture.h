// Shared set-up of the keyboard reader tests: a main window, a fresh device
// layer with the main window forced into the foreground, the default key
// bindings, and a fatal report that fails the test unless a death test
// scripts its own.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>

#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "input/input.h"
#include "main/fatal.h"
#include "platform/dinput_hooks.h"
#include "platform/dx_hooks.h"
#include "platform/win_msgbox.h"
#include "platform/win_window.h"
#include "window/window.h"

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::ResetDXHooks();
    platform_test::ResetDIHooks();
    platform_test::SetMessageBoxHandler([](const platform_test::MessageBoxCall& c) {
      ADD_FAILURE() << "unexpected fatal report: " << c.text;
      return IDOK;
    });
    m_uKeys[0] = g_uKeyLeft, m_uKeys[1] = g_uKeyRight, m_uKeys[2] = g_uKeyRotate;
    m_uKeys[3] = g_uKeyDown, m_uKeys[4] = g_uKeyDrop;
    g_uKeyLeft = DIK_NUMPAD7, g_uKeyRotate = DIK_NUMPAD8, g_uKeyRight = DIK_NUMPAD9;
    g_uKeyDrop = DIK_SPACE, g_uKeyDown = DIK_LSHIFT;
    m_window = std::make_unique<QWidget>();
    g_hwndMain = platform::HandleOf(m_window.get());
    platform_test::SetKeyboardForeground(platform_test::KeyboardForeground::Always);
    m_nBaseline = platform_test::LiveObjectCount();
  }

  void TearDown() override {
    ReleaseInput();
    EXPECT_EQ(platform_test::LiveObjectCount(), m_nBaseline) << "objects leaked";
    g_hwndMain = nullptr;
    m_window.reset();
    g_uKeyLeft = m_uKeys[0], g_uKeyRight = m_uKeys[1], g_uKeyRotate = m_uKeys[2];
    g_uKeyDown = m_uKeys[3], g_uKeyDrop = m_uKeys[4];
    platform_test::SetMessageBoxHandler(nullptr);
    platform_test::ResetDIHooks();
    platform_test::ResetDXHooks();
  }

  // A key pressed and let go again.
  static void Tap(BYTE dik) {
    platform_test::InjectKey(dik, true);
    platform_test::InjectKey(dik, false);
  }

  std::unique_ptr<QWidget> m_window;

 private:
  UINT m_uKeys[5] = {};
  int m_nBaseline = 0;
};

// In the child of a death test: the one report must satisfy the predicate;
// then the process ends with code 1.
#define EXPECT_INPUT_REPORT(predicate, ...)                                                \
  EXPECT_EXIT(                                                                             \
      {                                                                                    \
        platform_test::SetMessageBoxHandler([&](const platform_test::MessageBoxCall& c) {  \
          if (predicate(c.text) && c.caption == "Quandrel 3D")                             \
            std::fputs("report as expected\n", stderr);                                    \
          else                                                                             \
            std::fprintf(stderr, "unexpected report [%s]\n", c.text.c_str());              \
          return IDOK;                                                                     \
        });                                                                                \
        __VA_ARGS__;                                                                       \
        std::fputs("no report\n", stderr);                                                 \
      },                                                                                   \
      ::testing::ExitedWithCode(1), "report as expected")

// The report is exactly the text.
#define EXPECT_INPUT_FATAL(expected, ...) \
  EXPECT_INPUT_REPORT([&](const std::string& t) { return t == std::string(expected); }, __VA_ARGS__)

// The DirectInput part of a report for a result code.
inline std::string DISuffix(HRESULT hr) { return std::string("\n\nDirectInput error: ") + DIErrorText(hr); }

// True when the report is "src/input/input.cpp:LINE { statement }" and the
// DirectInput text of the code, whatever the line.
inline bool IsInputCheckReport(const std::string& text, const std::string& statement, HRESULT hr) {
  const std::string file = "src/input/input.cpp:";
  if (text.compare(0, file.size(), file) != 0) return false;
  size_t i = file.size();
  const size_t digits = i;
  while (i < text.size() && std::isdigit((unsigned char)text[i])) ++i;
  return i > digits && text.substr(i) == " { " + statement + " }" + DISuffix(hr);
}

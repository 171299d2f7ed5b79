// Shared set-up of the graphics device tests: a fresh platform device, no
// windows, a 400 x 300 view, and the death-test helper for the fatal report.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "main/fatal.h"
#include "main/main.h"
#include "main/timer.h"
#include "maths/maths.h"
#include "options/options.h"
#include "platform/dx_hooks.h"
#include "video_main/video_main.h"
#include "window/window.h"

// True when the report is "FILE:LINE { statement }" followed by the suffix,
// whatever the line.
inline bool IsPlaceReport(const std::string& text, const std::string& file,
                          const std::string& statement, const std::string& suffix) {
  if (text.compare(0, file.size() + 1, file + ":") != 0) return false;
  size_t i = file.size() + 1;
  size_t digits = i;
  while (i < text.size() && std::isdigit((unsigned char)text[i])) ++i;
  return i > digits && text.substr(i) == " { " + statement + " }" + suffix;
}

// The DirectX suffix of a report for a result code.
inline std::string DXSuffix(HRESULT hr) {
  return std::string("\n\nDirectDraw or Direct3D error: ") + DXErrorText(hr);
}

// In the child: the one report must satisfy the predicate, then the process
// ends with code 1.
#define EXPECT_FATAL_REPORT(predicate, ...)                                                \
  EXPECT_EXIT(                                                                              \
      {                                                                                     \
        platform_test::SetMessageBoxHandler([&](const platform_test::MessageBoxCall& c) {   \
          if (predicate(c.text))                                                            \
            std::fputs("report as expected\n", stderr);                                     \
          else                                                                              \
            std::fprintf(stderr, "unexpected report [%s]\n", c.text.c_str());               \
          return IDOK;                                                                      \
        });                                                                                 \
        __VA_ARGS__;                                                                        \
      },                                                                                    \
      ::testing::ExitedWithCode(1), "report as expected")

// The report is exactly the text.
#define EXPECT_FATAL_TEXT(expected, ...) \
  EXPECT_FATAL_REPORT([&](const std::string& t) { return t == std::string(expected); }, __VA_ARGS__)

// The report names the statement of the file, at any line.
#define EXPECT_FATAL_AT(file, statement, suffix, ...)                                   \
  EXPECT_FATAL_REPORT(                                                                  \
      [&](const std::string& t) { return IsPlaceReport(t, file, statement, suffix); }, \
      __VA_ARGS__)

class VideoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::ResetDXHooks();
    platform_test::SetMessageBoxHandler([](const platform_test::MessageBoxCall& c) {
      ADD_FAILURE() << "unexpected fatal report: " << c.text;
      return IDOK;
    });
    InitSinTable();
    g_hwndMain = nullptr;
    g_dwSuspendFlags = 0;
    g_dwShadeMode = D3DSHADE_GOURAUD;
    g_bShowFPS = FALSE;
    g_hrGraphError = 0;
    g_fFrameTime = 0.02f;
    g_nViewW = 400;
    g_nViewH = 300;
    g_nViewScreenX = 0;
    g_nViewScreenY = 0;
  }
  void TearDown() override {
    FreeGraph();
    platform_test::ResetDXHooks();
    platform_test::SetMessageBoxHandler(nullptr);
    g_dwSuspendFlags = SUSPEND_INACTIVE;
  }
  // What the view window's creation does: the device, then the lights on.
  static void CreateView() {
    InitGraph();
    for (int i = 0; i < NUM_LIGHTS; ++i) EnableLight(i, TRUE);
  }
  // As the view's first size message and the loop's rebuild.
  static void CreateViewOfSize(int w, int h) {
    CreateView();
    g_nViewW = w;
    g_nViewH = h;
    RebuildSurfaces();
  }
  static uint64_t Calls(const char* name) { return platform_test::PlatformCallCount(name); }
};

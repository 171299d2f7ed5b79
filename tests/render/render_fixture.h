// Shared set-up for the drawing tests: the renderer's tables, a graphics
// device on an off-screen view of a chosen size, an empty well, and helpers
// to draw a frame and read the picture back.
#pragma once

#include <cstdlib>

#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/game.h"
#include "main/timer.h"
#include "maths/maths.h"
#include "options/options.h"
#include "platform/d3d.h"
#include "platform/dx_hooks.h"
#include "platform/win_msgbox.h"
#include "render/render.h"
#include "rules/rules.h"
#include "video_main/video_main.h"
#include "window/window.h"

class RenderTest : public ::testing::Test {
 public:
  void SetUp() override {
    m_bViewStats = g_bViewStats;
    m_bViewNext = g_bViewNext;
    m_bRowBurst = g_bRowBurst;
    m_bShowFPS = g_bShowFPS;
    m_uBlockType = g_uBlockType;
    m_dwShadeMode = g_dwShadeMode;
    platform_test::ResetDXHooks();
    platform::SetPresentHandler(nullptr);
    // A fatal report must end the test run at once, not wait for a click.
    platform_test::SetMessageBoxHandler([](const platform_test::MessageBoxCall& box) {
      ADD_FAILURE() << "message box: " << box.text;
      fprintf(stderr, "[%s] %s\n", box.caption.c_str(), box.text.c_str());
      return IDOK;
    });
    static bool s_bTables = false;
    if (!s_bTables) {
      InitSinTable();
      InitRender();
      s_bTables = true;
    }
    g_bViewStats = 0;
    g_bViewNext = 0;
    g_bRowBurst = 1;
    g_bShowFPS = 0;
    g_uBlockType = 1;
    g_dwShadeMode = 2;
    g_bGameRunning = 0;
    // Each test starts with no burst storage, as the game does.
    std::free(g_pBurst);
    g_pBurst = nullptr;
    g_uBurstAlloc = 0;
    g_uBurstCount = 0;
    for (int k = 0; k < 7; k++) {
      g_fStatSpin[k] = 0.0f;
      g_ShapeCounts[k] = 0;
    }
    EmptyWell();
    g_fFrameTime = 0.02f;
    InitGraph();
    for (int i = 0; i < 3; i++) EnableLight(i, TRUE);
    Resize(400, 400);
  }

  void TearDown() override {
    FreeGraph();
    EmptyWell();
    g_uBurstCount = 0;
    g_bGameRunning = 0;
    for (int k = 0; k < 7; k++) g_fStatSpin[k] = 0.0f;
    g_bViewStats = m_bViewStats;
    g_bViewNext = m_bViewNext;
    g_bRowBurst = m_bRowBurst;
    g_bShowFPS = m_bShowFPS;
    g_uBlockType = m_uBlockType;
    g_dwShadeMode = m_dwShadeMode;
    platform_test::ResetDXHooks();
    platform_test::SetMessageBoxHandler({});
  }

  // Runs drawing calls inside a scene of their own, as the frame does.
  template <typename F>
  static void InScene(F fn) {
    ASSERT_GE(IDirect3DDevice2_BeginScene(g_3DD), 0);
    fn();
    ASSERT_GE(IDirect3DDevice2_EndScene(g_3DD), 0);
  }

  // Rebuilds the surfaces for a view of that size, as the loop does.
  static void Resize(int w, int h) {
    g_nViewW = w;
    g_nViewH = h;
    g_nViewScreenX = 0;
    g_nViewScreenY = 0;
    RebuildSurfaces();
  }

  static void EmptyWell(void) {
    for (int i = 0; i < WELL_COLUMNS; i++)
      for (int j = 0; j < WELL_ROWS; j++) g_Well[i][j] = -1;
    g_bWellChanged = 1;
  }

  // One frame as the loop runs it, and the picture it put on the screen.
  static QImage Frame(void) {
    GameFrame();
    PresentFrame();
    return platform_test::LastPresentedImage().copy();
  }

  // Where a world point lands on the screen (pixel column and row).
  static QPointF ToScreen(float x, float y, float z) {
    const float p[4] = {x, y, z, 1.0f};
    float v[4], c[4];
    MulRow(p, g_matView, v);
    MulRow(v, g_matProjection, c);
    const float sx = (c[0] / c[3] + 1.0f) * (float)g_nBackBufferW / 2.0f;
    const float sy = (g_fAspect - c[1] / c[3]) * (float)g_nBackBufferH / (2.0f * g_fAspect);
    return QPointF(sx, sy);
  }

  static QRgb PixelAt(const QImage& img, QPointF pt) {
    return img.pixel((int)std::floor(pt.x()), (int)std::floor(pt.y())) & 0xFFFFFF;
  }

  static bool IsBlack(QRgb c) { return (c & 0xFFFFFF) == 0; }

  // Which of red (4), green (2) and blue (1) a lit pixel shows: every block
  // colour has its own set, whatever the strength of the light on it.
  static int Channels(QRgb c) {
    const int nMax = std::max({qRed(c), qGreen(c), qBlue(c)});
    if (nMax < 0x20) return 0;
    return (qRed(c) * 4 > nMax ? 4 : 0) | (qGreen(c) * 4 > nMax ? 2 : 0) | (qBlue(c) * 4 > nMax ? 1 : 0);
  }
  // The channels of each material, by its index: blue, red, magenta, white,
  // green, cyan, orange.
  static constexpr int kMaterialChannels[7] = {1, 4, 5, 7, 2, 3, 6};

 private:
  static void MulRow(const float* p, const D3DMATRIX& m, float* out) {
    const float* e = &m._11;
    for (int c = 0; c < 4; c++) out[c] = p[0] * e[c] + p[1] * e[4 + c] + p[2] * e[8 + c] + p[3] * e[12 + c];
  }

  BOOL m_bViewStats = 0, m_bViewNext = 0, m_bRowBurst = 1, m_bShowFPS = 0;
  UINT m_uBlockType = 1;
  DWORD m_dwShadeMode = 2;
};

// GDI text on image contexts: texts blended from the kept images must look as
// the painter draws them, at the edges too, and painting still works after.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <string>

#include "platform/win_gdi.h"

namespace {

// A background with every channel changing, so that blending shows up.
QImage Background(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 13) & 0xFF, (x * y) & 0xFF));
  return img;
}

struct Draw {
  int x, y;
  const char* text;
  int font;
  COLORREF color;
  UINT align;
};

// Writes the texts through a context, transparent behind them.
void WriteAll(HDC hdc, const Draw* draws, int n) {
  SetBkMode(hdc, TRANSPARENT);
  for (int i = 0; i < n; ++i) {
    SelectObject(hdc, GetStockObject(draws[i].font));
    SetTextColor(hdc, draws[i].color);
    SetTextAlign(hdc, draws[i].align);
    ASSERT_TRUE(TextOutA(hdc, draws[i].x, draws[i].y, draws[i].text, (int)std::strlen(draws[i].text)));
  }
}

// The largest difference of one channel between two images, and how many
// pixels differ from the background at all.
int MaxChannelDiff(const QImage& a, const QImage& b) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                        std::abs(qBlue(p) - qBlue(q))});
    }
  return worst;
}

int Changed(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
  return n;
}

TEST(GdiText, ImageContextWritesAsThePainterDoesInEveryFontColourAndPlace) {
  const Draw draws[] = {
      {5, 3, "12345", DEFAULT_GUI_FONT, 0x00FFFFFF, TA_LEFT | TA_TOP},
      {60, 20, "0", DEFAULT_GUI_FONT, 0x0000FFFF, TA_CENTER | TA_TOP},
      {118, 30, "987", SYSTEM_FONT, 0x00204080, TA_RIGHT | TA_BASELINE},
      {-4, -3, "88888", DEFAULT_GUI_FONT, 0x00FF00FF, TA_LEFT | TA_TOP},  // off the top left
      {117, 37, "88888", ANSI_VAR_FONT, 0x00C0C0C0, TA_LEFT | TA_TOP},    // off the bottom right
      {5, 3, "12345", DEFAULT_GUI_FONT, 0x00FFFFFF, TA_LEFT | TA_TOP},    // the same again, over itself
  };
  const int n = (int)(sizeof(draws) / sizeof(draws[0]));
  const QImage background = Background(120, 40);
  QImage painted = background.copy();
  {
    QPainter painter(&painted);
    HDC hdc = platform::CreatePainterDC(&painter);
    ASSERT_NE(hdc, nullptr);
    WriteAll(hdc, draws, n);
    platform::FreePainterDC(hdc);
  }
  // Twice through the image context: first drawn, then from the kept images.
  for (int pass = 0; pass < 2; ++pass) {
    QImage blended = background.copy();
    HDC hdc = platform::CreateImageDC(&blended);
    ASSERT_NE(hdc, nullptr);
    WriteAll(hdc, draws, n);
    platform::FreePainterDC(hdc);
    EXPECT_GT(Changed(blended, background), 50) << "pass " << pass;
    EXPECT_LE(MaxChannelDiff(blended, painted), 1) << "pass " << pass;
  }
}

TEST(GdiText, ImageContextKeepsRightTextsPastItsStoreAndStillFillsAndWritesOpaque) {
  const QImage background = Background(100, 30);
  // Many different texts push the first ones out of the store; writing them
  // again must draw them afresh, not some other text.
  for (int i = 0; i < 80; ++i) {
    const std::string text = std::to_string(i * 37);
    QImage painted = background.copy(), blended = background.copy();
    {
      QPainter painter(&painted);
      HDC hdc = platform::CreatePainterDC(&painter);
      const Draw d = {10, 5, text.c_str(), DEFAULT_GUI_FONT, 0x00FFFFFF, TA_LEFT | TA_TOP};
      WriteAll(hdc, &d, 1);
      platform::FreePainterDC(hdc);
    }
    HDC hdc = platform::CreateImageDC(&blended);
    const Draw d = {10, 5, text.c_str(), DEFAULT_GUI_FONT, 0x00FFFFFF, TA_LEFT | TA_TOP};
    WriteAll(hdc, &d, 1);
    platform::FreePainterDC(hdc);
    ASSERT_LE(MaxChannelDiff(blended, painted), 1) << text;
  }

  QImage img = background.copy();
  HDC hdc = platform::CreateImageDC(&img);
  ASSERT_NE(hdc, nullptr);
  RECT r = {0, 0, 10, 10};
  EXPECT_EQ(FillRect(hdc, &r, (HBRUSH)GetStockObject(GRAY_BRUSH)), 1);
  SetBkMode(hdc, OPAQUE);
  SetTextColor(hdc, 0);
  ASSERT_TRUE(TextOutA(hdc, 40, 5, "7", 1));
  platform::FreePainterDC(hdc);
  EXPECT_EQ(img.pixel(5, 5) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(img.pixel(9, 9) & 0xFFFFFF, 0x808080u);
  EXPECT_NE(img.pixel(10, 10) & 0xFFFFFF, 0x808080u);
  int white = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 38; x < 60; ++x) white += (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
  EXPECT_GT(white, 10) << "the opaque cell behind the text";
  EXPECT_EQ(platform::CreateImageDC(nullptr), nullptr);
}

}  // namespace

// Test entry: a Qt application on the off-screen platform, then every test.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Death tests re-run this binary; fork-and-exec keeps Qt's state out of it.
  ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

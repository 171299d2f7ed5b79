// The key-name table and the conversions between key codes and key list
// positions.

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "input/input.h"

namespace {

class KeyNames : public ::testing::Test {
 protected:
  // The names the keyboard reported stay theirs: put back afterwards.
  void SetUp() override {
    std::memcpy(m_saved, g_lpszKeyNames, sizeof(m_saved));
    std::memcpy(g_lpszKeyNames, gc_KeyNames, sizeof(g_lpszKeyNames));
  }
  void TearDown() override { std::memcpy(g_lpszKeyNames, m_saved, sizeof(g_lpszKeyNames)); }

 private:
  const char* m_saved[256] = {};
};

}  // namespace

TEST_F(KeyNames, NamesOfTheKeysTheGameOffers) {
  EXPECT_STREQ(gc_KeyNames[0x47], "Num 7");
  EXPECT_STREQ(gc_KeyNames[0x48], "Num 8");
  EXPECT_STREQ(gc_KeyNames[0x49], "Num 9");
  EXPECT_STREQ(gc_KeyNames[0x2A], "Left Shift");
  EXPECT_STREQ(gc_KeyNames[0x39], "Space");
  EXPECT_STREQ(gc_KeyNames[0xCB], "Left Arrow");
  EXPECT_STREQ(gc_KeyNames[0xC8], "Up Arrow");
  EXPECT_STREQ(gc_KeyNames[0xCD], "Right Arrow");
  EXPECT_STREQ(gc_KeyNames[0xD0], "Down Arrow");
  EXPECT_STREQ(gc_KeyNames[0x01], "Esc");
  EXPECT_STREQ(gc_KeyNames[0x9C], "Num Enter");
  EXPECT_EQ(gc_KeyNames[0x00], nullptr);
  EXPECT_EQ(gc_KeyNames[0xFF], nullptr);
  // Every name is distinct, or two list entries would look the same.
  std::set<std::string> seen;
  for (int c = 0; c < 256; ++c) {
    if (gc_KeyNames[c] != nullptr) {
      EXPECT_TRUE(seen.insert(gc_KeyNames[c]).second) << c;
    }
  }
  EXPECT_GT(seen.size(), 100u);
}

TEST_F(KeyNames, ListPositionsAndCodesConvertBothWays) {
  EXPECT_EQ(KeyToListIndex(KEY_NONE), 0);
  EXPECT_EQ(ListIndexToKey(0), KEY_NONE);
  EXPECT_EQ(KeyToListIndex(0x01), 1) << "Esc is the first named key";
  EXPECT_EQ(ListIndexToKey(1), 0x01u);
  int named = 0;
  for (UINT c = 0; c < 256; ++c) {
    if (g_lpszKeyNames[c] == nullptr) continue;
    ++named;
    EXPECT_EQ(KeyToListIndex(c), named);
    EXPECT_EQ(ListIndexToKey(KeyToListIndex(c)), c);
  }
  EXPECT_EQ(ListIndexToKey(named + 1), KEY_NONE) << "past the last entry";
  EXPECT_EQ(ListIndexToKey(-3), KEY_NONE);
}

TEST_F(KeyNames, UnnamedCodesShowTheNearestNamedCodeBelow) {
  ASSERT_EQ(g_lpszKeyNames[0x54], nullptr);
  EXPECT_EQ(ListIndexToKey(KeyToListIndex(0x54)), 0x53u);
  EXPECT_EQ(KeyToListIndex(0x00), 0) << "nothing named below: the empty item";
  EXPECT_EQ(KeyToListIndex(256), 0) << "beyond the table: no key";
}

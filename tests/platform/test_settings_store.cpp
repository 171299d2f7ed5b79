// The settings store behind the registry calls: its text format, the
// registry call rules the game relies on, and safe replacement of the file.

#include <gtest/gtest.h>

#include "platform/win_registry.h"
#include "temp_dir.h"

namespace {

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override { platform_test::SetConfigHome(dir_.path()); }
  void TearDown() override { platform_test::SetConfigHome(""); }
  std::string StoreDir() const { return dir_.path() + "/Quandrel3D"; }
  TempDir dir_;
};

}  // namespace

TEST_F(SettingsStore, TextFormatReadsBackUnchanged) {
  platform::RegStore store;
  store["Software\\Quandrel3D"]["KeyLeft"] = {REG_DWORD, 0x47, ""};
  store["Software\\Quandrel3D"]["HighScoreFile"] = {REG_SZ, 0, "C:\\a \"b\"\nc\r\xC3\xA9"};
  store["Software\\Other"]["x"] = {REG_SZ, 0, ""};
  std::string text = platform::FormatRegStore(store);
  EXPECT_NE(text.find("\"KeyLeft\"=dword:00000047\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"HighScoreFile\"=\"C:\\\\a \\\"b\\\"\\nc\\r\xC3\xA9\"\n"), std::string::npos)
      << text;
  platform::RegStore back;
  ASSERT_TRUE(platform::ParseRegStore(text, back));
  EXPECT_EQ(platform::FormatRegStore(back), text);
  EXPECT_EQ(back["software\\quandrel3d"]["keyleft"].number, 0x47u) << "names ignore case";
}

TEST_F(SettingsStore, EditedFilesAreAccepted) {
  platform::RegStore store;
  ASSERT_TRUE(platform::ParseRegStore(
      "\xEF\xBB\xBFREGEDIT4\r\n; my settings\r\n\r\n"
      "  [hkey_current_user\\Software\\Quandrel3D]  \r\n"
      "\"ShowFPS\"=dword:1\r\n\"ShowFPS\"=dword:0000000A\r\n",
      store));
  EXPECT_EQ(store["Software\\Quandrel3D"]["ShowFPS"].number, 10u) << "the last one counts";

  // The registry editor's own export: UTF-16 little-endian with its mark and
  // CR LF line ends; a character beyond the first plane is a pair of units.
  std::u16string exported =
      u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_CURRENT_USER\\Software\\Quandrel3D]\r\n"
      u"\"KeyLeft\"=dword:000000cb\r\n"
      u"\"HighScoreFile\"=\"/home/\u00E5sa/\U0001F600\"\r\n";
  std::string bytes;
  for (char16_t c : exported) {
    bytes += (char)(c & 0xFF);
    bytes += (char)(c >> 8);
  }
  ASSERT_TRUE(platform::ParseRegStore(bytes, store));
  EXPECT_EQ(store["Software\\Quandrel3D"]["KeyLeft"].number, 0xCBu);
  EXPECT_EQ(store["Software\\Quandrel3D"]["HighScoreFile"].text,
            "/home/\xC3\xA5sa/\xF0\x9F\x98\x80");
  // Half of a pair cannot be read: that line is skipped, the rest is not.
  std::string half = bytes;
  half[half.size() - 8] = 'x';  // the second unit of the pair
  half[half.size() - 7] = '\0';
  EXPECT_FALSE(platform::ParseRegStore(half, store));
  EXPECT_EQ(store["Software\\Quandrel3D"]["KeyLeft"].number, 0xCBu);
  EXPECT_EQ(store["Software\\Quandrel3D"].count("HighScoreFile"), 0u);
}

// A line that cannot be understood is skipped, and so are the values of a key
// that cannot be; everything else is read.
TEST_F(SettingsStore, DamagedLinesAreSkipped) {
  using namespace std::string_literals;
  const std::string damaged[] = {
      "[HKEY_LOCAL_MACHINE\\Software]\n\"x\"=dword:1\n",          // another root
      "[HKEY_CURRENT_USER\\Software\n\"x\"=dword:1\n",            // unclosed key
      "\"a\"=dword:123456789\n",                                 // nine digits
      "\"a\"=dword:\n",                                          // no digits
      "\"a\"=dword:12g4\n",                                      // not hexadecimal
      "\"a\"=\"open\n",                                          // unclosed text
      "\"a\"=\"x\"y\n",                                          // trailing rubbish
      "\"a\"=\"\\q\"\n",                                         // unknown escape
      "\"a\"=hex:00,01\n",                                       // another type
      "a=dword:1\n",                                             // unquoted name
      "\"a\\\"=dword:1\n",                                       // escape eats the quote
      "\"a\"=\"x\0y\"\n"s,                                       // a NUL
  };
  for (const std::string& line : damaged) {
    std::string text = "[HKEY_CURRENT_USER\\S]\n\"before\"=dword:1\n" + line +
                       "[HKEY_CURRENT_USER\\S]\n\"after\"=dword:2\n";
    platform::RegStore store;
    EXPECT_FALSE(platform::ParseRegStore(text, store)) << text;
    EXPECT_EQ(store.size(), 1u) << text;
    EXPECT_EQ(store["S"].size(), 2u) << text;
    EXPECT_EQ(store["S"]["before"].number, 1u) << text;
    EXPECT_EQ(store["S"]["after"].number, 2u) << text;
  }
  platform::RegStore store;
  EXPECT_FALSE(platform::ParseRegStore("\"KeyLeft\"=dword:00000047\n", store))
      << "a value outside any key";
  EXPECT_TRUE(store.empty());
}

TEST_F(SettingsStore, RegistryCallsOnTheStore) {
  HKEY hKey;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quandrel3D", 0, KEY_READ, &hKey),
            ERROR_FILE_NOT_FOUND);
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quandrel3D", 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &hKey, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, (DWORD)REG_CREATED_NEW_KEY);
  const BYTE number[4] = {0x78, 0x56, 0x34, 0x12};
  EXPECT_EQ(RegSetValueExA(hKey, "N", 0, REG_DWORD, number, 4), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(hKey, "T", 0, REG_SZ, (const BYTE*)"hello", 6), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(hKey, "B", 0, 3 /* REG_BINARY */, number, 4), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(Exists(StoreDir() + "/settings.reg")) << "written when the key is closed";
  EXPECT_EQ(RegCloseKey(hKey), ERROR_SUCCESS);
  EXPECT_EQ(ListDir(StoreDir()), std::vector<std::string>{"settings.reg"}) << "no temporary left";

  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quandrel3D", 0, KEY_READ, &hKey),
            ERROR_SUCCESS);
  BYTE data[8];
  DWORD type = 0, size = sizeof(data);
  ASSERT_EQ(RegQueryValueExA(hKey, "n", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, (DWORD)REG_DWORD);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(data[0], 0x78);
  EXPECT_EQ(data[3], 0x12);
  size = 5;
  EXPECT_EQ(RegQueryValueExA(hKey, "T", nullptr, &type, data, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  size = 6;
  ASSERT_EQ(RegQueryValueExA(hKey, "T", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_STREQ((const char*)data, "hello");
  EXPECT_EQ(RegQueryValueExA(hKey, "missing", nullptr, &type, data, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegSetValueExA(hKey, "N", 0, REG_DWORD, number, 4), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCloseKey(hKey), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(hKey), ERROR_INVALID_HANDLE);
}

TEST_F(SettingsStore, OversizedFileHoldsNoKeys) {
  WriteBytes(StoreDir() + "/settings.reg",
             "[HKEY_CURRENT_USER\\Software\\Quandrel3D]\n" + std::string((1 << 20), ';'));
  HKEY hKey;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quandrel3D", 0, KEY_READ, &hKey),
            ERROR_FILE_NOT_FOUND);
}

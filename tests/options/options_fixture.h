// Test fixture of the option table: keeps the table and its variables as they
// were and puts them back after each test; the settings store and the data
// directory live in a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "options/options.h"
#include "platform/win_files.h"
#include "platform/win_registry.h"
#include "temp_dir.h"

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memcpy(savedOptions_, g_Options, sizeof(g_Options));
    for (int i = 0; i < NUM_OPTIONS; ++i)
      if ((g_Options[i].uFlags & OPTION_TYPE_MASK) != OPTION_STRING)
        savedNumbers_[i] = *reinterpret_cast<DWORD*>(g_Options[i].lplpszData);
    std::memcpy(savedHighScoreFile_, g_szHighScoreFile, MAX_PATH);
    std::memcpy(savedHelpFile_, g_szHelpFile, MAX_PATH);
    platform_test::SetConfigHome(dir_ / "config");
    platform_test::SetUserDataDirectory(dir_ / "data");
  }

  void TearDown() override {
    if (g_Options[0].uFlags & OPTION_DYNAMIC) std::free(g_lpszEXEPath);
    g_lpszEXEPath = nullptr;
    std::memcpy(g_Options, savedOptions_, sizeof(g_Options));
    for (int i = 0; i < NUM_OPTIONS; ++i)
      if ((g_Options[i].uFlags & OPTION_TYPE_MASK) != OPTION_STRING)
        *reinterpret_cast<DWORD*>(g_Options[i].lplpszData) = savedNumbers_[i];
    std::memcpy(g_szHighScoreFile, savedHighScoreFile_, MAX_PATH);
    std::memcpy(g_szHelpFile, savedHelpFile_, MAX_PATH);
    platform_test::SetConfigHome("");
    platform_test::SetUserDataDirectory("");
  }

  std::string StorePath() const { return dir_.path() + "/config/Quandrel3D/settings.reg"; }

  // Writes a store file holding the game's key with the given value lines.
  void WriteStore(const std::string& valueLines) {
    WriteBytes(StorePath(), "Windows Registry Editor Version 5.00\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Quandrel3D]\n" +
                                valueLines);
  }

  // The game's key as the store holds it now.
  platform::RegKeyValues StoredValues() const {
    platform::RegStore store;
    EXPECT_TRUE(platform::ParseRegStore(ReadBytes(StorePath()), store));
    return store["Software\\Quandrel3D"];
  }

  int RowOf(const char* name) const {
    for (int i = 0; i < NUM_OPTIONS; ++i)
      if (std::strcmp(g_Options[i].lpszValueName, name) == 0) return i;
    return -1;
  }

  TempDir dir_;

 private:
  OPTION savedOptions_[NUM_OPTIONS];
  DWORD savedNumbers_[NUM_OPTIONS] = {};
  char savedHighScoreFile_[MAX_PATH];
  char savedHelpFile_[MAX_PATH];
};

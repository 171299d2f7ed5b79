// The option table: loading from the store and the command line, the file
// places beside the executable, refused values, and saving at exit.

#include <climits>
#include <filesystem>

#include "options_fixture.h"

namespace {

// The full start-up load with the given command line.
void LoadWith(const std::string& commandLine) {
  platform_test::SetCommandLine(commandLine);
  LoadOptions();
}

}  // namespace

// ---- table ----------------------------------------------------------------

TEST_F(OptionsTest, TableRowsFlagsAndDefaultsInTheirOrder) {
  const char* names[NUM_OPTIONS] = {"EXEPath",  "KeyLeft",       "KeyRight",  "KeyRotate",
                                    "KeyDown",  "KeyDrop",       "RowBurst",  "ShadeMode",
                                    "BlockSet", "HighScoreFile", "WindowX",   "WindowY",
                                    "WindowW",  "WindowH",       "ViewStats", "ViewNext",
                                    "ShowFPS"};
  const UINT flags[NUM_OPTIONS] = {0x520000, 0, 0, 0, 0, 0, 0x10000, 0, 0, 0x20104,
                                   0x30000, 0x30000, 0x30000, 0x30000, 0x10000, 0x10000, 0x10000};
  for (int i = 0; i < NUM_OPTIONS; ++i) {
    EXPECT_STREQ(g_Options[i].lpszValueName, names[i]);
    EXPECT_EQ(g_Options[i].uFlags, flags[i]) << names[i];
  }
  EXPECT_EQ(g_Options[0].lplpszData, reinterpret_cast<char**>(&g_lpszEXEPath));
  EXPECT_EQ(g_Options[9].lplpszData, reinterpret_cast<char**>(g_szHighScoreFile));
  EXPECT_EQ(g_Options[16].lplpszData, reinterpret_cast<char**>(&g_bShowFPS));
  EXPECT_EQ(g_uKeyLeft, 0x47u);
  EXPECT_EQ(g_uKeyRight, 0x49u);
  EXPECT_EQ(g_uKeyRotate, 0x48u);
  EXPECT_EQ(g_uKeyDown, 0x2Au);
  EXPECT_EQ(g_uKeyDrop, 0x39u);
  EXPECT_EQ(g_dwShadeMode, 2u);
  EXPECT_EQ(g_uBlockType, 1u);
  EXPECT_EQ(g_nWindowW, 400);
  EXPECT_STREQ(g_szHighScoreFile, "Quandrel3DHiScores");
  EXPECT_STREQ(g_szHelpFile, "Quandrel3D.chm");
}

// ---- command line and file places -----------------------------------------

TEST_F(OptionsTest, ExecutableAloneKeepsDefaultsAndPlacesFilesBesideIt) {
  std::string bin = dir_ / "bin/";
  std::filesystem::create_directories(bin);
  LoadWith(bin + "quandrel3d");
  EXPECT_STREQ(g_lpszEXEPath, (bin + "quandrel3d").c_str());
  EXPECT_STREQ(g_szHighScoreFile, (bin + "Quandrel3DHiScores").c_str());
  EXPECT_STREQ(g_szHelpFile, (bin + "Quandrel3D.chm").c_str());
  EXPECT_EQ(g_uKeyLeft, 0x47u);
  EXPECT_EQ(g_bShowFPS, 0);
  EXPECT_FALSE(Exists(dir_ / "data")) << "the data directory is only for read-only installs";
}

TEST_F(OptionsTest, QuotedExecutablePathWithSpaces) {
  std::string bin = dir_ / "My Games/";
  std::filesystem::create_directories(bin);
  LoadWith("\"" + bin + "quandrel3d\" /ShowFPS 1");
  EXPECT_STREQ(g_lpszEXEPath, (bin + "quandrel3d").c_str());
  EXPECT_STREQ(g_szHighScoreFile, (bin + "Quandrel3DHiScores").c_str());
  EXPECT_STREQ(g_szHelpFile, (bin + "Quandrel3D.chm").c_str());
  EXPECT_EQ(g_bShowFPS, 1);
}

TEST_F(OptionsTest, BareExecutableNameKeepsBareFileNames) {
  LoadWith("quandrel3d");
  EXPECT_STREQ(g_szHighScoreFile, "Quandrel3DHiScores");
  EXPECT_STREQ(g_szHelpFile, "Quandrel3D.chm");
}

TEST_F(OptionsTest, FirstTokenIsAlwaysTheExecutable) {
  LoadOptionsFromCommandLine("*ShowFPS yes");
  EXPECT_STREQ(g_lpszEXEPath, "*ShowFPS");
  EXPECT_EQ(g_bShowFPS, 0) << "yes is a stray token";
  EXPECT_TRUE(g_Options[0].uFlags & OPTION_DYNAMIC);
}

TEST_F(OptionsTest, SwitchPrefixDecidesWhetherTheValueIsSaved) {
  WriteStore("\"ShowFPS\"=dword:00000000\n\"ViewStats\"=dword:00000001\n");
  LoadWith("/x/quandrel3d /showfps yes");
  EXPECT_EQ(g_bShowFPS, 1);
  SaveOptions();
  EXPECT_EQ(StoredValues()["ShowFPS"].number, 1u);

  TearDown();
  SetUp();
  WriteStore("\"ShowFPS\"=dword:00000000\n");
  LoadWith("/x/quandrel3d *ShowFPS yes /ViewStats 0");
  EXPECT_EQ(g_bShowFPS, 1);
  EXPECT_EQ(g_bViewStats, 0);
  SaveOptions();
  auto values = StoredValues();
  EXPECT_EQ(values["ShowFPS"].number, 0u) << "the store keeps its value";
  EXPECT_EQ(values["ViewStats"].type, REG_DWORD) << "a / switch after a * switch is saved";
  EXPECT_EQ(values["ViewStats"].number, 0u);
}

TEST_F(OptionsTest, RejectedValuesAreConsumed) {
  LoadOptionsFromCommandLine("q /ShowFPS maybe");
  EXPECT_EQ(g_bShowFPS, 0);
  EXPECT_FALSE(g_Options[RowOf("ShowFPS")].uFlags & OPTION_NOSAVE);

  // The rejected value is not read as a switch, even when it looks like one.
  LoadOptionsFromCommandLine("q /ShowFPS /ViewNext 0");
  EXPECT_EQ(g_bShowFPS, 0);
  EXPECT_EQ(g_bViewNext, 1);

  // A rejected value after "*" does not mark the row either.
  LoadOptionsFromCommandLine("q *ShowFPS perhaps");
  EXPECT_FALSE(g_Options[RowOf("ShowFPS")].uFlags & OPTION_NOSAVE);
}

TEST_F(OptionsTest, UnknownSwitchStrayTokenAndMissingValue) {
  LoadOptionsFromCommandLine("q /Bogus 5 /ViewNext 0 /KeyLeft");
  EXPECT_EQ(g_bViewNext, 0);
  EXPECT_EQ(g_uKeyLeft, 0x47u);
  EXPECT_EQ(g_nWindowX, 10);
}

TEST_F(OptionsTest, ValueMayBeginWithASlash) {
  LoadOptionsFromCommandLine("q /HighScoreFile /home/ann/scores");
  EXPECT_STREQ(g_szHighScoreFile, "/home/ann/scores");
}

TEST_F(OptionsTest, QuotingRules) {
  // A quoted value holds blanks; a character right after a closing quote
  // starts a new token; quotes inside a plain token are ordinary.
  LoadOptionsFromCommandLine("q /HighScoreFile \"my scores\"/WindowX 5 /WindowY a\"b");
  EXPECT_STREQ(g_szHighScoreFile, "my scores");
  EXPECT_EQ(g_nWindowX, 5);
  EXPECT_EQ(g_nWindowY, 0) << "a\"b is not a number";

  // An empty quoted token is a value; an unterminated one is dropped.
  LoadOptionsFromCommandLine("q /WindowX \"\"");
  EXPECT_EQ(g_nWindowX, 0);
  LoadOptionsFromCommandLine("q /HighScoreFile \"never closed");
  EXPECT_STREQ(g_szHighScoreFile, "my scores");
}

TEST_F(OptionsTest, EveryCLocaleBlankSeparatesTokens) {
  LoadOptionsFromCommandLine("q\v/ShowFPS\f1\r/ViewNext\n0\t/WindowX  7");
  EXPECT_EQ(g_bShowFPS, 1);
  EXPECT_EQ(g_bViewNext, 0);
  EXPECT_EQ(g_nWindowX, 7);
  // A byte from 0x80 up belongs to the token: "/ViewStats\xA00" is no switch.
  LoadOptionsFromCommandLine("q /ViewStats\xA0" "0 /WindowY\xA0" "9");
  EXPECT_EQ(g_bViewStats, 1);
  EXPECT_EQ(g_nWindowY, 10);
}

TEST_F(OptionsTest, StarMarksNumberRowsWhateverTheirValue) {
  // Numbers are converted without checks, so the mark comes with the switch.
  LoadOptionsFromCommandLine("q *WindowX abc *KeyLeft 300 /WindowY 5");
  EXPECT_EQ(g_nWindowX, 0);
  EXPECT_TRUE(g_Options[RowOf("WindowX")].uFlags & OPTION_NOSAVE);
  EXPECT_TRUE(g_Options[RowOf("KeyLeft")].uFlags & OPTION_NOSAVE);
  EXPECT_FALSE(g_Options[RowOf("WindowY")].uFlags & OPTION_NOSAVE);
  SaveOptions();
  auto values = StoredValues();
  EXPECT_EQ(values.count("WindowX"), 0u);
  EXPECT_EQ(values.count("KeyLeft"), 0u);
  EXPECT_EQ(values["WindowY"].number, 5u);
}

TEST_F(OptionsTest, NumbersFromTheCommandLine) {
  LoadOptionsFromCommandLine("q /WindowX -20 /windoww 640px /KeyDrop 0x1C /KEYDOWN -1");
  EXPECT_EQ(g_nWindowX, -20);
  EXPECT_EQ(g_nWindowW, 640);
  EXPECT_EQ(g_uKeyDrop, 0u) << "conversion stops at the x";
  EXPECT_EQ(g_uKeyDown, KEY_NONE) << "-1 is no key";
}

TEST_F(OptionsTest, NumberConversionsMatchA32BitLibrary) {
  EXPECT_EQ(OptionTextToUInt("  +12abc"), 12u);
  EXPECT_EQ(OptionTextToUInt("-1"), 0xFFFFFFFFu);
  EXPECT_EQ(OptionTextToUInt("-5"), 0xFFFFFFFBu);
  EXPECT_EQ(OptionTextToUInt("4294967295"), 0xFFFFFFFFu);
  EXPECT_EQ(OptionTextToUInt("99999999999999999999"), 0xFFFFFFFFu);
  EXPECT_EQ(OptionTextToUInt("-99999999999"), 0xFFFFFFFFu);
  EXPECT_EQ(OptionTextToUInt("abc"), 0u);
  EXPECT_EQ(OptionTextToInt("\t-20 px"), -20);
  EXPECT_EQ(OptionTextToInt("2147483648"), INT_MAX);
  EXPECT_EQ(OptionTextToInt("-2147483648"), INT_MIN);
  EXPECT_EQ(OptionTextToInt("-99999999999999999999"), INT_MIN);
  EXPECT_EQ(OptionTextToInt("\xA0" "5"), 0) << "0xA0 is not white space";
}

TEST_F(OptionsTest, FixedBufferLengthLimits) {
  std::string p258(258, 'a'), p259(259, 'b');
  LoadOptionsFromCommandLine(("q /HighScoreFile " + p259).c_str());
  EXPECT_STREQ(g_szHighScoreFile, "Quandrel3DHiScores") << "259 characters do not fit here";
  LoadOptionsFromCommandLine(("q *HighScoreFile " + p258).c_str());
  EXPECT_EQ(std::string(g_szHighScoreFile), p258);
  EXPECT_TRUE(g_Options[RowOf("HighScoreFile")].uFlags & OPTION_NOSAVE);

  WriteStore("\"HighScoreFile\"=\"" + p259 + "\"\n");
  LoadOptionsFromRegistry();
  EXPECT_EQ(std::string(g_szHighScoreFile), p259);
  WriteStore("\"HighScoreFile\"=\"" + p259 + "c\"\n");
  LoadOptionsFromRegistry();
  EXPECT_EQ(std::string(g_szHighScoreFile), p259) << "260 characters are ignored";
}

TEST_F(OptionsTest, DefaultNameIsPlacedOnlyWhenExact) {
  std::string bin = dir_ / "bin/";
  std::filesystem::create_directories(bin);
  LoadWith(bin + "quandrel3d /HighScoreFile Quandrel3DHiScores");
  EXPECT_STREQ(g_szHighScoreFile, (bin + "Quandrel3DHiScores").c_str());

  std::strcpy(g_szHighScoreFile, "Quandrel3DHiScores");
  LoadWith(bin + "quandrel3d /HighScoreFile quandrel3dhiscores");
  EXPECT_STREQ(g_szHighScoreFile, "quandrel3dhiscores");
  EXPECT_STREQ(g_szHelpFile, (bin + "Quandrel3D.chm").c_str());
}

TEST_F(OptionsTest, TooLongDirectoryKeepsBareNames) {
  std::string longDir = dir_ / (std::string(246 - dir_.path().size(), 'd') + "/");
  std::filesystem::create_directories(longDir);
  LoadWith("\"" + longDir + "quandrel3d\"");
  ASSERT_STREQ(g_lpszEXEPath, (longDir + "quandrel3d").c_str());
  EXPECT_STREQ(g_szHighScoreFile, "Quandrel3DHiScores");
  EXPECT_STREQ(g_szHelpFile, "Quandrel3D.chm");
}

// ---- installed game -------------------------------------------------------

// An installed game: its data folder lies where the install layout puts it
// relative to the program's folder. The program's folder is writable here,
// as /usr/games is for the superuser.
TEST_F(OptionsTest, InstalledGameKeepsHighScoresInTheDataDirectoryAndHelpInItsDataFolder) {
  std::string bin = dir_ / "prefix/games/";
  std::filesystem::create_directories(bin + gc_szInstalledDataFolder);
  std::string data = std::filesystem::canonical(bin + gc_szInstalledDataFolder).string() + "/";
  ASSERT_TRUE(platform::IsDirectoryWritable(bin));

  LoadWith(bin + "quandrel3d");
  EXPECT_STREQ(g_szHighScoreFile, (dir_.path() + "/data/Quandrel3DHiScores").c_str());
  EXPECT_STREQ(g_szHelpFile, (data + "Quandrel3D.chm").c_str()) << "no \"..\" left in the path";
  // The first run saves the full per-user path; later runs use it as given.
  SaveOptions();
  std::strcpy(g_szHighScoreFile, "Quandrel3DHiScores");
  LoadWith(bin + "quandrel3d");
  EXPECT_STREQ(g_szHighScoreFile, (dir_.path() + "/data/Quandrel3DHiScores").c_str());

  // A file named on the command line or in the settings is used as given.
  LoadWith(bin + "quandrel3d *HighScoreFile scores.bin");
  EXPECT_STREQ(g_szHighScoreFile, "scores.bin");

  // Without a data directory the bare name is left: nothing goes into the
  // installation.
  std::strcpy(g_szHighScoreFile, "Quandrel3DHiScores");
  platform_test::SetUserDataDirectory("/proc/none");
  PlaceDefaultFiles();
  EXPECT_STREQ(g_szHighScoreFile, "Quandrel3DHiScores");
  EXPECT_TRUE(std::filesystem::is_empty(bin)) << "nothing written beside the program";
}

// ---- read-only installation -----------------------------------------------

TEST_F(OptionsTest, ReadOnlyInstallKeepsHighScoresInTheDataDirectory) {
  // No file can be made in /proc, not even by the superuser.
  LoadWith("/proc/quandrel3d");
  EXPECT_STREQ(g_szHighScoreFile, (dir_.path() + "/data/Quandrel3DHiScores").c_str());
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "data")) << "made when needed";
  EXPECT_STREQ(g_szHelpFile, "/proc/Quandrel3D.chm") << "help stays with the program";
}

TEST_F(OptionsTest, ReadOnlyInstallUsesANamedFileAsGiven) {
  LoadWith("/proc/quandrel3d /HighScoreFile /srv/scores");
  EXPECT_STREQ(g_szHighScoreFile, "/srv/scores");
  std::strcpy(g_szHighScoreFile, "Quandrel3DHiScores");
  WriteStore("\"HighScoreFile\"=\"scores.bin\"\n");
  LoadWith("/proc/quandrel3d");
  EXPECT_STREQ(g_szHighScoreFile, "scores.bin");
}

TEST_F(OptionsTest, DataDirectoryFollowsXdgDataHome) {
  platform_test::SetUserDataDirectory("");
  const char* oldXdg = getenv("XDG_DATA_HOME");
  std::string saved = oldXdg != nullptr ? oldXdg : "";
  setenv("XDG_DATA_HOME", (dir_ / "xdg").c_str(), 1);
  EXPECT_EQ(platform::UserDataDirectory(), dir_.path() + "/xdg/Quandrel3D/");
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "xdg/Quandrel3D"));
  if (oldXdg != nullptr)
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
}

// ---- settings store -------------------------------------------------------

TEST_F(OptionsTest, StoreValuesInTextAndNumberForms) {
  WriteStore(
      "\"RowBurst\"=\"FALSE\"\n"
      "\"ViewStats\"=dword:00000000\n"
      "\"ViewNext\"=dword:00000007\n"
      "\"ShowFPS\"=\"TRUE\"\n"
      "\"KeyLeft\"=\" 30 apples\"\n"
      "\"KeyRight\"=dword:000000cd\n"
      "\"WindowX\"=\"-20\"\n"
      "\"WindowY\"=dword:0000001e\n"
      "\"WindowW\"=dword:fffffff0\n"
      "\"HighScoreFile\"=dword:0000002a\n");
  g_bViewStats = 1;
  LoadOptionsFromRegistry();
  EXPECT_EQ(g_bRowBurst, 0);
  EXPECT_EQ(g_bViewStats, 0);
  EXPECT_EQ(g_bViewNext, 1);
  EXPECT_EQ(g_bShowFPS, 1);
  EXPECT_EQ(g_uKeyLeft, 30u);
  EXPECT_EQ(g_uKeyRight, 0xCDu);
  EXPECT_EQ(g_nWindowX, -20);
  EXPECT_EQ(g_nWindowY, 30);
  EXPECT_EQ(g_nWindowW, -16);
  EXPECT_STREQ(g_szHighScoreFile, "42");
}

TEST_F(OptionsTest, UnrecognisedTruthTextLeavesTheValue) {
  WriteStore("\"ShowFPS\"=\"maybe\"\n\"RowBurst\"=\"no\"\n\"ViewNext\"=\"0\"\n");
  g_bShowFPS = 1;
  LoadOptionsFromRegistry();
  EXPECT_EQ(g_bShowFPS, 1);
  EXPECT_EQ(g_bRowBurst, 0);
  EXPECT_EQ(g_bViewNext, 0);
}

TEST_F(OptionsTest, StoreValueTooLongForTheQueryIsSkipped) {
  WriteStore("\"HighScoreFile\"=\"" + std::string(1100, 'x') + "\"\n\"WindowX\"=dword:00000021\n");
  LoadOptionsFromRegistry();
  EXPECT_STREQ(g_szHighScoreFile, "Quandrel3DHiScores");
  EXPECT_EQ(g_nWindowX, 33);
}

TEST_F(OptionsTest, StoreQueryTakesTextsOfUpTo1024BytesWithTerminator) {
  std::string fits(1023, 'f'), over(1024, 'o');
  WriteStore("\"EXEPath\"=\"" + fits + "\"\n");
  LoadOptionsFromRegistry();
  ASSERT_NE(g_lpszEXEPath, nullptr);
  EXPECT_EQ(std::string(g_lpszEXEPath), fits);
  WriteStore("\"EXEPath\"=\"" + over + "\"\n");
  LoadOptionsFromRegistry();
  EXPECT_EQ(std::string(g_lpszEXEPath), fits) << "1025 bytes do not fit the query";
}

TEST_F(OptionsTest, ExecutablePathFromTheStoreGetsAHeapBlock) {
  WriteStore("\"EXEPath\"=\"/stored/quandrel3d\"\n");
  LoadOptionsFromRegistry();
  EXPECT_STREQ(g_lpszEXEPath, "/stored/quandrel3d");
  EXPECT_TRUE(g_Options[0].uFlags & OPTION_DYNAMIC);
  // The command line's first token resizes the same block.
  LoadOptionsFromCommandLine("/a/much/longer/path/to/the/game/quandrel3d");
  EXPECT_STREQ(g_lpszEXEPath, "/a/much/longer/path/to/the/game/quandrel3d");
}

TEST_F(OptionsTest, UnusableValuesAreRefusedWhereTheyAreRead) {
  WriteStore(
      "\"KeyLeft\"=dword:00000100\n"
      "\"KeyRight\"=dword:ffffffff\n"
      "\"KeyDrop\"=\"300\"\n"
      "\"BlockSet\"=dword:00000002\n"
      "\"ShadeMode\"=dword:00000003\n");
  LoadOptionsFromRegistry();
  EXPECT_EQ(g_uKeyLeft, 0x47u);
  EXPECT_EQ(g_uKeyRight, KEY_NONE) << "no key is a valid binding";
  EXPECT_EQ(g_uKeyDrop, 0x39u);
  EXPECT_EQ(g_uBlockType, 1u);
  EXPECT_EQ(g_dwShadeMode, 2u);

  LoadOptionsFromCommandLine(
      "q /KeyRotate 256 /KeyDown 255 /BlockSet 7 /ShadeMode 0 /ShadeMode 1 /BlockSet 0");
  EXPECT_EQ(g_uKeyRotate, 0x48u);
  EXPECT_EQ(g_uKeyDown, 255u);
  EXPECT_EQ(g_dwShadeMode, 1u);
  EXPECT_EQ(g_uBlockType, 0u);

  // No name is no high-score file, from either source; the one in force
  // stays, and is still saved.
  std::strcpy(g_szHighScoreFile, "/srv/scores");
  WriteStore("\"HighScoreFile\"=\"\"\n");
  LoadOptionsFromRegistry();
  EXPECT_STREQ(g_szHighScoreFile, "/srv/scores");
  LoadOptionsFromCommandLine("q /HighScoreFile \"\" *HighScoreFile \"\"");
  EXPECT_STREQ(g_szHighScoreFile, "/srv/scores");
  EXPECT_FALSE(g_Options[RowOf("HighScoreFile")].uFlags & OPTION_NOSAVE);
  SaveOptions();
  EXPECT_EQ(StoredValues()["HighScoreFile"].text, "/srv/scores");
}

// A line that cannot be read costs that line, not the others; the file as it
// was is kept beside the rewritten one, and stays when the next save finds
// nothing to skip.
TEST_F(OptionsTest, DamagedLinesAreSkippedAndTheFileKeptAside) {
  std::string damaged =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Software\\Quandrel3D]\n"
      "\"KeyLeft\"=dword:00000010\n"
      "\"KeyRight\"=dword:zz\n"
      "this is no settings line\n"
      "\"ShowFPS\"=dword:00000001\n";
  WriteBytes(StorePath(), damaged);
  LoadOptionsFromRegistry();
  EXPECT_EQ(g_uKeyLeft, 0x10u);
  EXPECT_EQ(g_uKeyRight, 0x49u);
  EXPECT_EQ(g_bShowFPS, 1);
  g_uKeyDrop = 0x1C;
  SaveOptions();
  EXPECT_EQ(ReadBytes(StorePath() + ".bad"), damaged);
  EXPECT_EQ(StoredValues()["KeyLeft"].number, 0x10u);
  EXPECT_EQ(StoredValues()["ShowFPS"].number, 1u);
  EXPECT_EQ(StoredValues()["KeyDrop"].number, 0x1Cu);
  g_uKeyDrop = 0x39;
  SaveOptions();
  EXPECT_EQ(ReadBytes(StorePath() + ".bad"), damaged);
}

TEST_F(OptionsTest, DamagedStoreThatCannotBeKeptAsideIsNotOverwritten) {
  std::string damaged = "this is no settings file\n";
  WriteBytes(StorePath(), damaged);
  // Something that no rename replaces stands where the copy would go.
  WriteBytes(StorePath() + ".bad/keep", "x");
  g_uKeyLeft = 0x10;
  SaveOptions();
  EXPECT_EQ(ReadBytes(StorePath()), damaged);
  EXPECT_EQ(ReadBytes(StorePath() + ".bad/keep"), "x");
}

TEST_F(OptionsTest, SavedFormsOfEachRowType) {
  g_nWindowX = -20;
  g_nWindowY = 30;
  g_bShowFPS = 1;
  g_uKeyDrop = KEY_NONE;
  std::strcpy(g_szHighScoreFile, "/home/ann/My Scores \"best\"");
  LoadOptionsFromCommandLine("/usr/games/quandrel3d");
  SaveOptions();
  auto values = StoredValues();
  EXPECT_EQ(values["WindowX"].type, REG_SZ);
  EXPECT_EQ(values["WindowX"].text, "-20");
  EXPECT_EQ(values["WindowY"].type, REG_DWORD);
  EXPECT_EQ(values["WindowY"].number, 30u);
  EXPECT_EQ(values["ShowFPS"].number, 1u);
  EXPECT_EQ(values["KeyDrop"].number, KEY_NONE);
  EXPECT_EQ(values["HighScoreFile"].text, "/home/ann/My Scores \"best\"");
  EXPECT_EQ(values.count("EXEPath"), 0u) << "never saved";
  EXPECT_EQ(values.size(), (size_t)NUM_OPTIONS - 1);
  std::string text = ReadBytes(StorePath());
  EXPECT_NE(text.find("\"WindowX\"=\"-20\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"WindowY\"=dword:0000001e\n"), std::string::npos) << text;

  // What was saved loads back.
  g_nWindowX = 0;
  g_nWindowY = 0;
  g_szHighScoreFile[0] = '\0';
  LoadOptionsFromRegistry();
  EXPECT_EQ(g_nWindowX, -20);
  EXPECT_EQ(g_nWindowY, 30);
  EXPECT_STREQ(g_szHighScoreFile, "/home/ann/My Scores \"best\"");
}

TEST_F(OptionsTest, SavingKeepsOtherKeysOfTheStore) {
  WriteBytes(StorePath(),
             "Windows Registry Editor Version 5.00\n\n"
             "[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=\"me\"\n");
  SaveOptions();
  platform::RegStore store;
  ASSERT_TRUE(platform::ParseRegStore(ReadBytes(StorePath()), store));
  EXPECT_EQ(store["Software\\Other"]["Keep"].text, "me");
  EXPECT_EQ(store["Software\\Quandrel3D"]["KeyLeft"].number, 0x47u);
}

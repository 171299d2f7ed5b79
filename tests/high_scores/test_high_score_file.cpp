// The high-score file: its exact bytes, every check a loaded file must pass,
// and safe saving (temporary file, failures, files that are not ours).

#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <filesystem>

#include "high_scores_fixture.h"

namespace {

struct Rec {
  UINT score, level;
  INT time;
  std::string name;
};

void Put32(std::string& s, size_t at, UINT v) {
  for (int i = 0; i < 4; ++i) s[at + i] = (char)(v >> (8 * i));
}

void Append32(std::string& s, UINT v) {
  s.append(4, '\0');
  Put32(s, s.size() - 4, v);
}

UINT Sum(const std::string& s) {
  UINT sum = 0;
  for (size_t i = 20; i < s.size(); ++i) sum += (unsigned char)s[i];
  return sum;
}

// A well-formed image of the records; the header count can be overridden.
std::string Image(const std::vector<Rec>& recs, int count = -1) {
  std::string s = "QN_3D_HS";
  s.append(12, '\0');
  Put32(s, 16, count < 0 ? (UINT)recs.size() : (UINT)count);
  for (const Rec& r : recs) {
    Append32(s, r.score);
    Append32(s, r.level);
    Append32(s, (UINT)r.time);
    Append32(s, (UINT)r.name.size());
    s += r.name;
  }
  Put32(s, 8, (UINT)s.size());
  Put32(s, 12, Sum(s));
  return s;
}

}  // namespace

// ---- exact format ---------------------------------------------------------

TEST_F(HighScoresTest, EmptyTableIsTheTwentyByteFile) {
  SaveHighScores();
  std::string bytes = ReadBytes(g_szHighScoreFile);
  EXPECT_EQ(bytes, std::string("QN_3D_HS\x14\0\0\0\0\0\0\0\0\0\0\0", 20));
  AddEntry(7, "x");
  LoadHighScores();
  EXPECT_EQ(g_nHighScoreFileState, 1);
  EXPECT_EQ(g_uNumHighScores, 0u);
}

TEST_F(HighScoresTest, OneEntryIsTheThirtyNineByteFile) {
  AddEntry(1500, "abc", 3, 0);
  SaveHighScores();
  const unsigned char expected[] = {'Q', 'N', '_', '3', 'D', '_', 'H', 'S', 0x27, 0, 0, 0,
                                    0x0D, 0x02, 0, 0, 0x01, 0, 0, 0, 0xDC, 0x05, 0, 0,
                                    0x03, 0, 0, 0, 0, 0, 0, 0, 0x03, 0, 0, 0, 'a', 'b', 'c'};
  EXPECT_EQ(ReadBytes(g_szHighScoreFile), std::string((const char*)expected, sizeof(expected)));
  EXPECT_TRUE(boxes_.empty());

  ClearTable();
  LoadHighScores();
  EXPECT_EQ(g_nHighScoreFileState, 1);
  ASSERT_EQ(g_uNumHighScores, 1u);
  EXPECT_EQ(g_HighScores[0].uScore, 1500u);
  EXPECT_EQ(g_HighScores[0].uLevel, 3u);
  EXPECT_EQ(g_HighScores[0].tTime, 0);
  EXPECT_STREQ(g_HighScores[0].lpszName, "abc");
}

TEST_F(HighScoresTest, FieldsNamesAndOrderAsStored) {
  std::string utf8 = "J\xC3\xBCrgen \xE2\x98\x85";
  WriteBytes(g_szHighScoreFile, Image({{100, 1, -5, "low"}, {900, 9, 2000000000, utf8},
                                       {4000000000u, 2, 7, ""}}));
  LoadHighScores();
  ASSERT_EQ(g_nHighScoreFileState, 1);
  EXPECT_EQ(Scores(), (std::vector<UINT>{100, 900, 4000000000u})) << "not sorted again";
  EXPECT_EQ(Names(), (std::vector<std::string>{"low", utf8, ""}));
  EXPECT_EQ(g_HighScores[0].tTime, -5);
  EXPECT_EQ(g_HighScores[1].uLevel, 9u);
  // The bytes go back out unchanged.
  std::string before = ReadBytes(g_szHighScoreFile);
  SaveHighScores();
  EXPECT_EQ(ReadBytes(g_szHighScoreFile), before);
}

// ---- checks on loading ----------------------------------------------------

TEST_F(HighScoresTest, EveryCheckRejectsItsFault) {
  std::vector<Rec> two = {{500, 1, 1, "ann"}, {300, 2, 2, "bob"}};
  std::string good = Image(two);
  std::vector<std::pair<std::string, std::string>> bad;
  bad.emplace_back("short", good.substr(0, 12));
  bad.emplace_back("header only, short by one", good.substr(0, 19));
  std::string magic = good;
  magic[7] = 's';
  bad.emplace_back("magic", magic);
  std::string longer = good + "x";
  bad.emplace_back("length one short of the size", longer);
  std::string shorter = good;
  Put32(shorter, 8, (UINT)good.size() - 1);
  bad.emplace_back("length one past the size", shorter);
  std::vector<Rec> eleven(11, Rec{1, 0, 0, "n"});
  bad.emplace_back("eleven records", Image(eleven));
  std::string sum = good;
  sum[25] ^= 1;
  bad.emplace_back("checksum", sum);
  // The name of the second record runs past the end; length and sum agree.
  std::string past = good;
  Put32(past, 20 + 16 + 3 + 12, 4);
  Put32(past, 12, Sum(past));
  bad.emplace_back("record past the end", past);
  std::string count = Image(two, 3);
  bad.emplace_back("more records than bytes", count);
  std::string huge = good;
  Put32(huge, 20 + 12, 0xFFFFFFF0u);
  Put32(huge, 12, Sum(huge));
  bad.emplace_back("name length near 2^32", huge);

  for (const auto& [what, bytes] : bad) {
    SetScores({42, 7});
    g_nHighScoreFileState = 0;
    WriteBytes(g_szHighScoreFile, bytes);
    LoadHighScores();
    EXPECT_EQ(g_nHighScoreFileState, -1) << what;
    EXPECT_EQ(Scores(), (std::vector<UINT>{42, 7})) << what << ": table unchanged";
  }
  // And the good one passes.
  WriteBytes(g_szHighScoreFile, good);
  LoadHighScores();
  EXPECT_EQ(g_nHighScoreFileState, 1);
  EXPECT_EQ(Names(), (std::vector<std::string>{"ann", "bob"}));
}

TEST_F(HighScoresTest, MissingOrUnreadableFileChangesNothing) {
  SetScores({42});
  g_nHighScoreFileState = 1;
  LoadHighScores();
  EXPECT_EQ(g_nHighScoreFileState, 1);
  EXPECT_EQ(Scores(), (std::vector<UINT>{42}));

  // A directory or a named pipe in the file's place is no file to read.
  std::filesystem::create_directory(g_szHighScoreFile);
  LoadHighScores();
  std::filesystem::remove(g_szHighScoreFile);
  ASSERT_EQ(mkfifo(g_szHighScoreFile, 0600), 0);
  LoadHighScores();
  EXPECT_EQ(g_nHighScoreFileState, 1);
  EXPECT_EQ(Scores(), (std::vector<UINT>{42}));
}

TEST_F(HighScoresTest, OversizedFileIsInvalidWithoutBeingRead) {
  // Just at the limit: one record with a long name is still a valid file.
  std::string name(MAX_HIGHSCORE_FILE_SIZE - 36, 'n');
  WriteBytes(g_szHighScoreFile, Image({{5, 0, 0, name}}));
  LoadHighScores();
  EXPECT_EQ(g_nHighScoreFileState, 1);
  EXPECT_EQ(std::strlen(g_HighScores[0].lpszName), name.size());

  // One byte more is refused, however valid the contents.
  WriteBytes(g_szHighScoreFile, Image({{5, 0, 0, name + "n"}}));
  LoadHighScores();
  EXPECT_EQ(g_nHighScoreFileState, -1);
  EXPECT_EQ(std::strlen(g_HighScores[0].lpszName), name.size());

  // A sparse 3 GiB file would take long to read and could not be held.
  std::string sparse = dir_ / "sparse";
  WriteBytes(sparse, "QN_3D_HS");
  ASSERT_EQ(truncate(sparse.c_str(), 3LL << 30), 0);
  UseFile(sparse);
  g_nHighScoreFileState = 0;
  LoadHighScores();
  EXPECT_EQ(g_nHighScoreFileState, -1);
}

// ---- saving ---------------------------------------------------------------

TEST_F(HighScoresTest, SaveReplacesThroughATemporaryFile) {
  WriteBytes(g_szHighScoreFile, Image({{1, 0, 0, "old"}}));
  chmod(g_szHighScoreFile, 0640);
  SetScores({900, 20});
  SaveHighScores();
  EXPECT_EQ(ReadBytes(g_szHighScoreFile), Image({{900, 0, 0, "p900"}, {20, 0, 0, "p20"}}));
  EXPECT_EQ(ListDir(dir_.path()), std::vector<std::string>{"Quandrel3DHiScores"});
  struct stat st;
  ASSERT_EQ(stat(g_szHighScoreFile, &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the player's permissions stay";
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(HighScoresTest, SaveThroughASymbolicLinkKeepsTheLink) {
  std::string real = dir_ / "real-scores";
  WriteBytes(real, Image({}));
  std::filesystem::create_symlink(real, g_szHighScoreFile);
  SetScores({5});
  SaveHighScores();
  EXPECT_TRUE(std::filesystem::is_symlink(g_szHighScoreFile));
  EXPECT_EQ(ReadBytes(real), Image({{5, 0, 0, "p5"}}));
}

TEST_F(HighScoresTest, FileThatCannotBeMadeIsReported) {
  UseFile("/proc/no-such-dir/Quandrel3DHiScores");
  SetScores({42});
  SaveHighScores();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text,
            "Error saving high score table to file \"/proc/no-such-dir/Quandrel3DHiScores\" - "
            "cannot open file.");
  EXPECT_EQ(boxes_[0].caption, "Quandrel 3D");
  EXPECT_EQ(boxes_[0].type, (UINT)(MB_OK | MB_ICONERROR));
  EXPECT_EQ(Scores(), (std::vector<UINT>{42})) << "the table stays in memory";
}

TEST_F(HighScoresTest, FailedWriteLeavesTheOldFileWhole) {
  std::string old = Image({{1, 0, 0, "old"}});
  WriteBytes(g_szHighScoreFile, old);
  SetScores({900});
  for (auto fault : {platform_test::ReplaceFault::Write, platform_test::ReplaceFault::Rename}) {
    boxes_.clear();
    platform_test::SetReplaceFault(fault);
    SaveHighScores();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Error saving high score table to file \"" +
                                  std::string(g_szHighScoreFile) + "\" - write error.");
    EXPECT_EQ(ReadBytes(g_szHighScoreFile), old);
    EXPECT_EQ(ListDir(dir_.path()), std::vector<std::string>{"Quandrel3DHiScores"});
  }
  platform_test::SetReplaceFault(platform_test::ReplaceFault::Open);
  boxes_.clear();
  SaveHighScores();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].text.find("cannot open file."), std::string::npos);
  EXPECT_EQ(ReadBytes(g_szHighScoreFile), old);
}

// A file that already holds the table is not written again, so a table the
// player may read but not write costs no message while nothing changed. A
// changed table is written, and so is the same table once another file is in
// force, which does not hold it.
TEST_F(HighScoresTest, TableTheFileHoldsIsNotWrittenAgain) {
  std::string first = g_szHighScoreFile;
  WriteBytes(first, Image({{5, 0, 0, "ann"}}));
  LoadHighScores();
  platform_test::SetReplaceFault(platform_test::ReplaceFault::Open);
  SaveHighScores();
  EXPECT_TRUE(boxes_.empty());
  AddEntry(3, "bob");
  SaveHighScores();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].text.find("cannot open file."), std::string::npos);

  platform_test::SetReplaceFault(platform_test::ReplaceFault::None);
  std::string other = dir_ / "other";
  UseFile(other);
  SaveHighScores();
  EXPECT_EQ(ReadBytes(other), Image({{5, 0, 0, "ann"}, {3, 0, 0, "bob"}}));
  platform_test::SetReplaceFault(platform_test::ReplaceFault::Open);
  SaveHighScores();
  EXPECT_EQ(boxes_.size(), 1u);
  UseFile(first);
  SaveHighScores();
  EXPECT_EQ(boxes_.size(), 2u) << "the first file still holds the old table";
}

TEST_F(HighScoresTest, ForeignFileIsOverwrittenOnlyWithConsent) {
  std::string foreign = "my thesis, chapter 1\n";
  WriteBytes(g_szHighScoreFile, foreign);
  SetScores({42});
  g_nHighScoreFileState = -1;

  answer_ = IDNO;
  SaveHighScores();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "\"" + std::string(g_szHighScoreFile) +
                                "\" is not a valid Quandrel 3D high score file. Do you really "
                                "want Quandrel 3D to overwrite thsi file with the high score "
                                "table?");
  EXPECT_EQ(boxes_[0].caption, "Quandrel 3D");
  EXPECT_EQ(boxes_[0].type, (UINT)(MB_ICONWARNING | MB_YESNO));
  EXPECT_EQ(ReadBytes(g_szHighScoreFile), foreign);

  answer_ = IDYES;
  SaveHighScores();
  EXPECT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(ReadBytes(g_szHighScoreFile), Image({{42, 0, 0, "p42"}}));
  EXPECT_EQ(g_nHighScoreFileState, -1) << "saving never changes the state";
}

TEST_F(HighScoresTest, ConsentFromTheOptionsDialogCountsForThatFile) {
  std::string other = dir_ / "other";
  WriteBytes(g_szHighScoreFile, "junk");
  WriteBytes(other, "junk");
  AgreeToOverwriteHighScoreFile(g_szHighScoreFile);
  SetScores({42});
  SaveHighScores();
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(ReadBytes(g_szHighScoreFile), Image({{42, 0, 0, "p42"}}));

  UseFile(other);
  answer_ = IDNO;
  SaveHighScores();
  EXPECT_EQ(boxes_.size(), 1u) << "the consent was for the other file";
  EXPECT_EQ(ReadBytes(other), "junk");

  // An oversized file is not a high-score file either.
  std::string big = dir_ / "big";
  WriteBytes(big, Image({{5, 0, 0, std::string(MAX_HIGHSCORE_FILE_SIZE, 'n')}}));
  UseFile(big);
  SaveHighScores();
  EXPECT_EQ(boxes_.size(), 2u);
}

TEST_F(HighScoresTest, MissingFileIsMadeWithoutAsking) {
  UseFile(dir_ / "new-scores");
  SetScores({3});
  SaveHighScores();
  EXPECT_TRUE(boxes_.empty());
  ClearTable();
  LoadHighScores();
  EXPECT_EQ(Scores(), (std::vector<UINT>{3}));
}

TEST_F(HighScoresTest, ReadOnlyFileIsNotReplaced) {
  std::string old = Image({{1, 0, 0, "old"}});
  WriteBytes(g_szHighScoreFile, old);
  ASSERT_EQ(chmod(g_szHighScoreFile, 0444), 0);
  // The superuser writes through permission bits; the immutable flag stops it.
  std::string lock = "chattr +i '" + std::string(g_szHighScoreFile) + "' 2>/dev/null";
  if (geteuid() == 0 && std::system(lock.c_str()) != 0) GTEST_SKIP() << "cannot lock the file";
  SetScores({900});
  SaveHighScores();
  if (geteuid() == 0) {
    int rc = std::system(("chattr -i '" + std::string(g_szHighScoreFile) + "'").c_str());
    ASSERT_EQ(rc, 0);
  }
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].text.find("cannot open file."), std::string::npos) << boxes_[0].text;
  EXPECT_EQ(ReadBytes(g_szHighScoreFile), old);
  EXPECT_EQ(ListDir(dir_.path()), std::vector<std::string>{"Quandrel3DHiScores"});
}

TEST_F(HighScoresTest, NoFileToMakeIsCannotOpen) {
  // A directory in the file's place cannot be opened as a file: no question
  // about overwriting it, and the failure is the one of opening.
  std::filesystem::create_directory(g_szHighScoreFile);
  SetScores({42});
  answer_ = IDYES;
  SaveHighScores();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Error saving high score table to file \"" +
                                std::string(g_szHighScoreFile) + "\" - cannot open file.");
  EXPECT_TRUE(std::filesystem::is_directory(g_szHighScoreFile));

  // An empty name names no file at all.
  boxes_.clear();
  UseFile("");
  SaveHighScores();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Error saving high score table to file \"\" - cannot open file.");
}

#if defined(__SANITIZE_ADDRESS__)
#define QUANDREL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUANDREL_ASAN 1
#endif
#endif

// Runs in the child of the death test: the file's image still fits in memory,
// the copy of the long name does not.
[[maybe_unused]] static void LoadWithoutRoomForTheName(const std::string& file) {
  platform_test::SetMessageBoxHandler([](const platform_test::MessageBoxCall& call) {
    fprintf(stderr, "[%s] %s\n", call.caption.c_str(), call.text.c_str());
    return IDOK;
  });
  std::snprintf(g_szHighScoreFile, MAX_PATH, "%s", file.c_str());
  // Large blocks come from fresh address space, which the limit then refuses.
  mallopt(M_MMAP_THRESHOLD, 64 * 1024);
  long pages = 0;
  FILE* statm = fopen("/proc/self/statm", "r");
  if (statm == nullptr || fscanf(statm, "%ld", &pages) != 1) std::abort();
  fclose(statm);
  struct rlimit lim;
  getrlimit(RLIMIT_AS, &lim);
  lim.rlim_cur = (rlim_t)pages * (rlim_t)sysconf(_SC_PAGESIZE) + (1400u << 10);
  setrlimit(RLIMIT_AS, &lim);
  LoadHighScores();
}

TEST_F(HighScoresTest, NameWithoutMemoryIsFatal) {
#ifdef QUANDREL_ASAN
  GTEST_SKIP() << "the sanitizer's allocator aborts instead of failing";
#else
  WriteBytes(g_szHighScoreFile, Image({{5, 0, 0, std::string(1000u << 10, 'n')}}));
  EXPECT_EXIT(LoadWithoutRoomForTheName(g_szHighScoreFile), ::testing::ExitedWithCode(1),
              "\\[Quandrel 3D\\] .*high_scores\\.cpp:[0-9]+ \\{ g_HighScores\\[i\\]\\.lpszName = "
              "malloc\\(uStrLen \\+ 1\\) \\}");
#endif
}

TEST_F(HighScoresTest, LongestFileNameCanBeSaved) {
  // A name of 245 bytes is a valid file name; the temporary file beside it
  // must not need a longer one. The directory is short so the path fits.
  char dir[] = "/tmp/qXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string file = std::string(dir) + "/" + std::string(245, 'q');
  UseFile(file);
  SetScores({42});
  SaveHighScores();
  EXPECT_TRUE(boxes_.empty()) << (boxes_.empty() ? "" : boxes_[0].text);
  EXPECT_EQ(ReadBytes(file), Image({{42, 0, 0, "p42"}}));
  std::filesystem::remove_all(dir);
}

// Replacing a file's contents: what is never replaced (devices, pipes,
// sockets, links), writing in place where no temporary file can be made, and
// what a save that is killed half way leaves behind.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/win_files.h"
#include "temp_dir.h"

namespace {

using platform::ReplaceFileContents;
using platform::ReplaceResult;

class FilesTest : public ::testing::Test {
 protected:
  void TearDown() override {
    platform_test::SetReplaceFault(platform_test::ReplaceFault::None);
    platform_test::SetUnnamedTempFiles(true);
  }

  static ReplaceResult Replace(const std::string& path, const std::string& bytes) {
    return ReplaceFileContents(path, bytes.data(), bytes.size());
  }

  static mode_t TypeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
  }

  static ino_t InodeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
  }

  // Runs the step in a child process and tells whether the child was killed.
  static bool KilledInChild(const std::function<void()>& step) {
    pid_t pid = fork();
    if (pid == 0) {
      step();
      _exit(0);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return false;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  }

  TempDir dir_;
};

}  // namespace

// A named pipe, a socket or a device where the file should be is written as
// opening it for writing would write it, and stays what it is; a link stays
// a link, even to a file that does not exist yet.
TEST_F(FilesTest, WhatIsNotARegularFileIsNeverReplaced) {
  std::string fifo = dir_ / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Replace(fifo, "no reader"), ReplaceResult::OpenFailed) << "no waiting for a reader";
  EXPECT_EQ(TypeOf(fifo), (mode_t)S_IFIFO);
  int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  std::string link = dir_ / "link-to-fifo";
  std::filesystem::create_symlink(fifo, link);
  EXPECT_EQ(Replace(link, "table"), ReplaceResult::Ok);
  char got[16] = {};
  EXPECT_EQ(read(reader, got, sizeof(got)), 5);
  EXPECT_STREQ(got, "table");
  EXPECT_EQ(TypeOf(fifo), (mode_t)S_IFIFO);
  EXPECT_EQ(TypeOf(link), (mode_t)S_IFLNK);
  close(reader);

  std::string sock = dir_ / "sock";
  int s = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr = {};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof(addr.sun_path), "%s", sock.c_str());
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  EXPECT_EQ(Replace(sock, "table"), ReplaceResult::OpenFailed);
  EXPECT_EQ(TypeOf(sock), (mode_t)S_IFSOCK);
  close(s);

  std::string dangling = dir_ / "dangling";
  std::filesystem::create_symlink("made-through-the-link", dangling);
  EXPECT_EQ(Replace(dangling, "table"), ReplaceResult::Ok);
  EXPECT_EQ(TypeOf(dangling), (mode_t)S_IFLNK);
  EXPECT_EQ(ReadBytes(dir_ / "made-through-the-link"), "table");

  // Device nodes of our own, so that a fault here cannot touch the real ones.
  std::string null = dir_ / "null", full = dir_ / "full";
  if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
      mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0 || access(full.c_str(), W_OK) != 0)
    GTEST_SKIP() << "no device nodes can be made here";
  EXPECT_EQ(Replace(null, "table"), ReplaceResult::Ok);
  EXPECT_EQ(Replace(full, "table"), ReplaceResult::WriteFailed);
  EXPECT_EQ(TypeOf(null), (mode_t)S_IFCHR);
  EXPECT_EQ(TypeOf(full), (mode_t)S_IFCHR);
}

// A folder that takes no new file can still hold a file that may be written:
// that file is rewritten in place, and a failure there is a write error.
TEST_F(FilesTest, WithoutATemporaryFileTheTargetIsWrittenInPlace) {
  std::string file = dir_ / "shared";
  WriteBytes(file, "the old, longer contents");
  const ino_t inode = InodeOf(file);
  platform_test::SetReplaceFault(platform_test::ReplaceFault::TempFile);
  EXPECT_EQ(Replace(file, "new"), ReplaceResult::Ok);
  EXPECT_EQ(ReadBytes(file), "new");
  EXPECT_EQ(InodeOf(file), inode) << "written in place, not replaced";
  EXPECT_EQ(ListDir(dir_.path()), std::vector<std::string>{"shared"});

  std::string missing = dir_ / "missing";
  EXPECT_EQ(Replace(missing, "made"), ReplaceResult::Ok);
  EXPECT_EQ(ReadBytes(missing), "made");
  EXPECT_EQ(Replace(dir_ / "no-dir/file", "x"), ReplaceResult::OpenFailed);

  platform_test::SetReplaceFault(platform_test::ReplaceFault::None);
  EXPECT_EQ(Replace(file, "renamed"), ReplaceResult::Ok);
  EXPECT_NE(InodeOf(file), inode) << "with a temporary file the file is replaced whole";
}

// Killed after writing and before naming: with a file that has no name until
// it is done nothing is left; with a named one, the next save of the same
// file removes it, but not what a running save or another file has there.
TEST_F(FilesTest, KilledSaveLeavesNothingForLong) {
  std::string file = dir_ / "scores";
  WriteBytes(file, "old");
  EXPECT_TRUE(KilledInChild([&] {
    platform_test::SetReplaceFault(platform_test::ReplaceFault::Kill);
    Replace(file, "new");
  }));
  EXPECT_EQ(ListDir(dir_.path()), std::vector<std::string>{"scores"});
  EXPECT_EQ(ReadBytes(file), "old");

  EXPECT_TRUE(KilledInChild([&] {
    platform_test::SetUnnamedTempFiles(false);
    platform_test::SetReplaceFault(platform_test::ReplaceFault::Kill);
    Replace(file, "new");
  }));
  ASSERT_EQ(ListDir(dir_.path()).size(), 2u) << "the named way leaves its temporary file";
  EXPECT_EQ(ReadBytes(file), "old");
  // A save still running in another process, and another file's.
  std::string running = dir_ / (".scores.tmp." + std::to_string(getppid()) + ".0");
  std::string other = dir_ / (".scores2.tmp.999999999.0");
  WriteBytes(running, "r");
  WriteBytes(other, "o");

  platform_test::SetUnnamedTempFiles(false);
  EXPECT_EQ(Replace(file, "newer"), ReplaceResult::Ok);
  EXPECT_EQ(ReadBytes(file), "newer");
  std::vector<std::string> left = ListDir(dir_.path());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{".scores.tmp." + std::to_string(getppid()) + ".0",
                                            ".scores2.tmp.999999999.0", "scores"}));
}

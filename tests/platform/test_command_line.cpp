// The command line string the layer builds from main's arguments.

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <string>

#include "platform/win_cmdline.h"

TEST(CommandLine, ExecutablePathThenArgumentsQuotedWhereNeeded) {
  char a0[] = "ignored", a1[] = "/HighScoreFile", a2[] = "my\tscores", a3[] = "", a4[] = "x";
  char* argv[] = {a0, a1, a2, a3, a4, nullptr};
  EXPECT_EQ(platform::JoinCommandLine("/opt/My Games/quandrel3d", 5, argv),
            "\"/opt/My Games/quandrel3d\" /HighScoreFile \"my\tscores\" \"\" x");

  platform::SetCommandLineArgs(5, argv);
  char exe[PATH_MAX + 1] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, PATH_MAX), 0);
  std::string line = GetCommandLineA();
  EXPECT_EQ(line.rfind(exe, 0), 0u) << "the running executable's absolute path comes first";
  EXPECT_EQ(line.substr(std::string(exe).size()), " /HighScoreFile \"my\tscores\" \"\" x");

  platform_test::SetCommandLine("q /ShowFPS 1");
  EXPECT_STREQ(GetCommandLineA(), "q /ShowFPS 1");
}

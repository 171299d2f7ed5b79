// The process command line as one string, as Win32 hands it over.
#pragma once

#include <string>

#include "platform/win_types.h"

// The whole command line: the executable's absolute path, then the
// arguments; each part is in double quotes when it holds white space or is
// empty.
LPSTR GetCommandLineA(void);

namespace platform {
// Called by the entry point with main's arguments.
void SetCommandLineArgs(int argc, char** argv);
// Joins the parts as GetCommandLineA shows them.
std::string JoinCommandLine(const std::string& exePath, int argc, char** argv);
}  // namespace platform

namespace platform_test {
// Makes GetCommandLineA return exactly this text.
void SetCommandLine(const std::string& commandLine);
}  // namespace platform_test

// The command line string: built once from main's arguments and the path of
// the running executable.

#include "platform/win_cmdline.h"

#include <unistd.h>

#include <climits>
#include <vector>

// ---- globals --------------------------------------------------------------

namespace {
std::vector<char> s_commandLine(1, '\0');
bool s_set = false;
}  // namespace

// ---- helpers --------------------------------------------------------------

namespace {

// White space as the C locale has it.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Appends one part, quoted when it would otherwise split or vanish.
void AppendPart(std::string& line, const std::string& part) {
  bool quote = part.empty();
  for (char c : part)
    if (IsBlank(c)) quote = true;
  if (!line.empty()) line += ' ';
  if (quote)
    line += '"' + part + '"';
  else
    line += part;
}

// The absolute path of the running executable, or argv[0] when unknown.
std::string ExecutablePath(const char* argv0) {
  char buf[PATH_MAX + 1];
  ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
  if (n > 0) return std::string(buf, (size_t)n);
  return argv0 != nullptr ? argv0 : "";
}

// Keeps the line as GetCommandLineA hands it out.
void Store(const std::string& line) {
  s_commandLine.assign(line.begin(), line.end());
  s_commandLine.push_back('\0');
  s_set = true;
}

}  // namespace

// ---- functions ------------------------------------------------------------

// The stored line; without one, the running executable alone.
LPSTR GetCommandLineA(void) {
  if (!s_set) Store(platform::JoinCommandLine(ExecutablePath(nullptr), 0, nullptr));
  return s_commandLine.data();
}

namespace platform {

// Remembers the process's command line.
void SetCommandLineArgs(int argc, char** argv) {
  Store(JoinCommandLine(ExecutablePath(argc > 0 ? argv[0] : nullptr), argc, argv));
}

// argv[0] is replaced by the executable's path; the rest follow in order.
std::string JoinCommandLine(const std::string& exePath, int argc, char** argv) {
  std::string line;
  AppendPart(line, exePath);
  for (int i = 1; i < argc; ++i) AppendPart(line, argv[i] != nullptr ? argv[i] : "");
  return line;
}

}  // namespace platform

namespace platform_test {
// Replaces the command line.
void SetCommandLine(const std::string& commandLine) { Store(commandLine); }
}  // namespace platform_test

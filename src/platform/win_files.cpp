// File helpers on POSIX: safe replacement of a file's contents, the per-user
// data directory, a writability probe and the full path of a directory.

#include "platform/win_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

// ---- globals --------------------------------------------------------------

namespace {
platform_test::ReplaceFault s_fault = platform_test::ReplaceFault::None;
std::string s_dataDirectory;
unsigned s_tempCounter = 0;
}  // namespace

// ---- helpers --------------------------------------------------------------

namespace {

// The directory part of a path, "/" included; "" for a bare name.
std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Writes everything, going on after interrupted or partial writes.
bool WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= (size_t)n;
  }
  return true;
}

// Creates a fresh temporary file beside the target; -1 when that is refused.
int CreateTempBeside(const std::string& target, std::string& tempPath) {
  std::string dir = DirectoryOf(target);
  // A long name is shortened, so that the temporary name stays a valid one.
  std::string base = target.substr(dir.size(), 200);
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = dir + "." + base + ".tmp." + std::to_string(getpid()) + "." +
               std::to_string(s_tempCounter++);
    int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

// ---- functions ------------------------------------------------------------

namespace platform {

// Temporary file, flush, rename: the target is never left half written.
ReplaceResult ReplaceFileContents(const std::string& path, const void* data, size_t size) {
  std::string target = path;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr) target = resolved;
  }
  // No name, or a directory in the file's place, is no file that can be opened.
  if (path.empty()) return ReplaceResult::OpenFailed;
  bool exists = stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return ReplaceResult::OpenFailed;
  // A file the player made read-only is refused, as opening it for writing
  // would be, rather than replaced behind its back.
  if (exists && access(target.c_str(), W_OK) != 0) return ReplaceResult::OpenFailed;

  std::string tempPath;
  int fd = s_fault == platform_test::ReplaceFault::Open ? -1 : CreateTempBeside(target, tempPath);
  if (fd < 0) return ReplaceResult::OpenFailed;
  // A replaced file keeps the permissions the player gave it.
  if (exists) (void)fchmod(fd, st.st_mode & 07777);

  bool ok = s_fault != platform_test::ReplaceFault::Write && WriteAll(fd, data, size) &&
            fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok && (s_fault == platform_test::ReplaceFault::Rename ||
             rename(tempPath.c_str(), target.c_str()) != 0))
    ok = false;
  if (!ok) {
    unlink(tempPath.c_str());
    return ReplaceResult::WriteFailed;
  }
  // The rename itself reaches the disk with the directory.
  std::string dir = DirectoryOf(target);
  int dfd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    (void)fsync(dfd);
    close(dfd);
  }
  return ReplaceResult::Ok;
}

// Probes by making and removing a file: permission bits alone mislead root.
bool IsDirectoryWritable(const std::string& directory) {
  std::string tempPath;
  std::string dir = directory.empty() || directory.back() == '/' ? directory : directory + "/";
  int fd = CreateTempBeside(dir + "write-probe", tempPath);
  if (fd < 0) return false;
  close(fd);
  unlink(tempPath.c_str());
  return true;
}

// mkdir -p.
bool MakeDirectories(const std::string& directory) {
  std::string path;
  size_t pos = 0;
  while (pos <= directory.size()) {
    size_t slash = directory.find('/', pos);
    if (slash == std::string::npos) slash = directory.size();
    path = directory.substr(0, slash);
    if (!path.empty() && mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return false;
    pos = slash + 1;
  }
  struct stat st;
  return stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The XDG data directory of the game.
std::string UserDataDirectory() {
  std::string dir;
  if (!s_dataDirectory.empty()) {
    dir = s_dataDirectory;
  } else {
    const char* xdg = getenv("XDG_DATA_HOME");
    const char* home = getenv("HOME");
    // Relative XDG paths are invalid by that standard and are ignored.
    if (xdg != nullptr && xdg[0] == '/')
      dir = std::string(xdg) + "/Quandrel3D";
    else if (home != nullptr && home[0] == '/')
      dir = std::string(home) + "/.local/share/Quandrel3D";
    else
      return std::string();
  }
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (!MakeDirectories(dir)) return std::string();
  return dir + "/";
}

// realpath resolves the ".." of a folder found relative to the program.
std::string ExistingDirectory(const std::string& directory) {
  char resolved[PATH_MAX];
  struct stat st;
  if (directory.empty() || realpath(directory.c_str(), resolved) == nullptr ||
      stat(resolved, &st) != 0 || !S_ISDIR(st.st_mode))
    return std::string();
  std::string dir = resolved;
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace platform

namespace platform_test {
// Fault injection for the replacement.
void SetReplaceFault(ReplaceFault fault) { s_fault = fault; }
// Redirects the data directory.
void SetUserDataDirectory(const std::string& directory) { s_dataDirectory = directory; }
}  // namespace platform_test

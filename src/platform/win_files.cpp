// File helpers on POSIX: safe replacement of a file's contents, the per-user
// data directory, a writability probe and the full path of a directory.

#include "platform/win_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

// ---- globals --------------------------------------------------------------

namespace {
platform_test::ReplaceFault s_fault = platform_test::ReplaceFault::None;
bool s_bUnnamedTemps = true;
std::string s_dataDirectory;
unsigned s_tempCounter = 0;
}  // namespace

// ---- helpers --------------------------------------------------------------

namespace {

// How writing a temporary file went.
enum class TempResult { Written, NoTemp, WriteFailed };

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

// The start of the name of every temporary file of the target, in its
// directory: hidden, and shortened so that the whole stays a valid name.
std::string TempPrefix(const std::string& target) {
  std::string prefix(".");
  prefix.append(target, DirectoryOf(target).size(), 200);
  prefix.append(".tmp.");
  return prefix;
}

// A new temporary name beside the target: the prefix, this process, a count.
std::string NextTempPath(const std::string& target) {
  return DirectoryOf(target) + TempPrefix(target) + std::to_string(getpid()) + "." +
         std::to_string(s_tempCounter++);
}

// Creates a fresh temporary file beside the target; -1 when that is refused.
int CreateTempBeside(const std::string& target, std::string& tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = NextTempPath(target);
    int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  tempPath.clear();
  return -1;
}

// A temporary name of the target whose save no longer runs: its process is
// gone, or it is this process, which saves one file at a time.
bool IsStaleTempName(const char* name, const std::string& prefix) {
  if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) return false;
  const char* p = name + prefix.size();
  char* end;
  errno = 0;
  long pid = std::strtol(p, &end, 10);
  if (end == p || *end != '.' || errno != 0 || pid <= 0 || pid > INT_MAX) return false;
  p = end + 1;
  if (*p == '\0') return false;
  for (; *p != '\0'; ++p)
    if (*p < '0' || *p > '9') return false;
  if ((pid_t)pid == getpid()) return true;
  return kill((pid_t)pid, 0) != 0 && errno == ESRCH;
}

// Removes what saves of the target that were killed before they finished
// left beside it.
void RemoveStaleTemps(const std::string& target) {
  std::string dir = DirectoryOf(target);
  std::string prefix = TempPrefix(target);
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return;
  while (dirent* e = readdir(d)) {
    if (IsStaleTempName(e->d_name, prefix)) unlink((dir + e->d_name).c_str());
  }
  closedir(d);
}

// A temporary file without a name in the directory; -1 where the file
// system (or the kernel) has none.
int OpenUnnamedTemp(const std::string& dir) {
#ifdef O_TMPFILE
  return open(dir.empty() ? "." : dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
  (void)dir;
  errno = EOPNOTSUPP;
  return -1;
#endif
}

// Gives the complete file without a name a temporary name beside the target.
// Linking through /proc needs no privilege, unlike linking the descriptor.
bool NameUnnamedTemp(int fd, const std::string& target, std::string& tempPath) {
  std::string proc = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = NextTempPath(target);
    if (linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, tempPath.c_str(), AT_SYMLINK_FOLLOW) == 0)
      return true;
    if (errno != EEXIST) break;
  }
  tempPath.clear();
  return false;
}

// Writes the data to a new temporary file beside the target, flushed to the
// disk and named tempPath. mode: the permissions to give it, or -1 for the
// usual ones. bUnnamed: first try a file that has no name until it is done.
// NoTemp leaves the reason in errno.
TempResult WriteTemp(const std::string& target, int mode, const void* data, size_t size,
                     std::string& tempPath, bool bUnnamed) {
  tempPath.clear();
  if (s_fault == platform_test::ReplaceFault::TempFile) {
    errno = EACCES;
    return TempResult::NoTemp;
  }
  int fd = bUnnamed ? OpenUnnamedTemp(DirectoryOf(target)) : -1;
  if (fd < 0) {
    bUnnamed = false;
    fd = CreateTempBeside(target, tempPath);
    if (fd < 0) return TempResult::NoTemp;
  }
  // A replaced file keeps the permissions the player gave it.
  if (mode >= 0) (void)fchmod(fd, (mode_t)mode);
  bool ok = s_fault != platform_test::ReplaceFault::Write && WriteAll(fd, data, size) &&
            fsync(fd) == 0;
  if (ok && s_fault == platform_test::ReplaceFault::Kill) raise(SIGKILL);
  if (ok && bUnnamed && !NameUnnamedTemp(fd, target, tempPath)) {
    // No /proc to name it through: the named way, from the start.
    close(fd);
    return WriteTemp(target, mode, data, size, tempPath, false);
  }
  if (close(fd) != 0) ok = false;
  if (!ok) {
    if (!tempPath.empty()) unlink(tempPath.c_str());
    tempPath.clear();
    return TempResult::WriteFailed;
  }
  return TempResult::Written;
}

// Writes the file itself, as opening it for writing does: a regular file is
// truncated, written and flushed; a device or a named pipe takes the bytes
// and stays what it is. A missing file is made.
platform::ReplaceResult WriteInPlace(const std::string& file, const void* data, size_t size) {
  // Not blocking on a named pipe that nobody reads, nor taking a terminal.
  int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return platform::ReplaceResult::OpenFailed;
  int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) (void)fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  struct stat st;
  bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  // A pipe whose reader has gone fails the write instead of ending us.
  struct sigaction ignore = {}, old = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  bool restore = !regular && sigaction(SIGPIPE, &ignore, &old) == 0;
  bool ok = s_fault != platform_test::ReplaceFault::Write &&
            (!regular || ftruncate(fd, 0) == 0) && WriteAll(fd, data, size) &&
            (!regular || fsync(fd) == 0);
  if (restore) sigaction(SIGPIPE, &old, nullptr);
  if (close(fd) != 0 && regular) ok = false;
  return ok ? platform::ReplaceResult::Ok : platform::ReplaceResult::WriteFailed;
}

}  // namespace

// ---- functions ------------------------------------------------------------

namespace platform {

// Temporary file, flush, rename: the target is never left half written,
// where the target's directory allows it.
ReplaceResult ReplaceFileContents(const std::string& path, const void* data, size_t size) {
  // No name is no file that can be opened.
  if (path.empty() || s_fault == platform_test::ReplaceFault::Open)
    return ReplaceResult::OpenFailed;
  std::string target = path;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    // A link to a file that does not exist yet: opening the link makes it.
    if (realpath(path.c_str(), resolved) == nullptr) return WriteInPlace(path, data, size);
    target = resolved;
  }
  bool exists = stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return ReplaceResult::OpenFailed;
  if (exists && !S_ISREG(st.st_mode)) return WriteInPlace(target, data, size);
  // A file the player made read-only is refused, as opening it for writing
  // would be, rather than replaced behind its back.
  if (exists && access(target.c_str(), W_OK) != 0) return ReplaceResult::OpenFailed;

  RemoveStaleTemps(target);
  std::string tempPath;
  switch (WriteTemp(target, exists ? (int)(st.st_mode & 07777) : -1, data, size, tempPath,
                    s_bUnnamedTemps)) {
    case TempResult::NoTemp:
      // A folder the player may not add to can still hold a file the player
      // may write. Any other reason (no room, a file system that takes no
      // writes) is better met with the old file whole.
      if (errno != EACCES && errno != EPERM) return ReplaceResult::OpenFailed;
      return WriteInPlace(target, data, size);
    case TempResult::WriteFailed:
      return ReplaceResult::WriteFailed;
    case TempResult::Written:
      break;
  }
  if (s_fault == platform_test::ReplaceFault::Rename ||
      rename(tempPath.c_str(), target.c_str()) != 0) {
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
// Turns the files without a name off and on.
void SetUnnamedTempFiles(bool enabled) { s_bUnnamedTemps = enabled; }
// Redirects the data directory.
void SetUserDataDirectory(const std::string& directory) { s_dataDirectory = directory; }
}  // namespace platform_test

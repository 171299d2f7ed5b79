// File helpers of the layer on Linux: replacing a file's contents safely, the
// per-user data directory, and whether a directory takes new files.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

enum class ReplaceResult {
  Ok,
  OpenFailed,   // neither a temporary file nor the target could be opened
  WriteFailed,  // writing, flushing or renaming failed
};

// Writes the bytes to a temporary file in the target's directory, flushes it
// to the disk and renames it over the target, so that the target holds either
// its old or its new contents, never a part. The temporary file has no name
// until it is complete, so a save that is killed leaves nothing behind; where
// the file system cannot do that, a named one is used and those left by
// earlier, killed saves of the same target are removed. A target that is a
// symbolic link keeps the link: the file it points to is written. A target
// that is not a regular file (a device, a named pipe) is never replaced: it
// is opened and written as it is. So is a regular file whose directory takes
// no temporary file: truncated, written and flushed in place.
ReplaceResult ReplaceFileContents(const std::string& path, const void* data, size_t size);
// True when a new file can be made in the directory (an empty name is the
// current directory). Tries it, so that it is also right for the superuser.
bool IsDirectoryWritable(const std::string& directory);
// The per-user data directory of the game, ending in "/" and made when
// needed: $XDG_DATA_HOME/Quandrel3D/, else ~/.local/share/Quandrel3D/.
// Empty when it cannot be found or made.
std::string UserDataDirectory();
// The directory's full path without "." or ".." parts or links, ending in
// "/"; empty when there is no such directory.
std::string ExistingDirectory(const std::string& directory);
// Makes the directory and its missing parents.
bool MakeDirectories(const std::string& directory);

}  // namespace platform

namespace platform_test {
// Open: nothing can be opened for writing. TempFile: no temporary file can be
// made beside the target. Write, Rename: that step fails. Kill: the process
// is killed once the data is written, before the file gets its name.
enum class ReplaceFault { None, Open, TempFile, Write, Rename, Kill };
// Makes the next replacements fail at the given stage (None: work again).
void SetReplaceFault(ReplaceFault fault);
// Whether temporary files without a name are tried (as file systems without
// them behave when false).
void SetUnnamedTempFiles(bool enabled);
// Uses the directory instead of the per-user data directory (empty: normal).
void SetUserDataDirectory(const std::string& directory);
}  // namespace platform_test

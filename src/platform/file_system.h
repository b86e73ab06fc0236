// Directories and file-system queries on program paths (DOS-style, CP866).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host_files.h"
#include "text/dos_time.h"

namespace vm {

struct DirEntry {
  std::string name;  // CP866
  bool isDirectory = false;
  bool isHidden = false;  // name starts with a dot
  int64_t size = 0;
  int64_t modified = 0;  // seconds since the epoch
};

bool FileExists(std::string_view path);  // a regular file (or anything but a directory)
bool DirectoryExists(std::string_view path);
// Whether this process may create files in the directory.
bool DirectoryWritable(std::string_view path);
// A regular file that is not a symbolic link (for files an external program left behind).
bool IsPlainFile(std::string_view path);
std::optional<int64_t> FileSize(std::string_view path);
std::optional<int64_t> FileModified(std::string_view path);  // seconds since the epoch
bool SetFileModified(std::string_view path, int64_t secondsSinceEpoch);
// The file's modification time as local date and time.
std::optional<DateTime> FileModifiedLocal(std::string_view path);
bool SetFileModifiedLocal(std::string_view path, const DateTime& local);

// All entries except "." and "..", in byte order of their names. Empty when unreadable.
std::vector<DirEntry> ListDirectory(std::string_view dir);

bool MakeDirectory(std::string_view path);    // one level
bool MakeDirectories(std::string_view path);  // with all missing parents
bool RemoveDirectory(std::string_view path);  // only when empty
bool RemoveFile(std::string_view path);
bool RenameFile(std::string_view from, std::string_view to);  // replaces an existing target
// Copies a file; a symbolic link at the target is replaced by the copy, never written through.
bool CopyFile(std::string_view from, std::string_view to);
// Removes the temporaries matching the DOS mask that killed runs left in the directory
// (RemoveStaleHostTemporaries, an hour's quiet unless told otherwise); how many were removed.
int RemoveStaleTemporaries(std::string_view dir, std::string_view mask,
                           int64_t quietSeconds = kStaleTemporaryAge);

// The process's working directory (program text, no trailing separator). The program never
// changes it: it is the start directory throughout a run.
std::string CurrentDirectory();
// The directory a path names as a working directory would be after entering it: absolute,
// symbolic links resolved (program text, no trailing separator), when the path names a
// directory this process may enter; nothing otherwise. Nothing is entered.
std::optional<std::string> DirectoryToEnter(std::string_view path);

// Free bytes on the file system holding the path, or that would hold it when it does not
// exist yet (-1 when unknown).
int64_t FreeDiskSpace(std::string_view path);
// The same in two steps, for a check repeated many times: the host path of the nearest
// existing file or directory on the way to the path, and the free bytes of its file system.
std::string NearestExistingHostPath(std::string_view path);
int64_t FreeDiskSpaceOfHostPath(const std::string& hostPath);
// Writes everything written so far to the file system that holds the host path out to the
// disk (syncfs). False when that cannot be done.
bool SyncFileSystemOfHostPath(const std::string& hostPath);

// Matches a file name against a DOS mask without regard to case (CP866 folding): "*" stands
// for any run of characters, "?" for exactly one, and "*.*" for every name, also one without
// an extension.
bool MatchesFileMask(std::string_view name, std::string_view mask);

}  // namespace vm

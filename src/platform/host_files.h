// Operations on host paths (UTF-8, already resolved with HostPath) for code that resolves a
// directory once and then works on many files in it, such as a *.MSG directory: no name
// resolution or directory scan per call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

bool HostFileExists(const std::string& hostPath);  // anything but a directory
// Names (as on disk) of the entries of a directory that are not directories, in no particular
// order; empty when the directory cannot be read (then *error, when given, is its errno; else
// 0). One pass of readdir, no stat per entry where the file system reports entry types.
std::vector<std::string> ListHostDirectoryFiles(const std::string& hostDir, int* error = nullptr);
bool RemoveHostFile(const std::string& hostPath);
// Renames without ever replacing an existing target: false when the target exists (or the
// rename fails otherwise), so two writers can never overwrite each other's file.
bool RenameHostFileNoReplace(const std::string& from, const std::string& to);

// Removes the temporary files that runs killed while writing them left in a directory: the
// regular files whose names match the DOS mask (CP866, MatchesFileMask), that nobody has
// written to for `quietSeconds` and that no process holds (File::ClaimTemporary). A run that
// is still writing a temporary holds it, on this host or another one sharing the directory;
// the quiet time covers the moments between creating a file and claiming it, and between
// letting it go and renaming it. On file systems without locks nothing is removed. Returns how
// many files were removed.
inline constexpr int64_t kStaleTemporaryAge = 60 * 60;
int RemoveStaleHostTemporaries(const std::string& hostDir, std::string_view mask,
                               int64_t quietSeconds = kStaleTemporaryAge);

}  // namespace vm

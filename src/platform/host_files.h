// Operations on host paths (UTF-8, already resolved with HostPath) for code that resolves a
// directory once and then works on many files in it, such as a *.MSG directory: no name
// resolution or directory scan per call.
#pragma once

#include <string>
#include <vector>

namespace vm {

bool HostFileExists(const std::string& hostPath);  // anything but a directory
// Names (as on disk) of the entries of a directory that are not directories, in no particular
// order; empty when the directory cannot be read. One pass of readdir, no stat per entry
// where the file system reports entry types.
std::vector<std::string> ListHostDirectoryFiles(const std::string& hostDir);
bool RemoveHostFile(const std::string& hostPath);
// Renames without ever replacing an existing target: false when the target exists (or the
// rename fails otherwise), so two writers can never overwrite each other's file.
bool RenameHostFileNoReplace(const std::string& from, const std::string& to);

}  // namespace vm

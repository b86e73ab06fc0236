// Operations on host paths (UTF-8, already resolved with HostPath) for code that resolves a
// directory once and then works on many files in it, such as a *.MSG directory: no name
// resolution or directory scan per call.
#pragma once

#include <string>

namespace vm {

bool HostFileExists(const std::string& hostPath);  // anything but a directory
bool RemoveHostFile(const std::string& hostPath);
// Renames without ever replacing an existing target: false when the target exists (or the
// rename fails otherwise), so two writers can never overwrite each other's file.
bool RenameHostFileNoReplace(const std::string& from, const std::string& to);

}  // namespace vm

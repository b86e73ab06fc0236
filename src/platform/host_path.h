// The boundary between the program's DOS-style paths and the host's file system.
//
// Settings, area ids and state files hold paths as DOS texts in CP866 ("C:\FIDO\MSGS\").
// HostPath maps such a text to a Linux path in UTF-8: "\" and "/" both separate; a drive
// prefix "X:" maps to $VELDMARK_DRIVE_X (or "/" when unset); "NUL" is /dev/null; each
// component that does not exist with the exact bytes is matched without regard to case
// against the existing entries (exact first, then the first in byte order); components that
// do not exist at all keep the case written. Directory listings are cached and re-read when
// the directory's modification time changes, so that resolving many names in one directory
// costs one scan.
#pragma once

#include <string>
#include <string_view>

namespace vm {

std::string HostPath(std::string_view dosPath);

// A host path (UTF-8) as the program's text (CP866); used for directories the host gives us
// (current directory, $TEMP, $VELDMARK_HOME).
std::string ProgramPathFromHost(std::string_view hostPath);

// Drops cached listings of one host directory (after the program itself changed it) or of all.
void ForgetDirectoryListing(const std::string& hostDir);
void ForgetAllDirectoryListings();

// Splits a program path into directory (with its trailing separator), name and extension
// (from the last dot of the name, dot included).
struct PathParts {
  std::string dir;
  std::string name;
  std::string ext;
};
PathParts SplitPath(std::string_view path);

// Appends a backslash unless the text already ends in "\" or "/" (or is empty when
// keepEmpty is set).
std::string WithTrailingSlash(std::string_view path);
std::string WithoutTrailingSlash(std::string_view path);

}  // namespace vm

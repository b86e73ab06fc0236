// The boundary between the program's DOS-style paths and the host's file system.
//
// Settings, area ids and state files hold paths as DOS texts in CP866 ("C:\FIDO\MSGS\").
// HostPath maps such a text to a Linux path in UTF-8: "\" and "/" both separate; a drive
// prefix "X:" maps to $VELDMARK_DRIVE_X (or "/" when unset); a path without either starts in
// the current directory; "NUL" (in any directory) is /dev/null; "." is dropped and ".." takes
// away the component before it (never climbing above a drive's root or "/"). Each component
// that does not exist with the exact bytes is matched without regard to case (CP866 folding)
// against the existing entries (the first in byte order when several match); components that
// do not exist at all keep the case written. CP866 names become UTF-8. A path that exists as
// written costs one lstat; otherwise directory listings are read once and kept until the
// directory's modification time changes (also when another process changed it).
#pragma once

#include <string>
#include <string_view>

namespace vm {

std::string HostPath(std::string_view dosPath);

// A host path (UTF-8) as the program's text (CP866); used for directories the host gives us
// (current directory, $TEMP, $VELDMARK_HOME).
std::string ProgramPathFromHost(std::string_view hostPath);

// The directory part of a host path, without trailing slash: "/" for "/x", "." for "x".
std::string HostParentDirectory(std::string_view hostPath);

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

// Appends a backslash unless the text already ends in "\" or "/"; an empty text becomes "\".
std::string WithTrailingSlash(std::string_view path);
std::string WithoutTrailingSlash(std::string_view path);

}  // namespace vm

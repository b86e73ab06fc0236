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

#include <ctime>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vm {

std::string HostPath(std::string_view dosPath);

// A host path (UTF-8) as the program's text (CP866); used for directories the host gives us
// (current directory, $TEMP, $VELDMARK_HOME).
std::string ProgramPathFromHost(std::string_view hostPath);

// The directory part of a host path, without trailing slash: "/" for "/x", "." for "x".
std::string HostParentDirectory(std::string_view hostPath);
// The last component of a host path.
std::string HostBaseName(std::string_view hostPath);

// A change that this process makes to the entries of one host directory. Made before the
// change and committed after it succeeded, it keeps a cached listing of the directory up to
// date instead of dropping it, so that a run that creates thousands of files in one directory
// does not read the directory again after each of them. A listing that was not current before
// the change is dropped. (A change by another process within the same clock tick as ours goes
// unnoticed until the directory changes again, as it would had the listing been read then.)
class DirectoryChange {
 public:
  explicit DirectoryChange(std::string hostDir);
  void Added(std::string utf8Name) { changes_.emplace_back(true, std::move(utf8Name)); }
  void Removed(std::string utf8Name) { changes_.emplace_back(false, std::move(utf8Name)); }
  void Commit();

 private:
  std::string dir_;
  bool known_ = false;
  timespec before_{};
  std::vector<std::pair<bool, std::string>> changes_;
};

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

// A drive of the host as the installation's search walks it: which drive a directory lies
// on, and the entries of its directories without following symbolic links.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm {

struct HostDrive {
  // "X:" for a drive mapped by $VELDMARK_DRIVE_X; "/" for the file system's root.
  std::string name;
  std::string hostRoot;  // host path (UTF-8), no trailing slash except for "/" itself

  // The program path (CP866) of an entry in a directory of the drive: "C:\" + "FIDO" gives
  // "C:\FIDO", "C:\FIDO" + "AREAS.BBS" gives "C:\FIDO\AREAS.BBS"; on "/" the separator is "/".
  std::string Join(const std::string& programDir, const std::string& entry) const;
  // The program path of the drive's root: "C:\" or "/".
  std::string RootPath() const;
};

// The drive of a directory (a program path): the letter X whose $VELDMARK_DRIVE_X directory
// holds it (the deepest one when several do), else the file system's root.
HostDrive DriveOf(std::string_view directory);

struct DriveEntry {
  enum class Kind { File, Directory, Other };
  std::string hostName;  // as on disk (UTF-8)
  std::string name;      // CP866
  // A symbolic link counts as the file it names; a link to a directory, a dangling link,
  // a device or a socket is Other, so that a walk never leaves the tree or runs in a circle.
  Kind kind = Kind::Other;
};

// The entries of a host directory except "." and "..", in byte order of their names; empty
// when it cannot be read.
std::vector<DriveEntry> ListDriveDirectory(const std::string& hostDir);

// Whether a host directory holds the kernel's views (/proc, /sys, /dev, /run) rather than
// files: a search of the disk never enters it.
bool IsKernelDirectory(const std::string& hostDir);

}  // namespace vm

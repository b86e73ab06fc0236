// A host directory held open, for a writer that makes many files in one directory (a *.MSG
// area): the names in it are looked up from the open directory, one path component, instead
// of along the whole path each time.
#pragma once

#include <string>

namespace vm {

class HostDirectory {
 public:
  HostDirectory() = default;
  ~HostDirectory();
  HostDirectory(const HostDirectory&) = delete;
  HostDirectory& operator=(const HostDirectory&) = delete;

  // The directory at a host path (UTF-8, resolved); false (errno in LastError) when it
  // cannot be opened.
  bool Open(const std::string& hostDir);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int LastError() const { return error_; }
  int Descriptor() const { return fd_; }
  // The path it was opened by, with a trailing slash.
  const std::string& Path() const { return path_; }

  // Whether the directory holds something other than a directory by that name.
  bool HasFile(const std::string& name) const;

 private:
  int fd_ = -1;
  int error_ = 0;
  std::string path_;
};

}  // namespace vm

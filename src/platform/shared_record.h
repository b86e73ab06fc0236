// A few bytes that several processes read and replace in turn: each update holds a lock on
// the whole file, waiting while another process holds it; the system drops the lock when a
// process ends, however it ends.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vm {

class SharedRecord {
 public:
  SharedRecord() = default;
  ~SharedRecord();
  SharedRecord(const SharedRecord&) = delete;
  SharedRecord& operator=(const SharedRecord&) = delete;

  // The record `name` of this user that every run on the machine shares, in /var/tmp (kept
  // across reboots). False when there is no such place, or the name there is a link or not
  // this user's own regular file.
  bool OpenMachineWide(std::string_view name);
  // A record in a file of a program path, created when missing; never through a link.
  bool Open(std::string_view programPath);
  bool IsOpen() const { return fd_ >= 0; }

  // Under the lock: hands the stored bytes to `update` and stores what it returns in their
  // place, flushed to the disk before the lock is given back. False (nothing stored) when the
  // file could not be locked, read, written or flushed.
  bool Update(const std::function<std::string(std::string_view stored)>& update);

 private:
  bool OpenHostFile(const std::string& hostPath, bool mustBeOwn);
  void Close();

  int fd_ = -1;
};

}  // namespace vm

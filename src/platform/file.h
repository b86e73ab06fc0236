// Files on program paths: an open file with positioned reads and writes, byte-range locks,
// and whole-file helpers.
#pragma once

#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>

namespace vm {

class HostDirectory;

// What fstat says of an open file, to tell whether it changed since.
struct FileState {
  int64_t size = -1;  // -1 when it could not be asked
  int64_t links = 0;
  int64_t modifiedNs = 0;
  bool operator==(const FileState&) const = default;
};

// File::LastError of an open refused because the path names something other than a regular
// file: a FIFO, a device, a socket. Such a "file" could block the open or the reads, or never
// end.
inline constexpr int kNotRegularFile = ENXIO;

enum class OpenMode {
  Read,       // existing file, read only
  ReadWrite,  // existing file, read and write
  Create,     // create or truncate, read and write
  CreateNew,  // create; fails when the file exists
  Append,     // create if missing, writes go to the end
};

// What a creating open (Create, CreateNew, Append) does with a symbolic link at the name.
// Files that the program makes for itself (its log, state files, reports, temporaries, decoded
// files and lists) replace a link: a link placed there must never make the program overwrite
// or extend the file it points to. Files that other programs share (message bases and their
// lists) follow it, as those programs do.
enum class Links {
  Follow,
  // The link is removed and a new file made in its place; ReadWrite, which makes nothing,
  // refuses a link (ELOOP) instead.
  Replace,
};

class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens a program path (DOS-style, CP866). Opens that fail with access denied are retried
  // (150 attempts) as other programs may hold the file for a moment. Only regular files are
  // opened (a directory fails with EISDIR, anything else with kNotRegularFile), except that
  // the null device ("NUL") may be opened for writing.
  bool Open(std::string_view programPath, OpenMode mode, Links links = Links::Follow);
  // Opens a host path as it is (UTF-8, no mapping).
  bool OpenHost(const std::string& hostPath, OpenMode mode, Links links = Links::Follow);
  // Creates a regular file in an open host directory that has no name until NameIn gives it
  // one: no reader of the directory sees it while it is being written, and a process killed
  // before naming it leaves nothing behind. False where the file system cannot make such
  // files (LastError EOPNOTSUPP, EISDIR or EINVAL then).
  bool CreateUnnamedIn(const HostDirectory& dir);
  // Gives the file made by CreateUnnamedIn a name in that directory; never replaces a file
  // (LastError EEXIST when the name is taken).
  bool NameIn(const HostDirectory& dir, const std::string& name);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int LastError() const { return error_; }  // errno of the last failure, 0 when none

  int64_t Size() const;  // -1 on error
  // How many directory entries name the open file: 0 once it was deleted; -1 on error.
  int64_t LinkCount() const;
  FileState State() const;
  // Positioned I/O; the return value is the number of bytes transferred (short at end of file).
  size_t ReadAt(uint64_t offset, void* buffer, size_t size);
  bool WriteAt(uint64_t offset, const void* data, size_t size);
  // Sequential I/O from the file's own position.
  size_t Read(void* buffer, size_t size);
  bool Write(const void* data, size_t size);
  bool Write(std::string_view data) { return Write(data.data(), data.size()); }
  bool Seek(uint64_t offset);
  bool Truncate(uint64_t size);
  bool Sync();

  // Byte-range write lock (Linux open-file-description lock). Retries up to `attempts` times
  // with 100 ms pauses while another process holds the range.
  bool LockRange(uint64_t offset, uint64_t length, int attempts = 150);
  bool UnlockRange(uint64_t offset, uint64_t length);
  // Marks a temporary file that this run is writing, until it is closed: RemoveStaleTemporaries
  // never removes a file so held. Call it at once after creating the file. (A whole-file lock:
  // the system drops it when the process dies, however it dies.)
  bool ClaimTemporary();

  int Descriptor() const { return fd_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

// Whole-file helpers on program paths.
// Reads a regular file of at most maxSize bytes. On failure returns false with contents
// empty and the reason in error: the errno of the open or the read, kNotRegularFile, EISDIR,
// or EFBIG when the file is larger than maxSize.
bool ReadWholeFile(std::string_view programPath, size_t maxSize, std::string& contents, int& error);
// Whether both files can be read and hold the same bytes.
bool SameContents(std::string_view programPathA, std::string_view programPathB);
// Writes the bytes to a temporary file in the same directory, flushes it to disk and renames it
// over the target, so a crash or a full disk never leaves a half-written file (and a symbolic
// link at the target is replaced, not followed). Temporaries of
// the same target that a killed run left behind are removed first (RemoveStaleTemporaries).
bool WriteFileAtomically(std::string_view programPath, std::string_view contents);

}  // namespace vm

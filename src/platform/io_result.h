// The result codes of failed file operations, in the DOS numbering that the message bases
// report (and that other FidoNet programs print), with a short text of each for the log and
// the console.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vm {

class File;

namespace io {
inline constexpr uint16_t kFileNotFound = 2;
inline constexpr uint16_t kPathNotFound = 3;
inline constexpr uint16_t kTooManyOpenFiles = 4;
inline constexpr uint16_t kAccessDenied = 5;
// A region lock that another program holds (after the retries).
inline constexpr uint16_t kLockViolation = 33;
inline constexpr uint16_t kReadFault = 100;
inline constexpr uint16_t kWriteFault = 101;
}  // namespace io

// The code of a failed operation from its errno.
uint16_t IoCode(int err, bool writing);
// The code of a file's last failure. A missing file whose directory is missing too is
// kPathNotFound, as DOS told them apart.
uint16_t IoCode(const File& file, std::string_view programPath, bool writing);
// What an I/O code means, in CP866; empty for a code that is not an I/O code.
std::string IoReason(uint16_t code);

}  // namespace vm

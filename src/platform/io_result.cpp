#include "platform/io_result.h"

#include <cerrno>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {

uint16_t IoCode(int err, bool writing) {
  switch (err) {
    case ENOENT: return io::kFileNotFound;
    case ENOTDIR: return io::kPathNotFound;
    case EMFILE:
    case ENFILE: return io::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS: return io::kAccessDenied;
    default: return writing ? io::kWriteFault : io::kReadFault;
  }
}

uint16_t IoCode(const File& file, std::string_view programPath, bool writing) {
  uint16_t code = IoCode(file.LastError(), writing);
  if (code == io::kFileNotFound) {
    std::string dir = SplitPath(programPath).dir;
    if (!dir.empty() && !DirectoryExists(dir)) return io::kPathNotFound;
  }
  return code;
}

std::string IoReason(uint16_t code) {
  switch (code) {
    case io::kFileNotFound: return Cp866("нет файла");
    case io::kPathNotFound: return Cp866("нет каталога");
    case io::kTooManyOpenFiles: return Cp866("слишком много открытых файлов");
    case io::kAccessDenied: return Cp866("нет прав доступа");
    case io::kLockViolation: return Cp866("база занята другой программой");
    case io::kReadFault: return Cp866("ошибка чтения");
    case io::kWriteFault: return Cp866("ошибка записи");
    default: return {};
  }
}

}  // namespace vm

#include "app/run_lock.h"

#include "platform/console.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr const char* kLockFileName = "veldmark.lck";

}  // namespace

RunLock::Result RunLock::Acquire(const std::string& programDir, Console& console, int attempts) {
  if (!file_.Open(programDir + kLockFileName, OpenMode::Append, Links::Replace))
    return Result::NoLockFile;
  if (file_.LockRange(0, 1, 1)) return Result::Taken;
  console.WriteLine(Cp866("Другая копия Veldmark работает с этим каталогом, жду ее окончания..."));
  return attempts > 1 && file_.LockRange(0, 1, attempts - 1) ? Result::Taken : Result::Busy;
}

}  // namespace vm

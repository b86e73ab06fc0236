#include "decode/duplicate_policy.h"

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/run_log.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr std::string_view kDupesDirectory = "DUPES";

std::string In(std::string_view directory, std::string_view name) {
  return WithTrailingSlash(directory) + std::string(name);
}

}  // namespace

std::string PlaceDecodedFile(DupesPolicy policy, std::string_view directory,
                             std::string_view temporary, std::string_view name, const RunLog& log) {
  const std::string target = In(directory, name);
  if (FileExists(target)) return ApplyDuplicatePolicy(policy, directory, temporary, name, log);
  RenameFile(In(directory, temporary), target);
  log.WriteLog(Cp866("    Записан новый файл"));
  return target;
}

std::string ApplyDuplicatePolicy(DupesPolicy policy, std::string_view directory,
                                 std::string_view temporary, std::string_view name,
                                 const RunLog& log) {
  const std::string fresh = In(directory, temporary);
  const std::string target = In(directory, name);
  switch (policy) {
    case DupesPolicy::Move: {
      const std::string dupes = In(directory, kDupesDirectory);
      MakeDirectory(dupes);
      const std::string moved = In(dupes, name);
      RemoveFile(moved);
      RenameFile(fresh, moved);
      log.WriteLog(Cp866("      Перемещен в \\DUPES"));
      return moved;
    }
    case DupesPolicy::Overwrite:
      RemoveFile(target);
      RenameFile(fresh, target);
      log.WriteLog(Cp866("    Записан новый файл"));
      return target;
    case DupesPolicy::Delete:
      break;
  }
  RemoveFile(fresh);
  log.WriteLog(Cp866("      Оставлен старый файл"));
  return target;
}

}  // namespace vm

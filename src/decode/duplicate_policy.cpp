#include "decode/duplicate_policy.h"

#include "decode/dsc_file.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/run_log.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr std::string_view kDupesDirectory = "DUPES";
constexpr std::string_view kFilesBbs = "files.bbs";

std::string In(std::string_view directory, std::string_view name) {
  return WithTrailingSlash(directory) + std::string(name);
}

// Names that a decoded file must not take in the directory, even when nothing carries them
// yet: files.bbs and DUPES are the program's own; a subdirectory or a description written for
// another file cannot be replaced by a posting.
bool IsReservedName(std::string_view directory, std::string_view name) {
  const std::string target = In(directory, name);
  return EqualNoCaseCp866(name, kFilesBbs) || EqualNoCaseCp866(name, kDupesDirectory) ||
         DirectoryExists(target) || IsDescriptionFile(target);
}

class Placement {
 public:
  Placement(std::string_view directory, std::string_view temporary, std::string_view name,
            const RunLog& log)
      : directory_(directory), fresh_(In(directory, temporary)), name_(name), log_(log) {}

  std::optional<PlacedFile> RenameTo(const std::string& target, std::string_view logLine) {
    if (!RenameFile(fresh_, target)) return Failed();
    log_.WriteLog(Cp866(logLine));
    return PlacedFile{target};
  }

  std::optional<PlacedFile> MoveToDupes() {
    const std::string dupes = In(directory_, kDupesDirectory);
    if (!DirectoryExists(dupes)) MakeDirectory(dupes);
    const std::string moved = In(dupes, name_);
    if (!DirectoryExists(dupes) || DirectoryExists(moved)) return Failed();
    return RenameTo(moved, "      Перемещен в \\DUPES");
  }

  std::optional<PlacedFile> KeepOld(const std::string& target, bool alreadyThere = false) {
    RemoveFile(fresh_);
    log_.WriteLog(Cp866("      Оставлен старый файл"));
    return PlacedFile{target, alreadyThere};
  }

  bool SameAsFresh(const std::string& target) const { return SameContents(fresh_, target); }

 private:
  // The decoded bytes are not left behind under a name nobody knows: the messages stay, and
  // the next run decodes the file again.
  std::optional<PlacedFile> Failed() {
    RemoveFile(fresh_);
    log_.WriteLog(Cp866("    Не могу записать файл ") + name_);
    return std::nullopt;
  }

  const std::string_view directory_;
  const std::string fresh_;
  const std::string name_;
  const RunLog& log_;
};

}  // namespace

std::optional<PlacedFile> PlaceDecodedFile(DupesPolicy policy, std::string_view directory,
                                           std::string_view temporary, std::string_view name,
                                           bool keepIdentical, const RunLog& log) {
  Placement placement(directory, temporary, name, log);
  if (IsReservedName(directory, name)) return placement.MoveToDupes();
  const std::string target = In(directory, name);
  if (!FileExists(target)) return placement.RenameTo(target, "    Записан новый файл");
  if (keepIdentical && placement.SameAsFresh(target)) return placement.KeepOld(target, true);
  switch (policy) {
    case DupesPolicy::Move: return placement.MoveToDupes();
    case DupesPolicy::Overwrite:
      // rename replaces the old file in one step: a kill leaves one of the two, never neither.
      return placement.RenameTo(target, "    Записан новый файл");
    case DupesPolicy::Delete: break;
  }
  return placement.KeepOld(target);
}

}  // namespace vm

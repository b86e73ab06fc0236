#include "decode/files_bbs.h"

#include "platform/host_path.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kNameField = 14;

}  // namespace

bool FilesBbs::Open(std::string_view directory, FilesBbsMode mode) {
  file_.Close();
  switch (mode) {
    case FilesBbsMode::Off: return file_.Open("NUL", OpenMode::Append);
    case FilesBbsMode::Append:
      return file_.Open(WithTrailingSlash(directory) + "files.bbs", OpenMode::Append,
                        Links::Replace);
    case FilesBbsMode::Rewrite:
      return file_.Open(WithTrailingSlash(directory) + "files.bbs", OpenMode::Create,
                        Links::Replace);
  }
  return false;
}

void FilesBbs::WriteLine(std::string_view text) {
  if (!file_.IsOpen()) return;
  file_.Write(text);
  file_.Write("\r\n");
}

void FilesBbs::WriteEntry(std::string_view name, const std::vector<std::string>& description,
                          bool allFix) {
  for (const std::string& line : FilesBbsEntry(name, description, allFix)) WriteLine(line);
}

std::vector<std::string> FilesBbsEntry(std::string_view name,
                                       const std::vector<std::string>& description, bool allFix) {
  std::vector<std::string> lines;
  std::string first = allFix ? std::string(name) + " " : FieldPad(kNameField, 0, name);
  if (!description.empty()) first += description.front();
  lines.push_back(std::move(first));
  for (size_t i = 1; i < description.size(); ++i)
    lines.push_back((allFix ? std::string(">") : std::string(kNameField, ' ')) + description[i]);
  return lines;
}

}  // namespace vm

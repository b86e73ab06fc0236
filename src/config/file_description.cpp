#include "config/file_description.h"

#include "config/settings.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/process.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr std::string_view kDizName = "file_id.diz";
// A description is a few lines; an archive that unpacks a huge file_id.diz must not flood
// files.bbs and the report, nor memory.
constexpr size_t kMostDizBytes = 64 * 1024;
constexpr size_t kMostDizLines = 30;
constexpr char kDosEndOfFile = 0x1A;

// A program path as the host names it, for the command line of an external program: absolute,
// so that a name beginning with "-" is never taken for an option.
std::string ForExternalProgram(std::string_view path) {
  return ProgramPathFromHost(HostPath(path));
}

}  // namespace

const ArchiverEntry* FindArchiver(const Settings& settings, std::string_view fileName) {
  const size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return nullptr;
  const std::string_view extension = fileName.substr(dot + 1);
  for (const ArchiverEntry& archiver : settings.archivers)
    if (!extension.empty() && EqualNoCaseCp866(archiver.extension, extension)) return &archiver;
  return nullptr;
}

std::vector<std::string> DescriptionLines(std::string_view text) {
  text = text.substr(0, text.find(kDosEndOfFile));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size() && lines.size() < kMostDizLines) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line;
    for (char c : text.substr(start, end - start)) {
      if (c == '\r') continue;
      line += static_cast<unsigned char>(c) < 32 ? ' ' : c;
    }
    lines.push_back(CutTo(line, kMaxText));
    start = end + 1;
  }
  while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
  return lines;
}

std::vector<std::string> ExtractFileIdDiz(const ArchiverEntry& archiver, std::string_view file,
                                          std::string_view extractDirectory) {
  const std::string diz = WithTrailingSlash(extractDirectory) + std::string(kDizName);
  // One left from elsewhere must not pass for this archive's description.
  RemoveFile(diz);
  RunCommand(archiver.command,
             {ForExternalProgram(file), std::string(kDizName),
              ForExternalProgram(WithoutTrailingSlash(extractDirectory))},
             ChildSetup{.workingDirectory = std::string(extractDirectory), .hideOutput = true});
  // An archive can carry file_id.diz as a symbolic link to any file of the system.
  File in;
  if (!IsPlainFile(diz) || !in.Open(diz, OpenMode::Read)) {
    RemoveFile(diz);
    return {};
  }
  std::string text(kMostDizBytes, '\0');
  text.resize(in.Read(text.data(), text.size()));
  in.Close();
  RemoveFile(diz);
  return DescriptionLines(text);
}

std::vector<std::string> DescribeFile(const Settings& settings, std::string_view file,
                                      std::string_view subject, std::string_view extractDirectory) {
  const PathParts parts = SplitPath(file);
  if (const ArchiverEntry* archiver = FindArchiver(settings, parts.name + parts.ext)) {
    std::vector<std::string> lines = ExtractFileIdDiz(*archiver, file, extractDirectory);
    if (!lines.empty()) return lines;
  }
  return {Cp866("Subj: ") + std::string(subject)};
}

}  // namespace vm

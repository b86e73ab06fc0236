#include "app/program_paths.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/host_path.h"

namespace vm {
namespace {

// `dir` made absolute from `current` (both CP866 texts of host paths), with "." and ".."
// resolved, ending in "/".
std::string AbsoluteDirectory(std::string_view dir, const std::string& current) {
  std::string joined =
      !dir.empty() && dir.front() == '/' ? std::string(dir) : current + "/" + std::string(dir);
  std::vector<std::string_view> parts;
  std::string_view rest = joined;
  while (!rest.empty()) {
    size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string result = "/";
  for (std::string_view part : parts) {
    result += part;
    result += '/';
  }
  return result;
}

}  // namespace

ProgramPaths FindProgramPaths() {
  ProgramPaths paths;
  paths.StartDir = CurrentDirectory();
  std::string home = GetEnvironment("VELDMARK_HOME");
  if (home.empty()) home = ExecutableDirectory();
  paths.ProgramDir = AbsoluteDirectory(ProgramPathFromHost(home), paths.StartDir);
  std::string temp = GetEnvironment("TEMP");
  paths.TempDir = AbsoluteDirectory(ProgramPathFromHost(temp), paths.StartDir);
  return paths;
}

}  // namespace vm

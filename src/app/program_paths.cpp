#include "app/program_paths.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/fatal.h"
#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/host_path.h"
#include "text/cp866.h"

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

constexpr const char* kHomeVariable = "VELDMARK_HOME";
constexpr const char* kTemplateName = "VELDMARK.TPL";

}  // namespace

ProgramPaths FindProgramPaths() {
  ProgramPaths paths;
  paths.StartDir = CurrentDirectory();
  const std::string executableDir = ExecutableDirectory();
  paths.ExecutableDir = AbsoluteDirectory(ProgramPathFromHost(executableDir), paths.StartDir);
  const std::string share = AbsoluteDirectory(paths.ExecutableDir + "../share/veldmark", "/");
  if (DirectoryExists(share)) paths.ShareDir = share;
  const std::string home = GetEnvironment(kHomeVariable);
  if (!home.empty())
    paths.ProgramDir = AbsoluteDirectory(ProgramPathFromHost(home), paths.StartDir);
  else if (paths.ShareDir.empty() && DirectoryWritable(paths.ExecutableDir))
    paths.ProgramDir = paths.ExecutableDir;
  std::string temp = GetEnvironment("TEMP");
  paths.TempDir = AbsoluteDirectory(ProgramPathFromHost(temp), paths.StartDir);
  return paths;
}

void RequireProgramDirectory(const ProgramPaths& paths) {
  if (!paths.ProgramDir.empty()) return;
  const std::string example =
      Cp866("  VELDMARK_HOME=/srv/fido/veldmark veldmark    (подробнее: man veldmark)");
  if (!paths.ShareDir.empty())
    FatalExit(Cp866("Veldmark установлен в ") + paths.ExecutableDir +
              Cp866(", а свои настройки, шаблон и файлы\r\nсостояния хранит в каталоге узла, "
                    "который задает переменная окружения\r\nVELDMARK_HOME, например:\r\n") +
              example);
  FatalExit(Cp866("Каталог программы ") + paths.ExecutableDir +
            Cp866(" закрыт для записи, а Veldmark хранит в нем\r\nнастройки, шаблон и файлы "
                  "состояния. Задайте каталог узла переменной окружения\r\nVELDMARK_HOME, "
                  "например:\r\n") +
            example);
}

void ProvideExampleTemplate(const ProgramPaths& paths, Console& console) {
  const std::string example = paths.ShareDir + kTemplateName;
  if (paths.ShareDir.empty() || FileExists(paths.ProgramDir + kTemplateName) ||
      !DirectoryExists(paths.ProgramDir) || !FileExists(example))
    return;
  if (CopyFile(example, paths.ProgramDir + kTemplateName))
    console.WriteLine(Cp866("Шаблон сообщений VELDMARK.TPL скопирован из ") + paths.ShareDir +
                      Cp866(" (образец: поправьте его под себя)"));
}

std::string DescribeProgramDirectory(const ProgramPaths& paths) {
  std::string text = Cp866("Каталог программы: ") + paths.ProgramDir;
  if (!DirectoryExists(paths.ProgramDir)) text += Cp866(" (такого каталога нет)");
  return text + "\r\n" +
         (GetEnvironment(kHomeVariable).empty()
              ? Cp866("Это каталог veldmark; другой задает переменная окружения VELDMARK_HOME")
              : Cp866("Его задает переменная окружения VELDMARK_HOME"));
}

}  // namespace vm

#include "config/installation.h"

#include <optional>
#include <string_view>

#include "config/area_readers.h"
#include "config/disk_search.h"
#include "config/first_settings_file.h"
#include "config/golded_setup.h"
#include "config/settings_reader.h"
#include "platform/fatal.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/net_address.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

[[noreturn]] void Cancelled() { FatalExit(Cp866("Установка прервана, VELDMARK.CTL не записан")); }

// A typed answer without blanks around it; nothing when it was cancelled.
std::optional<std::string> TypedLine(Console& console) {
  std::optional<std::string> line = ReadLine(console);
  if (line) *line = Trim(*line);
  return line;
}

// An answer the installation cannot go on without.
std::string RequiredLine(Console& console) {
  std::optional<std::string> line = TypedLine(console);
  if (!line) Cancelled();
  return *line;
}

std::string AskName(Console& console) {
  for (;;) {
    console.Write(Cp866("Ваше имя латинскими буквами (например Ivan Petrov): "));
    std::string name = RequiredLine(console);
    // The settings file keeps the name between double quotes: one inside would end it early.
    std::erase(name, '"');
    if (!name.empty()) return name;
    console.WriteLine(Cp866("Имя не может быть пустым!"));
  }
}

std::string AskAddress(Console& console) {
  for (;;) {
    console.Write(Cp866("Ваш адрес (например 2:5020/9999): "));
    if (auto address = ParseNetAddress(RequiredLine(console), NetAddress{}))
      return FormatNetAddress(*address);
    console.WriteLine(Cp866("Неправильный адрес!"));
  }
}

// The directory is made at once (a failure is passed over); it keeps the case it was typed in.
std::string AskRoot(Console& console) {
  console.WriteLine(
      Cp866("Укажите директорию для раскодированных файлов. Если введенной директории не"));
  console.WriteLine(
      Cp866("существует, она будет создана. (Нажмите enter, если Вы не хотите сейчас"));
  console.WriteLine(Cp866("вводить каталог):"));
  std::string root = WithoutTrailingSlash(RequiredLine(console));
  if (!root.empty()) MakeDirectories(root);
  return root;
}

DiskSearchResult SearchDrive(const HostDrive& drive, Console& console) {
  console.WriteLine(Cp866("Произведится поиск на диске ") + drive.name +
                    Cp866(" файлов конфигурации. Необходим лишь"));
  console.WriteLine(Cp866("один из них. Рекомендуется использовать FASTECHO.CFG. Esc - отмена. "));
  return SearchDisk(drive, console);
}

// Asked before any question, so that nobody answers them all for a file that cannot be written.
bool CanWriteProgramDir(const ProgramPaths& paths) {
  const std::string probe = paths.ProgramDir + "VELDMARK.$$$";
  File file;
  if (!file.Open(probe, OpenMode::Create, Links::Replace)) return false;
  file.Close();
  RemoveFile(probe);
  return true;
}

// Keeps a file that is about to be replaced as its backup, replacing an older backup, unless
// it is empty. A file that cannot be backed up is not replaced.
void KeepBackup(const ProgramPaths& paths, const std::string& name, const std::string& backup,
                Console& console) {
  const std::string path = paths.ProgramDir + name;
  std::optional<int64_t> size = FileSize(path);
  if (!size || *size == 0) return;
  if (!CopyFile(path, paths.ProgramDir + backup)) FatalExit(Cp866("Не могу записать ") + backup);
  console.WriteLine(Cp866("Прежний ") + name + Cp866(" сохранен как ") + backup);
}

void WriteSettingsFiles(const ProgramPaths& paths, const FirstSettings& values, Console& console) {
  // Also a settings file too short to be read (which started this installation) is kept: it is
  // the sysop's, whatever it holds.
  KeepBackup(paths, "VELDMARK.CTL", "VELDMARK.BAK", console);
  if (!WriteFileAtomically(paths.ProgramDir + "VELDMARK.CTL", FirstSettingsFileText(values)))
    FatalExit(Cp866("Не могу записать VELDMARK.CTL"));
  KeepBackup(paths, "AREADEFS.CTL", "AREADEFS.BAK", console);
  WriteDefaultAreaDefinitions(paths);
}

void OfferGoldEd(const InstallRequest& request, const std::string& goldEdDir, Console& console) {
  console.WriteLine(
      Cp866("  Произвести ли настройку GoldEd для использования возможности ответа на"));
  // A cancelled key question leaves GoldEd as it was; the settings are written already.
  if (AskYesNo(console, Cp866("сообщение? (Y/N)")))
    SetUpGoldEd(goldEdDir, request.programFile, console);
}

void PrintClosingText(const InstallRequest& request, const MessageBasePaths& bases,
                      Console& console) {
  if (request.manual) {
    console.WriteLine("");
    console.WriteLine(Cp866("Не забудьте отредактировать файлы VELDMARK.CTL и AREADEFS.CTL."));
  } else if (bases.AREASPATH.empty() && bases.SQUISHPATH.empty() && bases.FASTECHOCFG.empty() &&
             bases.TERMINATECFG.empty()) {
    console.WriteLine(Cp866("  При осмотре диска ") + request.drive.name +
                      Cp866(" нужных файлов не обнаружено. Вам придется вручную"));
    console.WriteLine(Cp866("отредактировать файлы VELDMARK.CTL и AREADEFS.CTL. "));
  } else {
    console.WriteLine(
        Cp866("  Установка закончена. Пожалуйста, посмотрите файлы VELDMARK.CTL и AREADEFS.CTL"));
  }
  console.WriteLine("");
  console.WriteLine(Cp866("  Вопросы, замечания и пожелания присылайте автору Veldmark"));
  console.WriteLine(Cp866("  в конференцию поддержки программы."));
  console.WriteLine(Cp866("Нажмите любую клавишу."));
  console.WaitKey();
}

void InstallGoldEdOnly(const InstallRequest& request, Console& console) {
  console.WriteLine(
      Cp866("Введите путь к где находиться редактор GoldEd (например c:\\fido\\golded):"));
  std::optional<std::string> dir = TypedLine(console);
  console.WriteLine("");
  if (!dir ||
      !SetUpGoldEd(dir->empty() ? *dir : WithTrailingSlash(*dir), request.programFile, console))
    FatalExit(Cp866("Установка прервана"));
  console.WriteLine("");
  console.WriteLine(Cp866("Установка закончена"));
}

}  // namespace

void Install(const InstallRequest& request, const ProgramPaths& paths, Console& console) {
  console.SetTitle(Cp866("Veldmark - установка"));
  console.WriteLine(Cp866("Установка..."));
  console.WriteLine("");
  if (request.goldEdOnly) return InstallGoldEdOnly(request, console);
  if (!CanWriteProgramDir(paths)) FatalExit(Cp866("Не могу записать VELDMARK.CTL"));

  FirstSettings values;
  values.TEMP = paths.TempDir;
  DiskSearchResult search;
  if (request.manual) {
    values.NAME = Cp866("<Вася Пупкин>");
    values.ADDRESS = "1:1/1";
  } else {
    values.NAME = AskName(console);
    values.ADDRESS = AskAddress(console);
    search = SearchDrive(request.drive, console);
    values.bases = search.bases;
    values.ROOT = AskRoot(console);
  }
  WriteSettingsFiles(paths, values, console);
  if (!request.manual && !search.goldEdDir.empty()) OfferGoldEd(request, search.goldEdDir, console);
  PrintClosingText(request, values.bases, console);
}

}  // namespace vm

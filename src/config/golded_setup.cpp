#include "config/golded_setup.h"

#include <optional>
#include <string>

#include "platform/file.h"
#include "platform/file_system.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr std::string_view kAddedBy = "Veldmark v1.61.40 Win32b ";

// Appends the lines to an existing file; GoldEd's files are not created where none were.
bool AppendToExisting(const std::string& path, std::string_view lines) {
  File file;
  return FileExists(path) && file.Open(path, OpenMode::Append) && file.Write(lines);
}

std::string AddedLines(std::string_view entry) {
  return "\r\n" + Cp866(";Добавлено ") + std::string(kAddedBy) + "\r\n" + std::string(entry) +
         "\r\n\r\n";
}

}  // namespace

bool SetUpGoldEd(std::string_view goldEdDir, std::string_view programFile, Console& console) {
  console.WriteLine(
      Cp866("  Введите клавишу, которой Вы будете пользоваться (например f10 или ^a Помните,"));
  console.WriteLine(
      Cp866("что клавиша должна быть не занята. Смотрите описание GoldEd за подробностями):"));
  std::optional<std::string> key;
  do {
    key = ReadLine(console);
    if (!key) return false;
  } while (key->empty());

  const std::string dir(goldEdDir);
  // The program's path keeps its case: GoldEd runs it on a file system that tells case apart.
  if (!AppendToExisting(dir + "golded.cfg", AddedLines("ExternUtil 10 " + std::string(programFile) +
                                                       " /Open @OEcho @OName @OAddr")))
    console.WriteLine(Cp866("Ошибка открытия ") + UpCaseCp866(dir) + "GOLDED.CFG");
  if (!AppendToExisting(dir + "goldkeys.cfg", AddedLines(UpCaseCp866(*key) + " ExternUtil10")))
    console.WriteLine(Cp866("Ошибка открытия ") + dir + "GOLDKEYS.CFG");
  return true;
}

}  // namespace vm

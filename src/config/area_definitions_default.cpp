// The default AREADEFS.CTL, offered when the file is missing; its comment header documents the
// keywords.
#include <string>

#include "config/area_readers.h"
#include "platform/fatal.h"
#include "platform/file.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr const char* kDefaultLines[] = {
    ";Файл определения параметров областей",
    ";Здесь содержатся необязательные дополнительные параметры",
    ";",
    ";Формат:",
    ";  AREA <имя> , где <имя> - название области в AREAS.BBS или в строке",
    ";   Area в VELDMARK.CTL. Можно использовать шаблоны (например",
    ";   \"R?.UUE*\" соответствует \"RU.UUENCODE\")",
    ";Далее следуют необязательные параметры",
    ";  NAME \"<имя>\" - переопределение названия",
    ";  FILES <маска> <путь> - соответствующие файлы будут раскодтрованы в другой",
    ";каталог. Пример: FILES *.pas d:\\programs Может быть задано много таких",
    ";путей (насколько хватит памяти)",
    ";  SECTIONSPERDAY <число> - число секций в сутки, по умолчанию - все секции",
    ";  HISTORYLENGTH <число> - число дней в течение которого уже раскодированные",
    ";файлы будут присутствовать в истории раскодированных файлов (файл",
    ";veldmark.dup). Это нужно чтобы не раскодировать уже раскодированные файлы.",
    ";Если стоит значение infinite, файлы будут оставаться в истории вечно.",
    ";  NETMAIL yes|no - можно ли посылать из этой области почту. По умолчанию no.",
    ";  EXCLUDE yes|no - Если yes, то эта область будет пропущена (только при",
    ";работе из командной строки) По умолчанию no.",
    ";  SENDMODE <режим> - режим посылки, по умолчанию parallel",
    ";           parallel - по равному количеству секций от каждого файла",
    ";           sequental - файлы один за другим",
    "",
    "AREA *",
    "  HISTORYLENGTH 30",
    "",
    "AREA Fido.NetMail",
    "  SECTIONSPERDAY 10",
    "  NETMAIL yes",
    "",
};

}  // namespace

void WriteDefaultAreaDefinitions(const ProgramPaths& paths) {
  std::string text;
  for (const char* line : kDefaultLines) {
    text += Cp866(line);
    text += "\r\n";
  }
  if (!WriteFileAtomically(paths.ProgramDir + "AREADEFS.CTL", text))
    FatalExit(Cp866("Не могу записать AREADEFS.CTL"));
}

}  // namespace vm

#include "app/usage_text.h"

#include <vector>

#include "text/cp866.h"

namespace vm {
namespace {

// The texts line by line, as the user sees them.
// clang-format off
const std::vector<std::string_view> kGeneralUsage = {
    "Использование:",
    "",
    "  Запустите без параметров для работы в интерактивном режиме",
    "",
    "  VELDMARK ? или /? - эта информация",
    "  VELDMARK /Install [-опции] - автоматическая настройка на систему",
    "  VELDMARK /q - только обработка очереди",
    "  VELDMARK /Debug - вывод всех параметров в файл VELDMARK.DBG",
    "  VELDMARK /Open <конференция> [кому] [куда] - запустить оболочку,",
    "    просканировать нужную конференцию и ответить на сообщение",
    "  VELDMARK /Dir <каталог> - запустить оболочку в нужном каталоге",
    "  VELDMARK /NoChange - запустить оболочку в текущем каталоге",
    "  VELDMARK /Queue - не обрабатывая очередь, запустить ее редактор",
    "  VELDMARK /Encode <файл> <Text|UU|XX|MIME> <область> <кому> [куда] [-опции]",
    "    закодировать и послать файл по указанному адресу.",
    "  VELDMARK /Decode <имя области> [-опции] - раскодирование только одной области",
    "  VELDMARK /All [-опции] - раскодировать все файлы в соответствующий каталог",
    "",
    "  Код выхода 4 - работа закончена, но не все удалось (смотрите протокол)",
    "  Запустите любую команду с ключом -? для получения более подробной справки",
};

constexpr std::string_view kDecodeOptionLines[] = {
    "     -AnyWay - раскодировать в любом случае, не смотря на историю",
    "     -ScanAll - сканировать всю область, а не только новые сообщения",
};

struct CommandHelp {
  std::string_view command;
  std::vector<std::string_view> lines;
};

const CommandHelp kCommandHelp[] = {
    {"QUEUE", {"  VELDMARK /Queue - не обрабатывая очередь, запустить ее редактор."}},
    {"NOCHANGE",
     {"  VELDMARK /NoChange - запустить оболочку в текущем каталоге.",
      "    Удобно при запуске из различных сред, например DOS Navigator."}},
    {"DIR", {"  VELDMARK /Dir <каталог> - запустить оболочку в нужном каталоге."}},
    {"DEBUG",
     {"  VELDMARK /Debug - Выводит все параметры в файл VELDMARK.DBG. При обнаружении багов",
      "    пришлите мне этот файл."}},
    {"INSTALL",
     {"  VELDMARK /Install [-опции] - Запускает процедуру установки, где Вам будет",
      "    предложено ввести Ваше имя, адрес, каталог для раскодируемых файлов и",
      "    выбрать что использовать - AREAS.BBS, SQUISH.CFG, TM.CFG или FASTECHO.CFG, в",
      "    зависимости от используемого тоссера. Программа сама осмотрит диск и",
      "    определит все пути к необходимым файлам.",
      "",
      "  Опции:",
      "",
      "     -GoldEd - только настройка GoldEd для возможности ответа/посылки",
      "      прямо из него",
      "     -Manual - запись VELDMARK.CTL без автоматической настройки"}},
    {"Q",
     {"  VELDMARK /q - Только обработка очереди файлов на отложенную посылку.",
      "    Для правильной работы отложенной посылки нужно запускать Veldmark хотя бы",
      "    раз в сутки. Вообще, очередь будет обрабатываться при каждом запуске",
      "    программы, но так как Вы не обязательно будете запускать Veldmark каждый",
      "    день вручную, лучше вызывать программу автоматически с этим параметром"}},
    {"OPEN",
     {"  VELDMARK /Open <имя конференции> [кому] [куда] - Запустить оболочку и",
      "    просканировать нужную конференцию. Опционально задание имени адресата.",
      "    Удобно для интеграции с редакторами, например GoldEdом. Смотрите описание",
      "    за подробностями как это сделать.",
      "    Пример:",
      "      VELDMARK /Open NetMail Ivan Petrov 2:5020/100",
      "    Примечание: имя не должно начинатся с цифры."}},
    {"ENCODE",
     {"  VELDMARK /Encode <файл> <Text|UU|XX|MIME> <область> <кому> [куда] [-опции]",
      "    Закодировать и поместить файл в очередь по указанному адресу.",
      "    Если адрес <куда> не указан, то подставляется Ваш адрес.",
      "",
      "  Опции:",
      "",
      "     -Immed - послать немедленно, не смотря на лимит файлов в сутки",
      "     -Del - удалить после посылки",
      "     -NoTxtHead - только при текстовом кодировании. Не пишет заголовок.",
      "        Удобно для постинга статистики и т. п."}},
    {"DECODE",
     {"  VELDMARK /Decode <имя области> [-опции] - раскодирование только одной области",
      "",
      "  Опции:",
      "",
      kDecodeOptionLines[0],
      kDecodeOptionLines[1]}},
    {"ALL",
     {"  VELDMARK /All [-опции] - раскодировать все файлы в соответствующий каталог",
      "    Смотрите описание по подробностям раскодирования.",
      "",
      "  Опции:",
      "",
      kDecodeOptionLines[0],
      kDecodeOptionLines[1]}},
};
// clang-format on

}  // namespace

std::string UsageText(std::string_view commandWord) {
  const std::vector<std::string_view>* lines = &kGeneralUsage;
  for (const CommandHelp& help : kCommandHelp)
    if (help.command == commandWord) lines = &help.lines;
  std::string text;
  for (std::string_view line : *lines) text += Cp866(line) + "\n";
  return text + "\n";
}

void PrintUsage(Console& console, std::string_view commandWord) {
  console.Write(UsageText(commandWord));
}

}  // namespace vm

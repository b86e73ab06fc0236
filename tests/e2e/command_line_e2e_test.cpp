// The program run as a sysop's scheduler runs it: no terminal, stdin from /dev/null or a pipe.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "support/e2e_program.h"
#include "text/cp866.h"

namespace vm {
namespace {

const std::string kBanner = " Veldmark v1.61.40 Win32b        Сборка для Linux\n\n";

const std::string kGeneralUsage =
    "Использование:\n"
    "\n"
    "  Запустите без параметров для работы в интерактивном режиме\n"
    "\n"
    "  VELDMARK ? или /? - эта информация\n"
    "  VELDMARK /Install [-опции] - автоматическая настройка на систему\n"
    "  VELDMARK /q - только обработка очереди\n"
    "  VELDMARK /Debug - вывод всех параметров в файл VELDMARK.DBG\n"
    "  VELDMARK /Open <конференция> [кому] [куда] - запустить оболочку,\n"
    "    просканировать нужную конференцию и ответить на сообщение\n"
    "  VELDMARK /Dir <каталог> - запустить оболочку в нужном каталоге\n"
    "  VELDMARK /NoChange - запустить оболочку в текущем каталоге\n"
    "  VELDMARK /Queue - не обрабатывая очередь, запустить ее редактор\n"
    "  VELDMARK /Encode <файл> <Text|UU|XX|MIME> <область> <кому> [куда] [-опции]\n"
    "    закодировать и послать файл по указанному адресу.\n"
    "  VELDMARK /Decode <имя области> [-опции] - раскодирование только одной области\n"
    "  VELDMARK /All [-опции] - раскодировать все файлы в соответствующий каталог\n"
    "\n"
    "  Код выхода 4 - работа закончена, но не все удалось (смотрите протокол)\n"
    "  Запустите любую команду с ключом -? для получения более подробной справки\n"
    "\n";

const std::string kEncodeHelp =
    "  VELDMARK /Encode <файл> <Text|UU|XX|MIME> <область> <кому> [куда] [-опции]\n"
    "    Закодировать и поместить файл в очередь по указанному адресу.\n"
    "    Если адрес <куда> не указан, то подставляется Ваш адрес.\n"
    "\n"
    "  Опции:\n"
    "\n"
    "     -Immed - послать немедленно, не смотря на лимит файлов в сутки\n"
    "     -Del - удалить после посылки\n"
    "     -NoTxtHead - только при текстовом кодировании. Не пишет заголовок.\n"
    "        Удобно для постинга статистики и т. п.\n"
    "\n";

void ExpectNoStateFiles(const E2eNode& node) {
  for (const char* name : {"QUEUE.LST", "VELDMARK.DUP", "AREAS.LST"})
    EXPECT_FALSE(node.ExistsAnyCase(name)) << name;
}

TEST(CommandLineRun, UsageTextInEveryFormWritesNoStateFile) {
  for (const char* form : {"?", "/?", "-?"}) {
    E2eNode node;
    ProgramRun run = RunInNode(node, {form});
    EXPECT_EQ(run.exitCode, 0) << form;
    EXPECT_EQ(run.output, kBanner + kGeneralUsage) << form;
    ExpectNoStateFiles(node);
  }
}

TEST(CommandLineRun, EncodeHelpIsPrintedExactly) {
  E2eNode node;
  ProgramRun run = RunInNode(node, {"/Encode", "-?"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, kBanner + kEncodeHelp);
  ExpectNoStateFiles(node);
}

TEST(CommandLineRun, EveryCommandHasItsOwnHelp) {
  E2eNode node;
  const std::pair<const char*, const char*> firstLines[] = {
      {"queue", "  VELDMARK /Queue - не обрабатывая очередь, запустить ее редактор.\n\n"},
      {"-NoChange", "  VELDMARK /NoChange - запустить оболочку в текущем каталоге.\n"},
      {"/dir", "  VELDMARK /Dir <каталог> - запустить оболочку в нужном каталоге.\n\n"},
      {"/Debug", "  VELDMARK /Debug - Выводит все параметры в файл VELDMARK.DBG."},
      {"/Install", "  VELDMARK /Install [-опции] - Запускает процедуру установки"},
      {"/q", "  VELDMARK /q - Только обработка очереди файлов на отложенную посылку.\n"},
      {"/Open", "  VELDMARK /Open <имя конференции> [кому] [куда] - Запустить оболочку и\n"},
      {"/Decode",
       "  VELDMARK /Decode <имя области> [-опции] - раскодирование только одной "
       "области\n\n  Опции:\n\n     -AnyWay"},
      {"ALL",
       "  VELDMARK /All [-опции] - раскодировать все файлы в соответствующий каталог\n"
       "    Смотрите описание по подробностям раскодирования.\n\n  Опции:\n\n"
       "     -AnyWay - раскодировать в любом случае, не смотря на историю\n"
       "     -ScanAll - сканировать всю область, а не только новые сообщения\n\n"},
      {"/Foo", "Использование:\n"},
  };
  for (const auto& [command, start] : firstLines) {
    ProgramRun run = RunInNode(node, {command, "/?"});
    EXPECT_EQ(run.exitCode, 0) << command;
    EXPECT_EQ(run.output.substr(0, kBanner.size() + std::string(start).size()), kBanner + start)
        << command;
  }
}

TEST(CommandLineRun, UnknownCommandStopsAtOnceWithCodeThree) {
  E2eNode node({"LOGPATH VELDMARK.LOG"});
  auto started = std::chrono::steady_clock::now();
  ProgramRun run = RunInNode(node, {"/Foo", "bar"});
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.output, kBanner +
                            "Неизвестный параметр: FOO\n"
                            "Запустите VELDMARK /? для получения списка команд\n");
  std::string log = Cp866ToUtf8(node.Read("VELDMARK.LOG"));
  EXPECT_NE(log.find(" Запуск с параметрами: /Foo bar \r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" Выход по ошибке: \"Неизвестный параметр: FOO\"\r\n"), std::string::npos)
      << log;
  EXPECT_EQ(log.find("Нормальный выход"), std::string::npos);
}

TEST(CommandLineRun, ALeftOutArgumentStopsWithTheCommandsUsage) {
  E2eNode node({"ROOT files", "AREA MSG NETMAIL netmail"});
  node.dir().WriteFile("a.zip", "zip");
  const std::string decodeHelp =
      "  VELDMARK /Decode <имя области> [-опции] - раскодирование только одной области\n"
      "\n  Опции:\n\n"
      "     -AnyWay - раскодировать в любом случае, не смотря на историю\n"
      "     -ScanAll - сканировать всю область, а не только новые сообщения\n\n";
  const std::string noRecipient = "Не указано, кому посылать файл\n" + kEncodeHelp;
  const std::string openHelp = RunInNode(node, {"/Open", "-?"}).output.substr(kBanner.size());
  const struct {
    std::vector<std::string> arguments;
    std::string output;  // after the banner
  } cases[] = {
      {{"/Encode"}, "Файл  не найден\n" + kEncodeHelp},
      {{"/Encode", "a.zip"}, "Конференция  не найдена\n" + kEncodeHelp},
      {{"/Encode", "a.zip", "", "NetMail"}, "Неизвестный тип: \n" + kEncodeHelp},
      {{"/Encode", "a.zip", "UU", "NetMail"}, noRecipient},
      {{"/Encode", "a.zip", "UU", "NetMail", "-Immed"}, noRecipient},
      {{"/Decode"}, "Область  не найдена\n" + decodeHelp},
      {{"/Open"}, "Область  не найдена\n" + openHelp},
      // Arguments that were written but are wrong need no usage.
      {{"/Encode", "b.zip", "UU", "NetMail", "Ivan"}, "Файл B.ZIP не найден\n"},
      {{"/Encode", "a.zip", "ZIP", "NetMail", "Ivan"}, "Неизвестный тип: ZIP\n"},
      {{"/Decode", "ru.none"}, "Область RU.NONE не найдена\n"},
      {{"-bogus"},
       "Неизвестный параметр: BOGUS\nЗапустите VELDMARK /? для получения списка команд\n"},
  };
  for (const auto& c : cases) {
    ProgramRun run = RunInNode(node, c.arguments);
    EXPECT_EQ(run.exitCode, 3) << c.arguments[0];
    EXPECT_EQ(run.output, kBanner + c.output) << ::testing::PrintToString(c.arguments);
  }
}

TEST(CommandLineRun, AllCommandFormsBehaveAlike) {
  E2eNode node;
  std::string expected =
      kBanner +
      "Так как переменная ROOT в VELDMARK.CTL не задана, Вы не можете раскодировать\r\n"
      "файлы в автоматическом режиме.\n";
  for (const char* form : {"-all", "all", "/All", "/ALL"}) {
    ProgramRun run = RunInNode(node, {form});
    EXPECT_EQ(run.exitCode, 3) << form;
    EXPECT_EQ(run.output, expected) << form;
  }
}

TEST(CommandLineRun, DebugWritesTheListingAndEndsWithCodeZero) {
  E2eNode node({"AREA MSG NETMAIL netmail", "REPORTAREA netmail", "LOGPATH VELDMARK.LOG"});
  ProgramRun run = RunInNode(node, {"/Debug"}, "x");  // the key press comes from the pipe
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, kBanner + "Все параметры записаны в файл VELDMARK.DBG\n");
  std::string listing = Cp866ToUtf8(node.Read("VELDMARK.DBG"));
  EXPECT_EQ(listing.rfind("Veldmark v1.61.40 Win32b \r\nNAME               = \"Ivan Petrov\"\r\n"
                          "ADDRESS 2:5020/100\r\nTEMP               = " +
                              node.path() + "/\r\n",
                          0),
            0u)
      << listing;
  EXPECT_NE(listing.find("REPORTAREA         = NETMAIL\r\n"), std::string::npos);
  EXPECT_NE(listing.find("Параметры областей:\r\n  NETMAIL  NetMail = no"), std::string::npos);
  // The log is switched off before the stop: no error line for a requested listing.
  EXPECT_EQ(Cp866ToUtf8(node.Read("VELDMARK.LOG")).find("Выход по ошибке"), std::string::npos);
}

TEST(CommandLineRun, HostDirectoriesKeepTheirCaseAndRelativeHomeWorks) {
  E2eNode node;
  node.dir().MakeDirectory("Temp Files/Mixed");
  ProgramRunOptions options;
  options.workDir = node.path();
  options.environment = {{"VELDMARK_HOME", "."}, {"TEMP", "Temp Files/./Mixed"}};
  ProgramRun run = RunVeldmark({"/Debug"}, options);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(node.Read("VELDMARK.DBG")
                .find("TEMP               = " + node.path() + "/Temp Files/Mixed/\r\n"),
            std::string::npos);
}

TEST(CommandLineRun, MissingTemplateOrSettingsStopTheStart) {
  E2eNode noTemplate;
  std::remove((noTemplate.path() + "/VELDMARK.TPL").c_str());
  ProgramRun run = RunInNode(noTemplate, {"?"});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.output,
            kBanner + "Файл VELDMARK.TPL не найден\r\nКаталог программы: " + noTemplate.path() +
                "/\r\nЕго задает переменная окружения VELDMARK_HOME\n");

  E2eNode noSettings;
  std::remove((noSettings.path() + "/VELDMARK.CTL").c_str());
  run = RunInNode(noSettings, {"/q"});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_NE(run.output.find("VELDMARK.CTL"), std::string::npos) << run.output;
  ExpectNoStateFiles(noSettings);
}

TEST(CommandLineRun, InstallReadsNeitherSettingsNorStateFiles) {
  E2eNode node({"RECEIVEMODE maybe"});
  ProgramRun run = RunInNode(node, {"/Install", "-Manual"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output.find("RECIEVEMODE"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Не забудьте отредактировать файлы"), std::string::npos);
  ExpectNoStateFiles(node);
}

TEST(CommandLineRun, SettingsErrorsAndWarningsNeverWaitUnattended) {
  E2eNode bad({"SHOWHIDEN yes", "RECEIVEMODE maybe"});
  ProgramRun run = RunInNode(bad, {"/q"});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.output, kBanner +
                            "VELDMARK.CTL строка 3: Неизвестный параметр SHOWHIDEN\n"
                            "Нажмите любую клавишу для продолжения...\n"
                            "VELDMARK.CTL строка 4: Ошибка в параметре RECIEVEMODE\n");
}

TEST(CommandLineRun, ShellModesRefuseWithoutATerminal) {
  E2eNode node({"ROOT files", "AREA MSG NETMAIL netmail"});
  node.dir().WriteFile("A.ZIP", "zip");
  const std::vector<std::vector<std::string>> runs = {
      {"/Open", "NetMail", "Ivan", "2:5020/1"}, {}, {"/Dir", "files"}, {"/NoChange"}, {"/Queue"}};
  for (const std::vector<std::string>& arguments : runs) {
    ProgramRun run = RunInNode(node, arguments);
    EXPECT_EQ(run.exitCode, 3) << arguments.size();
    EXPECT_NE(run.output.find("нужен терминал"), std::string::npos) << run.output;
    EXPECT_FALSE(node.dir().Exists("veldmark.dup")) << "a refused shell saves nothing";
  }
  ProgramRun run = RunInNode(node, {"/Decode", "ru.none"});
  EXPECT_EQ(run.output, kBanner + "Область RU.NONE не найдена\n");
}

}  // namespace
}  // namespace vm

// The installation run as a sysop runs it, answers piped in: on a small fake drive C:, with
// and without the search, and for GoldEd only. Every settings file it writes must be read back
// by the program itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/e2e_program.h"
#include "text/cp866.h"

namespace vm {
namespace {

const std::string kBanner = " Veldmark v1.61.40 Win32b        Сборка для Linux\n\n";
const std::string kClosing =
    "\n"
    "  Вопросы, замечания и пожелания присылайте автору Veldmark\n"
    "  в конференцию поддержки программы.\n"
    "Нажмите любую клавишу.\n";

// A drive C: with a node directory in it, the current directory of every run.
class InstallDrive {
 public:
  InstallDrive() { drive_.WriteFile("node/VELDMARK.TPL", "@SECTION\r\n"); }

  void Write(const std::string& relative, const std::string& contents) const {
    drive_.WriteFile(relative, contents);
  }
  std::string Read(const std::string& relative) const {
    return Cp866ToUtf8(drive_.ReadFile(relative));
  }
  bool Exists(const std::string& relative) const { return drive_.Exists(relative); }
  std::string Node() const { return drive_ / "node"; }

  ProgramRun Run(const std::vector<std::string>& arguments, const std::string& input) const {
    ProgramRunOptions options;
    options.workDir = Node();
    options.environment = {
        {"VELDMARK_HOME", Node()}, {"TEMP", Node()}, {"VELDMARK_DRIVE_C", drive_.path()}};
    options.input = input;
    return RunVeldmark(arguments, options);
  }
  // The listing of /Debug, which reads the settings as every run does.
  std::string Listing() const {
    ProgramRun run = Run({"/Debug"}, "");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return Read("node/VELDMARK.DBG");
  }

 private:
  ScopedTempDir drive_;
};

// The expected lines stand in the CR LF file in this order, each a whole line.
void ExpectLinesInOrder(const std::string& text, const std::vector<std::string>& expected) {
  ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'))
      << "lines end in CR LF";
  size_t at = 0;
  for (const std::string& line : expected) {
    at = ("\r\n" + text).find("\r\n" + line + "\r\n", at);
    ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line;
    at += line.size();
  }
}

struct Values {
  std::string name{}, address{}, temp{}, hudson{}, areas{}, squish{}, fastEcho{}, terminate{},
      root{};
};

// A line whose value is empty is written commented out.
std::string Setting(const std::string& keyword, const std::string& value,
                    const std::string& comment) {
  return (value.empty() ? ";" : "") + keyword + " " + value + " " + comment;
}

// Every setting line of the first settings file, in its order.
std::vector<std::string> SettingLines(const Values& v) {
  return {
      ";Файл настроек Veldmark",
      ";Общие параметры",
      "NAME \"" + v.name + "\" ;Ваше имя",
      "ADDRESS " + v.address + " ;Ваш адрес",
      ";Вы также можете ввести до 10 AKA",
      ";Например:",
      Setting("TEMP", v.temp, ";Путь для временных файлов. Если не указано, берется значение"),
      "                ;переменной TEMP",
      "SHOWHIDDEN yes ;Показывать ли скрытые/системные файлы",
      "SORTAREAS type ;Сортировка конференций. Возможные значения:",
      "SORTAREAFILES yes ;Сортировать ли файлы в конференциях по имени",
      "EXTRACTXCK yes ;Не сохранять .xck .crk и др. при сканировании /all.",
      "LONGFILENAMES yes ;Испоьзовать ли длинные имена файлов и каталогов (Только Win32",
      "                  ;и OS/2)",
      ";LOGPATH veldmark.log ;Путь к файлу лога. Если не задано, то лог не ведется.",
      ";Задание путей баз сообщений",
      Setting("HUDSONPATH", v.hudson, ";Если у Вас есть базы в формате Hudson, то этот путь"),
      "                        ;должен быть указан ДО указания AREASPATH",
      "USEID no ;Использовать ли описания конференций из файла FASTECHO.CFG. Если нет,",
      "         ;то будет использован AreaID",
      ";Необходим лишь один из этих параметров",
      Setting("AREASPATH", v.areas, ";Полный путь к файлу AREAS.BBS"),
      Setting("SQUISHPATH", v.squish, ";Полный путь к файлу SQUISH.CFG"),
      Setting("FASTECHOCFG", v.fastEcho, ";Полный путь к файлу FASTECHO.CFG"),
      Setting("TERMINATECFG", v.terminate, ";Полный путь к файлу TM.CFG"),
      ";Ручное указание области:",
      ";  AREA <тип> <имя> [board]<путь>",
      ";Примеры:",
      ";  AREA Msg NetMail C:\\FIDO\\MAIL\\",
      ";Параметры приема",
      "RECEIVEMODE advanced ;Режим приема файлов. По умолчанию advanced.",
      Setting("ROOT", v.root, ";Директория в которой будут созданы каталоги для"),
      ";REPORTAREA NetMail ;Если указано, то постим отчеты о раскодированных файлах",
      ";HEADERLINES 100 ;Число строк, которые будут просматриваться при сканировании",
      "DELETEDECODED no ;Если yes, то раскодированным сообщениям будет затем поставлен",
      "DELETEBAD no ;Если yes, то в случае когда UU/XX/MIME секции не дошли или",
      "HEADERS yes ;Выдирать ли из сообщений заголовки (до первой закодированной",
      "FILESBBS append ;Может быть 2 параметра: append или rewrite указывающие",
      "DECODEYOURS no ;Если yes, то не добавляет в историю раскодированных файлов файлы",
      "DUPES move ;Что делать если раскодируемый файл уже существует:",
      "ALLFIXFILESBBS no ;Файлы files.bbs в стандарте AllFix. По умолчанию",
      ";Параметры посылки",
      ";TEMPPATH <путь> ;Если переменная определена, то сюда копируются файлы готовые",
      ";LINESPERSEC 120 ;Число строк в секции. Если не указано - все сообщение",
      "HSUBST yes ;Если определено, то при посылке или вставке текста русская \"Н\"",
      "           ; будет заменена на латинскую \"H\"",
      ";Остальные параметры",
      "SWAPPING xms ;Возможные варианты: XMS, EMS. Если не определено, то свопаемся",
      "             ;на диск",
      ";Внешние утилиты. Можно указать до 20 внешних программ",
      ";  Формат:",
      "EXTERNUTIL \"~С~оздать каталог\" F7 \"mkdir\" paramdlg hidescreen",
      "HIDEARC yes ;Если yes, то экран архиватора показан не будет.",
      "PACKER \"zip -j %1 %2\"",
      ";Далее следуют пути к архиваторам",
      ";Можно указать до 20 различных архиваторов",
      ";ARCHIVER <расширение> <путь>",
      "ARCHIVER RAR \"unrar e -o+ -c- -y %1 %2 %3/\" ;Архиватор RAR",
      "ARCHIVER ZIP \"unzip -o -qq -j -C %1 %2 -d %3\"",
      "ARCHIVER ARJ \"arj e -y %1 %3/ %2\"",
  };
}

const std::string kAnswers =
    "\nIvan Petrov\n"       // an empty name is refused
    "2:5020\n2:5020/100\n"  // so is an address without a node
    "YNYN"                  // AREAS.BBS yes, FASTECHO.CFG no, SQUISH.CFG yes, TM.CFG no
    "files\n"
    "Y^z\n"  // GoldEd: yes, with the key ^z
    "x";

TEST(Installation, StartsByItselfSearchesTheDriveAndWritesReadableSettings) {
  InstallDrive drive;
  drive.Write("FIDO/AREAS.BBS", "C:\\FIDO\\MAIL\\RUFILES RU.FILES 2:5020/1\r\n");
  drive.Write("FIDO/FASTECHO.CFG", "not read: the answer is no");
  drive.Write("FIDO/GOLDED/GOLDED.CFG", "; GoldEd\r\n");
  drive.Write("FIDO/GOLDED/GOLDKEYS.CFG", "; keys\r\n");
  drive.Write("FIDO/HUDSON/MSGTXT.BBS", "");
  drive.Write("FIDO/SQUISH.CFG", "EchoArea SU.FILES C:\\FIDO\\SQUISH\\SUFILES -$\r\n");
  drive.Write("FIDO/TM.CFG", "not read either");
  drive.Write("node/VELDMARK.CTL", "tiny");  // shorter than 10 bytes: too short to be read

  ProgramRun run = drive.Run({"/q"}, kAnswers);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(
      run.output,
      kBanner +
          "Установка...\n\n"
          "Ваше имя латинскими буквами (например Ivan Petrov): \n"
          "Имя не может быть пустым!\n"
          "Ваше имя латинскими буквами (например Ivan Petrov): Ivan Petrov\n"
          "Ваш адрес (например 2:5020/9999): 2:5020\n"
          "Неправильный адрес!\n"
          "Ваш адрес (например 2:5020/9999): 2:5020/100\n"
          "Произведится поиск на диске C: файлов конфигурации. Необходим лишь\n"
          "один из них. Рекомендуется использовать FASTECHO.CFG. Esc - отмена. \n"
          "  Найден C:\\FIDO\\AREAS.BBS\n"
          "  Использовать этот AREAS.BBS? (Y/N)Y\n"
          "  Найден FastEcho\n"
          "  Использовать FASTECHO.CFG? (Y/N)N\n"
          "  Найден GoldEd\n"
          "  Обнаружена база данных HUDSON: C:\\FIDO\\HUDSON\\\n"
          "  Найден C:\\FIDO\\SQUISH.CFG\n"
          "  Использовать этот SQUISH.CFG? (Y/N)Y\n"
          "  Найден Terminate\n"
          "  Использовать его TM.CFG? (Y/N)N\n"
          "Укажите директорию для раскодированных файлов. Если введенной директории не\n"
          "существует, она будет создана. (Нажмите enter, если Вы не хотите сейчас\n"
          "вводить каталог):\n"
          "files\n"
          "Прежний VELDMARK.CTL сохранен как VELDMARK.BAK\n"
          "  Произвести ли настройку GoldEd для использования возможности ответа на\n"
          "сообщение? (Y/N)Y\n"
          "  Введите клавишу, которой Вы будете пользоваться (например f10 или ^a Помните,\n"
          "что клавиша должна быть не занята. Смотрите описание GoldEd за подробностями):\n"
          "^z\n"
          "  Установка закончена. Пожалуйста, посмотрите файлы VELDMARK.CTL и AREADEFS.CTL\n" +
          kClosing);
  ExpectLinesInOrder(drive.Read("node/VELDMARK.CTL"),
                     SettingLines({.name = "Ivan Petrov",
                                   .address = "2:5020/100",
                                   .temp = drive.Node() + "/",
                                   .hudson = "C:\\FIDO\\HUDSON\\",
                                   .areas = "C:\\FIDO\\AREAS.BBS",
                                   .squish = "C:\\FIDO\\SQUISH.CFG",
                                   .root = "files"}));
  EXPECT_EQ(drive.Read("node/AREADEFS.CTL").rfind(";Файл определения параметров областей\r\n", 0),
            0u);
  EXPECT_TRUE(drive.Exists("node/files"));
  EXPECT_EQ(drive.Read("node/VELDMARK.BAK"), "tiny");  // kept, however short
  EXPECT_EQ(drive.Read("FIDO/GOLDED/GOLDED.CFG"),
            "; GoldEd\r\n\r\n;Добавлено Veldmark v1.61.40 Win32b \r\nExternUtil 10 " +
                std::string(VELDMARK_BINARY) + " /Open @OEcho @OName @OAddr\r\n\r\n");
  EXPECT_EQ(drive.Read("FIDO/GOLDED/GOLDKEYS.CFG"),
            "; keys\r\n\r\n;Добавлено Veldmark v1.61.40 Win32b \r\n^Z ExternUtil10\r\n\r\n");

  std::string listing = drive.Listing();
  for (const char* line :
       {"HUDSONPATH         = C:\\FIDO\\HUDSON\\\r\n", "FASTECHOCFG        = \r\n",
        "AREASPATH          = C:\\FIDO\\AREAS.BBS\r\n",
        "SQUISHPATH         = C:\\FIDO\\SQUISH.CFG\r\n", "ROOT               = files\r\n",
        "PACKER             = \"zip -j %1 %2\"\r\n", "  ZIP \"unzip -o -qq -j -C %1 %2 -d %3\"\r\n",
        "  RU.FILES  NetMail = no", "  SU.FILES  NetMail = no"})
    EXPECT_NE(listing.find(line), std::string::npos) << line << "\n" << listing;
}

TEST(Installation, FindingNothingLeavesEveryBaseLineCommentedOut) {
  InstallDrive drive;
  ProgramRun run = drive.Run({"/Install"}, "Ivan Petrov\n2:5020/100\n\n");
  EXPECT_EQ(run.exitCode, 0);
  const std::string tail =
      "вводить каталог):\n"
      "\n"
      "  При осмотре диска C: нужных файлов не обнаружено. Вам придется вручную\n"
      "отредактировать файлы VELDMARK.CTL и AREADEFS.CTL. \n" +
      kClosing;
  ASSERT_GE(run.output.size(), tail.size());
  EXPECT_EQ(run.output.substr(run.output.size() - tail.size()), tail);
  ExpectLinesInOrder(
      drive.Read("node/VELDMARK.CTL"),
      SettingLines({.name = "Ivan Petrov", .address = "2:5020/100", .temp = drive.Node() + "/"}));
  EXPECT_NE(drive.Listing().find("AREASPATH          = \r\n"), std::string::npos);
}

TEST(Installation, ManualWritesPlaceholdersAndKeepsTheOldFilesAsBackups) {
  InstallDrive drive;
  drive.Write("node/VELDMARK.CTL", "NAME \"Ivan Petrov\"\r\nADDRESS 2:5020/100\r\n");
  drive.Write("node/AREADEFS.CTL", "AREA *\r\n");
  drive.Write("node/veldmark.bak", "an older backup");
  ProgramRun run = drive.Run({"/Install", "-Manual"}, "x");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, kBanner +
                            "Установка...\n\n"
                            "Прежний VELDMARK.CTL сохранен как VELDMARK.BAK\n"
                            "Прежний AREADEFS.CTL сохранен как AREADEFS.BAK\n"
                            "\n"
                            "Не забудьте отредактировать файлы VELDMARK.CTL и AREADEFS.CTL.\n" +
                            kClosing);
  EXPECT_EQ(drive.Read("node/veldmark.bak"), "NAME \"Ivan Petrov\"\r\nADDRESS 2:5020/100\r\n");
  EXPECT_EQ(drive.Read("node/AREADEFS.BAK"), "AREA *\r\n");
  ExpectLinesInOrder(
      drive.Read("node/VELDMARK.CTL"),
      SettingLines({.name = "<Вася Пупкин>", .address = "1:1/1", .temp = drive.Node() + "/"}));
  EXPECT_NE(drive.Listing().find("NAME               = \"<Вася Пупкин>\"\r\nADDRESS 1:1/1\r\n"),
            std::string::npos);
}

TEST(Installation, GoldEdOnlyExtendsGoldEdsFilesAndNothingElse) {
  InstallDrive drive;
  drive.Write("node/VELDMARK.CTL", "NAME \"Ivan Petrov\"\r\nADDRESS 2:5020/100\r\n");
  drive.Write("golded/golded.cfg", "; GoldEd\r\n");  // and no goldkeys.cfg
  const std::string dir = drive.Node() + "/../golded";
  ProgramRun run = drive.Run({"/Install", "-GoldEd"}, dir + "\n\nF10\n");
  EXPECT_EQ(run.exitCode, 0);
  const std::string tail =
      "\nF10\nОшибка открытия " + dir + "\\GOLDKEYS.CFG\n\nУстановка закончена\n";
  ASSERT_GE(run.output.size(), tail.size());
  EXPECT_EQ(run.output.substr(run.output.size() - tail.size()), tail);
  EXPECT_NE(drive.Read("golded/golded.cfg").find(" /Open @OEcho @OName @OAddr\r\n"),
            std::string::npos);
  EXPECT_FALSE(drive.Exists("golded/goldkeys.cfg"));
  EXPECT_EQ(drive.Read("node/VELDMARK.CTL"), "NAME \"Ivan Petrov\"\r\nADDRESS 2:5020/100\r\n");
  EXPECT_FALSE(drive.Exists("node/AREADEFS.CTL"));
  EXPECT_FALSE(drive.Exists("node/VELDMARK.BAK"));
}

}  // namespace
}  // namespace vm

#include "config/first_settings_file.h"

#include <initializer_list>
#include <string_view>

#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kBoxWidth = 50;  // inside the frames of the files.bbs examples

class SettingsText {
 public:
  // Lines written in the source as UTF-8.
  void Lines(std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines) Line(Cp866(line));
  }
  void Line(std::string_view cp866) {
    text_ += cp866;
    text_ += "\r\n";
  }
  // "KEYWORD value ;comment", commented out when the settings reader would not get the value
  // back: an empty one, or one that its word scan would cut short.
  void PathSetting(std::string_view keyword, std::string_view value, std::string_view comment) {
    size_t end = 0;
    GetWordView(end, value);
    bool readable = !value.empty() && end == value.size();
    std::string line = readable ? "" : ";";
    line.append(keyword).append(" ").append(value).append(" ").append(Cp866(comment));
    Line(line);
  }
  // A files.bbs example in a frame of box-drawing characters.
  void Box(std::initializer_list<std::string_view> lines) {
    std::string bar;
    for (size_t i = 0; i < kBoxWidth; ++i) bar += Cp866("─");
    Line(";  " + Cp866("┌") + bar + Cp866("┐"));
    for (std::string_view line : lines)
      Line(";  " + Cp866("│") + FieldPad(kBoxWidth, 0, Cp866(line)) + Cp866("│"));
    Line(";  " + Cp866("└") + bar + Cp866("┘"));
  }

  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

void WriteGeneral(SettingsText& out, const FirstSettings& values) {
  out.Lines({";Файл настроек Veldmark", ";", ";Общие параметры", ";"});
  out.Line("NAME \"" + values.NAME + "\" " + Cp866(";Ваше имя"));
  out.Line("");
  out.Line("ADDRESS " + values.ADDRESS + " " + Cp866(";Ваш адрес"));
  out.Lines({"", ";Вы также можете ввести до 10 AKA", ";Например:", ";AKA 2:5020/9999.1", ""});
  out.PathSetting("TEMP", values.TEMP,
                  ";Путь для временных файлов. Если не указано, берется значение");
  out.Lines({
      "                ;переменной TEMP",
      "",
      "SHOWHIDDEN yes ;Показывать ли скрытые/системные файлы",
      "",
      "SORTAREAS type ;Сортировка конференций. Возможные значения:",
      "               ;unsorted - в том порядке, в котором они описаны;",
      "               ;type - по типу баз: Fido/*.msg, Hudson, JAM, Squish;",
      "               ;name - по названиям.",
      "",
      "SORTAREAFILES yes ;Сортировать ли файлы в конференциях по имени",
      "",
      "EXTRACTXCK yes ;Не сохранять .xck .crk и др. при сканировании /all.",
      "",
      "LONGFILENAMES yes ;Испоьзовать ли длинные имена файлов и каталогов (Только Win32",
      "                  ;и OS/2)",
      "",
      ";LOGPATH veldmark.log ;Путь к файлу лога. Если не задано, то лог не ведется.",
      "",
      ";Задание путей баз сообщений",
      ";",
  });
}

void WriteBasePaths(SettingsText& out, const MessageBasePaths& bases) {
  out.PathSetting("HUDSONPATH", bases.HUDSONPATH,
                  ";Если у Вас есть базы в формате Hudson, то этот путь");
  out.Lines({
      "                        ;должен быть указан ДО указания AREASPATH",
      "",
      "USEID no ;Использовать ли описания конференций из файла FASTECHO.CFG. Если нет,",
      "         ;то будет использован AreaID",
      "",
      ";Необходим лишь один из этих параметров",
  });
  out.PathSetting("AREASPATH", bases.AREASPATH, ";Полный путь к файлу AREAS.BBS");
  out.PathSetting("SQUISHPATH", bases.SQUISHPATH, ";Полный путь к файлу SQUISH.CFG");
  out.PathSetting("FASTECHOCFG", bases.FASTECHOCFG, ";Полный путь к файлу FASTECHO.CFG");
  out.PathSetting("TERMINATECFG", bases.TERMINATECFG, ";Полный путь к файлу TM.CFG");
  out.Lines({
      "",
      ";Ручное указание области:",
      ";  AREA <тип> <имя> [board]<путь>",
      ";    <тип> - Msg, Jam, Squish или Hudson (он же QBBS);",
      ";    <путь> - каталог для Msg, путь к базе без расширения для Jam и Squish;",
      ";    для Hudson перед каталогом базы пишется номер области (board).",
      ";Примеры:",
      ";  AREA Msg NetMail C:\\FIDO\\MAIL\\",
      ";  AREA Jam RU.FILES C:\\FIDO\\JAM\\RUFILES",
      ";  AREA Hudson LOCAL.FILES 001C:\\FIDO\\HUDSON\\",
      ";                          ^^^ номер области - ровно три цифры",
      "",
  });
}

void WriteReceiving(SettingsText& out, const FirstSettings& values) {
  out.Lines({
      ";Параметры приема",
      ";",
      "RECEIVEMODE advanced ;Режим приема файлов. По умолчанию advanced.",
      "                     ;standard - все файлы кладутся в каталог ROOT;",
      "                     ;advanced - для каждой области в ROOT создается свой",
      "                     ;подкаталог, например файлы из RU.UUENCODE попадут в",
      "                     ;подкаталог RUUUENCO.DE",
      "",
  });
  out.PathSetting("ROOT", values.ROOT, ";Директория в которой будут созданы каталоги для");
  out.Lines({
      "     ;раскодированных файлов (advanced) или куда будут сложены все",
      "     ;файлы (standard)",
      "",
      ";REPORTAREA NetMail ;Если указано, то постим отчеты о раскодированных файлах",
      "                    ;в эту область",
      "",
      ";HEADERLINES 100 ;Число строк, которые будут просматриваться при сканировании",
      "                 ;каждого сообщения. Если не указано - все сообщение",
      "",
      "DELETEDECODED no ;Если yes, то раскодированным сообщениям будет затем поставлен",
      "                 ;атрибут удаления",
      "",
      "DELETEBAD no ;Если yes, то в случае когда UU/XX/MIME секции не дошли или",
      "           ;повреждены, файл не создается",
      "",
      "HEADERS yes ;Выдирать ли из сообщений заголовки (до первой закодированной",
      "            ;строки) в файлы с расширением .dsc",
      "",
      "FILESBBS append ;Может быть 2 параметра: append или rewrite указывающие",
      "                ;дописывать ли описания в files.bbs или переписывать его",
      "",
      "DECODEYOURS no ;Если yes, то не добавляет в историю раскодированных файлов файлы",
      "               ;посланные Вами, а при раскодировании из командной строки",
      "               ;раскодирует и файлы, посланные с Ваших адресов",
      "",
      "DUPES move ;Что делать если раскодируемый файл уже существует:",
      "           ;move - переместить новый файл в подкаталог \\DUPES",
      "           ;delete - удалить новый файл (по умолчанию)",
      "           ;overwrite - записать новый файл поверх старого",
      "",
      "ALLFIXFILESBBS no ;Файлы files.bbs в стандарте AllFix. По умолчанию",
      "                  ;обычный формат. Например, обычный files.bbs:",
  });
  out.Box({"VELDMARK.ZIP  Veldmark - раскодирование и посылка",
           "              файлов в эхоконференциях"});
  out.Lines({";  тот же файл в стандарте AllFix:"});
  out.Box({"VELDMARK.ZIP Veldmark - раскодирование и посылка", ">файлов в эхоконференциях"});
  out.Line("");
}

void WriteSending(SettingsText& out) {
  out.Lines({
      ";Параметры посылки",
      ";",
      ";TEMPPATH <путь> ;Если переменная определена, то сюда копируются файлы готовые",
      "                 ;к посылке, и посылаются они уже отсюда. Удобно, когда файлы",
      "                 ;лежат на сменном диске или CD.",
      "                 ;Не удаляйте отсюда файлы, пока они не будут посланы!",
      "",
      ";LINESPERSEC 120 ;Число строк в секции. Если не указано - все сообщение",
      "",
      "HSUBST yes ;Если определено, то при посылке или вставке текста русская \"Н\"",
      "           ; будет заменена на латинскую \"H\"",
      "",
  });
}

// The example commands name programs that a Linux system has (Debian's zip, unzip, unrar and
// arj packages), with the placeholders of the Windows originals.
void WriteOthers(SettingsText& out) {
  out.Lines({
      ";Остальные параметры",
      ";",
      "SWAPPING xms ;Возможные варианты: XMS, EMS. Если не определено, то свопаемся",
      "             ;на диск",
      "",
      ";Внешние утилиты. Можно указать до 20 внешних программ",
      ";",
      ";  Формат:",
      ";  EXTERNUTIL \"<название>\" <клавиша> \"<путь>\" [ParamDlg] [Pause] [HideScreen]",
      ";  В пути можно использовать макросы:",
      ";    %1 - файл или каталог в правой панели",
      ";    %2 - имя области в правой панели",
      ";  Клавиши - только функциональные, в том числе с Alt, Ctrl и Shift, например",
      ";    F5, CtrlF8 или ShiftF1. Знаком ~ в названии отмечаются горячие буквы.",
      ";  Опции:",
      ";    ParamDlg - запросить дополнительные параметры командной строки",
      ";    Pause - после завершения программы ждать нажатия клавиши",
      ";    HideScreen - не показывать экран программы",
      ";",
      "EXTERNUTIL \"~С~оздать каталог\" F7 \"mkdir\" paramdlg hidescreen",
      "",
      "HIDEARC yes ;Если yes, то экран архиватора показан не будет.",
      "",
      ";Архиватор для упаковки файлов перед посылкой (\"Сжать перед посылкой\"):",
      ";  %1 - имя архива, %2 - список упаковываемых файлов",
      "PACKER \"zip -j %1 %2\"",
      "",
      ";Далее следуют пути к архиваторам",
      ";Можно указать до 20 различных архиваторов",
      ";",
      ";ARCHIVER <расширение> <путь>",
      ";  %1 - архив, %2 - файл в архиве, %3 - каталог, куда распаковывать",
      ";",
      "ARCHIVER RAR \"unrar e -o+ -c- -y %1 %2 %3/\" ;Архиватор RAR",
      "ARCHIVER ZIP \"unzip -o -qq -j -C %1 %2 -d %3\"",
      "ARCHIVER ARJ \"arj e -y %1 %3/ %2\"",
  });
}

}  // namespace

std::string FirstSettingsFileText(const FirstSettings& values) {
  SettingsText out;
  WriteGeneral(out, values);
  WriteBasePaths(out, values.bases);
  WriteReceiving(out, values);
  WriteSending(out);
  WriteOthers(out);
  return out.Take();
}

}  // namespace vm

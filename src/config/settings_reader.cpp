#include "config/settings_reader.h"

#include <cerrno>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "config/area_readers.h"
#include "config/config_lines.h"
#include "config/key_codes.h"
#include "platform/fatal.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/net_address.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr std::string_view kSettingsFileName = "veldmark.ctl";
constexpr size_t kArchiverExtensionWidth = 3;
constexpr size_t kArchiverCommandWidth = 200;
constexpr size_t kUtilityTitleWidth = 30;
constexpr size_t kKeyNameWidth = 8;
constexpr int64_t kMinLinesPerSection = 2;
constexpr int64_t kMaxLinesPerSection = 1000;
constexpr int64_t kMinHeaderLines = 5;
constexpr int32_t kBytesPerLine = 45;  // file bytes one encoded line carries

// One line of the file as the keyword rules see it.
struct SettingsLine {
  int number = 0;
  std::string text;         // as read, cut to 255 characters, control characters as blanks
  size_t afterKeyword = 0;  // position right after the keyword
  size_t afterValue = 0;    // position where the value word ended (its delimiter or the end)
  std::string value;        // the first word after the keyword, upper-cased
  // The same word as written: paths keep it, so that what the program creates (bases, ROOT,
  // the log, TEMP) is named as the sysop and the other programs of the node spell it.
  std::string path;
};

// The text from `from` up to the next double quote, or to the end when there is none.
std::string UpToQuote(std::string_view text, size_t from) {
  if (from >= text.size()) return {};
  std::string_view rest = text.substr(from);
  return std::string(rest.substr(0, rest.find('"')));
}

class SettingsReader;

struct KeywordRule {
  std::string_view keyword;
  void (SettingsReader::*apply)(const SettingsLine&, const KeywordRule&);
  bool Settings::*flag = nullptr;   // YES/NO keywords: the setting they switch
  std::string_view errorName = {};  // the keyword as error messages spell it, when different

  std::string_view NameInErrors() const { return errorName.empty() ? keyword : errorName; }
};

class SettingsReader {
 public:
  SettingsReader(ProgramPaths& paths, Settings& settings, AreaTable& areas, RunLog& log,
                 Console& console)
      : paths_(paths),
        settings_(settings),
        log_(log),
        console_(console),
        context_{.settings = settings,
                 .areas = areas,
                 .console = console,
                 .settingsLine = 0,
                 .fastEchoNetmailDir = {},
                 .tableFullWarned = false} {}

  void ReadLines(std::string_view contents);
  void CheckAfterLastLine();

  void SetFlag(const SettingsLine& line, const KeywordRule& rule);
  void SetFastEchoConfig(const SettingsLine& line, const KeywordRule& rule);
  void SetTempPath(const SettingsLine& line, const KeywordRule& rule);
  void SetReceiveMode(const SettingsLine& line, const KeywordRule& rule);
  void SetDupes(const SettingsLine& line, const KeywordRule& rule);
  void SetSortAreas(const SettingsLine& line, const KeywordRule& rule);
  void SetReportArea(const SettingsLine& line, const KeywordRule& rule);
  void SetTemp(const SettingsLine& line, const KeywordRule& rule);
  void SetName(const SettingsLine& line, const KeywordRule& rule);
  void SetAddress(const SettingsLine& line, const KeywordRule& rule);
  void SetLogPath(const SettingsLine& line, const KeywordRule& rule);
  void SetHudsonPath(const SettingsLine& line, const KeywordRule& rule);
  void SetPacker(const SettingsLine& line, const KeywordRule& rule);
  void SetRoot(const SettingsLine& line, const KeywordRule& rule);
  void SetSwapping(const SettingsLine& line, const KeywordRule& rule);
  void SetFilesBbs(const SettingsLine& line, const KeywordRule& rule);
  void SetLinesPerSection(const SettingsLine& line, const KeywordRule& rule);
  void SetHeaderLines(const SettingsLine& line, const KeywordRule& rule);
  void ReadTerminate(const SettingsLine& line, const KeywordRule& rule);
  void ReadSquish(const SettingsLine& line, const KeywordRule& rule);
  void ReadAreas(const SettingsLine& line, const KeywordRule& rule);
  void AddArea(const SettingsLine& line, const KeywordRule& rule);
  void AddArchiver(const SettingsLine& line, const KeywordRule& rule);
  void AddAka(const SettingsLine& line, const KeywordRule& rule);
  void AddExternalUtility(const SettingsLine& line, const KeywordRule& rule);

 private:
  void ReadLine(int number, std::string_view raw);

  [[noreturn]] static void Fail(const SettingsLine& line, const KeywordRule& rule) {
    FatalExit(Cp866("VELDMARK.CTL строка ") + std::to_string(line.number) +
              Cp866(": Ошибка в параметре ") + std::string(rule.NameInErrors()));
  }

  // The value among the allowed words; any other value is an error of the keyword.
  template <typename T>
  static T Choose(const SettingsLine& line, const KeywordRule& rule,
                  std::initializer_list<std::pair<std::string_view, T>> choices) {
    for (const auto& [word, result] : choices)
      if (line.value == word) return result;
    Fail(line, rule);
  }

  NetAddress ParseAddress(const SettingsLine& line, const KeywordRule& rule) {
    auto parsed = ParseNetAddress(line.value, settings_.lastParsedAddress);
    if (!parsed) Fail(line, rule);
    settings_.lastParsedAddress = *parsed;
    return *parsed;
  }

  ProgramPaths& paths_;
  Settings& settings_;
  RunLog& log_;
  Console& console_;
  AreaReaderContext context_;
};

// The keywords in the order they are compared; the first equal one applies.
constexpr KeywordRule kRules[] = {
    {"USEID", &SettingsReader::SetFlag, &Settings::USEID},
    {"FASTECHOCFG", &SettingsReader::SetFastEchoConfig},
    {"TEMPPATH", &SettingsReader::SetTempPath},
    {"RECEIVEMODE", &SettingsReader::SetReceiveMode, nullptr, "RECIEVEMODE"},
    {"DELETEDECODED", &SettingsReader::SetFlag, &Settings::DELETEDECODED},
    {"DUPES", &SettingsReader::SetDupes},
    {"DELETEBAD", &SettingsReader::SetFlag, &Settings::DELETEBAD},
    {"SHOWHIDDEN", &SettingsReader::SetFlag, &Settings::SHOWHIDDEN},
    {"DECODEYOURS", &SettingsReader::SetFlag, &Settings::DECODEYOURS},
    {"HEADERS", &SettingsReader::SetFlag, &Settings::HEADERS},
    {"SORTAREAFILES", &SettingsReader::SetFlag, &Settings::SORTAREAFILES},
    {"ALLFIXFILESBBS", &SettingsReader::SetFlag, &Settings::ALLFIXFILESBBS},
    {"HSUBST", &SettingsReader::SetFlag, &Settings::HSUBST},
    {"EXTRACTXCK", &SettingsReader::SetFlag, &Settings::EXTRACTXCK},
    {"LONGFILENAMES", &SettingsReader::SetFlag, &Settings::LONGFILENAMES},
    {"HIDEARC", &SettingsReader::SetFlag, &Settings::HIDEARC},
    {"SORTAREAS", &SettingsReader::SetSortAreas},
    {"REPORTAREA", &SettingsReader::SetReportArea},
    {"TEMP", &SettingsReader::SetTemp},
    {"NAME", &SettingsReader::SetName},
    {"ADDRESS", &SettingsReader::SetAddress},
    {"LOGPATH", &SettingsReader::SetLogPath},
    {"HUDSONPATH", &SettingsReader::SetHudsonPath},
    {"PACKER", &SettingsReader::SetPacker},
    {"ROOT", &SettingsReader::SetRoot},
    {"SWAPPING", &SettingsReader::SetSwapping},
    {"FILESBBS", &SettingsReader::SetFilesBbs},
    {"LINESPERSEC", &SettingsReader::SetLinesPerSection},
    {"HEADERLINES", &SettingsReader::SetHeaderLines},
    {"TERMINATECFG", &SettingsReader::ReadTerminate},
    {"SQUISHPATH", &SettingsReader::ReadSquish},
    {"AREASPATH", &SettingsReader::ReadAreas},
    {"AREA", &SettingsReader::AddArea},
    {"ARCHIVER", &SettingsReader::AddArchiver},
    {"AKA", &SettingsReader::AddAka},
    {"EXTERNUTIL", &SettingsReader::AddExternalUtility},
};

void SettingsReader::ReadLines(std::string_view contents) {
  int number = 0;
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find('\n', start);
    if (end == std::string_view::npos) end = contents.size();
    std::string_view raw = contents.substr(start, end - start);
    start = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    ReadLine(++number, raw);  // every line counts, comments and empty ones too
  }
}

void SettingsReader::ReadLine(int number, std::string_view raw) {
  SettingsLine line;
  line.number = number;
  // Tabs, NULs and other control characters separate words like blanks do.
  line.text = CutTo(raw, kMaxText);
  for (char& c : line.text)
    if (static_cast<unsigned char>(c) < ' ') c = ' ';

  size_t pos = 0;
  SkipBlanks(pos, line.text);
  if (pos >= line.text.size() || line.text[pos] == ';') return;
  std::string keyword = UpCaseAscii(GetWord(pos, line.text));
  line.afterKeyword = pos;
  SkipBlanks(pos, line.text);
  line.path = GetWord(pos, line.text);
  line.value = UpCaseCp866(line.path);
  line.afterValue = pos;

  for (const KeywordRule& rule : kRules) {
    if (keyword == rule.keyword) {
      (this->*rule.apply)(line, rule);
      return;
    }
  }
  WarnAndWait(console_, Cp866("VELDMARK.CTL строка ") + std::to_string(number) +
                            Cp866(": Неизвестный параметр ") + keyword);
}

void SettingsReader::SetFlag(const SettingsLine& line, const KeywordRule& rule) {
  settings_.*rule.flag = Choose<bool>(line, rule, {{"YES", true}, {"NO", false}});
}

void SettingsReader::SetFastEchoConfig(const SettingsLine& line, const KeywordRule&) {
  settings_.FASTECHOCFG = WithoutTrailingSlash(line.path);
  context_.settingsLine = line.number;
  ReadFastEchoConfig(settings_.FASTECHOCFG, context_);
}

void SettingsReader::SetTempPath(const SettingsLine& line, const KeywordRule&) {
  settings_.TEMPPATH = line.path.empty() ? std::string() : WithTrailingSlash(line.path);
}

void SettingsReader::SetReceiveMode(const SettingsLine& line, const KeywordRule& rule) {
  settings_.RECEIVEMODE = Choose<ReceiveMode>(
      line, rule, {{"ADVANCED", ReceiveMode::Advanced}, {"STANDARD", ReceiveMode::Standard}});
}

void SettingsReader::SetDupes(const SettingsLine& line, const KeywordRule& rule) {
  settings_.DUPES = Choose<DupesPolicy>(line, rule,
                                        {{"OVERWRITE", DupesPolicy::Overwrite},
                                         {"MOVE", DupesPolicy::Move},
                                         {"DELETE", DupesPolicy::Delete}});
}

void SettingsReader::SetSortAreas(const SettingsLine& line, const KeywordRule& rule) {
  settings_.SORTAREAS = Choose<SortAreasMode>(line, rule,
                                              {{"UNSORTED", SortAreasMode::Unsorted},
                                               {"TYPE", SortAreasMode::Type},
                                               {"NAME", SortAreasMode::Name}});
}

void SettingsReader::SetReportArea(const SettingsLine& line, const KeywordRule&) {
  settings_.REPORTAREA = line.value;
}

void SettingsReader::SetTemp(const SettingsLine& line, const KeywordRule&) {
  // An empty value would make the root directory the temporary one: keep $TEMP then.
  if (!line.path.empty()) paths_.TempDir = WithTrailingSlash(line.path);
}

void SettingsReader::SetName(const SettingsLine& line, const KeywordRule& rule) {
  // The name starts after the character that ended the value word (for a quoted name, the
  // opening quote) and runs to the next quote or the end of the line.
  std::string name = UpToQuote(line.text, line.afterValue + 1);
  if (name.empty()) Fail(line, rule);
  settings_.NAME = std::move(name);
}

void SettingsReader::SetAddress(const SettingsLine& line, const KeywordRule& rule) {
  settings_.address = ParseAddress(line, rule);
  settings_.ADDRESS = FormatNetAddress(settings_.address);
}

void SettingsReader::SetLogPath(const SettingsLine& line, const KeywordRule& rule) {
  if (line.path.empty()) {
    settings_.LOGPATH.clear();
    log_.Disable();
    return;
  }
  // A path without a drive, and not from the root, lies in ProgramDir.
  bool absolute =
      (line.path.size() >= 2 && line.path[1] == ':') || line.path[0] == '\\' || line.path[0] == '/';
  std::string path = absolute ? line.path : paths_.ProgramDir + line.path;
  File probe;
  if (!probe.Open(path, OpenMode::Append, Links::Replace)) Fail(line, rule);
  settings_.LOGPATH = path;
  log_.SetPath(path);
}

void SettingsReader::SetHudsonPath(const SettingsLine& line, const KeywordRule&) {
  settings_.HUDSONPATH = line.path.empty() ? std::string() : WithTrailingSlash(line.path);
}

void SettingsReader::SetPacker(const SettingsLine& line, const KeywordRule& rule) {
  // The command stands between the first two double quotes of the line.
  size_t open = line.text.find('"');
  size_t close = open == std::string::npos ? open : line.text.find('"', open + 1);
  if (close == std::string::npos) Fail(line, rule);
  settings_.PACKER = line.text.substr(open + 1, close - open - 1);
}

void SettingsReader::SetRoot(const SettingsLine& line, const KeywordRule&) {
  settings_.ROOT = WithoutTrailingSlash(line.path);
}

void SettingsReader::SetSwapping(const SettingsLine& line, const KeywordRule& rule) {
  settings_.SWAPPING = Choose<std::string_view>(line, rule, {{"XMS", "XMS"}, {"EMS", "EMS"}});
}

void SettingsReader::SetFilesBbs(const SettingsLine& line, const KeywordRule& rule) {
  settings_.FILESBBS = Choose<FilesBbsMode>(line, rule,
                                            {{"OFF", FilesBbsMode::Off},
                                             {"APPEND", FilesBbsMode::Append},
                                             {"REWRITE", FilesBbsMode::Rewrite}});
}

void SettingsReader::SetLinesPerSection(const SettingsLine& line, const KeywordRule& rule) {
  auto number = ParseWholeNumber(line.value);
  if (!number || *number < kMinLinesPerSection || *number > kMaxLinesPerSection) Fail(line, rule);
  settings_.LINESPERSEC = static_cast<int32_t>(*number);
}

void SettingsReader::SetHeaderLines(const SettingsLine& line, const KeywordRule& rule) {
  auto number = ParseWholeNumber(line.value);
  if (!number || *number < kMinHeaderLines || *number > std::numeric_limits<int32_t>::max())
    Fail(line, rule);
  settings_.HEADERLINES = static_cast<int32_t>(*number);
}

void SettingsReader::ReadTerminate(const SettingsLine& line, const KeywordRule&) {
  settings_.TERMINATECFG = WithoutTrailingSlash(line.path);
  context_.settingsLine = line.number;
  ReadTerminateConfig(settings_.TERMINATECFG, context_);
}

void SettingsReader::ReadSquish(const SettingsLine& line, const KeywordRule&) {
  settings_.SQUISHPATH = line.path;
  context_.settingsLine = line.number;
  ReadSquishConfig(settings_.SQUISHPATH, context_);
}

void SettingsReader::ReadAreas(const SettingsLine& line, const KeywordRule&) {
  settings_.AREASPATH = line.path;
  context_.settingsLine = line.number;
  ReadAreasBbs(settings_.AREASPATH, context_);
}

void SettingsReader::AddArea(const SettingsLine& line, const KeywordRule&) {
  context_.settingsLine = line.number;
  AddManualArea(line.text, line.afterKeyword, context_);
}

void SettingsReader::AddArchiver(const SettingsLine& line, const KeywordRule& rule) {
  if (settings_.archivers.size() >= Settings::kTableLimit) return;
  // Without a quoted command the rest of the line would be run as one.
  size_t open = line.text.find('"');
  if (open == std::string::npos) Fail(line, rule);
  ArchiverEntry archiver;
  archiver.extension = CutTo(line.value, kArchiverExtensionWidth);
  archiver.command = CutTo(UpToQuote(line.text, open + 1), kArchiverCommandWidth);
  settings_.archivers.push_back(std::move(archiver));
}

void SettingsReader::AddAka(const SettingsLine& line, const KeywordRule& rule) {
  if (settings_.akas.size() >= Settings::kTableLimit) return;
  settings_.akas.push_back(ParseAddress(line, rule));
}

void SettingsReader::AddExternalUtility(const SettingsLine& line, const KeywordRule& rule) {
  if (settings_.externalUtilities.size() >= Settings::kTableLimit) return;
  // "title" KEY "command" OPTIONS: the title comes after the first quote.
  size_t open = line.text.find('"');
  if (open == std::string::npos) Fail(line, rule);
  std::string rest = line.text.substr(open + 1);
  std::string title = UpToQuote(rest, 0);
  // Past the title, its closing quote and the blank after it.
  rest.erase(0, std::min(rest.size(), title.size() + 2));

  ExternalUtility utility;
  utility.title = CutTo(title, kUtilityTitleWidth);
  size_t pos = 0;
  SkipBlanks(pos, rest);
  utility.keyName = CutTo(UpCaseCp866(GetWord(pos, rest)), kKeyNameWidth);
  utility.keyCode = KeyCodeFromName(utility.keyName);
  if (utility.keyCode == 0) utility.keyName.clear();

  // The option words may stand anywhere after the title.
  std::string upper = UpCaseCp866(rest);
  if (upper.find("PARAMDLG") != std::string::npos) utility.RunOptions |= ExternalUtility::kParamDlg;
  if (upper.find("PAUSE") != std::string::npos) utility.RunOptions |= ExternalUtility::kPause;
  if (upper.find("HIDESCREEN") != std::string::npos)
    utility.RunOptions |= ExternalUtility::kHideScreen;

  size_t commandOpen = rest.find('"');
  if (commandOpen == std::string::npos) Fail(line, rule);
  utility.command = UpToQuote(rest, commandOpen + 1);
  settings_.externalUtilities.push_back(std::move(utility));
}

void SettingsReader::CheckAfterLastLine() {
  settings_.bytesPerSection = settings_.LINESPERSEC * kBytesPerLine;
  if (settings_.NAME.empty())
    FatalExit(Cp866("Имя не может быть пустым! Проверьте файл VELDMARK.CTL"));
  if (settings_.ADDRESS.empty())
    FatalExit(Cp866("Адрес не может быть пустым! Проверьте файл VELDMARK.CTL"));

  if (!settings_.ROOT.empty()) MakeDirectories(settings_.ROOT);
  if (!settings_.TEMPPATH.empty()) {
    MakeDirectories(settings_.TEMPPATH);
    if (!DirectoryToEnter(settings_.TEMPPATH)) {
      WarnAndWait(console_, Cp866("Путь указанный в переменной TEMPPATH недоступен! Проверьте файл "
                                  "VELDMARK.CTL\nПеременная TEMPPATH сброшена."));
      settings_.TEMPPATH.clear();
    }
  }
  if (!settings_.HUDSONPATH.empty()) {
    MakeDirectories(settings_.HUDSONPATH);
    if (!DirectoryToEnter(settings_.HUDSONPATH))
      FatalExit(
          Cp866("Путь указанный в переменной HUDSONPATH недоступен! Проверьте файл VELDMARK.CTL"));
  }
  if (!settings_.REPORTAREA.empty() && context_.areas.FindArea(settings_.REPORTAREA) == 0) {
    WarnAndWait(console_, Cp866("Конференции ") + settings_.REPORTAREA +
                              Cp866(" не существует! Проверьте файл VELDMARK.CTL"));
    settings_.REPORTAREA.clear();
  }

  ReadAreaDefinitions(paths_, context_.areas, console_);
  SortAreas(context_.areas, settings_.SORTAREAS);
  AddFastEchoNetmail(context_);
}

}  // namespace

bool ReadSettings(ProgramPaths& paths, Settings& settings, AreaTable& areas, RunLog& log,
                  Console& console) {
  std::string contents;
  int error = 0;
  if (!ReadWholeFile(paths.ProgramDir + std::string(kSettingsFileName), kMaxConfigText, contents,
                     error)) {
    // A file that is there but is no settings text is not to be replaced by the installation.
    if (error == kNotRegularFile || error == EFBIG)
      FatalExit(Cp866("Файл VELDMARK.CTL") + UnreadableFileReason(error, kMaxConfigText));
    return false;
  }
  if (contents.size() < kShortestSettingsFile) return false;
  SettingsReader reader(paths, settings, areas, log, console);
  reader.ReadLines(contents);
  reader.CheckAfterLastLine();
  return true;
}

}  // namespace vm

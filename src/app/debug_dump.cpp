#include "app/debug_dump.h"

#include <string_view>

#include "platform/file.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kLabelWidth = 19;

class Listing {
 public:
  void Line(std::string_view text) {
    text_ += text;
    text_ += "\r\n";
  }
  // "LABEL              = value"
  void Setting(std::string_view label, std::string_view value) {
    Line(FieldPad(kLabelWidth, 0, label) + "= " + std::string(value));
  }

  static std::string_view YesNo(bool value) { return value ? "yes" : "no"; }
  static std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

std::string_view SortAreasName(SortAreasMode mode) {
  switch (mode) {
    case SortAreasMode::Unsorted: return "unsorted";
    case SortAreasMode::Name: return "name";
    case SortAreasMode::Type: return "type";
  }
  return "";
}

std::string_view DupesName(DupesPolicy policy) {
  switch (policy) {
    case DupesPolicy::Delete: return "erase";
    case DupesPolicy::Move: return "move";
    case DupesPolicy::Overwrite: return "overwrite";
  }
  return "";
}

std::string_view FilesBbsName(FilesBbsMode mode) {
  switch (mode) {
    case FilesBbsMode::Off: return "off";
    case FilesBbsMode::Append: return "append";
    case FilesBbsMode::Rewrite: return "rewrite";
  }
  return "";
}

std::string FullAddress(const NetAddress& a) {
  return std::to_string(a.zone) + ":" + std::to_string(a.net) + "/" + std::to_string(a.node) + "." +
         std::to_string(a.point);
}

}  // namespace

std::string DebugListing(const ProgramPaths& paths, const Settings& settings,
                         const AreaTable& areas) {
  Listing out;
  out.Line("Veldmark v1.61.40 Win32b ");
  out.Setting("NAME", Listing::Quoted(settings.NAME));
  out.Line("ADDRESS " + settings.ADDRESS);
  for (const NetAddress& aka : settings.akas) out.Line("  AKA " + FullAddress(aka));
  out.Setting("TEMP", paths.TempDir);
  out.Setting("SHOWHIDDEN", Listing::YesNo(settings.SHOWHIDDEN));
  out.Setting("SORTAREAFILES", Listing::YesNo(settings.SORTAREAFILES));
  out.Setting("SORTAREAS", SortAreasName(settings.SORTAREAS));
  out.Setting("HUDSONPATH", settings.HUDSONPATH);
  out.Setting("FASTECHOCFG", settings.FASTECHOCFG);
  out.Setting("AREASPATH", settings.AREASPATH);
  out.Setting("SQUISHPATH", settings.SQUISHPATH);
  out.Setting("TERMAILPATH", settings.TERMINATECFG);
  out.Setting("RECIEVEMODE",
              settings.RECEIVEMODE == ReceiveMode::Advanced ? "advanced" : "standard");
  out.Setting("ROOT", settings.ROOT);
  out.Setting("REPORTAREA", settings.REPORTAREA);
  out.Setting("HEADERLINES", std::to_string(settings.HEADERLINES));
  out.Setting("DELETEDECODED", Listing::YesNo(settings.DELETEDECODED));
  out.Setting("DELETEBAD", Listing::YesNo(settings.DELETEBAD));
  out.Setting("DUPES", DupesName(settings.DUPES));
  out.Setting("FILESBBS", FilesBbsName(settings.FILESBBS));
  out.Setting("ALLFIXFILESBBS", Listing::YesNo(settings.ALLFIXFILESBBS));
  out.Line(FieldPad(kLabelWidth, 0, "TEMPPATH") + "=" + settings.TEMPPATH);
  out.Setting("LINESPERSEC", std::to_string(settings.LINESPERSEC));
  out.Setting("HSUBST", Listing::YesNo(settings.HSUBST));
  out.Setting("HEADERS", Listing::YesNo(settings.HEADERS));
  out.Setting("HIDEARC", Listing::YesNo(settings.HIDEARC));
  out.Setting("PACKER", Listing::Quoted(settings.PACKER));

  out.Line(Cp866("Архиваторы:"));
  for (const ArchiverEntry& archiver : settings.archivers)
    out.Line("  " + UpCaseCp866(archiver.extension) + " " + Listing::Quoted(archiver.command));

  out.Line(Cp866("Внешние утилиты:"));
  for (const ExternalUtility& utility : settings.externalUtilities)
    out.Line("   " + Listing::Quoted(utility.title) + " " + utility.keyName + " " +
             Listing::Quoted(utility.command) + " " + std::to_string(utility.RunOptions));

  out.Line(Cp866("Параметры областей:"));
  for (int i = 1; i <= areas.Count(); ++i) {
    const AreaEntry& area = areas.At(i);
    out.Line("  " + area.tag + "  NetMail = " + std::string(Listing::YesNo(area.netmail != 0)) +
             "  Exclude = " + std::string(Listing::YesNo(area.exclude != 0)) +
             "  SectionsPerDay = " + std::to_string(area.SectionsPerDay));
    out.Line("    HistoryLength = " + std::to_string(area.HistoryDays) +
             "  Sendmode = " + (area.sendMode == SendMode::Sequential ? "sequental" : "parallel"));
  }
  return out.Take();
}

void WriteDebugDump(const ProgramPaths& paths, const Settings& settings, const AreaTable& areas) {
  WriteFileAtomically(paths.ProgramDir + "VELDMARK.DBG", DebugListing(paths, settings, areas));
}

}  // namespace vm

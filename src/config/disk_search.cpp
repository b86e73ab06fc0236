#include "config/disk_search.h"

#include <string_view>

#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr int kEsc = 27;
constexpr size_t kProgressWidth = 79;  // one line of an 80-column terminal, cursor included

class DiskSearch {
 public:
  DiskSearch(const HostDrive& drive, Console& console) : drive_(drive), console_(console) {}

  DiskSearchResult Run() {
    Search(drive_.hostRoot, drive_.RootPath());
    EndProgress();
    return std::move(result_);
  }

 private:
  void Search(const std::string& hostDir, const std::string& programDir) {
    if (stopped_) return;
    int key = console_.PollKey();
    if (key == kEsc || key == ' ') {
      stopped_ = true;
      return;
    }
    for (const DriveEntry& entry : ListDriveDirectory(hostDir)) {
      if (stopped_) return;
      std::string hostPath = hostDir == "/" ? "/" + entry.hostName : hostDir + "/" + entry.hostName;
      std::string path = drive_.Join(programDir, entry.name);
      ShowProgress(path);
      if (entry.kind == DriveEntry::Kind::File) {
        Examine(UpCaseCp866(entry.name), path, drive_.Join(programDir, ""));
      } else if (entry.kind == DriveEntry::Kind::Directory && !IsKernelDirectory(hostPath)) {
        Search(hostPath, path);
      }
    }
  }

  // One file: the names the installation looks for.
  void Examine(const std::string& upperName, const std::string& path, const std::string& dir) {
    MessageBasePaths& bases = result_.bases;
    if (upperName == "TM.CFG") {
      Offer(Cp866("  Найден Terminate"), Cp866("  Использовать его TM.CFG? (Y/N)"), path,
            bases.TERMINATECFG);
    } else if (upperName == "AREAS.BBS") {
      Offer(Cp866("  Найден ") + path, Cp866("  Использовать этот AREAS.BBS? (Y/N)"), path,
            bases.AREASPATH);
    } else if (upperName == "SQUISH.CFG") {
      Offer(Cp866("  Найден ") + path, Cp866("  Использовать этот SQUISH.CFG? (Y/N)"), path,
            bases.SQUISHPATH);
    } else if (upperName == "FASTECHO.CFG") {
      Offer(Cp866("  Найден FastEcho"), Cp866("  Использовать FASTECHO.CFG? (Y/N)"), path,
            bases.FASTECHOCFG);
    } else if (upperName == "GOLDED.CFG") {
      EndProgress();
      console_.WriteLine(Cp866("  Найден GoldEd"));
      result_.goldEdDir = dir;
    } else if (upperName == "MSGTXT.BBS") {
      EndProgress();
      bases.HUDSONPATH = dir;
      console_.WriteLine(Cp866("  Обнаружена база данных HUDSON: ") + dir);
    }
  }

  void Offer(const std::string& found, const std::string& question, const std::string& path,
             std::string& setting) {
    EndProgress();
    console_.WriteLine(found);
    if (AskYesNo(console_, question)) setting = path;
  }

  // The path on one line of the terminal: a long one shows its end.
  void ShowProgress(std::string_view path) {
    std::string shown = path.size() <= kProgressWidth
                            ? std::string(path)
                            : "..." + std::string(path.substr(path.size() - kProgressWidth + 3));
    console_.WriteProgress(FieldPad(kProgressWidth, 0, shown));
  }

  // Blanks out the progress line, so that what is printed next starts on a clean line.
  void EndProgress() {
    console_.WriteProgress(std::string(kProgressWidth, ' '));
    console_.WriteProgress("");
  }

  const HostDrive& drive_;
  Console& console_;
  DiskSearchResult result_;
  bool stopped_ = false;
};

}  // namespace

DiskSearchResult SearchDisk(const HostDrive& drive, Console& console) {
  return DiskSearch(drive, console).Run();
}

}  // namespace vm

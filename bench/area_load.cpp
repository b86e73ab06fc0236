// Times loading 4096 areas from AREAS.BBS and applying an AREADEFS.CTL of 50 groups, beside
// the time to merely read the lines of the same two files the way the loader reads them (the
// whole file through the program's path mapping, split at line ends). The load should stay
// within three times the plain reading: lookups and mask matching must not grow quadratically.
//
// Usage: bench_area_load [rounds [areas]]   (prints both times and their ratio; exit code 1
// when the ratio is 3 or more). Both sides are timed as the best of the rounds.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/area_readers.h"
#include "config/config_lines.h"
#include "platform/host_path.h"
#include "quiet_console.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const kHierarchies[] = {"RU", "SU", "FIDO", "N5020", "ZZ", "OS2", "PVT", "LOCAL"};

// AREAS.BBS: the areas spread over a few hierarchies and all base kinds, with links.
std::string AreasBbs(int areaCount) {
  std::string text = "Veldmark test node\r\n";
  for (int i = 0; i < areaCount; ++i) {
    std::string tag = std::string(kHierarchies[i % 8]) + ".AREA" + std::to_string(i);
    std::string path;
    switch (i % 4) {
      case 0: path = "C:\\FIDO\\MSG\\" + tag; break;
      case 1: path = "$C:\\FIDO\\SQUISH\\" + tag; break;
      case 2: path = "!C:\\FIDO\\JAM\\" + tag; break;
      default: path = std::to_string(i % 200 + 1); break;
    }
    text += path + " " + tag + " 2:5020/" + std::to_string(i % 500) + " 2:5020/9999 1:2/3\r\n";
  }
  return text;
}

// AREADEFS.CTL: 50 groups, most naming one area, some a hierarchy, one everything.
std::string AreaDefinitions() {
  std::string text = ";Area definitions for the benchmark\r\n\r\n";
  for (int g = 0; g < 50; ++g) {
    if (g == 0)
      text += "AREA *\r\n  HISTORYLENGTH 30\r\n";
    else if (g % 10 == 0)
      text += "AREA " + std::string(kHierarchies[g / 10]) + ".*\r\n  EXCLUDE yes\r\n";
    else if (g % 10 == 5)
      text += "AREA R?.AREA1*\r\n  SENDMODE sequental\r\n";
    else
      text += "AREA RU.AREA" + std::to_string(g * 8) + "\r\n  NAME \"Group " + std::to_string(g) +
              "\"\r\n  SECTIONSPERDAY " + std::to_string(g) + "\r\n";
    text += "  FILES *.ZIP D:\\FILES\\ZIP\r\n  NETMAIL no\r\n\r\n";
  }
  return text;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

size_t ReadLinesPlainly(const std::string& path) {
  vm::ConfigText text;
  int error = 0;
  if (!vm::ReadConfigText(path, text, error)) std::abort();
  return text.lines.size();
}

// The everyday way of reading a text file's lines: one string per line.
size_t ReadLinesWithGetline(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  size_t count = 0;
  while (std::getline(in, line)) ++count;
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  int wanted = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, vm::AreaTable::kCapacity) : 4096;
  std::string pattern = (std::filesystem::temp_directory_path() / "area_load.XXXXXX").string();
  std::filesystem::path dir = mkdtemp(pattern.data());
  std::ofstream(dir / "AREAS.BBS", std::ios::binary) << AreasBbs(wanted);
  std::ofstream(dir / "AREADEFS.CTL", std::ios::binary) << AreaDefinitions();
  std::string programDir = vm::ProgramPathFromHost(dir.string()) + "/";

  double getlineBest = 1e9, plainBest = 1e9, loadBest = 1e9, areasBest = 1e9, nameSortBest = 1e9;
  int areaCount = 0;
  size_t lineCount = 0;
  for (int round = 0; round < rounds; ++round) {
    auto start = Clock::now();
    ReadLinesWithGetline(dir / "AREAS.BBS");
    ReadLinesWithGetline(dir / "AREADEFS.CTL");
    getlineBest = std::min(getlineBest, Seconds(Clock::now() - start));

    start = Clock::now();
    lineCount =
        ReadLinesPlainly(programDir + "AREAS.BBS") + ReadLinesPlainly(programDir + "areadefs.ctl");
    plainBest = std::min(plainBest, Seconds(Clock::now() - start));

    vm::Settings settings;
    settings.HUDSONPATH = "C:\\FIDO\\HUDSON\\";
    vm::AreaTable areas;
    QuietConsole console;
    vm::AreaReaderContext context{settings, areas, console, 1, {}, false};
    vm::ProgramPaths paths{programDir, programDir, programDir, programDir, {}};
    start = Clock::now();
    vm::ReadAreasBbs(programDir + "AREAS.BBS", context);
    areasBest = std::min(areasBest, Seconds(Clock::now() - start));
    vm::ReadAreaDefinitions(paths, areas, console);
    vm::SortAreas(areas, settings.SORTAREAS);
    vm::AddFastEchoNetmail(context);
    loadBest = std::min(loadBest, Seconds(Clock::now() - start));
    areaCount = areas.Count();

    start = Clock::now();
    vm::SortAreas(areas, vm::SortAreasMode::Name);
    nameSortBest = std::min(nameSortBest, Seconds(Clock::now() - start));
  }
  std::filesystem::remove_all(dir);

  double ratio = loadBest / getlineBest;
  std::printf("areas: %d, lines: %zu, best of %d rounds\n", areaCount, lineCount, rounds);
  std::printf("reading the lines (getline):      %8.3f ms\n", getlineBest * 1e3);
  std::printf("reading the lines (loader split): %8.3f ms\n", plainBest * 1e3);
  std::printf(
      "loading areas and defs:           %8.3f ms  (ratio %.2f to getline, %.2f to split)\n",
      loadBest * 1e3, ratio, loadBest / plainBest);
  std::printf("  of which AREAS.BBS:             %8.3f ms\n", areasBest * 1e3);
  std::printf("SORTAREAS NAME afterwards:        %8.3f ms\n", nameSortBest * 1e3);
  return ratio < 3 ? 0 : 1;
}

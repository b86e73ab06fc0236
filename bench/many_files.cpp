// Many small files in one run: the whole unattended flow (/All of the built program: scan,
// history, final names, files.bbs) over a *.MSG area of 900 and of 2,700 one-section postings
// (a run's catalogue holds up to 2,998 files).
// The time per file must not grow with the number of files.
//
//   bench_many_files [WORKDIR [VELDMARK]]   (defaults: /tmp/veldmark_many_bench, the veldmark
//                                            beside this program's directory)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "decode_corpus.h"

namespace fs = std::filesystem;
using namespace vm;

namespace {

constexpr int kRuns = 3;

// A node whose RU.FILES holds `count` one-section postings; the run's output is cleared.
void MakeNode(const fs::path& node, int count) {
  fs::remove_all(node);
  fs::create_directories(node / "area");
  std::ofstream(node / "VELDMARK.CTL", std::ios::binary)
      << "NAME \"Ivan Petrov\"\r\nADDRESS 2:5020/100\r\nROOT out\r\nAREA MSG RU.FILES area\r\n";
  std::ofstream(node / "VELDMARK.TPL", std::ios::binary) << "@SECTION\r\n";
  std::ofstream(node / "AREADEFS.CTL", std::ios::binary) << ";\r\n";
  MessageBaseHandle area;
  if (!OpenOrCreateMessageArea("F" + (node / "area").string(), area)) std::exit(1);
  for (int i = 0; i < count; ++i) {
    const bench::CorpusFile file{"f" + std::to_string(i) + ".bin", bench::CorpusBytes(2000, i)};
    for (const auto& section : bench::UuSections(file, 100))
      if (!bench::PostSection(*area, file, section)) std::exit(1);
  }
  CloseMessageArea(area);
}

// The best of kRuns runs of /All, each on the area as written (the files and the state of
// the previous run removed).
double BestRun(const fs::path& node, const std::string& veldmark) {
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    for (const char* made : {"OUT", "veldmark.dup", "areas.lst", "queue.lst"})
      fs::remove_all(node / made);
    const std::string command = "cd '" + node.string() + "' && VELDMARK_HOME=. TEMP=. '" +
                                veldmark + "' /All </dev/null >/dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) std::cerr << "the run failed\n";
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path work = argc > 1 ? argv[1] : "/tmp/veldmark_many_bench";
  const std::string veldmark =
      argc > 2 ? argv[2]
               : (fs::absolute(argv[0]).parent_path().parent_path() / "veldmark").string();
  double perFile[2] = {};
  const int counts[2] = {900, 2700};
  for (int i = 0; i < 2; ++i) {
    const fs::path node = work / std::to_string(counts[i]);
    MakeNode(node, counts[i]);
    const double seconds = BestRun(node, veldmark);
    perFile[i] = seconds / counts[i];
    std::printf("%5d files: %.3f s, %.1f us per file\n", counts[i], seconds, perFile[i] * 1e6);
  }
  std::printf("per-file time, 2700 against 900 files: %.2f   (linear: about 1)\n",
              perFile[1] / perFile[0]);
  return 0;
}

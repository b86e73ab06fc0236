// Decoding speed: veldmark's area scan and decoders against uudeview (and uudecode's
// single-stream rate) on the same multi-part posting set, at least 100 MB of encoded text in
// 120-line sections, read from a text file and from a *.MSG area.
//
//   bench_decode_speed [WORKDIR [MEGABYTES]]    (defaults: /tmp/veldmark_decode_bench, 100)
//
// The corpus is generated into WORKDIR on the first run and reused afterwards. Rates are
// megabytes of encoded text per second (best of five rounds, each running every contender
// once); every decoded file is compared with its source.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <vector>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/area_scan.h"
#include "decode/file_decoder.h"
#include "decode_corpus.h"
#include "platform/run_log.h"
#include "quiet_console.h"

namespace fs = std::filesystem;
using namespace vm;

namespace {

constexpr int kLinesPerSection = 120;
constexpr size_t kFileSize = 5 * 1000 * 1000;
constexpr int kRuns = 5;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void GenerateCorpus(const fs::path& work, size_t megabytes) {
  const std::vector<bench::CorpusFile> files =
      bench::MakeCorpusFiles(megabytes * 1000 * 1000, kFileSize);
  fs::remove_all(work);
  fs::create_directories(work / "msg");
  fs::create_directories(work / "sources");
  for (const bench::CorpusFile& f : files)
    std::ofstream(work / "sources" / f.name, std::ios::binary) << f.data;

  std::ofstream text(work / "posting.txt", std::ios::binary);
  MessageBaseHandle area;
  if (!OpenOrCreateMessageArea("F" + (work / "msg").string(), area)) {
    std::cerr << "cannot create the *.MSG area\n";
    std::exit(1);
  }
  bench::ForEachSection(files, kLinesPerSection, false,
                        [&](const bench::CorpusFile&, const std::vector<std::string>& lines) {
                          for (const std::string& line : lines) text << line << '\n';
                        });
  bench::ForEachSection(files, kLinesPerSection, true,
                        [&](const bench::CorpusFile& f, const std::vector<std::string>& lines) {
                          if (!bench::PostSection(*area, f, lines)) {
                            std::cerr << "cannot write a message\n";
                            std::exit(1);
                          }
                        });
  CloseMessageArea(area);

  // The same bytes as one uuencode stream for uudecode.
  std::ofstream single(work / "single.uue", std::ios::binary);
  single << "begin 644 all.bin\n";
  for (const bench::CorpusFile& f : files) {
    const auto* p = reinterpret_cast<const unsigned char*>(f.data.data());
    for (size_t at = 0; at < f.data.size(); at += 45)
      single << bench::UuLine(p + at, std::min<size_t>(45, f.data.size() - at)) << '\n';
  }
  single << "`\nend\n";
  std::ofstream(work / "corpus.done") << "v2 " << megabytes << "\n";
}

// One contender: what it runs, what it needs before each run (untimed: clearing the previous
// run's output, which no decoder is asked to do), and its best time.
struct Contender {
  std::function<void()> run;
  std::function<void()> prepare = [] {};
  double best = 1e9;
};

// Every contender runs once per round, the rounds one after the other, so that a slow spell of
// the machine falls on all of them alike rather than on one contender's runs.
void TimeInRounds(std::vector<Contender*> contenders) {
  for (int round = 0; round < kRuns; ++round) {
    for (Contender* c : contenders) {
      c->prepare();
      const auto start = std::chrono::steady_clock::now();
      c->run();
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      c->best = std::min(c->best, took.count());
    }
  }
}

void EmptyDirectory(const fs::path& dir) {
  fs::remove_all(dir);
  fs::create_directories(dir);
}

// Scans the area and decodes every complete file into out (an empty directory); the files
// are renamed to their found names.
int DecodeArea(const std::string& areaId, const fs::path& out) {
  Settings settings;
  DecodeRunState state;
  QuietConsole console;
  RunLog log;
  AreaEntry area;
  FoundFileCatalogue catalogue;
  FileDecodeWork work;
  MessageBaseHandle base;
  if (!OpenMessageArea(areaId, base)) return -1;
  DecodeSession session{settings, state, console, log, nullptr};
  ScanArea(session, *base, area, catalogue, ScanOptions{1, true, ""});
  int bad = 0;
  for (int i = 2; i <= catalogue.Count(); ++i) {
    const FoundFile& file = catalogue.At(i);
    if (!file.Complete()) continue;
    FileDecodeOutcome outcome = DecodeFoundFile(session, *base, work, file, out.string());
    if (outcome.result != 0) ++bad;
    fs::rename(out / outcome.outputName, out / file.name);
  }
  CloseMessageArea(base);
  return bad;
}

bool SameFiles(const fs::path& sources, const fs::path& out) {
  size_t count = 0;
  for (const auto& entry : fs::directory_iterator(sources)) {
    ++count;
    fs::path decoded = out / entry.path().filename();
    if (!fs::exists(decoded))
      decoded = out / [&] {
        std::string upper = entry.path().filename().string();
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return upper;
      }();
    if (ReadAll(entry.path()) != ReadAll(decoded)) {
      std::cerr << "  differs: " << decoded << "\n";
      return false;
    }
  }
  return count > 0;
}

int Run(const std::string& command) { return std::system(command.c_str()); }

}  // namespace

int main(int argc, char** argv) {
  const fs::path work = argc > 1 ? argv[1] : "/tmp/veldmark_decode_bench";
  const size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100;
  if (ReadAll(work / "corpus.done") != "v2 " + std::to_string(megabytes) + "\n") {
    std::cout << "generating " << megabytes << " MB of postings in " << work << " ..." << std::endl;
    GenerateCorpus(work, megabytes);
  }
  const double encodedMb = static_cast<double>(fs::file_size(work / "posting.txt")) / 1e6;
  const double singleMb = static_cast<double>(fs::file_size(work / "single.uue")) / 1e6;
  std::printf("posting set: %.1f MB of encoded text in %d-line sections\n", encodedMb,
              kLinesPerSection);

  int bad = 0;
  const fs::path uudeviewOut = work / "out_uudeview";
  const fs::path uudecodeOut = work / "single.out";
  Contender text{
      [&] { bad += DecodeArea("T" + (work / "posting.txt").string(), work / "out_text"); },
      [&] { EmptyDirectory(work / "out_text"); }};
  Contender msg{[&] { bad += DecodeArea("F" + (work / "msg").string(), work / "out_msg"); },
                [&] { EmptyDirectory(work / "out_msg"); }};
  Contender uudeview{[&] {
                       Run("uudeview -i -o -q -p '" + uudeviewOut.string() + "' '" +
                           (work / "posting.txt").string() + "' >/dev/null 2>&1");
                     },
                     [&] { EmptyDirectory(uudeviewOut); }};
  Contender uudecode{
      [&] { Run("uudecode -o - '" + (work / "single.uue").string() + "' >/dev/null"); }};
  // The same with its output written to a file, as the decoders above write theirs.
  Contender uudecodeFile{
      [&] {
        Run("uudecode -o '" + uudecodeOut.string() + "' '" + (work / "single.uue").string() + "'");
      },
      [&] { fs::remove(uudecodeOut); }};
  TimeInRounds({&text, &msg, &uudeview, &uudecode, &uudecodeFile});
  fs::remove(uudecodeOut);
  const bool textSame = SameFiles(work / "sources", work / "out_text");
  const bool msgSame = SameFiles(work / "sources", work / "out_msg");
  const bool uudeviewSame = SameFiles(work / "sources", uudeviewOut);
  const double textSeconds = text.best, msgSeconds = msg.best, uudeviewSeconds = uudeview.best,
               uudecodeSeconds = uudecode.best, uudecodeFileSeconds = uudecodeFile.best;

  const double textRate = encodedMb / textSeconds;
  const double msgRate = encodedMb / msgSeconds;
  const double uudeviewRate = encodedMb / uudeviewSeconds;
  const double uudecodeRate = singleMb / uudecodeSeconds;
  const double uudecodeFileRate = singleMb / uudecodeFileSeconds;
  std::printf("veldmark, text file:  %8.1f MB/s  (%.3f s)%s\n", textRate, textSeconds,
              textSame ? "" : "  OUTPUT DIFFERS");
  std::printf("veldmark, *.MSG area: %8.1f MB/s  (%.3f s)%s\n", msgRate, msgSeconds,
              msgSame ? "" : "  OUTPUT DIFFERS");
  std::printf("uudeview -i -o -q -p: %8.1f MB/s  (%.3f s)%s\n", uudeviewRate, uudeviewSeconds,
              uudeviewSame ? "" : "  OUTPUT DIFFERS");
  std::printf("uudecode (1 stream):  %8.1f MB/s  (%.3f s)\n", uudecodeRate, uudecodeSeconds);
  std::printf("  the same into a file: %6.1f MB/s  (%.3f s)\n", uudecodeFileRate,
              uudecodeFileSeconds);
  std::printf("ratio to uudeview:    text %.2fx, *.MSG %.2fx   (target >= 4)\n",
              textRate / uudeviewRate, msgRate / uudeviewRate);
  std::printf("ratio to uudecode:    text %.2f, *.MSG %.2f     (target >= 0.5)\n",
              textRate / uudecodeRate, msgRate / uudecodeRate);
  std::printf("  writing a file too:  text %.2f, *.MSG %.2f\n", textRate / uudecodeFileRate,
              msgRate / uudecodeFileRate);
  if (bad != 0) std::printf("files decoded with errors: %d\n", bad);
  return textSame && msgSame && bad == 0 ? 0 : 1;
}

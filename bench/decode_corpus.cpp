// Writes the decoding benchmark's posting set without timing anything, for manual runs of
// other decoders:  bench_decode_corpus OUTDIR [MEGABYTES]
// OUTDIR gets posting.txt (all sections), msg/ (one *.MSG message per section) and
// sources/ (the original files).
#include "decode_corpus.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;
using namespace vm;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: bench_decode_corpus OUTDIR [MEGABYTES]\n";
    return 2;
  }
  const fs::path out = argv[1];
  const size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100;
  const auto files = bench::MakeCorpusFiles(megabytes * 1000 * 1000, 5 * 1000 * 1000);
  fs::create_directories(out / "msg");
  fs::create_directories(out / "sources");
  for (const auto& f : files) std::ofstream(out / "sources" / f.name, std::ios::binary) << f.data;
  std::ofstream text(out / "posting.txt", std::ios::binary);
  MessageBaseHandle area;
  if (!OpenOrCreateMessageArea("F" + (out / "msg").string(), area)) return 1;
  bool ok = true;
  bench::ForEachSection(files, 120, false,
                        [&](const bench::CorpusFile&, const std::vector<std::string>& lines) {
                          for (const std::string& line : lines) text << line << '\n';
                        });
  bench::ForEachSection(files, 120, true,
                        [&](const bench::CorpusFile& f, const std::vector<std::string>& lines) {
                          ok = bench::PostSection(*area, f, lines) && ok;
                        });
  CloseMessageArea(area);
  return ok ? 0 : 1;
}

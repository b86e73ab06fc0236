// Reads every message of a large generated *.MSG area through the message base interface
// (LoadHeader, StartReading, NextLineView until the text ends) and, for comparison, reads the same
// files raw (open, one read, close). Prints both rates in MB/s of message files.
// Build it in an optimised build directory (CMAKE_BUILD_TYPE=Release).
//
//   bench_msg_read [directory [messages]]   (default: $TMPDIR/veldmark-bench-msg, 30000)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "best_timing.h"
#include "fido_corpus.h"
#include "msgbase/message_base.h"
#include "platform/file.h"

namespace {

using vm::bench::Timer;
using vm::bench::Timing;

// Raw reads: the bytes of every file, as a program that only copies them would get them.
uint64_t ReadRaw(const std::filesystem::path& dir, int count) {
  uint64_t total = 0;
  std::string buffer;
  for (int n = 1; n <= count; ++n) {
    vm::File file;
    if (!file.OpenHost((dir / (std::to_string(n) + ".msg")).string(), vm::OpenMode::Read)) continue;
    buffer.resize(static_cast<size_t>(file.Size()));
    total += file.ReadAt(0, buffer.data(), buffer.size());
  }
  return total;
}

// Through the interface: every header and every line of every text. Returns the bytes of the
// message files read (as the raw pass counts them) and the line bytes seen.
uint64_t ReadThroughInterface(const std::filesystem::path& dir, uint64_t& lineBytes) {
  vm::MessageBaseHandle base;
  if (!vm::OpenMessageArea("F" + dir.string(), base)) {
    std::fprintf(stderr, "cannot open %s\n", dir.c_str());
    std::exit(1);
  }
  uint64_t fileBytes = 0;
  lineBytes = 0;
  for (base->SeekFrom(1); base->Found(); base->SeekNext()) {
    base->LoadHeader();
    base->StartReading();
    lineBytes += base->FromName().size() + base->Subject().size();
    while (!base->TextEnded()) lineBytes += base->NextLineView(255).size();
    // The text ends at the zero byte that closes the file: header, text and that byte.
    fileBytes += static_cast<uint64_t>(base->TextPosition()) + 1;
  }
  vm::CloseMessageArea(base);
  return fileBytes;
}

}  // namespace

int main(int argc, char** argv) {
  const char* tmp = std::getenv("TMPDIR");
  std::filesystem::path dir =
      argc > 1 ? argv[1] : std::filesystem::path(tmp && *tmp ? tmp : "/tmp") / "veldmark-bench-msg";
  int count = argc > 2 ? std::atoi(argv[2]) : 30000;
  std::printf("generating %d messages in %s ...\n", count, dir.c_str());
  vm::bench::MakeCorpus(dir, count);
  ReadRaw(dir, count);  // warm the page cache

  // Best of five rounds, in wall-clock time and in the process's CPU time (the second is the
  // fairer comparison on a machine that other jobs keep busy).
  Timing raw, api;
  uint64_t rawBytes = 0, apiBytes = 0, lineBytes = 0;
  for (int round = 0; round < 5; ++round) {
    Timer timer;
    rawBytes = ReadRaw(dir, count);
    raw.Keep(timer);
    timer = Timer();
    apiBytes = ReadThroughInterface(dir, lineBytes);
    api.Keep(timer);
  }
  std::printf("%d messages, %.1f MB (%.1f MB of lines)\n", count, rawBytes / 1e6, lineBytes / 1e6);
  std::printf("                        wall-clock        CPU time\n");
  std::printf("raw file reads:        %8.1f MB/s  %8.1f MB/s\n", rawBytes / raw.wall / 1e6,
              rawBytes / raw.cpu / 1e6);
  std::printf("LoadHeader + lines:    %8.1f MB/s  %8.1f MB/s\n", apiBytes / api.wall / 1e6,
              apiBytes / api.cpu / 1e6);
  std::printf("interface / raw:       %8.0f %%     %8.0f %%\n", 100.0 * raw.wall / api.wall,
              100.0 * raw.cpu / api.cpu);
  if (apiBytes != rawBytes)
    std::printf("note: the interface read %llu bytes, raw %llu\n",
                static_cast<unsigned long long>(apiBytes),
                static_cast<unsigned long long>(rawBytes));
  return 0;
}

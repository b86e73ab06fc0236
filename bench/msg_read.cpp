// Reads every message of a large generated *.MSG area through the message base interface
// (LoadHeader, StartReading, NextLine until the text ends) and, for comparison, reads the same
// files raw (open, one read, close). Prints both rates in MB/s of message files.
//
//   bench_msg_read [directory [messages]]   (default: $TMPDIR/veldmark-bench-msg, 30000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fido_corpus.h"
#include "msgbase/message_base.h"
#include "platform/file.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

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
    while (!base->TextEnded()) lineBytes += base->NextLine(255).size();
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

  double bestRaw = 1e9, bestApi = 1e9;
  uint64_t rawBytes = 0, apiBytes = 0, lineBytes = 0;
  for (int round = 0; round < 3; ++round) {
    auto start = Clock::now();
    rawBytes = ReadRaw(dir, count);
    bestRaw = std::min(bestRaw, Seconds(start));
    start = Clock::now();
    apiBytes = ReadThroughInterface(dir, lineBytes);
    bestApi = std::min(bestApi, Seconds(start));
  }
  double rawRate = rawBytes / bestRaw / 1e6;
  double apiRate = apiBytes / bestApi / 1e6;
  std::printf("%d messages, %.1f MB (%.1f MB of lines)\n", count, rawBytes / 1e6, lineBytes / 1e6);
  std::printf("raw file reads:        %8.1f MB/s\n", rawRate);
  std::printf("LoadHeader + NextLine: %8.1f MB/s (%.0f%% of raw)\n", apiRate,
              100.0 * apiRate / rawRate);
  if (apiBytes != rawBytes)
    std::printf("note: the interface read %llu bytes, raw %llu\n",
                static_cast<unsigned long long>(apiBytes),
                static_cast<unsigned long long>(rawBytes));
  return 0;
}

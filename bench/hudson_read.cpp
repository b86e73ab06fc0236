// Reads every message of one board of a large generated Hudson base through the message base
// interface (SeekNext, LoadHeader, StartReading, NextLineView until the text ends), the
// board's messages lying between as many of another board's, and for comparison reads
// MSGTXT.BBS raw (1 MB at a time). Prints both rates in MB/s of text records.
// Build it in an optimised build directory (CMAKE_BUILD_TYPE=Release).
//
//   bench_hudson_read [directory [messages per board]]   (default: $TMPDIR/veldmark-bench-hudson,
//   10000)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "best_timing.h"
#include "msgbase/hudson/hudson_layout.h"
#include "msgbase/message_base.h"
#include "platform/file.h"
#include "text/little_endian.h"

namespace {

using vm::bench::Timer;
using vm::bench::Timing;

using namespace vm::hudson;
using vm::PutLe16;

void PutText(std::string& record, size_t offset, const std::string& text) {
  record[offset] = static_cast<char>(text.size());
  record.replace(offset + 1, text.size(), text);
}

// Boards 1 and 2 taking turns, each message about 3 KB of 61-byte lines (a UUE section).
void MakeBase(const std::filesystem::path& dir, int perBoard) {
  std::filesystem::create_directories(dir);
  std::string info(kInfoSize, '\0'), index, toIndex, headers, texts;
  const int total = perBoard * 2;
  PutLe16(info, kInfoLowest, 1);
  PutLe16(info, kInfoHighest, static_cast<uint16_t>(total));
  PutLe16(info, kInfoTotal, static_cast<uint16_t>(total));
  PutLe16(info, kInfoBoardActive, static_cast<uint16_t>(perBoard));
  PutLe16(info, kInfoBoardActive + 2, static_cast<uint16_t>(perBoard));
  std::string text;
  for (int line = 0; line < 50; ++line)
    text += "M" + std::string(60, static_cast<char>('!' + line)) + "\r";
  for (int n = 1; n <= total; ++n) {
    const uint8_t board = static_cast<uint8_t>(1 + n % 2);
    const size_t first = texts.size() / kTextRecordSize;
    size_t records = 0;
    for (size_t from = 0; from < text.size(); from += kTextRecordBytes, ++records) {
      std::string record(kTextRecordSize, '\0');
      PutText(record, 0, text.substr(from, kTextRecordBytes));
      texts += record;
    }
    std::string header(kHeaderSize, '\0');
    PutLe16(header, kHdrNumber, static_cast<uint16_t>(n));
    PutLe16(header, kHdrFirstText, static_cast<uint16_t>(first));
    PutLe16(header, kHdrTextRecords, static_cast<uint16_t>(records));
    header[kHdrBoard] = static_cast<char>(board);
    PutText(header, kHdrFrom, "Poster");
    PutText(header, kHdrTo, "All");
    PutText(header, kHdrSubject, "FILE.ZIP [" + std::to_string(n) + "/99]");
    headers += header;
    std::string entry(kIndexSize, '\0');
    PutLe16(entry, kIdxNumber, static_cast<uint16_t>(n));
    entry[kIdxBoard] = static_cast<char>(board);
    index += entry;
    std::string to(kToIndexSize, '\0');
    PutText(to, 0, "All");
    toIndex += to;
  }
  const std::pair<const char*, const std::string*> files[] = {{kInfoFile, &info},
                                                              {kIndexFile, &index},
                                                              {kToIndexFile, &toIndex},
                                                              {kHeaderFile, &headers},
                                                              {kTextFile, &texts}};
  for (const auto& [name, bytes] : files)
    std::ofstream(dir / name, std::ios::binary | std::ios::trunc)
        .write(bytes->data(), bytes->size());
}

uint64_t ReadRaw(const std::filesystem::path& dir) {
  vm::File file;
  if (!file.OpenHost((dir / kTextFile).string(), vm::OpenMode::Read)) return 0;
  std::string buffer(1 << 20, '\0');
  uint64_t total = 0;
  for (size_t got; (got = file.ReadAt(total, buffer.data(), buffer.size())) > 0;) total += got;
  return total;
}

// Returns the bytes of the board's text records, as the raw pass counts the file's.
// splitLines false: the texts are gathered (seek, header, text records) but not split into
// lines, which shows what the index walk and the records cost apart from the line reader.
uint64_t ReadThroughInterface(const std::filesystem::path& dir, uint64_t& lineBytes,
                              bool splitLines) {
  vm::MessageBaseHandle base;
  if (!vm::OpenMessageArea("H001" + dir.string(), base)) {
    std::fprintf(stderr, "cannot open %s\n", dir.c_str());
    std::exit(1);
  }
  uint64_t records = 0;
  lineBytes = 0;
  for (base->SeekFrom(1); base->Found(); base->SeekNext()) {
    base->LoadHeader();
    base->StartReading();
    lineBytes += base->FromName().size() + base->Subject().size();
    while (splitLines && !base->TextEnded()) lineBytes += base->NextLineView(255).size();
    if (!splitLines) base->SetTextPosition(0x7FFFFFFF);
    records += (static_cast<uint32_t>(base->TextPosition()) >> 16) + 1;
  }
  vm::CloseMessageArea(base);
  return records * kTextRecordSize;
}

}  // namespace

int main(int argc, char** argv) {
  const char* tmp = std::getenv("TMPDIR");
  std::filesystem::path dir =
      argc > 1 ? argv[1]
               : std::filesystem::path(tmp && *tmp ? tmp : "/tmp") / "veldmark-bench-hudson";
  int perBoard = argc > 2 ? std::atoi(argv[2]) : 10000;
  perBoard = std::clamp(perBoard, 1, 32000);  // message numbers are 16-bit
  std::printf("generating %d messages in each of two boards in %s ...\n", perBoard, dir.c_str());
  MakeBase(dir, perBoard);
  ReadRaw(dir);  // warm the page cache

  Timing raw, api, gather;
  uint64_t rawBytes = 0, apiBytes = 0, lineBytes = 0, unused = 0;
  for (int round = 0; round < 5; ++round) {
    Timer timer;
    rawBytes = ReadRaw(dir);
    raw.Keep(timer);
    timer = Timer();
    apiBytes = ReadThroughInterface(dir, lineBytes, true);
    api.Keep(timer);
    timer = Timer();
    ReadThroughInterface(dir, unused, false);
    gather.Keep(timer);
  }
  std::printf("MSGTXT.BBS %.1f MB; board 1: %.1f MB of records (%.1f MB of lines)\n",
              rawBytes / 1e6, apiBytes / 1e6, lineBytes / 1e6);
  std::printf("                        wall-clock        CPU time\n");
  std::printf("raw MSGTXT.BBS reads:  %8.1f MB/s  %8.1f MB/s\n", rawBytes / raw.wall / 1e6,
              rawBytes / raw.cpu / 1e6);
  std::printf("board through the API: %8.1f MB/s  %8.1f MB/s\n", apiBytes / api.wall / 1e6,
              apiBytes / api.cpu / 1e6);
  std::printf("texts without lines:   %8.1f MB/s  %8.1f MB/s\n", apiBytes / gather.wall / 1e6,
              apiBytes / gather.cpu / 1e6);
  std::printf("interface / raw:       %8.0f %%     %8.0f %%\n",
              100.0 * (apiBytes / api.wall) / (rawBytes / raw.wall),
              100.0 * (apiBytes / api.cpu) / (rawBytes / raw.cpu));
  return 0;
}

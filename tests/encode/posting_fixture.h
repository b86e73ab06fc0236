// What posting tests share: an in-memory area that keeps every message written to it (and can
// be scanned and decoded like any area), a file to post, and the decoder run over the area.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/area_scan.h"
#include "decode/decode_session.h"
#include "decode/file_decoder.h"
#include "decode/memory_base.h"
#include "decode/section_decoders.h"
#include "encode/section_layout.h"
#include "encode/section_writer.h"
#include "platform/file.h"
#include "platform/run_log.h"
#include "support/fake_console.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm::test {

// An area whose messages are composed through the message base interface and kept in memory.
class CapturingBase : public MemoryBase {
 public:
  MemoryMessage composing;

  void StartNewMessage() override { composing = MemoryMessage{}; }
  void SetFromName(std::string_view name) override { composing.from = name; }
  void SetToName(std::string_view name) override { composing.to = name; }
  void SetSubject(std::string_view subject) override { composing.subject = subject; }
  void SetDateText(std::string_view date) override { composing.date = date; }
  void SetTimeText(std::string_view time) override { composing.time = time; }
  void SetOrigAddress(const NetAddress& a) override { composing.orig = a; }
  void SetDestAddress(const NetAddress& a) override { composing.dest = a; }
  void PutText(std::string_view text) override { composing.text += text; }
  void PutChar(unsigned char c) override { composing.text += static_cast<char>(c); }
  uint16_t WriteMessage() override {
    if (failWrites) return 1;
    composing.number = messages.empty() ? 1 : messages.back().number + 1;
    messages.push_back(composing);
    return 0;
  }
  // The text lines of message i (0-based), split at carriage returns.
  std::vector<std::string> Lines(size_t i) const {
    std::vector<std::string> lines;
    std::string line;
    for (char c : messages.at(i).text) {
      if (c == '\r') {
        lines.push_back(line);
        line.clear();
      } else {
        line += c;
      }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
  }

  bool failWrites = false;
};

// Bytes 0..255 over and over, mixed so that every line differs.
inline std::string TestData(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return data;
}

inline QueueEntry EntryFor(const std::string& path, EncodeFlags flags, int32_t linesPerSection,
                           const std::string& postedName) {
  QueueEntry entry;
  entry.path = path;
  entry.flags = flags;
  entry.linesPerSection = linesPerSection;
  entry.postedName = postedName;
  entry.fromName = "Sysop";
  entry.toName = "All";
  entry.origAddress = NetAddress{2, 5020, 100, 0};
  return entry;
}

// Posts every section of the entry's file, one message each, with the section body only.
inline void PostSections(QueueEntry& entry, CapturingBase& base, bool hsubst = true) {
  PostedFile file;
  ASSERT_TRUE(OpenPostedFile(entry, file));
  for (int guard = 0; guard < 10000; ++guard) {
    base.StartNewMessage();
    base.composing.subject = entry.postedName;
    const bool finished = WriteSection(entry, file, base, hsubst);
    base.WriteMessage();
    if (finished) return;
  }
  FAIL() << "the posting never finished";
}

// Scans the area and decodes the first file found; returns its bytes, and the decoder's error
// flags through `result`.
inline std::string DecodeArea(MessageBase& base, const std::string& outDir, uint8_t& result) {
  Settings settings;
  DecodeRunState state;
  FakeConsole console;
  RunLog log;
  AreaEntry area;
  area.tag = "RU.FILES";
  area.areaId = "FC:\\FIDO\\FILES";
  DecodeSession session{settings, state, console, log, nullptr};
  FoundFileCatalogue catalogue;
  ScanArea(session, base, area, catalogue, ScanOptions{1, true, ""});
  for (int i = 1; i <= catalogue.Count(); ++i) {
    if (catalogue.At(i).total == 0) continue;
    FileDecodeWork work;
    FileDecodeOutcome outcome = DecodeFoundFile(session, base, work, catalogue.At(i), outDir);
    result = outcome.result;
    std::string contents;
    int error = 0;
    ReadWholeFile(outDir + "/" + outcome.outputName, size_t{1} << 30, contents, error);
    return contents;
  }
  result = 0xFF;
  return "";
}

}  // namespace vm::test

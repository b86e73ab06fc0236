// Helpers shared by the Squish tests: raw file access, a writer of
// simple messages, a builder of hand-made bases, and a checker that walks the frame chains of
// a base on disk and compares them with its index.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "msgbase/squish/squish_base.h"
#include "msgbase/squish/squish_format.h"
#include "support/platform_temp_dir.h"

namespace vm::squish_test {

namespace fs = std::filesystem;
using namespace vm::squish;

inline std::string ReadBytes(const std::string& path) {
  std::error_code ec;
  auto size = fs::file_size(path, ec);
  if (ec) return std::string();
  std::string bytes(size, '\0');
  std::ifstream in(path, std::ios::binary);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

template <size_t N>
std::string AsString(const std::array<uint8_t, N>& bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.data()), N);
}

inline uint16_t WriteSimpleMessage(MessageBase& base, const std::string& to,
                                   const std::string& text, const std::string& subject = "test") {
  base.StartNewMessage();
  base.SetFromName("Sender");
  base.SetToName(to);
  base.SetSubject(subject);
  base.SetDateText("03-14-24");
  base.SetTimeText("15:09");
  base.SetLocal(true);
  base.PutText(text);
  return base.WriteMessage();
}

// The whole text of the current message as the reader returns it, lines joined by CR.
inline std::string ReadAllText(MessageBase& base) {
  base.LoadHeader();
  base.StartReading();
  std::string all;
  bool first = true;
  while (!base.TextEnded()) {
    std::string line = base.NextLine(255);
    if (base.TextEnded() && line.empty()) break;
    if (!first && !base.LineWasWrapped()) all += '\r';
    all += line;
    first = false;
  }
  return all;
}

// A hand-made base: frames appended one after another, with their chains and index set up
// as a well-behaved program would, then open to deliberate damage by the test.
class SquishImage {
 public:
  SquishImage() { sqd_.assign(kBaseHeaderSize, '\0'); }

  BaseHeader header;
  std::vector<IndexRecord> index;

  // Appends a message frame; ctrl is the control information, text is stored as given.
  uint32_t AddMessage(const std::string& to, const std::string& ctrl, const std::string& text,
                      uint32_t extraFrameLength = 0) {
    MessageHeader message;
    SetFieldText(message.to, to, kNameWidth - 1);
    FrameHeader frame;
    frame.msgLength = static_cast<uint32_t>(kMessageHeaderSize + ctrl.size() + text.size());
    frame.frameLength = frame.msgLength + extraFrameLength;
    frame.ctrlLength = static_cast<uint32_t>(ctrl.size());
    frame.prev = header.lastFrame;
    uint32_t offset = Append(frame, AsString(EncodeMessageHeader(message)) + ctrl + text);
    if (header.lastFrame != 0) PatchNext(header.lastFrame, offset);
    if (header.firstFrame == 0) header.firstFrame = offset;
    header.lastFrame = offset;
    index.push_back(IndexRecord{offset, header.uid++, SquishHash(to)});
    header.numMsg = header.highMsg = static_cast<uint32_t>(index.size());
    return offset;
  }

  // Appends a free frame of the given length to the free chain.
  uint32_t AddFree(uint32_t frameLength) {
    FrameHeader frame;
    frame.type = kFrameFree;
    frame.frameLength = frameLength;
    frame.prev = header.lastFree;
    uint32_t offset = Append(frame, std::string(frameLength, '\0'));
    if (header.lastFree != 0) PatchNext(header.lastFree, offset);
    if (header.firstFree == 0) header.firstFree = offset;
    header.lastFree = offset;
    return offset;
  }

  FrameHeader Frame(uint32_t offset) const {
    return DecodeFrameHeader(reinterpret_cast<const uint8_t*>(sqd_.data()) + offset);
  }
  void SetFrame(uint32_t offset, const FrameHeader& frame) {
    sqd_.replace(offset, kFrameHeaderSize, AsString(EncodeFrameHeader(frame)));
  }

  std::string& sqd() { return sqd_; }

  void Save(const std::string& base) {
    header.endFrame = static_cast<uint32_t>(sqd_.size());
    std::string sqd = sqd_;
    sqd.replace(0, kBaseHeaderSize, AsString(EncodeBaseHeader(header)));
    WriteBytes(base + ".SQD", sqd);
    std::string sqi;
    for (const IndexRecord& r : index) {
      uint8_t bytes[kIndexRecordSize];
      EncodeIndexRecord(r, bytes);
      sqi.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
    }
    WriteBytes(base + ".SQI", sqi);
    WriteBytes(base + ".SQL", "");
  }

 private:
  uint32_t Append(const FrameHeader& frame, const std::string& body) {
    uint32_t offset = static_cast<uint32_t>(sqd_.size());
    sqd_ += AsString(EncodeFrameHeader(frame));
    sqd_ += body;
    sqd_.resize(offset + kFrameHeaderSize + frame.frameLength, '\0');
    return offset;
  }
  void PatchNext(uint32_t offset, uint32_t next) {
    FrameHeader f = Frame(offset);
    f.next = next;
    SetFrame(offset, f);
  }

  std::string sqd_;
};

struct ChainReport {
  std::string problem;                // empty when the base holds together
  std::vector<uint32_t> messages;     // frame offsets along the message chain
  std::vector<uint32_t> freeFrames;   // frame offsets along the free chain
  std::vector<uint32_t> freeLengths;  // their frame lengths
};

// Walks both chains of the base on disk and checks them against the header and the index:
// every link points back, the message chain is the index in order, no frame is in both chains
// or overlaps another, every frame ends inside the file, and the counts agree.
inline ChainReport CheckChains(const std::string& base) {
  ChainReport report;
  std::string sqd = ReadBytes(base + ".SQD");
  std::string sqi = ReadBytes(base + ".SQI");
  if (sqd.size() < kBaseHeaderSize) {
    report.problem = "short data file";
    return report;
  }
  auto bytes = reinterpret_cast<const uint8_t*>(sqd.data());
  BaseHeader header = DecodeBaseHeader(bytes);
  std::vector<std::pair<uint32_t, uint32_t>> extents;
  auto walk = [&](uint32_t first, uint32_t last, uint16_t type, std::vector<uint32_t>& out,
                  std::vector<uint32_t>* lengths) {
    uint32_t prev = 0;
    for (uint32_t at = first; at != 0;) {
      if (at < kBaseHeaderSize || at + kFrameHeaderSize > sqd.size() || out.size() > 100000) {
        report.problem = "link out of range";
        return;
      }
      FrameHeader f = DecodeFrameHeader(bytes + at);
      if (f.id != kFrameId || f.type != type || f.prev != prev) {
        report.problem = "bad frame at " + std::to_string(at);
        return;
      }
      if (at + kFrameHeaderSize + f.frameLength > sqd.size() || f.msgLength > f.frameLength) {
        report.problem = "frame beyond file at " + std::to_string(at);
        return;
      }
      extents.emplace_back(at, at + kFrameHeaderSize + f.frameLength);
      out.push_back(at);
      if (lengths) lengths->push_back(f.frameLength);
      prev = at;
      at = f.next;
    }
    if (prev != last) report.problem = "chain end differs from header";
  };
  walk(header.firstFrame, header.lastFrame, kFrameNormal, report.messages, nullptr);
  if (!report.problem.empty()) return report;
  walk(header.firstFree, header.lastFree, kFrameFree, report.freeFrames, &report.freeLengths);
  if (!report.problem.empty()) return report;

  std::sort(extents.begin(), extents.end());
  for (size_t i = 1; i < extents.size(); ++i) {
    if (extents[i].first < extents[i - 1].second) report.problem = "frames overlap";
  }
  if (!extents.empty() && extents.back().second > header.endFrame)
    report.problem = "frame past end";
  if (sqi.size() % kIndexRecordSize != 0) report.problem = "torn index";
  size_t count = sqi.size() / kIndexRecordSize;
  if (count != report.messages.size() || header.numMsg != count) report.problem = "counts differ";
  std::set<uint32_t> uids;
  uint32_t lastUid = 0;
  for (size_t i = 0; i < count && report.problem.empty(); ++i) {
    IndexRecord r =
        DecodeIndexRecord(reinterpret_cast<const uint8_t*>(sqi.data()) + i * kIndexRecordSize);
    if (r.offset != report.messages[i]) report.problem = "index order differs from chain";
    if (r.umsgid <= lastUid || r.umsgid >= header.uid)
      report.problem = "unique numbers out of order";
    lastUid = r.umsgid;
  }
  return report;
}

}  // namespace vm::squish_test

#include "msgbase/squish/squish_format.h"

#include <cstring>

#include "text/little_endian.h"

namespace vm::squish {
namespace {

// Base header field offsets.
constexpr size_t kBhLength = 0;
constexpr size_t kBhReserved1 = 2;
constexpr size_t kBhNumMsg = 4;
constexpr size_t kBhHighMsg = 8;
constexpr size_t kBhSkipMsg = 12;
constexpr size_t kBhHighWater = 16;
constexpr size_t kBhUid = 20;
constexpr size_t kBhBaseName = 24;
constexpr size_t kBhFirstFrame = 104;
constexpr size_t kBhLastFrame = 108;
constexpr size_t kBhFirstFree = 112;
constexpr size_t kBhLastFree = 116;
constexpr size_t kBhEndFrame = 120;
constexpr size_t kBhMaxMsg = 124;
constexpr size_t kBhKeepDays = 128;
constexpr size_t kBhFrameHeaderSize = 130;
constexpr size_t kBhReserved = 132;

// Frame header field offsets.
constexpr size_t kFhId = 0;
constexpr size_t kFhNext = 4;
constexpr size_t kFhPrev = 8;
constexpr size_t kFhFrameLength = 12;
constexpr size_t kFhMsgLength = 16;
constexpr size_t kFhCtrlLength = 20;
constexpr size_t kFhType = 24;
constexpr size_t kFhReserved = 26;

// Message header field offsets.
constexpr size_t kMhAttr = 0;
constexpr size_t kMhFrom = 4;
constexpr size_t kMhTo = 40;
constexpr size_t kMhSubject = 76;
constexpr size_t kMhOrig = 148;
constexpr size_t kMhDest = 156;
constexpr size_t kMhDateWritten = 164;
constexpr size_t kMhDateArrived = 168;
constexpr size_t kMhUtcOffset = 172;
constexpr size_t kMhReplyTo = 174;
constexpr size_t kMhReplies = 178;
constexpr size_t kMhFurtherLink = 214;
constexpr size_t kMhFtscDate = 218;

// Index record field offsets.
constexpr size_t kIxOffset = 0;
constexpr size_t kIxUmsgid = 4;
constexpr size_t kIxHash = 8;

template <size_t N>
void GetBytes(const uint8_t* p, size_t at, std::array<uint8_t, N>& out) {
  std::memcpy(out.data(), p + at, N);
}
template <size_t N>
void PutBytes(uint8_t* p, size_t at, const std::array<uint8_t, N>& in) {
  std::memcpy(p + at, in.data(), N);
}

NetAddress GetAddress(const uint8_t* p, size_t at) {
  NetAddress a;
  a.zone = GetLe16(p, at);
  a.net = GetLe16(p, at + 2);
  a.node = GetLe16(p, at + 4);
  a.point = GetLe16(p, at + 6);
  return a;
}
void PutAddress(uint8_t* p, size_t at, const NetAddress& a) {
  PutLe16(p, at, a.zone);
  PutLe16(p, at + 2, a.net);
  PutLe16(p, at + 4, a.node);
  PutLe16(p, at + 6, a.point);
}

}  // namespace

BaseHeader DecodeBaseHeader(const uint8_t* p) {
  BaseHeader h;
  h.length = GetLe16(p, kBhLength);
  h.reserved1 = GetLe16(p, kBhReserved1);
  h.numMsg = GetLe32(p, kBhNumMsg);
  h.highMsg = GetLe32(p, kBhHighMsg);
  h.skipMsg = GetLe32(p, kBhSkipMsg);
  h.highWater = GetLe32(p, kBhHighWater);
  h.uid = GetLe32(p, kBhUid);
  GetBytes(p, kBhBaseName, h.baseName);
  h.firstFrame = GetLe32(p, kBhFirstFrame);
  h.lastFrame = GetLe32(p, kBhLastFrame);
  h.firstFree = GetLe32(p, kBhFirstFree);
  h.lastFree = GetLe32(p, kBhLastFree);
  h.endFrame = GetLe32(p, kBhEndFrame);
  h.maxMsg = GetLe32(p, kBhMaxMsg);
  h.keepDays = GetLe16(p, kBhKeepDays);
  h.frameHeaderSize = GetLe16(p, kBhFrameHeaderSize);
  GetBytes(p, kBhReserved, h.reserved);
  return h;
}

std::array<uint8_t, kBaseHeaderSize> EncodeBaseHeader(const BaseHeader& h) {
  std::array<uint8_t, kBaseHeaderSize> bytes{};
  uint8_t* p = bytes.data();
  PutLe16(p, kBhLength, h.length);
  PutLe16(p, kBhReserved1, h.reserved1);
  PutLe32(p, kBhNumMsg, h.numMsg);
  PutLe32(p, kBhHighMsg, h.highMsg);
  PutLe32(p, kBhSkipMsg, h.skipMsg);
  PutLe32(p, kBhHighWater, h.highWater);
  PutLe32(p, kBhUid, h.uid);
  PutBytes(p, kBhBaseName, h.baseName);
  PutLe32(p, kBhFirstFrame, h.firstFrame);
  PutLe32(p, kBhLastFrame, h.lastFrame);
  PutLe32(p, kBhFirstFree, h.firstFree);
  PutLe32(p, kBhLastFree, h.lastFree);
  PutLe32(p, kBhEndFrame, h.endFrame);
  PutLe32(p, kBhMaxMsg, h.maxMsg);
  PutLe16(p, kBhKeepDays, h.keepDays);
  PutLe16(p, kBhFrameHeaderSize, h.frameHeaderSize);
  PutBytes(p, kBhReserved, h.reserved);
  return bytes;
}

FrameHeader DecodeFrameHeader(const uint8_t* p) {
  FrameHeader f;
  f.id = GetLe32(p, kFhId);
  f.next = GetLe32(p, kFhNext);
  f.prev = GetLe32(p, kFhPrev);
  f.frameLength = GetLe32(p, kFhFrameLength);
  f.msgLength = GetLe32(p, kFhMsgLength);
  f.ctrlLength = GetLe32(p, kFhCtrlLength);
  f.type = GetLe16(p, kFhType);
  f.reserved = GetLe16(p, kFhReserved);
  return f;
}

std::array<uint8_t, kFrameHeaderSize> EncodeFrameHeader(const FrameHeader& f) {
  std::array<uint8_t, kFrameHeaderSize> bytes{};
  uint8_t* p = bytes.data();
  PutLe32(p, kFhId, f.id);
  PutLe32(p, kFhNext, f.next);
  PutLe32(p, kFhPrev, f.prev);
  PutLe32(p, kFhFrameLength, f.frameLength);
  PutLe32(p, kFhMsgLength, f.msgLength);
  PutLe32(p, kFhCtrlLength, f.ctrlLength);
  PutLe16(p, kFhType, f.type);
  PutLe16(p, kFhReserved, f.reserved);
  return bytes;
}

MessageHeader DecodeMessageHeader(const uint8_t* p) {
  MessageHeader m;
  m.attr = GetLe32(p, kMhAttr);
  GetBytes(p, kMhFrom, m.from);
  GetBytes(p, kMhTo, m.to);
  GetBytes(p, kMhSubject, m.subject);
  m.orig = GetAddress(p, kMhOrig);
  m.dest = GetAddress(p, kMhDest);
  m.dateWritten = GetLe32(p, kMhDateWritten);
  m.dateArrived = GetLe32(p, kMhDateArrived);
  m.utcOffset = GetLe16(p, kMhUtcOffset);
  m.replyTo = GetLe32(p, kMhReplyTo);
  for (size_t i = 0; i < kReplyLinks; ++i) m.replies[i] = GetLe32(p, kMhReplies + 4 * i);
  m.furtherLink = GetLe32(p, kMhFurtherLink);
  GetBytes(p, kMhFtscDate, m.ftscDate);
  return m;
}

std::array<uint8_t, kMessageHeaderSize> EncodeMessageHeader(const MessageHeader& m) {
  std::array<uint8_t, kMessageHeaderSize> bytes{};
  uint8_t* p = bytes.data();
  PutLe32(p, kMhAttr, m.attr);
  PutBytes(p, kMhFrom, m.from);
  PutBytes(p, kMhTo, m.to);
  PutBytes(p, kMhSubject, m.subject);
  PutAddress(p, kMhOrig, m.orig);
  PutAddress(p, kMhDest, m.dest);
  PutLe32(p, kMhDateWritten, m.dateWritten);
  PutLe32(p, kMhDateArrived, m.dateArrived);
  PutLe16(p, kMhUtcOffset, m.utcOffset);
  PutLe32(p, kMhReplyTo, m.replyTo);
  for (size_t i = 0; i < kReplyLinks; ++i) PutLe32(p, kMhReplies + 4 * i, m.replies[i]);
  PutLe32(p, kMhFurtherLink, m.furtherLink);
  PutBytes(p, kMhFtscDate, m.ftscDate);
  return bytes;
}

IndexRecord DecodeIndexRecord(const uint8_t* p) {
  return IndexRecord{GetLe32(p, kIxOffset), GetLe32(p, kIxUmsgid), GetLe32(p, kIxHash)};
}

void EncodeIndexRecord(const IndexRecord& record, uint8_t* p) {
  PutLe32(p, kIxOffset, record.offset);
  PutLe32(p, kIxUmsgid, record.umsgid);
  PutLe32(p, kIxHash, record.hash);
}

uint32_t SquishHash(std::string_view name) {
  // Unlike the ELF hash it resembles, the high nibble is ORed back in and kept, so the
  // values differ from ELF's; other programs compare these exact values.
  uint32_t h = 0;
  for (unsigned char c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    h = (h << 4) + c;
    uint32_t g = h & 0xF0000000u;
    if (g != 0) h |= (g >> 24) | g;
  }
  return h & 0x7FFFFFFFu;
}

}  // namespace vm::squish

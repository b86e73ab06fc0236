#include "msgbase/squish/squish_format.h"

#include <cstring>

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

uint16_t Get16(const uint8_t* p, size_t at) {
  return static_cast<uint16_t>(p[at] | (p[at + 1] << 8));
}
uint32_t Get32(const uint8_t* p, size_t at) {
  return static_cast<uint32_t>(p[at]) | (static_cast<uint32_t>(p[at + 1]) << 8) |
         (static_cast<uint32_t>(p[at + 2]) << 16) | (static_cast<uint32_t>(p[at + 3]) << 24);
}
void Put16(uint8_t* p, size_t at, uint16_t v) {
  p[at] = static_cast<uint8_t>(v);
  p[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

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
  a.zone = Get16(p, at);
  a.net = Get16(p, at + 2);
  a.node = Get16(p, at + 4);
  a.point = Get16(p, at + 6);
  return a;
}
void PutAddress(uint8_t* p, size_t at, const NetAddress& a) {
  Put16(p, at, a.zone);
  Put16(p, at + 2, a.net);
  Put16(p, at + 4, a.node);
  Put16(p, at + 6, a.point);
}

}  // namespace

uint32_t LoadLe32(const uint8_t* bytes) { return Get32(bytes, 0); }
void StoreLe32(uint8_t* bytes, uint32_t value) { Put32(bytes, 0, value); }

BaseHeader DecodeBaseHeader(const uint8_t* p) {
  BaseHeader h;
  h.length = Get16(p, kBhLength);
  h.reserved1 = Get16(p, kBhReserved1);
  h.numMsg = Get32(p, kBhNumMsg);
  h.highMsg = Get32(p, kBhHighMsg);
  h.skipMsg = Get32(p, kBhSkipMsg);
  h.highWater = Get32(p, kBhHighWater);
  h.uid = Get32(p, kBhUid);
  GetBytes(p, kBhBaseName, h.baseName);
  h.firstFrame = Get32(p, kBhFirstFrame);
  h.lastFrame = Get32(p, kBhLastFrame);
  h.firstFree = Get32(p, kBhFirstFree);
  h.lastFree = Get32(p, kBhLastFree);
  h.endFrame = Get32(p, kBhEndFrame);
  h.maxMsg = Get32(p, kBhMaxMsg);
  h.keepDays = Get16(p, kBhKeepDays);
  h.frameHeaderSize = Get16(p, kBhFrameHeaderSize);
  GetBytes(p, kBhReserved, h.reserved);
  return h;
}

std::array<uint8_t, kBaseHeaderSize> EncodeBaseHeader(const BaseHeader& h) {
  std::array<uint8_t, kBaseHeaderSize> bytes{};
  uint8_t* p = bytes.data();
  Put16(p, kBhLength, h.length);
  Put16(p, kBhReserved1, h.reserved1);
  Put32(p, kBhNumMsg, h.numMsg);
  Put32(p, kBhHighMsg, h.highMsg);
  Put32(p, kBhSkipMsg, h.skipMsg);
  Put32(p, kBhHighWater, h.highWater);
  Put32(p, kBhUid, h.uid);
  PutBytes(p, kBhBaseName, h.baseName);
  Put32(p, kBhFirstFrame, h.firstFrame);
  Put32(p, kBhLastFrame, h.lastFrame);
  Put32(p, kBhFirstFree, h.firstFree);
  Put32(p, kBhLastFree, h.lastFree);
  Put32(p, kBhEndFrame, h.endFrame);
  Put32(p, kBhMaxMsg, h.maxMsg);
  Put16(p, kBhKeepDays, h.keepDays);
  Put16(p, kBhFrameHeaderSize, h.frameHeaderSize);
  PutBytes(p, kBhReserved, h.reserved);
  return bytes;
}

FrameHeader DecodeFrameHeader(const uint8_t* p) {
  FrameHeader f;
  f.id = Get32(p, kFhId);
  f.next = Get32(p, kFhNext);
  f.prev = Get32(p, kFhPrev);
  f.frameLength = Get32(p, kFhFrameLength);
  f.msgLength = Get32(p, kFhMsgLength);
  f.ctrlLength = Get32(p, kFhCtrlLength);
  f.type = Get16(p, kFhType);
  f.reserved = Get16(p, kFhReserved);
  return f;
}

std::array<uint8_t, kFrameHeaderSize> EncodeFrameHeader(const FrameHeader& f) {
  std::array<uint8_t, kFrameHeaderSize> bytes{};
  uint8_t* p = bytes.data();
  Put32(p, kFhId, f.id);
  Put32(p, kFhNext, f.next);
  Put32(p, kFhPrev, f.prev);
  Put32(p, kFhFrameLength, f.frameLength);
  Put32(p, kFhMsgLength, f.msgLength);
  Put32(p, kFhCtrlLength, f.ctrlLength);
  Put16(p, kFhType, f.type);
  Put16(p, kFhReserved, f.reserved);
  return bytes;
}

MessageHeader DecodeMessageHeader(const uint8_t* p) {
  MessageHeader m;
  m.attr = Get32(p, kMhAttr);
  GetBytes(p, kMhFrom, m.from);
  GetBytes(p, kMhTo, m.to);
  GetBytes(p, kMhSubject, m.subject);
  m.orig = GetAddress(p, kMhOrig);
  m.dest = GetAddress(p, kMhDest);
  m.dateWritten = Get32(p, kMhDateWritten);
  m.dateArrived = Get32(p, kMhDateArrived);
  m.utcOffset = Get16(p, kMhUtcOffset);
  m.replyTo = Get32(p, kMhReplyTo);
  for (size_t i = 0; i < kReplyLinks; ++i) m.replies[i] = Get32(p, kMhReplies + 4 * i);
  m.furtherLink = Get32(p, kMhFurtherLink);
  GetBytes(p, kMhFtscDate, m.ftscDate);
  return m;
}

std::array<uint8_t, kMessageHeaderSize> EncodeMessageHeader(const MessageHeader& m) {
  std::array<uint8_t, kMessageHeaderSize> bytes{};
  uint8_t* p = bytes.data();
  Put32(p, kMhAttr, m.attr);
  PutBytes(p, kMhFrom, m.from);
  PutBytes(p, kMhTo, m.to);
  PutBytes(p, kMhSubject, m.subject);
  PutAddress(p, kMhOrig, m.orig);
  PutAddress(p, kMhDest, m.dest);
  Put32(p, kMhDateWritten, m.dateWritten);
  Put32(p, kMhDateArrived, m.dateArrived);
  Put16(p, kMhUtcOffset, m.utcOffset);
  Put32(p, kMhReplyTo, m.replyTo);
  for (size_t i = 0; i < kReplyLinks; ++i) Put32(p, kMhReplies + 4 * i, m.replies[i]);
  Put32(p, kMhFurtherLink, m.furtherLink);
  PutBytes(p, kMhFtscDate, m.ftscDate);
  return bytes;
}

IndexRecord DecodeIndexRecord(const uint8_t* p) {
  return IndexRecord{Get32(p, kIxOffset), Get32(p, kIxUmsgid), Get32(p, kIxHash)};
}

void EncodeIndexRecord(const IndexRecord& record, uint8_t* p) {
  Put32(p, kIxOffset, record.offset);
  Put32(p, kIxUmsgid, record.umsgid);
  Put32(p, kIxHash, record.hash);
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

// The on-disk records of a Squish base: the base header at the start of the .SQD file, the
// frame header in front of every message or free frame, the 238-byte message header, and the
// 12-byte records of the .SQI index. All numbers are little-endian; every field is read and
// written at its named offset.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/little_endian.h"
#include "text/net_address.h"

namespace vm::squish {

// --- Base header -------------------------------------------------------------------------
inline constexpr size_t kBaseHeaderSize = 256;
// A stored header length of 357 or more is not a Squish base we understand.
inline constexpr uint16_t kMaxBaseHeaderLength = 356;
inline constexpr size_t kBaseNameWidth = 80;  // zero-terminated, 79 characters at most

struct BaseHeader {
  uint16_t length = kBaseHeaderSize;
  uint16_t reserved1 = 0;
  uint32_t numMsg = 0;
  uint32_t highMsg = 0;
  uint32_t skipMsg = 0;
  uint32_t highWater = 0;
  uint32_t uid = 1;  // next unique message number to assign
  std::array<uint8_t, kBaseNameWidth> baseName{};
  uint32_t firstFrame = 0;
  uint32_t lastFrame = 0;
  uint32_t firstFree = 0;
  uint32_t lastFree = 0;
  uint32_t endFrame = kBaseHeaderSize;
  uint32_t maxMsg = 0;
  uint16_t keepDays = 0;
  uint16_t frameHeaderSize = 28;
  std::array<uint8_t, 124> reserved{};

  bool operator==(const BaseHeader&) const = default;
};

BaseHeader DecodeBaseHeader(const uint8_t* bytes);  // kBaseHeaderSize bytes
std::array<uint8_t, kBaseHeaderSize> EncodeBaseHeader(const BaseHeader& header);

// --- Frame header ------------------------------------------------------------------------
inline constexpr size_t kFrameHeaderSize = 28;
inline constexpr uint32_t kFrameId = 0xAFAE4453;
inline constexpr uint16_t kFrameNormal = 0;
inline constexpr uint16_t kFrameFree = 1;

struct FrameHeader {
  uint32_t id = kFrameId;
  uint32_t next = 0;
  uint32_t prev = 0;
  uint32_t frameLength = 0;  // bytes available after the frame header
  uint32_t msgLength = 0;    // message header + control information + text
  uint32_t ctrlLength = 0;
  uint16_t type = kFrameNormal;
  uint16_t reserved = 0;
};

FrameHeader DecodeFrameHeader(const uint8_t* bytes);  // kFrameHeaderSize bytes
std::array<uint8_t, kFrameHeaderSize> EncodeFrameHeader(const FrameHeader& frame);

// --- Message header ----------------------------------------------------------------------
inline constexpr size_t kMessageHeaderSize = 238;
inline constexpr size_t kNameWidth = 36;     // zero-terminated, 35 characters at most
inline constexpr size_t kSubjectWidth = 72;  // may fill the field without a terminator
inline constexpr size_t kFtscDateWidth = 20;
inline constexpr size_t kReplyLinks = 9;
// Attribute bit above the 16-bit FidoNet word: the echomail processor has exported it.
inline constexpr uint32_t kAttrScanned = 0x00010000;

struct MessageHeader {
  uint32_t attr = 0;
  std::array<uint8_t, kNameWidth> from{};
  std::array<uint8_t, kNameWidth> to{};
  std::array<uint8_t, kSubjectWidth> subject{};
  NetAddress orig;
  NetAddress dest;
  uint32_t dateWritten = 0;  // DOS date in the low word, DOS time in the high word
  uint32_t dateArrived = 0;
  uint16_t utcOffset = 0;
  uint32_t replyTo = 0;
  std::array<uint32_t, kReplyLinks> replies{};
  uint32_t furtherLink = 0;
  std::array<uint8_t, kFtscDateWidth> ftscDate{};
};

MessageHeader DecodeMessageHeader(const uint8_t* bytes);  // kMessageHeaderSize bytes
std::array<uint8_t, kMessageHeaderSize> EncodeMessageHeader(const MessageHeader& header);

// A zero-terminated text field as a string (the whole field when it has no terminator), and
// a text stored into such a field, cut to `limit` bytes and zero-filled.
template <size_t N>
std::string FieldText(const std::array<uint8_t, N>& field) {
  size_t len = 0;
  while (len < N && field[len] != 0) ++len;
  return std::string(reinterpret_cast<const char*>(field.data()), len);
}
template <size_t N>
void SetFieldText(std::array<uint8_t, N>& field, std::string_view text, size_t limit) {
  field.fill(0);
  size_t len = text.size() < limit ? text.size() : limit;
  for (size_t i = 0; i < len; ++i) field[i] = static_cast<uint8_t>(text[i]);
}

// --- Index ---------------------------------------------------------------------------------
inline constexpr size_t kIndexRecordSize = 12;
// Set in an index hash by other programs (and by us) when the message has been received.
inline constexpr uint32_t kHashReceived = 0x80000000;

struct IndexRecord {
  uint32_t offset = 0;  // frame offset in .SQD
  uint32_t umsgid = 0;  // unique message number
  uint32_t hash = 0;    // hash of the to name

  bool operator==(const IndexRecord&) const = default;
};

IndexRecord DecodeIndexRecord(const uint8_t* bytes);  // kIndexRecordSize bytes
void EncodeIndexRecord(const IndexRecord& record, uint8_t* bytes);

// The hash of a to name kept in the index: four-bit shifts with the high nibble folded back
// in, A-Z taken as lower case, bytes above 127 unchanged; the top bit is always clear.
uint32_t SquishHash(std::string_view name);

}  // namespace vm::squish

// The JAM message base files: field offsets of the base header, the message header, the
// subfields, the index and the last-read records, with little-endian accessors. Every number
// in these files is little-endian, whatever the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "msgbase/message_base.h"
#include "text/little_endian.h"

namespace vm::jam {

// "JAM" and a zero byte open both the base header and every message header.
inline constexpr std::string_view kSignature{"JAM\0", 4};

// Base header: the first 1024 bytes of .JHR. Bytes 24 to 1023 are reserved, but other
// programs keep their own data there (a high-water mark at 24), so they are written back
// exactly as they were read.
inline constexpr size_t kBaseHeaderSize = 1024;
inline constexpr size_t kBaseSignature = 0;
inline constexpr size_t kBaseCreated = 4;
inline constexpr size_t kBaseModCounter = 8;
inline constexpr size_t kBaseActive = 12;
inline constexpr size_t kBasePassword = 16;
inline constexpr size_t kBaseNumber = 20;

// Message header: a fixed part followed by the subfields.
inline constexpr size_t kFixedSize = 76;
inline constexpr size_t kHdrSignature = 0;
inline constexpr size_t kHdrRevision = 4;
inline constexpr size_t kHdrSubfieldLength = 8;
inline constexpr size_t kHdrTimesRead = 12;
inline constexpr size_t kHdrMsgIdCrc = 16;
inline constexpr size_t kHdrReplyCrc = 20;
inline constexpr size_t kHdrReplyTo = 24;
inline constexpr size_t kHdrFirstReply = 28;
inline constexpr size_t kHdrNextReply = 32;
inline constexpr size_t kHdrDateWritten = 36;
inline constexpr size_t kHdrDateReceived = 40;
inline constexpr size_t kHdrDateProcessed = 44;
inline constexpr size_t kHdrNumber = 48;
inline constexpr size_t kHdrAttribute = 52;
inline constexpr size_t kHdrAttribute2 = 56;
inline constexpr size_t kHdrTextOffset = 60;
inline constexpr size_t kHdrTextLength = 64;
inline constexpr size_t kHdrPassword = 68;
inline constexpr size_t kHdrCost = 72;
inline constexpr uint16_t kRevision = 1;

// Subfield: identifier, a second identifier word, the data length, then the data.
inline constexpr size_t kSubId = 0;
inline constexpr size_t kSubIdHigh = 2;
inline constexpr size_t kSubLength = 4;
inline constexpr size_t kSubHeaderSize = 8;
// Subfields this program writes stay below this total; other programs size buffers by it.
inline constexpr size_t kMaxWrittenSubfields = 4000;

// Index record (.JDX), one per message number from the base number on.
inline constexpr size_t kIndexRecordSize = 8;
inline constexpr size_t kIdxNameCrc = 0;
inline constexpr size_t kIdxHeaderOffset = 4;

// Last-read record (.JLR).
inline constexpr size_t kLastReadRecordSize = 16;
inline constexpr size_t kLrUserCrc = 0;
inline constexpr size_t kLrUser = 4;
inline constexpr size_t kLrLastRead = 8;
inline constexpr size_t kLrHighRead = 12;

// Subfield identifiers.
namespace sub {
inline constexpr uint16_t kOrigAddress = 0;
inline constexpr uint16_t kDestAddress = 1;
inline constexpr uint16_t kFromName = 2;
inline constexpr uint16_t kToName = 3;
inline constexpr uint16_t kMsgId = 4;
inline constexpr uint16_t kReply = 5;
inline constexpr uint16_t kSubject = 6;
inline constexpr uint16_t kPid = 7;
inline constexpr uint16_t kTrace = 8;
inline constexpr uint16_t kAttachedFile = 9;
inline constexpr uint16_t kRequestedFiles = 11;
inline constexpr uint16_t kKludge = 2000;
inline constexpr uint16_t kSeenBy = 2001;
inline constexpr uint16_t kPath = 2002;
inline constexpr uint16_t kFlags = 2003;
inline constexpr uint16_t kTimeZone = 2004;
}  // namespace sub

// Attribute bits.
namespace bit {
inline constexpr uint32_t kLocal = 0x00000001;
inline constexpr uint32_t kPrivate = 0x00000004;
inline constexpr uint32_t kReceived = 0x00000008;
inline constexpr uint32_t kSent = 0x00000010;
inline constexpr uint32_t kKillSent = 0x00000020;
inline constexpr uint32_t kCrash = 0x00000100;
inline constexpr uint32_t kFileRequest = 0x00001000;
inline constexpr uint32_t kFileAttached = 0x00002000;
inline constexpr uint32_t kReceiptRequested = 0x00010000;
inline constexpr uint32_t kAuditRequested = 0x00020000;
inline constexpr uint32_t kTypeLocal = 0x00800000;
inline constexpr uint32_t kTypeEcho = 0x01000000;
inline constexpr uint32_t kTypeNet = 0x02000000;
inline constexpr uint32_t kDeleted = 0x80000000;
}  // namespace bit

// The JAM bit of each common attribute flag (attr:: in message_base.h). JAM has no bit for
// "is a return receipt": that flag is never set.
struct AttributeBitPair {
  uint16_t common;
  uint32_t jam;
};
inline constexpr AttributeBitPair kAttributeBits[] = {
    {attr::kPrivate, bit::kPrivate},
    {attr::kCrash, bit::kCrash},
    {attr::kReceived, bit::kReceived},
    {attr::kSent, bit::kSent},
    {attr::kFileAttached, bit::kFileAttached},
    {attr::kKillSent, bit::kKillSent},
    {attr::kLocal, bit::kLocal},
    {attr::kFileRequest, bit::kFileRequest},
    {attr::kReceiptRequested, bit::kReceiptRequested},
    {attr::kIsReceipt, 0},
    {attr::kAuditRequested, bit::kAuditRequested},
};

// The JAM bits of the common flags in `common`.
constexpr uint32_t JamAttributeBit(uint16_t common) {
  uint32_t bits = 0;
  for (const AttributeBitPair& pair : kAttributeBits)
    if (common & pair.common) bits |= pair.jam;
  return bits;
}

}  // namespace vm::jam

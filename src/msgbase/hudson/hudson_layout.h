// The Hudson (QuickBBS) message base files: record sizes and field offsets, the attribute
// bits and the limits the 16-bit record and message numbers set. Every number in these files
// is little-endian; texts are length-prefixed (a length byte, then the characters, padded to
// the field's width).
#pragma once

#include <cstddef>
#include <cstdint>

#include "msgbase/message_base.h"

namespace vm::hudson {

// The five files of a base, one directory shared by up to 200 boards, and the files beside them.
inline constexpr const char* kInfoFile = "MSGINFO.BBS";
inline constexpr const char* kIndexFile = "MSGIDX.BBS";
inline constexpr const char* kToIndexFile = "MSGTOIDX.BBS";
inline constexpr const char* kHeaderFile = "MSGHDR.BBS";
inline constexpr const char* kTextFile = "MSGTXT.BBS";
inline constexpr const char* kEchoListFile = "ECHOMAIL.BBS";
inline constexpr const char* kNetListFile = "NETMAIL.BBS";
inline constexpr const char* kLastReadFile = "LASTREAD.BBS";

inline constexpr int kBoards = 200;
// An area id names its board in this many characters before the base directory ("001", " 12").
inline constexpr size_t kBoardDigits = 3;

// MSGINFO.BBS: one record. Bytes 406 and 407, just past it, are the lock bytes: QuickBBS-era
// programs lock 406, RemoteAccess and the programs following it 407.
inline constexpr size_t kInfoSize = 406;
inline constexpr size_t kInfoLowest = 0;
inline constexpr size_t kInfoHighest = 2;
inline constexpr size_t kInfoTotal = 4;
inline constexpr size_t kInfoBoardActive = 6;  // 200 words, boards 1 to 200
inline constexpr uint64_t kLockByteOld = 406;
inline constexpr uint64_t kLockByteNew = 407;

// MSGIDX.BBS: one record per header record, in the same order.
inline constexpr size_t kIndexSize = 3;
inline constexpr size_t kIdxNumber = 0;
inline constexpr size_t kIdxBoard = 2;
inline constexpr uint16_t kDeletedNumber = 0xFFFF;

// MSGTOIDX.BBS: the to name of each header record, or one of these marks.
inline constexpr size_t kToIndexSize = 36;
inline constexpr const char* kReceivedMark = "* Received *";
inline constexpr const char* kDeletedMark = "* Deleted *";

// MSGHDR.BBS: one record per message.
inline constexpr size_t kHeaderSize = 187;
inline constexpr size_t kHdrNumber = 0;
inline constexpr size_t kHdrReplyTo = 2;
inline constexpr size_t kHdrSeeAlso = 4;
inline constexpr size_t kHdrTimesRead = 6;
inline constexpr size_t kHdrFirstText = 8;
inline constexpr size_t kHdrTextRecords = 10;
inline constexpr size_t kHdrDestNet = 12;
inline constexpr size_t kHdrDestNode = 14;
inline constexpr size_t kHdrOrigNet = 16;
inline constexpr size_t kHdrOrigNode = 18;
inline constexpr size_t kHdrDestZone = 20;
inline constexpr size_t kHdrOrigZone = 21;
inline constexpr size_t kHdrCost = 22;
inline constexpr size_t kHdrMsgAttr = 24;
inline constexpr size_t kHdrNetAttr = 25;
inline constexpr size_t kHdrBoard = 26;
inline constexpr size_t kHdrTime = 27;  // "HH:MM"
inline constexpr size_t kHdrDate = 33;  // "MM-DD-YY"
inline constexpr size_t kHdrTo = 42;
inline constexpr size_t kHdrFrom = 78;
inline constexpr size_t kHdrSubject = 114;
inline constexpr size_t kTimeWidth = 5;
inline constexpr size_t kDateWidth = 8;
inline constexpr size_t kNameWidth = 35;
inline constexpr size_t kSubjectWidth = 72;

// MSGTXT.BBS: records of a length byte and up to 255 text bytes.
inline constexpr size_t kTextRecordSize = 256;
inline constexpr size_t kTextRecordBytes = 255;
// First text record numbers are 16-bit: records past 65535 can never be reached. A base
// holding this many records takes no more messages.
inline constexpr uint32_t kFullTextRecords = 65281;
inline constexpr uint32_t kMaxTextRecords = 65536;
// Header record numbers go into ECHOMAIL.BBS and NETMAIL.BBS as 16-bit words.
inline constexpr uint32_t kMaxHeaderRecords = 65535;

// LASTREAD.BBS: one record per user, a word per board.
inline constexpr size_t kLastReadSize = 400;

// Message attribute bits (kHdrMsgAttr). 0x80 belongs to other programs and is kept as found.
namespace msg {
inline constexpr uint8_t kDeleted = 0x01;
inline constexpr uint8_t kNetExport = 0x02;
inline constexpr uint8_t kNetmail = 0x04;
inline constexpr uint8_t kPrivate = 0x08;
inline constexpr uint8_t kReceived = 0x10;
inline constexpr uint8_t kEchoExport = 0x20;
inline constexpr uint8_t kLocal = 0x40;
}  // namespace msg

// Network attribute bits (kHdrNetAttr).
namespace net {
inline constexpr uint8_t kKillSent = 0x01;
inline constexpr uint8_t kSent = 0x02;
inline constexpr uint8_t kFileAttached = 0x04;
inline constexpr uint8_t kCrash = 0x08;
inline constexpr uint8_t kReceiptRequested = 0x10;
inline constexpr uint8_t kAuditRequested = 0x20;
inline constexpr uint8_t kIsReceipt = 0x40;
inline constexpr uint8_t kFileRequest = 0x80;
}  // namespace net

// Where each common attribute flag (attr:: in message_base.h) lives: the header byte and its bit.
struct AttributeBit {
  uint16_t common;
  size_t offset;
  uint8_t bit;
};
inline constexpr AttributeBit kAttributeBits[] = {
    {attr::kPrivate, kHdrMsgAttr, msg::kPrivate},
    {attr::kCrash, kHdrNetAttr, net::kCrash},
    {attr::kReceived, kHdrMsgAttr, msg::kReceived},
    {attr::kSent, kHdrNetAttr, net::kSent},
    {attr::kFileAttached, kHdrNetAttr, net::kFileAttached},
    {attr::kKillSent, kHdrNetAttr, net::kKillSent},
    {attr::kLocal, kHdrMsgAttr, msg::kLocal},
    {attr::kFileRequest, kHdrNetAttr, net::kFileRequest},
    {attr::kReceiptRequested, kHdrNetAttr, net::kReceiptRequested},
    {attr::kIsReceipt, kHdrNetAttr, net::kIsReceipt},
    {attr::kAuditRequested, kHdrNetAttr, net::kAuditRequested},
};

}  // namespace vm::hudson

// The send queue: one entry per queued file (or queued single section), in posting order, and
// the bits of the options an entry carries.
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <string>

#include "text/net_address.h"

namespace vm {

// Options of an encode and post. The bit values are what QUEUE.LST stores.
using EncodeFlags = uint32_t;
enum EncodeFlag : EncodeFlags {
  kDeleteAfterSending = 0x0001,
  kFileInformation = 0x0002,  // enables the INFO template directive
  kEncodeUu = 0x0004,
  kInsertFileIdDiz = 0x0008,  // enables the ID_DIZ and FILE_ID directives
  kPrivate = 0x0010,
  kCrash = 0x0020,
  kKillSent = 0x0040,
  kConfirmReceipt = 0x0080,
  kReturnReceipt = 0x0100,
  kHoldForPickup = 0x0200,
  kSingleSection = 0x0400,    // the entry posts the one section at its offset
  kSendImmediately = 0x0800,  // regardless of the daily limit
  kInsertText = 0x1000,       // CUSTOMTEXT; the first section goes out at once
  kEncodeXx = 0x2000,
  kEncodeMime = 0x4000,
  kCompressed = 0x10000,     // an archive made for this posting, deleted after posting
  kNoTemplate = 0x20000,     // the message holds only the section body
  kLimitOverride = 0x40000,  // the daily limit is overridden for this entry
};
// None of the three set: plain text.
inline constexpr EncodeFlags kEncodingBits = kEncodeUu | kEncodeXx | kEncodeMime;

// A queued file as it was when it was queued: one changed since is not posted further.
struct QueuedFile {
  int64_t size = 0;
  int64_t modifiedNs = 0;  // nanoseconds since the epoch
  bool operator==(const QueuedFile&) const = default;
};

struct QueueEntry {
  std::string path;          // upper-cased; the copy in TEMPPATH when that setting is used
  std::string areaId;        // upper-cased, without a trailing backslash
  std::string templatePath;  // upper-cased
  std::string fromName;      // at most 50
  std::string toName;        // at most 50
  std::string subject;       // at most 50; empty: the posted name is used
  std::string postedName;    // at most 14
  int32_t offset = 0;        // where the next section starts in the file
  EncodeFlags flags = 0;
  uint32_t fileSum = 0;         // running BSD sum of the bytes encoded so far
  int32_t allowedToday = 0;     // sections the entry may post today; 65535 when immediate
  int32_t sentToday = 0;        // sections posted since the day began
  int32_t linesPerSection = 0;  // 2 to 1000
  NetAddress origAddress;
  NetAddress destAddress;
  std::optional<QueuedFile> queuedAs;  // unknown when the file could not be read then
};

// A doubly linked list in posting order, newest last; entries keep their addresses while
// others are added or removed.
using SendQueue = std::list<QueueEntry>;

}  // namespace vm

// Checking a Hudson base under the lock before it is changed, and mending what a process killed
// in the middle of a change left.
//
// Our own changes write in an order that a kill may cut anywhere (hudson_base_write.cpp):
// - an append: the text; to-index and index records that mark the new record deleted; the
//   header; the info record; the export list entry; the to-index record with the name; the
//   index record with the number;
// - a delete: the header with its deleted bit; the to-index and index records; the info record.
// Other programs append the text, the header, the index records and the info record in some
// order of their own. A base that such a kill cut short differs from a sound one only in the
// ways mended here:
// - one record more in one or two of the three record files than in the others: a message
//   being appended. With its header there, the message is marked deleted in all three files;
//   without, the index records past the last header are cut off.
// - the last record deleted in the index while its header is not: an append cut short after
//   its header, marked deleted in the header as well.
//   An append cut short is thus always undone, never half there; the send queue posts it again.
// - a header marked deleted whose index record still numbers it: a delete cut short, finished.
// - the counts of the info record, which are counted again from the index, and its highest
//   number, which lags by the one message that a writer of the info record last had just added.
// Anything else (record files that differ by more than one record, an index record that does
// not match its header, a message whose text lies past the end of MSGTXT.BBS, a highest number
// below the headers') is damage: the change is refused with its status, and nothing is written.
#include <algorithm>
#include <array>

#include "msgbase/hudson/hudson_base.h"
#include "msgbase/hudson/hudson_layout.h"
#include "text/little_endian.h"

namespace vm {
namespace {

using namespace hudson;

uint32_t RecordsIn(const File& file, size_t recordSize) {
  const int64_t size = std::max<int64_t>(file.Size(), 0);
  return static_cast<uint32_t>(
      std::min<int64_t>(size / static_cast<int64_t>(recordSize), UINT32_MAX));
}

}  // namespace

uint16_t HudsonBase::Mend() {
  if (!IsOpen()) return SetStatus(kNotOpen);
  const bool tookLock = !locked_;
  if (tookLock && !Lock()) return status_;
  const uint16_t rc = PrepareChange();
  if (tookLock) Unlock();
  return SetStatus(rc);
}

uint16_t HudsonBase::PrepareChange() {
  if (surveyed_) return 0;
  const uint16_t rc = SurveyBase();
  surveyed_ = rc == 0;
  return rc;
}

std::string HudsonBase::Fingerprint() const {
  std::string print = infoRecord_;
  for (const File* file : {&index_, &toIndex_, &headers_, &texts_})
    print += ' ' + std::to_string(file->Size());
  return print;
}

uint16_t HudsonBase::SurveyBase() {
  // Read again under the lock: a change that failed part-way may have left our copy behind.
  if (!ReadInfo()) return SetStatus(kUnreadableInfo);
  const uint32_t headers = HeaderRecords();
  const uint32_t indexes = RecordsIn(index_, kIndexSize);
  const uint32_t toIndexes = RecordsIn(toIndex_, kToIndexSize);
  const uint32_t low = std::min({headers, indexes, toIndexes});
  // Header record numbers are 16-bit: a longer base is no Hudson base, and reading it whole
  // could exhaust memory.
  if (std::max({headers, indexes, toIndexes}) - low > 1 || low > kMaxHeaderRecords)
    return SetStatus(kInconsistent);
  std::string index(size_t{indexes} * kIndexSize, '\0');
  std::string all(size_t{headers} * kHeaderSize, '\0');
  std::string extraTo(kToIndexSize, '\0');
  if (index_.ReadAt(0, index.data(), index.size()) != index.size() ||
      headers_.ReadAt(0, all.data(), all.size()) != all.size() ||
      (toIndexes > headers && toIndex_.ReadAt(uint64_t{headers} * kToIndexSize, extraTo.data(),
                                              kToIndexSize) != kToIndexSize))
    return SetStatus(io::kReadFault);
  const int64_t textRecords = std::max<int64_t>(texts_.Size(), 0) / kTextRecordSize;

  auto number = [&](uint32_t r) { return GetLe16(index, size_t{r} * kIndexSize + kIdxNumber); };
  auto board = [&](uint32_t r) { return static_cast<uint8_t>(index[r * kIndexSize + kIdxBoard]); };
  auto header = [&](uint32_t r) { return all.data() + size_t{r} * kHeaderSize; };
  auto headerWord = [&](uint32_t r, size_t offset) { return GetLe16(header(r), offset); };
  auto headerDeleted = [&](uint32_t r) { return (header(r)[kHdrMsgAttr] & msg::kDeleted) != 0; };
  auto headerBoard = [&](uint32_t r) { return static_cast<uint8_t>(header(r)[kHdrBoard]); };
  auto validMessage = [](uint16_t n, uint8_t b) {
    return n != 0 && n != kDeletedNumber && b >= 1 && b <= kBoards;
  };
  // Index records past the last header are those an append writes before the header, marking
  // the record deleted; any other would be a message whose header is lost.
  if ((indexes > headers && number(headers) != kDeletedNumber) ||
      (toIndexes > headers &&
       std::string_view(extraTo).substr(1, static_cast<unsigned char>(extraTo[0])) != kDeletedMark))
    return SetStatus(kInconsistent);

  // The records the base holds once mended: a partly appended last record stays if its header
  // is there.
  const uint32_t records = headers > low ? low + 1 : low;
  const uint32_t last = records - 1;
  const bool partial = records > low;
  const bool undoLast =
      records > 0 && (partial || (number(last) == kDeletedNumber && !headerDeleted(last)));
  if (undoLast && !validMessage(headerWord(last, kHdrNumber), headerBoard(last)))
    return SetStatus(kIndexDisagrees);

  std::vector<uint32_t> deletesToFinish;
  uint32_t live = 0;
  std::array<uint16_t, kBoards> boardLive{};
  uint16_t highestLive = 0;
  uint32_t highestAt = 0;
  for (uint32_t r = 0; r < records; ++r) {
    if ((undoLast && r == last) || number(r) == kDeletedNumber) continue;
    if (!validMessage(number(r), board(r)) || headerWord(r, kHdrNumber) != number(r) ||
        headerBoard(r) != board(r))
      return SetStatus(kIndexDisagrees);
    if (headerDeleted(r)) {
      deletesToFinish.push_back(r);
      continue;
    }
    const int64_t count = headerWord(r, kHdrTextRecords);
    if (count > 0 && headerWord(r, kHdrFirstText) + count > textRecords)
      return SetStatus(kShortText);
    ++live;
    ++boardLive[board(r) - 1];
    if (number(r) > highestLive) {
      highestLive = number(r);
      highestAt = r;
    }
  }

  std::string info = infoRecord_;
  uint16_t highest = GetLe16(info, kInfoHighest);
  // The number of a message undone is not given out again.
  if (undoLast && headerWord(last, kHdrNumber) == highest + 1u) ++highest;
  if (highestLive > highest) {
    // Only a writer that writes the info record last, killed just before it, leaves this.
    if (highestLive != highest + 1u || highestAt != last) return SetStatus(kInfoDisagrees);
    highest = highestLive;
  }
  PutLe16(info, kInfoHighest, highest);
  PutLe16(info, kInfoTotal, static_cast<uint16_t>(live));
  for (int b = 0; b < kBoards; ++b)
    PutLe16(info, kInfoBoardActive + 2 * static_cast<size_t>(b), boardLive[b]);

  // Sound: what a kill left is mended, in the order a delete writes.
  if (undoLast) {
    std::string undone(header(last), kHeaderSize);
    undone[kHdrMsgAttr] = static_cast<char>(undone[kHdrMsgAttr] | msg::kDeleted);
    if (!headers_.WriteAt(uint64_t{last} * kHeaderSize, undone.data(), kHeaderSize))
      return SetStatus(IoCode(headers_.LastError(), true));
    deletesToFinish.push_back(last);
  }
  for (uint32_t r : deletesToFinish) {
    if (uint16_t rc = WriteIndexPair(r, kDeletedMark, kDeletedNumber, headerBoard(r)); rc != 0)
      return rc;
  }
  if (indexes > records && !index_.Truncate(uint64_t{records} * kIndexSize))
    return SetStatus(IoCode(index_.LastError(), true));
  if (toIndexes > records && !toIndex_.Truncate(uint64_t{records} * kToIndexSize))
    return SetStatus(IoCode(toIndex_.LastError(), true));
  window_.clear();
  if (info != infoRecord_) {
    infoRecord_ = std::move(info);
    if (!WriteInfo()) return SetStatus(IoCode(info_.LastError(), true));
  }
  return 0;
}

}  // namespace vm

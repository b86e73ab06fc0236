// The found-file catalogue: one FoundFile per distinct file key of the scanned area, with a
// slot per section recording the message and the text position where that section starts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "decode/posting_form.h"
#include "text/encoding_kind.h"
#include "text/net_address.h"

namespace vm {

struct SectionHeader;

struct SectionSlot {
  int32_t message = 0;  // 0: section not found
  int32_t textPos = 0;
  int32_t check = 0;  // MessageCrc of the message when it was scanned
};

struct FoundFile {
  static constexpr size_t kNameWidth = 12;
  static constexpr size_t kSubjectWidth = 50;
  static constexpr size_t kDateWidth = 8;
  static constexpr int32_t kMaxSections = 8000;     // totals and section numbers are capped here
  static constexpr int32_t kUnannouncedSlots = 50;  // slots when the first header has no total

  std::string name;          // at most 12 characters; empty until a header carried one
  int32_t total = 0;         // as announced by the latest header
  int32_t present = 0;       // distinct section numbers found
  int32_t sentSections = 0;  // sections found in messages marked Sent
  std::string subject;       // of the message in which the file was first seen
  std::string date;          // DateText of that message
  NetAddress fromAddress;
  NetAddress toAddress;
  std::vector<SectionSlot> sections;  // sections[n - 1] describes section n
  // Sections that a later message of the same number replaced: (number, the earlier slot).
  // Their bytes must agree with the later ones, or the assembly is in doubt.
  std::vector<std::pair<int32_t, SectionSlot>> replaced;
  bool selected = false;
  EncodingKind kind = EncodingKind::None;
  std::string key;
  PostingForm form = PostingForm::Standard;  // another poster's convention, once one was seen
  // What the posting says the decoded file must be: the MD5 digest (16 bytes; empty when not
  // stated) and the length (-1 when not stated).
  std::string statedMd5;
  int64_t statedSize = -1;

  int32_t SlotCount() const { return static_cast<int32_t>(sections.size()); }
  // The slot of section n, or nullptr when n is outside the slots.
  const SectionSlot* Slot(int32_t n) const;
  // Every section from 1 to total is present (and the file has at least one).
  bool Complete() const;
};

// Highest section number n within the slots whose message number is not 0; 0 when none.
int32_t HighestPresentSection(const FoundFile& file);

class FoundFileCatalogue {
 public:
  static constexpr int kCapacity = 3000;  // entries, the exit row included

  // Entries are indexed from 1; entry 1 is the exit row, found files follow.
  int Count() const { return static_cast<int>(entries_.size()); }
  FoundFile& At(int index) { return *entries_.at(static_cast<size_t>(index - 1)); }
  const FoundFile& At(int index) const { return *entries_.at(static_cast<size_t>(index - 1)); }
  int FileCount() const { return Count() > 0 ? Count() - 1 : 0; }

  // Frees every entry (FreeCatalogue) and puts the exit row in as entry 1.
  void StartFresh();
  void FreeCatalogue() {
    entries_.clear();
    byKey_.clear();
  }

  // The entry of the key, or a new one; 0 when the key is new and the catalogue is full.
  int FindOrAdd(std::string_view key);

  // Records one recognised section found in message `message` (whose MessageCrc, subject, date
  // and Sent flag are given) from the given addresses. Returns the entry's index, 0 when full.
  int RecordSection(const SectionHeader& header, int32_t message, int32_t check,
                    std::string_view subject, std::string_view date, bool sent,
                    const NetAddress& from, const NetAddress& to);

  // Orders the found files by name (CP866 upper case), ascending; the exit row stays first.
  void SortCatalogue();

 private:
  std::vector<std::unique_ptr<FoundFile>> entries_;
  std::unordered_map<std::string, int> byKey_;  // found files by key
};

// The exit row's name: a blank, character 17, a blank, "Выход", a blank, character 16.
std::string ExitRowName();

}  // namespace vm

#include "decode/found_file.h"

#include <algorithm>

#include "decode/recogniser.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {

const SectionSlot* FoundFile::Slot(int32_t n) const {
  if (n < 1 || n > SlotCount()) return nullptr;
  return &sections[static_cast<size_t>(n - 1)];
}

bool FoundFile::Complete() const {
  if (total < 1 || present < total) return false;
  for (int32_t n = 1; n <= total; ++n) {
    const SectionSlot* slot = Slot(n);
    if (slot == nullptr || slot->message == 0) return false;
  }
  return true;
}

int32_t HighestPresentSection(const FoundFile& file) {
  for (int32_t n = file.SlotCount(); n >= 1; --n)
    if (file.Slot(n)->message != 0) return n;
  return 0;
}

std::string ExitRowName() {
  static const std::string name = std::string(" \x11 ") + Cp866("Выход") + " \x10";
  return name;
}

void FoundFileCatalogue::StartFresh() {
  FreeCatalogue();
  auto exitRow = std::make_unique<FoundFile>();
  exitRow->name = ExitRowName();
  entries_.push_back(std::move(exitRow));
}

int FoundFileCatalogue::FindOrAdd(std::string_view key) {
  if (auto it = byKey_.find(std::string(key)); it != byKey_.end()) return it->second;
  // The limit is 2998 found files plus the exit row.
  if (Count() >= kCapacity - 1) return 0;
  entries_.push_back(std::make_unique<FoundFile>());
  byKey_.emplace(key, Count());
  return Count();
}

int FoundFileCatalogue::RecordSection(const SectionHeader& header, int32_t message, int32_t check,
                                      std::string_view subject, std::string_view date, bool sent,
                                      const NetAddress& from, const NetAddress& to) {
  const int index = FindOrAdd(header.key);
  if (index == 0) return 0;
  FoundFile& file = At(index);
  const int32_t total = std::min(header.total, FoundFile::kMaxSections);
  if (file.key.empty()) {
    file.subject = CutTo(subject, FoundFile::kSubjectWidth);
    file.date = CutTo(date, FoundFile::kDateWidth);
    file.sentSections = 0;
  }
  if (sent) ++file.sentSections;
  file.key = header.key;
  file.fromAddress = from;
  file.toAddress = to;
  // A name taken from a subject gives way to one a header announced.
  if (!header.fileName.empty() && (!header.nameFromSubject || file.name.empty()))
    file.name = CutTo(header.fileName, FoundFile::kNameWidth);
  file.total = total;
  file.kind = header.kind;
  if (header.form != PostingForm::Standard) file.form = header.form;
  if (!header.contentMd5.empty()) file.statedMd5 = header.contentMd5;
  if (header.statedSize >= 0) file.statedSize = header.statedSize;
  if (file.sections.empty())
    file.sections.resize(static_cast<size_t>(total > 0 ? total : FoundFile::kUnannouncedSlots));

  const int32_t n = header.number;
  // Section numbers of 0 or below store nothing; numbers beyond the cap are not believed.
  if (n < 1 || n > FoundFile::kMaxSections) return index;
  // Slots are sized by the first header; a later, larger section number grows them.
  if (n > file.SlotCount()) file.sections.resize(static_cast<size_t>(n));
  SectionSlot& slot = file.sections[static_cast<size_t>(n - 1)];
  if (slot.message == 0) ++file.present;
  // The same section once more from another message (a re-posting, or a different part
  // under the same number); kept, up to a section's worth per section, to compare.
  if (slot.message != 0 && slot.message != message &&
      file.replaced.size() < static_cast<size_t>(FoundFile::kMaxSections))
    file.replaced.emplace_back(n, slot);
  slot.message = message;
  slot.textPos = header.textPos;
  slot.check = check;
  return index;
}

void FoundFileCatalogue::SortCatalogue() {
  if (Count() < 3) return;
  std::stable_sort(entries_.begin() + 1, entries_.end(), [](const auto& a, const auto& b) {
    return UpCaseCp866(a->name) < UpCaseCp866(b->name);
  });
  byKey_.clear();
  for (int i = 2; i <= Count(); ++i) byKey_.emplace(At(i).key, i);
}

}  // namespace vm

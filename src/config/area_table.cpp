#include "config/area_table.h"

#include <algorithm>
#include <stdexcept>

#include "text/cp866.h"

namespace vm {

// One lookup key (the tag or the area id): every slot is filed under the case-folded text it
// had when it was last checked; each folded text lists its slots in ascending order, so the
// last equal entry is the bucket's back.
class AreaTable::KeyIndex {
 public:
  explicit KeyIndex(std::string AreaEntry::*field) : field_(field) {}

  // Files the slot (0-based) under the entry's current text, moving it when the text changed.
  void Update(int slot, const AreaEntry& entry) {
    const std::string& text = entry.*field_;
    auto at = static_cast<size_t>(slot);
    if (at >= filed_.size()) {
      filed_.resize(at + 1, false);
      filedText_.resize(at + 1);
    }
    if (filed_[at]) {
      if (filedText_[at] == text) return;
      Remove(slot);
    }
    std::vector<int>& bucket = buckets_[UpCaseCp866(text)];
    bucket.insert(std::lower_bound(bucket.begin(), bucket.end(), slot), slot);
    filedText_[at] = text;
    filed_[at] = true;
  }

  void Remove(int slot) {
    auto at = static_cast<size_t>(slot);
    if (at >= filed_.size() || !filed_[at]) return;
    auto bucket = buckets_.find(UpCaseCp866(filedText_[at]));
    if (bucket != buckets_.end()) {
      std::erase(bucket->second, slot);
      if (bucket->second.empty()) buckets_.erase(bucket);
    }
    filed_[at] = false;
  }

  void Clear() {
    buckets_.clear();
    filed_.clear();
    filedText_.clear();
  }

  const std::vector<int>& Slots(const std::string& folded) const {
    static const std::vector<int> kNone;
    auto bucket = buckets_.find(folded);
    return bucket == buckets_.end() ? kNone : bucket->second;
  }

 private:
  std::string AreaEntry::*field_;
  std::vector<bool> filed_;
  std::vector<std::string> filedText_;
  std::unordered_map<std::string, std::vector<int>> buckets_;
};

AreaTable::AreaTable()
    : tags_(std::make_unique<KeyIndex>(&AreaEntry::tag)),
      areaIds_(std::make_unique<KeyIndex>(&AreaEntry::areaId)) {}

AreaTable::~AreaTable() = default;

AreaEntry& AreaTable::At(int index) {
  AreaEntry& entry = *entries_.at(static_cast<size_t>(index - 1));
  Touch(index - 1);
  return entry;
}

void AreaTable::Touch(int slot) const {
  auto at = static_cast<size_t>(slot);
  if (at >= isTouched_.size()) isTouched_.resize(entries_.size(), false);
  if (isTouched_[at]) return;
  isTouched_[at] = true;
  touched_.push_back(slot);
}

void AreaTable::Refresh() const {
  for (int slot : touched_) {
    const AreaEntry& entry = *entries_[static_cast<size_t>(slot)];
    tags_->Update(slot, entry);
    areaIds_->Update(slot, entry);
    isTouched_[static_cast<size_t>(slot)] = false;
  }
  touched_.clear();
}

int AreaTable::FindArea(std::string_view tag) const {
  Refresh();
  const std::vector<int>& slots = tags_->Slots(UpCaseCp866(tag));
  return slots.empty() ? 0 : slots.back() + 1;
}

int AreaTable::FindAreaByAreaId(std::string_view areaId) const {
  Refresh();
  const std::vector<int>& slots = areaIds_->Slots(UpCaseCp866(areaId));
  return slots.empty() ? 0 : slots.back() + 1;
}

int AreaTable::FindOrCreate(std::string_view tag) {
  if (int found = FindArea(tag)) return found;
  AreaEntry entry;
  entry.tag = std::string(tag);
  return Append(std::move(entry));
}

int AreaTable::Append(AreaEntry entry) {
  if (Count() >= kCapacity) return 0;
  Refresh();
  entries_.push_back(std::make_unique<AreaEntry>(std::move(entry)));
  int slot = Count() - 1;
  tags_->Update(slot, *entries_.back());
  areaIds_->Update(slot, *entries_.back());
  return slot + 1;
}

void AreaTable::Swap(int a, int b) {
  if (a < 1 || b < 1 || a > Count() || b > Count())
    throw std::out_of_range("AreaTable::Swap");
  if (a == b) return;
  Refresh();
  for (KeyIndex* index : {tags_.get(), areaIds_.get()}) {
    index->Remove(a - 1);
    index->Remove(b - 1);
  }
  std::swap(entries_[static_cast<size_t>(a - 1)], entries_[static_cast<size_t>(b - 1)]);
  for (int slot : {a - 1, b - 1}) {
    tags_->Update(slot, *entries_[static_cast<size_t>(slot)]);
    areaIds_->Update(slot, *entries_[static_cast<size_t>(slot)]);
  }
}

void AreaTable::Reorder(const std::vector<int>& order) {
  if (order.size() != entries_.size()) throw std::invalid_argument("AreaTable::Reorder");
  std::vector<bool> used(entries_.size(), false);
  for (int index : order) {
    if (index < 1 || index > Count() || used[static_cast<size_t>(index - 1)])
      throw std::invalid_argument("AreaTable::Reorder: not a permutation");
    used[static_cast<size_t>(index - 1)] = true;
  }
  std::vector<std::unique_ptr<AreaEntry>> reordered;
  reordered.reserve(entries_.size());
  for (int index : order) reordered.push_back(std::move(entries_[static_cast<size_t>(index - 1)]));
  entries_ = std::move(reordered);
  touched_.clear();
  isTouched_.assign(entries_.size(), false);
  tags_->Clear();
  areaIds_->Clear();
  for (int slot = 0; slot < Count(); ++slot) {
    tags_->Update(slot, *entries_[static_cast<size_t>(slot)]);
    areaIds_->Update(slot, *entries_[static_cast<size_t>(slot)]);
  }
}

}  // namespace vm

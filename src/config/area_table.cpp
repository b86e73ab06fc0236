#include "config/area_table.h"

#include <algorithm>
#include <stdexcept>

#include "config/area_key_index.h"

namespace vm {

AreaTable::AreaTable()
    : tags_(std::make_unique<AreaKeyIndex>(&AreaEntry::tag)),
      areaIds_(std::make_unique<AreaKeyIndex>(&AreaEntry::areaId)) {}

AreaTable::~AreaTable() = default;

AreaEntry& AreaTable::At(int index) {
  AreaEntry& entry = *entries_.at(static_cast<size_t>(index - 1));
  Touch(index - 1);
  return entry;
}

void AreaTable::Touch(int slot) const {
  auto at = static_cast<size_t>(slot);
  if (at >= isTouched_.size()) isTouched_.resize(std::max<size_t>(at + 1, kCapacity), false);
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
  return tags_->FindLast(tag, AreaKeyIndex::Hash(tag), entries_) + 1;
}

int AreaTable::FindAreaByAreaId(std::string_view areaId) const {
  Refresh();
  return areaIds_->FindLast(areaId, AreaKeyIndex::Hash(areaId), entries_) + 1;
}

std::vector<int> AreaTable::FindAreas(std::string_view tag) const {
  Refresh();
  std::vector<int> indexes = tags_->Find(tag, entries_);
  for (int& index : indexes) ++index;
  return indexes;
}

int AreaTable::FindOrCreate(std::string_view tag) { return FindOrAppend(tag, {}).index; }

AreaTable::Placed AreaTable::FindOrAppend(std::string_view tag, std::string_view areaId) {
  Refresh();
  // The tag is hashed once, for the lookup and for filing the new entry.
  uint32_t hash = AreaKeyIndex::Hash(tag);
  if (int found = tags_->FindLast(tag, hash, entries_); found >= 0) return {found + 1, false};
  if (Count() >= kCapacity) return {};
  // Made in its slot rather than moved there: tables of thousands of areas are read this way.
  AreaEntry& entry = NewEntry();
  entry.tag = tag;
  entry.areaId = areaId;
  return {FileNewEntry(hash), true};
}

int AreaTable::Append(AreaEntry entry) {
  if (Count() >= kCapacity) return 0;
  Refresh();
  AreaEntry& stored = NewEntry();
  stored = std::move(entry);
  return FileNewEntry(AreaKeyIndex::Hash(stored.tag));
}

AreaEntry& AreaTable::NewEntry() {
  size_t slot = entries_.size();
  if (slot == 0) entries_.reserve(kCapacity);
  // Default-made entries, not zero-filled first.
  if (slot % kBlockSize == 0)
    blocks_.push_back(std::make_unique_for_overwrite<AreaEntry[]>(kBlockSize));
  AreaEntry& entry = blocks_.back()[slot % kBlockSize];
  entries_.push_back(&entry);
  return entry;
}

int AreaTable::FileNewEntry(uint32_t tagHash) {
  int slot = Count() - 1;
  tags_->Add(slot, tagHash);
  areaIds_->Update(slot, *entries_.back());
  return slot + 1;
}

void AreaTable::Swap(int a, int b) {
  if (a < 1 || b < 1 || a > Count() || b > Count()) throw std::out_of_range("AreaTable::Swap");
  if (a == b) return;
  Refresh();
  for (AreaKeyIndex* index : {tags_.get(), areaIds_.get()}) {
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
  std::vector<AreaEntry*> reordered;
  reordered.reserve(entries_.size());
  for (int index : order) reordered.push_back(entries_[static_cast<size_t>(index - 1)]);
  entries_ = std::move(reordered);
  touched_.clear();
  isTouched_.assign(entries_.size(), false);
  tags_->Clear();
  areaIds_->Clear();
}

}  // namespace vm

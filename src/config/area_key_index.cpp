#include "config/area_key_index.h"

#include <algorithm>
#include <functional>

#include "config/case_fold.h"

namespace vm {
namespace {

// The hash of the case-folded text, so that texts equal without regard to case hash alike.
uint64_t FoldedHash(std::string_view text) {
  const auto& upper = Cp866UpperTable();
  char folded[256];
  uint64_t hash = 0;
  while (!text.empty()) {
    size_t n = std::min(text.size(), sizeof folded);
    for (size_t i = 0; i < n; ++i) folded[i] = static_cast<char>(upper[static_cast<unsigned char>(text[i])]);
    hash = hash * 31 + std::hash<std::string_view>{}(std::string_view(folded, n));
    text.remove_prefix(n);
  }
  return hash;
}

bool EqualFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto& upper = Cp866UpperTable();
  for (size_t i = 0; i < a.size(); ++i)
    if (upper[static_cast<unsigned char>(a[i])] != upper[static_cast<unsigned char>(b[i])])
      return false;
  return true;
}

}  // namespace

void AreaKeyIndex::EnsureBuilt(const Entries& entries) {
  if (built_) return;
  built_ = true;
  for (size_t slot = 0; slot < entries.size(); ++slot)
    Update(static_cast<int>(slot), *entries[slot]);
}

void AreaKeyIndex::Update(int slot, const AreaEntry& entry) {
  if (!built_) return;
  const std::string& text = entry.*field_;
  auto at = static_cast<size_t>(slot);
  if (at >= filed_.size()) {
    size_t size = std::max<size_t>(at + 1, AreaTable::kCapacity);
    filed_.resize(size, 0);
    filedText_.resize(size);
    filedHash_.resize(size);
  }
  if (filed_[at]) {
    if (filedText_[at] == text) return;
    Remove(slot);
  }
  uint64_t hash = FoldedHash(text);
  Insert(hash, slot);
  filed_[at] = 1;
  filedText_[at] = text;
  filedHash_[at] = hash;
}

void AreaKeyIndex::Remove(int slot) {
  auto at = static_cast<size_t>(slot);
  if (!built_ || at >= filed_.size() || !filed_[at]) return;
  size_t mask = cells_.size() - 1;
  for (size_t i = filedHash_[at] & mask; cells_[i].slot != kEmpty; i = (i + 1) & mask) {
    if (cells_[i].slot == slot) {
      cells_[i].slot = kRemoved;
      break;
    }
  }
  filed_[at] = 0;
}

void AreaKeyIndex::Clear() {
  built_ = false;
  cells_.clear();
  usedCells_ = 0;
  filed_.clear();
  filedText_.clear();
  filedHash_.clear();
}

void AreaKeyIndex::Insert(uint64_t hash, int slot) {
  if ((usedCells_ + 1) * 2 > cells_.size()) Grow();
  size_t mask = cells_.size() - 1;
  size_t i = hash & mask;
  while (cells_[i].slot >= 0) i = (i + 1) & mask;
  if (cells_[i].slot == kEmpty) ++usedCells_;
  cells_[i] = {hash, slot};
}

// Doubles the table (or sheds the removed cells) and files the live cells again.
void AreaKeyIndex::Grow() {
  std::vector<Cell> old = std::move(cells_);
  size_t live = static_cast<size_t>(
      std::count_if(old.begin(), old.end(), [](const Cell& c) { return c.slot >= 0; }));
  // Room for a full table at once, so that filling it never files the cells again.
  size_t size = 4 * AreaTable::kCapacity;
  while (size < (live + 1) * 4) size *= 2;
  cells_.assign(size, Cell{});
  usedCells_ = 0;
  for (const Cell& cell : old)
    if (cell.slot >= 0) Insert(cell.hash, cell.slot);
}

template <typename Visit>
void AreaKeyIndex::ForEachFiled(uint64_t hash, Visit visit) const {
  if (cells_.empty()) return;
  size_t mask = cells_.size() - 1;
  for (size_t i = hash & mask; cells_[i].slot != kEmpty; i = (i + 1) & mask)
    if (cells_[i].slot >= 0 && cells_[i].hash == hash) visit(cells_[i].slot);
}

std::vector<int> AreaKeyIndex::Find(std::string_view text, const Entries& entries) {
  EnsureBuilt(entries);
  std::vector<int> found;
  ForEachFiled(FoldedHash(text), [&](int slot) {
    if (EqualFolded(entries[static_cast<size_t>(slot)]->*field_, text)) found.push_back(slot);
  });
  std::sort(found.begin(), found.end());
  return found;
}

int AreaKeyIndex::FindLast(std::string_view text, const Entries& entries) {
  EnsureBuilt(entries);
  int last = -1;
  ForEachFiled(FoldedHash(text), [&](int slot) {
    if (slot > last && EqualFolded(entries[static_cast<size_t>(slot)]->*field_, text))
      last = slot;
  });
  return last;
}

}  // namespace vm

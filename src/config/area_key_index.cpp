#include "config/area_key_index.h"

#include <algorithm>
#include <cstring>

#include "config/case_fold.h"

namespace vm {
namespace {

constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15;  // odd: each step is a bijection

bool EqualFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto& upper = Cp866UpperTable();
  for (size_t i = 0; i < a.size(); ++i)
    if (upper[static_cast<unsigned char>(a[i])] != upper[static_cast<unsigned char>(b[i])])
      return false;
  return true;
}

}  // namespace

// Eight folded bytes at a time, so that the multiplications, not the bytes, set the pace. A
// text of eight bytes or more ends with a word that overlaps the one before it.
uint32_t AreaKeyIndex::Hash(std::string_view text) {
  uint64_t hash = text.size();
  auto mix = [&hash](uint64_t word) {
    hash = (hash ^ UpCaseWord(word)) * kMultiplier;
    hash ^= hash >> 32;
  };
  auto wordAt = [&text](size_t at) {
    uint64_t word;
    std::memcpy(&word, text.data() + at, sizeof word);
    return word;
  };
  if (text.size() < 8) {
    uint64_t word = 0;
    for (size_t i = 0; i < text.size(); ++i)
      word |= uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    mix(word);
  } else {
    for (size_t i = 0; i + 8 < text.size(); i += 8) mix(wordAt(i));
    mix(wordAt(text.size() - 8));
  }
  return static_cast<uint32_t>((hash * kMultiplier) >> 32);
}

void AreaKeyIndex::EnsureBuilt(const Entries& entries) {
  if (built_) return;
  built_ = true;
  cells_.assign(kCells, Cell{0, kEmpty});
  usedCells_ = 0;
  for (size_t slot = 0; slot < entries.size(); ++slot)
    Update(static_cast<int>(slot), *entries[slot]);
}

void AreaKeyIndex::Update(int slot, const AreaEntry& entry) {
  if (!built_) return;
  uint32_t hash = Hash(entry.*field_);
  auto at = static_cast<size_t>(slot);
  if (at < filedHash_.size() && filedHash_[at] == hash) return;
  Remove(slot);
  File(slot, hash);
}

void AreaKeyIndex::Add(int slot, uint32_t hash) {
  if (built_) File(slot, hash);
}

void AreaKeyIndex::File(int slot, uint32_t hash) {
  auto at = static_cast<size_t>(slot);
  if (at >= filedHash_.size())
    filedHash_.resize(std::max<size_t>(at + 1, AreaTable::kCapacity), kNotFiled);
  Insert(hash, slot);
  filedHash_[at] = hash;
}

void AreaKeyIndex::Remove(int slot) {
  auto at = static_cast<size_t>(slot);
  if (!built_ || at >= filedHash_.size() || filedHash_[at] == kNotFiled) return;
  for (size_t i = Home(static_cast<uint32_t>(filedHash_[at])); cells_[i].slotPlusOne != kEmpty;
       i = (i + 1) % kCells) {
    if (cells_[i].slotPlusOne == slot + 1) {
      cells_[i].slotPlusOne = kRemoved;
      break;
    }
  }
  filedHash_[at] = kNotFiled;
}

void AreaKeyIndex::Clear() {
  built_ = false;
  cells_.clear();
  usedCells_ = 0;
  filedHash_.clear();
}

void AreaKeyIndex::Insert(uint32_t hash, int slot) {
  if ((usedCells_ + 1) * 2 > kCells) Rebuild();
  size_t i = Home(hash);
  while (cells_[i].slotPlusOne > 0) i = (i + 1) % kCells;
  if (cells_[i].slotPlusOne == kEmpty) ++usedCells_;
  cells_[i] = {Check(hash), static_cast<int16_t>(slot + 1)};
}

void AreaKeyIndex::Rebuild() {
  cells_.assign(kCells, Cell{0, kEmpty});
  usedCells_ = 0;
  for (size_t slot = 0; slot < filedHash_.size(); ++slot)
    if (filedHash_[slot] != kNotFiled)
      Insert(static_cast<uint32_t>(filedHash_[slot]), static_cast<int>(slot));
}

template <typename Visit>
void AreaKeyIndex::ForEachFiled(uint32_t hash, Visit visit) const {
  if (cells_.empty()) return;
  uint16_t check = Check(hash);
  for (size_t i = Home(hash); cells_[i].slotPlusOne != kEmpty; i = (i + 1) % kCells)
    if (cells_[i].slotPlusOne > 0 && cells_[i].check == check) visit(cells_[i].slotPlusOne - 1);
}

std::vector<int> AreaKeyIndex::Find(std::string_view text, const Entries& entries) {
  EnsureBuilt(entries);
  std::vector<int> found;
  ForEachFiled(Hash(text), [&](int slot) {
    if (EqualFolded(entries[static_cast<size_t>(slot)]->*field_, text)) found.push_back(slot);
  });
  std::sort(found.begin(), found.end());
  return found;
}

int AreaKeyIndex::FindLast(std::string_view text, uint32_t hash, const Entries& entries) {
  EnsureBuilt(entries);
  int last = -1;
  ForEachFiled(hash, [&](int slot) {
    if (slot > last && EqualFolded(entries[static_cast<size_t>(slot)]->*field_, text)) last = slot;
  });
  return last;
}

}  // namespace vm

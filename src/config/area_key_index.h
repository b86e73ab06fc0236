// The index behind FindArea and FindAreaByAreaId: table slots by the case-folded text of one
// field (the tag or the area id).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/area_table.h"

namespace vm {

// Every slot is filed under the hash of its folded text as it was when the slot was last
// checked; a lookup compares the texts of the slots filed under the hash it asks for. The
// index is built at its first lookup, so that a key nobody looks up costs nothing while the
// table fills. Slots are 0-based.
class AreaKeyIndex {
 public:
  using Entries = std::vector<AreaEntry*>;

  explicit AreaKeyIndex(std::string AreaEntry::*field) : field_(field) {}

  // The same for texts that are equal without regard to case.
  static uint32_t Hash(std::string_view text);

  // Files the slot under the entry's current text, moving it when the text changed.
  void Update(int slot, const AreaEntry& entry);
  // Files a new slot whose text has the given hash.
  void Add(int slot, uint32_t hash);
  void Remove(int slot);
  // Forgets everything; the next lookup builds the index again.
  void Clear();

  // The slots whose text equals the given one without regard to case, ascending.
  std::vector<int> Find(std::string_view text, const Entries& entries);
  // The last such slot, or -1; hash is Hash(text).
  int FindLast(std::string_view text, uint32_t hash, const Entries& entries);

 private:
  // An open-addressing table of cells that hold a slot and 16 bits of its hash (the bits the
  // cell's position does not come from). Sized once for a full table, so that it is at most a
  // quarter full of live cells; equal hashes may occur many times.
  struct Cell {
    uint16_t check;
    int16_t slotPlusOne;  // kEmpty, kRemoved or the slot + 1
  };
  static_assert(AreaTable::kCapacity < INT16_MAX);
  static constexpr int16_t kEmpty = 0;  // so that a new table is all zero bytes
  static constexpr int16_t kRemoved = -1;
  static constexpr int kCellBits = 14;
  static constexpr size_t kCells = size_t{1} << kCellBits;
  static_assert(kCells >= 4 * AreaTable::kCapacity);
  static constexpr int64_t kNotFiled = -1;

  static size_t Home(uint32_t hash) { return hash >> (32 - kCellBits); }
  static uint16_t Check(uint32_t hash) { return static_cast<uint16_t>(hash); }

  void EnsureBuilt(const Entries& entries);
  void File(int slot, uint32_t hash);
  void Insert(uint32_t hash, int slot);
  // Files the live cells again, dropping the removed ones.
  void Rebuild();
  template <typename Visit>
  void ForEachFiled(uint32_t hash, Visit visit) const;

  std::string AreaEntry::*field_;
  bool built_ = false;
  std::vector<Cell> cells_;  // kCells once built
  size_t usedCells_ = 0;     // cells not empty, removed ones included
  // Per slot: the hash it is filed under, or kNotFiled.
  std::vector<int64_t> filedHash_;
};

}  // namespace vm

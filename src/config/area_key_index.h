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

  // Files the slot under the entry's current text, moving it when the text changed.
  void Update(int slot, const AreaEntry& entry);
  void Remove(int slot);
  // Forgets everything; the next lookup builds the index again.
  void Clear();

  // The slots whose text equals the given one without regard to case, ascending.
  std::vector<int> Find(std::string_view text, const Entries& entries);
  // The last such slot, or -1.
  int FindLast(std::string_view text, const Entries& entries);

 private:
  // An open-addressing table of (hash, slot) cells; equal hashes may occur many times.
  struct Cell {
    uint64_t hash = 0;
    int slot = kEmpty;
  };
  static constexpr int kEmpty = -1;
  static constexpr int kRemoved = -2;

  void EnsureBuilt(const Entries& entries);
  void Insert(uint64_t hash, int slot);
  void Grow();
  template <typename Visit>
  void ForEachFiled(uint64_t hash, Visit visit) const;

  std::string AreaEntry::*field_;
  bool built_ = false;
  std::vector<Cell> cells_;  // a power of two in size, at most half in use
  size_t usedCells_ = 0;     // cells not empty, removed ones included
  // Per slot: whether it is filed, and the text and hash it is filed under.
  std::vector<char> filed_;
  std::vector<std::string> filedText_;
  std::vector<uint64_t> filedHash_;
};

}  // namespace vm

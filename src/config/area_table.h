// The table of message areas, learned from the echo processor's configuration, AREA lines and
// the area definitions file. Indexes run from 1 to Count().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/net_address.h"

namespace vm {

inline constexpr uint32_t kUnlimited = 65535;  // sections per day / history days: no limit
inline constexpr size_t kAreaNameWidth = 38;   // display names and tags

// Decoded files whose names match the mask go into the directory.
struct FileRoute {
  std::string mask;       // upper-cased, at most 14 characters
  std::string directory;  // upper-cased
};

enum class SendMode : uint8_t { Parallel = 1, Sequential = 2 };

struct AreaEntry {
  std::string displayName;  // at most 38 characters
  std::string tag;          // at most 38 characters
  std::string areaId;       // base letter + locator
  uint8_t netmail = 0;
  uint8_t exclude = 0;
  uint32_t SectionsLeftToday = 0;
  uint32_t SectionsPerDay = kUnlimited;
  uint32_t HistoryDays = 0;
  SendMode sendMode = SendMode::Parallel;
  // Shared by every area an area-definitions group selects.
  std::shared_ptr<const std::vector<FileRoute>> fileRoutes;
  uint32_t ResumeMessage = 0;
  uint32_t ResumeCheck = 0;
  NetAddress address;  // empty: the main ADDRESS
};

class AreaKeyIndex;

// The lookups by tag and by area id are served from hash indexes over the case-folded texts.
// Every entry handed out through the non-const At() is re-checked before the next lookup, so
// tags and area ids may be changed through At(); a reference must not be kept across a lookup
// and used to change them afterwards.
class AreaTable {
 public:
  static constexpr int kCapacity = 4096;

  AreaTable();
  ~AreaTable();
  AreaTable(const AreaTable&) = delete;
  AreaTable& operator=(const AreaTable&) = delete;

  int Count() const { return static_cast<int>(entries_.size()); }
  // index from 1 to Count()
  AreaEntry& At(int index);
  const AreaEntry& At(int index) const { return *entries_.at(static_cast<size_t>(index - 1)); }
  // For changing fields other than the tag and the area id, which must stay as they are: the
  // lookups are not told of the change. Cheaper than At() where many entries change at once.
  AreaEntry& AtKeepingKeys(int index) { return *entries_.at(static_cast<size_t>(index - 1)); }

  // Index of the last entry whose tag (area id) equals the text without regard to case; 0 when
  // none.
  int FindArea(std::string_view tag) const;
  int FindAreaByAreaId(std::string_view areaId) const;
  // Every index whose tag equals the text without regard to case, ascending.
  std::vector<int> FindAreas(std::string_view tag) const;

  // Finds the entry by tag or appends a new one with that tag. Returns 0 when the table is full
  // (the caller warns once).
  int FindOrCreate(std::string_view tag);
  // FindArea(tag); when there is no such entry, appends one with this tag and area id (the
  // other fields as a new AreaEntry has them) and says so. The index is 0 when the table is
  // full.
  struct Placed {
    int index = 0;
    bool appended = false;
  };
  Placed FindOrAppend(std::string_view tag, std::string_view areaId);
  // Appends an entry regardless of its tag; 0 when full.
  int Append(AreaEntry entry);

  // Reorders the entries (exchange of two slots).
  void Swap(int a, int b);
  // Puts the entries in the order given: order[k] is the old index of the new entry k + 1.
  void Reorder(const std::vector<int>& order);

 private:
  static constexpr size_t kBlockSize = 64;

  void Refresh() const;
  void Touch(int slot) const;
  // A new default entry after the last one, for the caller to fill and then file.
  AreaEntry& NewEntry();
  // Files the entry NewEntry() made in the indexes and returns its index; tagHash is the hash
  // of its tag.
  int FileNewEntry(uint32_t tagHash);

  // Entries live in blocks that never move, so that the slots can point at them.
  std::vector<std::unique_ptr<AreaEntry[]>> blocks_;
  std::vector<AreaEntry*> entries_;
  std::unique_ptr<AreaKeyIndex> tags_;
  std::unique_ptr<AreaKeyIndex> areaIds_;
  // Entries handed out for change since the last lookup (0-based), each listed once.
  mutable std::vector<int> touched_;
  mutable std::vector<bool> isTouched_;
};

}  // namespace vm

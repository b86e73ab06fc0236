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

class AreaTable {
 public:
  static constexpr int kCapacity = 4096;

  int Count() const { return static_cast<int>(entries_.size()); }
  // index from 1 to Count()
  AreaEntry& At(int index) { return *entries_.at(static_cast<size_t>(index - 1)); }
  const AreaEntry& At(int index) const { return *entries_.at(static_cast<size_t>(index - 1)); }

  // Index of the last entry whose tag (area id) equals the text without regard to case; 0 when
  // none.
  int FindArea(std::string_view tag) const;
  int FindAreaByAreaId(std::string_view areaId) const;

  // Finds the entry by tag or appends a new one with that tag. Returns 0 when the table is full
  // (the caller warns once).
  int FindOrCreate(std::string_view tag);
  // Appends an entry regardless of its tag; 0 when full.
  int Append(AreaEntry entry);

  // Reorders the entries (exchange of two slots).
  void Swap(int a, int b);

 private:
  std::vector<std::unique_ptr<AreaEntry>> entries_;
};

}  // namespace vm

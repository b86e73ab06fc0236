// SORTAREAS: the order of the area table after the settings are read.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "config/area_readers.h"
#include "msgbase/area_id.h"
#include "text/cp866.h"

namespace vm {
namespace {

std::string SortKey(const AreaEntry& entry, SortAreasMode mode) {
  if (mode == SortAreasMode::Name) return UpCaseCp866(entry.displayName);
  // By type: the kind's letter, so *.MSG, Hudson, JAM, Squish. An id of no kind goes by its
  // first character.
  if (const std::optional<AreaId> id = AreaId::Parse(entry.areaId)) return {id->Row().letter};
  return UpCaseCp866(std::string_view(entry.areaId).substr(0, 1));
}

}  // namespace

// Areas with equal keys end up in the order this exchange sort leaves them in, which is not the
// order of creation; users know their area lists in that order, so the sort is kept as it is.
// It runs on the ranks of the keys rather than on the texts, which keeps its n^2/2 comparisons
// cheap.
void SortAreas(AreaTable& areas, SortAreasMode mode) {
  if (mode == SortAreasMode::Unsorted) return;
  int count = areas.Count();
  std::vector<std::string> keys;
  keys.reserve(static_cast<size_t>(count));
  for (int i = 1; i <= count; ++i) keys.push_back(SortKey(std::as_const(areas).At(i), mode));

  std::vector<std::string> distinct = keys;
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  std::vector<int> rank(keys.size());
  for (size_t i = 0; i < keys.size(); ++i)
    rank[i] = static_cast<int>(std::lower_bound(distinct.begin(), distinct.end(), keys[i]) -
                               distinct.begin());

  std::vector<int> order(keys.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i) + 1;
  // Slot i's entry is held in (key, index) while j runs; each exchange puts it at j.
  for (size_t i = 0; i + 1 < rank.size(); ++i) {
    int key = rank[i];
    int index = order[i];
    for (size_t j = i + 1; j < rank.size(); ++j) {
      if (key > rank[j]) {
        std::swap(key, rank[j]);
        std::swap(index, order[j]);
      }
    }
    rank[i] = key;
    order[i] = index;
  }
  areas.Reorder(order);
}

}  // namespace vm

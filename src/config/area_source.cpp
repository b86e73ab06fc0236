#include "config/area_source.h"

#include <string>

#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {

std::string HudsonAreaId(int board, std::string_view directory) {
  board %= 1000;
  std::string areaId = {'H', static_cast<char>('0' + board / 100),
                        static_cast<char>('0' + board / 10 % 10), static_cast<char>('0' + board % 10)};
  areaId += directory;
  return areaId;
}

void WarnTableFull(AreaReaderContext& context, std::string_view tag) {
  if (context.tableFullWarned) return;
  context.tableFullWarned = true;
  WarnAndWait(context.console,
              Cp866("Слишком много областей: таблица вмещает не более ") +
                  std::to_string(AreaTable::kCapacity) + Cp866(". Область ") + std::string(tag) +
                  Cp866(" и все следующие пропущены."));
}

bool TakeArea(AreaReaderContext& context, AreaEntry&& area, AreaSource source) {
  if (area.tag.size() > kAreaNameWidth) area.tag.resize(kAreaNameWidth);
  if (area.displayName.empty())
    area.displayName = area.tag;
  else if (area.displayName.size() > kAreaNameWidth)
    area.displayName.resize(kAreaNameWidth);
  area.exclude = 0;
  // Areas written by hand post nothing and keep their history for ever until an area
  // definition says otherwise.
  bool manual = source == AreaSource::Manual;
  area.SectionsPerDay = manual ? 0 : kUnlimited;
  area.HistoryDays = manual ? kUnlimited : 0;
  area.sendMode = SendMode::Parallel;

  // The area is moved into the table only when it makes a new entry.
  auto [index, appended] = context.areas.FindOrAppend(std::move(area));
  if (index == 0) {
    WarnTableFull(context, area.tag);
    return false;
  }
  if (!appended) {
    // Met again: the entry keeps its own tag (equal but for case), its file routes and its
    // resume point.
    AreaEntry& entry = context.areas.At(index);
    entry.displayName = std::move(area.displayName);
    entry.areaId = std::move(area.areaId);
    entry.address = area.address;
    entry.netmail = area.netmail;
    entry.exclude = area.exclude;
    entry.SectionsPerDay = area.SectionsPerDay;
    entry.HistoryDays = area.HistoryDays;
    entry.sendMode = area.sendMode;
  }
  return true;
}

}  // namespace vm

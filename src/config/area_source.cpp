#include "config/area_source.h"

#include <string>

#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {

void WarnTableFull(AreaReaderContext& context, std::string_view tag) {
  if (context.tableFullWarned) return;
  context.tableFullWarned = true;
  WarnAndWait(context.console, Cp866("Слишком много областей: таблица вмещает не более ") +
                                   std::to_string(AreaTable::kCapacity) + Cp866(". Область ") +
                                   std::string(tag) + Cp866(" и все следующие пропущены."));
}

bool TakeArea(AreaReaderContext& context, const FoundArea& area, AreaSource source) {
  std::string_view tag = area.tag.substr(0, kAreaNameWidth);
  auto [index, appended] = context.areas.FindOrAppend(tag, area.areaId);
  if (index == 0) {
    WarnTableFull(context, tag);
    return false;
  }
  // A new entry is filled where it stands; one met again (its tag equal but for case) takes a
  // new area id, which its lookup must learn of.
  AreaEntry& entry = appended ? context.areas.AtKeepingKeys(index) : context.areas.At(index);
  if (!appended) entry.areaId = area.areaId;
  entry.displayName = area.displayName.empty() ? tag : area.displayName.substr(0, kAreaNameWidth);
  entry.address = area.address;
  entry.netmail = area.netmail;
  entry.exclude = 0;
  // Areas written by hand post nothing and keep their history for ever until an area
  // definition says otherwise.
  bool manual = source == AreaSource::Manual;
  entry.SectionsPerDay = manual ? 0 : kUnlimited;
  entry.HistoryDays = manual ? kUnlimited : 0;
  entry.sendMode = SendMode::Parallel;
  return true;
}

}  // namespace vm

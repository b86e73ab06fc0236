#include "config/area_source.h"

#include <string>

#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {

std::string HudsonAreaId(int board, std::string_view directory) {
  std::string digits = std::to_string(board % 1000);
  return "H" + std::string(3 - digits.size(), '0') + digits + std::string(directory);
}

void WarnTableFull(AreaReaderContext& context, std::string_view tag) {
  if (context.tableFullWarned) return;
  context.tableFullWarned = true;
  WarnAndWait(context.console,
              Cp866("Слишком много областей: таблица вмещает не более ") +
                  std::to_string(AreaTable::kCapacity) + Cp866(". Область ") + std::string(tag) +
                  Cp866(" и все следующие пропущены."));
}

AreaEntry* TakeArea(AreaReaderContext& context, std::string_view tag, std::string areaId,
                    AreaSource source) {
  std::string name = CutTo(tag, kAreaNameWidth);
  int index = context.areas.FindArea(name);
  if (index != 0) {
    context.areas.At(index).areaId = std::move(areaId);
  } else {
    AreaEntry created;
    created.tag = name;
    created.areaId = std::move(areaId);
    index = context.areas.Append(std::move(created));
    if (index == 0) {
      WarnTableFull(context, name);
      return nullptr;
    }
  }
  AreaEntry& entry = context.areas.At(index);
  bool manual = source == AreaSource::Manual;
  entry.displayName = name;
  entry.address = NetAddress{};
  entry.netmail = 0;
  entry.exclude = 0;
  // Areas written by hand post nothing and keep their history for ever until an area
  // definition says otherwise.
  entry.SectionsPerDay = manual ? 0 : kUnlimited;
  entry.HistoryDays = manual ? kUnlimited : 0;
  entry.sendMode = SendMode::Parallel;
  return &entry;
}

}  // namespace vm

// A scratch program directory with settings, areas, a run log and a console for the state
// file tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "config/area_table.h"
#include "config/settings.h"
#include "platform/run_log.h"
#include "state/calendar_date.h"
#include "state/run_state.h"
#include "support/fake_console.h"
#include "support/platform_temp_dir.h"

namespace vm {

class StateFixture : public ::testing::Test {
 protected:
  StateFixture() {
    paths.ProgramDir = dir.path() + "/";
    paths.StartDir = dir.path();
    paths.TempDir = dir.path() + "/";
    log.SetPath(dir / "veldmark.log");
    settings.address = {2, 5020, 9999, 0};
  }

  int AddArea(std::string tag, std::string areaId, uint32_t perDay = kUnlimited,
              uint32_t historyDays = 0) {
    AreaEntry entry;
    entry.tag = tag;
    entry.displayName = std::move(tag);
    entry.areaId = std::move(areaId);
    entry.SectionsPerDay = perDay;
    entry.SectionsLeftToday = perDay;
    entry.HistoryDays = historyDays;
    return areas.Append(std::move(entry));
  }

  std::string Read(std::string_view name) const { return dir.ReadFile(name); }
  void Write(std::string_view name, std::string_view contents) const {
    dir.WriteFile(name, contents);
  }
  std::string Log() const { return Read("veldmark.log"); }

  ScopedTempDir dir;
  ProgramPaths paths;
  Settings settings;
  AreaTable areas;
  RunLog log;
  FakeConsole console;
  const CalendarDate today{2024, 3, 15};
};

// Joins lines with CR LF after each.
inline std::string CrLf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace vm

#include "state/state_files.h"

#include "state/areas_list.h"
#include "state/dup_file.h"
#include "state/queue_file.h"

namespace vm {

void LoadStateFiles(RunState& state, AreaTable& areas, const Settings& settings,
                    const ProgramPaths& paths, Console& console, const RunLog& log,
                    CalendarDate today) {
  state.serials.ShareMachineWide(paths.ProgramDir + kMsgIdReservationFile);
  ReadQueueFile(paths, state, QueueContext{settings, console, {}}, log);
  LoadDuplicatesFile(paths, state.history, today, log);
  LoadAreaParameters(paths, areas, log);
}

void StartPostingDay(RunState& state, AreaTable& areas, CalendarDate today) {
  bool newDay = DaysFromTo(state.lastRun, today) > 0;
  for (int i = 1; i <= areas.Count(); ++i) {
    AreaEntry& area = areas.At(i);
    if (newDay || area.SectionsPerDay == kUnlimited || area.SectionsLeftToday == kUnlimited)
      area.SectionsLeftToday = area.SectionsPerDay;
  }
  if (newDay)
    for (QueueEntry& entry : state.queue) entry.sentToday = 0;
  state.lastRun = today;
}

void SaveStateFiles(const RunState& state, const AreaTable& areas, const ProgramPaths& paths,
                    CalendarDate today) {
  WriteQueueFile(paths, state);
  SaveDuplicatesFile(paths, state.history, areas, today);
  SaveAreaParameters(paths, areas);
}

}  // namespace vm

#include "app/posting_modes.h"

#include "encode/queue_runner.h"
#include "encode/send_queue.h"
#include "platform/host.h"
#include "platform/host_path.h"
#include "state/queue_file.h"
#include "text/cp866.h"

namespace vm {

void EnqueueFromCommandLine(RunContext& run, const EncodeRequest& request) {
  const AreaEntry& area = run.areas.At(request.area);
  EnqueueRequest enqueue;
  enqueue.path = request.filePath;
  enqueue.areaId = area.areaId;
  enqueue.templatePath = run.paths.ProgramDir + "veldmark.tpl";
  enqueue.fromName = run.settings.NAME;
  enqueue.toName = request.recipient;
  enqueue.fromAddress = run.settings.ADDRESS;
  enqueue.toAddress = request.destination;
  enqueue.flags = request.flags;
  enqueue.linesPerSection = run.settings.LINESPERSEC;
  enqueue.postedName = request.postedName;
  enqueue.subject = request.postedName;
  enqueue.allowance = static_cast<int32_t>(area.SectionsLeftToday);
  // A name that could not go out as it is: say what it goes out as.
  const PathParts parts = SplitPath(request.filePath);
  const std::string ownName = UpCaseCp866(parts.name + parts.ext);
  if (request.postedName != ownName)
    run.console.WriteLine(Cp866("Файл ") + ownName + Cp866(" посылается как ") +
                          request.postedName);
  if (EnqueueFile(run.state.queue, enqueue, QueueContext{run.settings, run.console, {}}) == 0) {
    run.log.WriteLog(Cp866("Файл ") + UpCaseCp866(request.filePath) +
                     Cp866(" не поставлен в очередь"));
    ++run.incomplete;
  }
}

void ProcessSendQueue(RunContext& run) {
  QueueProgressFile progress(run.paths);
  QueueRun queueRun{
      run.state, run.areas, run.settings, run.paths, run.console, DateOf(LocalNow()), [&] {
        progress.Save(run.state);
      }};
  queueRun.log = &run.log;
  ProcessQueue(queueRun);
  run.incomplete += queueRun.failures;
}

}  // namespace vm

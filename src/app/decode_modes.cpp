#include "app/decode_modes.h"

#include <functional>

#include "decode/file_destination.h"
#include "decode/report.h"
#include "decode/unattended_decode.h"
#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {
namespace {

// The run's scratch directory under TempDir; archivers unpack file_id.diz into it.
constexpr std::string_view kWorkDirectoryName = "$veldm$.###";

std::string WorkDirectory(const ProgramPaths& paths) {
  return WithTrailingSlash(paths.TempDir) + std::string(kWorkDirectoryName);
}

// Files left by an earlier run that stopped half-way.
void EmptyDirectory(const std::string& directory) {
  for (const DirEntry& entry : ListDirectory(directory))
    if (!entry.isDirectory) RemoveFile(WithTrailingSlash(directory) + entry.name);
}

// Runs the decoding of `areas` between BeginReport and EndReport; returns the files kept.
int32_t DecodeAreas(RunContext& run, const std::string& workDirectory,
                    const std::function<void(UnattendedRun&)>& areas) {
  // ROOT as the sysop wrote it may be relative: it is taken from the start directory, like
  // every relative path of the run.
  run.settings.ROOT = AbsoluteFrom(run.settings.ROOT, run.paths.StartDir);
  MakeDirectories(run.settings.ROOT);

  NewFilesReport report(run.settings, run.areas, run.console, run.log, run.state.serials);
  UnattendedRun unattended(run.settings, run.areas, run.state.history, run.console, run.log,
                           report);
  unattended.options.decodeAnyway = run.flags.decodeAnyway;
  unattended.options.scanAll = run.flags.scanAll;
  unattended.workDirectory = workDirectory;
  unattended.baseDirectory = run.paths.StartDir;
  unattended.paths = &run.paths;
  const DateTime now = LocalNow();
  unattended.today = DateOf(now);

  report.Begin(now);
  areas(unattended);
  report.End();
  run.incomplete += unattended.failures + (report.Failed() ? 1 : 0);
  return unattended.decodedFiles;
}

}  // namespace

void DecodeAllAreas(RunContext& run) {
  const std::string work = WorkDirectory(run.paths);
  MakeDirectories(work);
  EmptyDirectory(work);
  const int32_t decoded = DecodeAreas(run, work, [&run](UnattendedRun& unattended) {
    for (int index = 1; index <= run.areas.Count(); ++index)
      if (!run.areas.At(index).exclude) DecodeAreaUnattended(unattended, index);
  });
  run.console.WriteLine(Cp866("  Всего раскодировано ") + std::to_string(decoded) +
                        Cp866(" файлов."));
  run.console.WriteLine("");
  RemoveDirectory(work);
}

void DecodeOneArea(RunContext& run, int area) {
  const std::string work = WorkDirectory(run.paths);
  MakeDirectory(work);
  DecodeAreas(run, work,
              [area](UnattendedRun& unattended) { DecodeAreaUnattended(unattended, area); });
  RemoveDirectory(work);
}

}  // namespace vm

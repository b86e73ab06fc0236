#include "app/program.h"

#include <cerrno>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/program_paths.h"
#include "app/run_lock.h"
#include "config/config_lines.h"
#include "config/settings_reader.h"
#include "platform/fatal.h"
#include "platform/file.h"
#include "platform/host.h"
#include "state/state_files.h"
#include "text/cp866.h"

namespace vm {
namespace {

// Error codes of the run-time error report.
constexpr int kOutOfMemoryError = 203;
constexpr int kRangeError = 201;

void PrintBanner(Console& console) {
  console.WriteLine(Cp866(" Veldmark v1.61.40 Win32b        Сборка для Linux"));
  console.WriteLine("");
}

// A template is a page of text with macros; anything near this size is no template.
constexpr size_t kMaxTemplateSize = size_t{1} << 20;

// The template is needed for every posting; without it the program does not start.
void CheckTemplate(const ProgramPaths& paths) {
  File probe;
  int error = probe.Open(paths.ProgramDir + "veldmark.tpl", OpenMode::Read) ? 0 : probe.LastError();
  if (error == 0 && probe.Size() > static_cast<int64_t>(kMaxTemplateSize)) error = EFBIG;
  if (error == 0) return;
  std::string message = Cp866("Файл VELDMARK.TPL") + UnreadableFileReason(error, kMaxTemplateSize);
  // A missing template names where it was looked for: the usual slip is the wrong directory.
  if (error == ENOENT) message += "\r\n" + DescribeProgramDirectory(paths);
  FatalExit(message);
}

int StartUp(RunContext& run, ModeRunner runMode) {
  PrintBanner(run.console);
  run.console.SetTitle("Veldmark");
  run.paths = FindProgramPaths();
  RequireProgramDirectory(run.paths);
  run.failures.Prepare(run);
  ProvideExampleTemplate(run.paths, run.console);
  CheckTemplate(run.paths);

  const bool install = run.commandLine.CommandWord() == "INSTALL";
  if (!install) {
    // Without a settings file the installation writes one and ends the run.
    if (!ReadSettings(run.paths, run.settings, run.areas, run.log, run.console))
      return RunInstallation(run, false);
    run.failures.Prepare(run);
  }
  run.log.WriteLogBreak();
  run.log.WriteLog(run.commandLine.StartLogLine());

  // The usage text needs no state file: answering it before they are loaded means that a
  // "?" run never writes one.
  if (run.commandLine.ParamPresent("?")) return RunUsage(run);

  // Held until the run ends: from here on the run reads and writes the node's state.
  RunLock lock;
  switch (lock.Acquire(run.paths.ProgramDir, run.console)) {
    case RunLock::Result::Taken: break;
    case RunLock::Result::Busy:
      FatalExit(Cp866("Другая копия Veldmark работает с этим каталогом больше минуты"));
    case RunLock::Result::NoLockFile: FatalExit(Cp866("Не могу создать файл VELDMARK.LCK"));
  }

  const CalendarDate today = DateOf(LocalNow());
  if (!install)
    LoadStateFiles(run.state, run.areas, run.settings, run.paths, run.console, run.log, today);
  StartPostingDay(run.state, run.areas, today);

  run.flags.decodeAnyway = run.commandLine.ParamPresent("-ANYWAY");
  run.flags.scanAll = run.commandLine.ParamPresent("-SCANALL");
  return runMode(run);
}

}  // namespace

int Run(RunContext& run, ModeRunner runMode) {
  try {
    return StartUp(run, runMode);
  } catch (const FatalStop& stop) {
    return StopWithMessage(run, stop.Message(), kExitFatal, stop.Hint());
  } catch (const std::bad_alloc& failure) {
    run.failures.ReportRunError(run, kOutOfMemoryError, failure.what());
    return kExitRunError;
  } catch (const std::out_of_range& failure) {
    run.failures.ReportRunError(run, kRangeError, failure.what());
    return kExitRunError;
  } catch (const std::length_error& failure) {
    run.failures.ReportRunError(run, kRangeError, failure.what());
    return kExitRunError;
  } catch (const std::exception& failure) {
    run.failures.ReportException(run, failure.what());
    return kExitException;
  } catch (...) {
    run.failures.ReportException(run, "unknown exception");
    return kExitException;
  }
}

int RunProgram(int argc, char** argv, ModeRunner runMode) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(Utf8ToCp866(argv[i]));
  RunContext run(ProcessConsole(), argc > 0 ? Utf8ToCp866(argv[0]) : std::string(),
                 CommandLine(std::move(arguments)));
  run.failures.CatchFatalSignals();
  return Run(run, runMode);
}

}  // namespace vm

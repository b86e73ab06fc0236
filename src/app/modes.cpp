#include "app/modes.h"

#include <string>

#include "app/debug_dump.h"
#include "app/decode_modes.h"
#include "app/mode_arguments.h"
#include "app/posting_modes.h"
#include "app/shell_mode.h"
#include "app/usage_text.h"
#include "config/installation.h"
#include "platform/drive_walk.h"
#include "platform/fatal.h"
#include "platform/host.h"
#include "platform/host_path.h"
#include "state/state_files.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr size_t kDirArgument = 2;

// Decoding from the command line needs a place for the files.
void RequireRoot(const Settings& settings) {
  if (settings.ROOT.empty())
    FatalExit(
        Cp866("Так как переменная ROOT в VELDMARK.CTL не задана, Вы не можете "
              "раскодировать\r\nфайлы в автоматическом режиме."));
}

int RunQueueOnly(RunContext& run) {
  ProcessSendQueue(run);
  return NormalEnd(run);
}

int RunDebugDump(RunContext& run) {
  WriteDebugDump(run.paths, run.settings, run.areas);
  run.log.Disable();
  return StopWithMessage(run, Cp866("Все параметры записаны в файл VELDMARK.DBG"), kExitNormal);
}

int RunDecodeAll(RunContext& run) {
  RequireRoot(run.settings);
  DecodeAllAreas(run);
  ProcessSendQueue(run);
  return NormalEnd(run);
}

int RunDecodeOne(RunContext& run) {
  RequireRoot(run.settings);
  int area = FindAreaOrStop(run.commandLine, run.areas);
  DecodeOneArea(run, area);
  ProcessSendQueue(run);
  return NormalEnd(run);
}

int RunEncode(RunContext& run) {
  EncodeRequest request = CheckEncodeArguments(run.commandLine, run.settings, run.areas,
                                               run.paths.StartDir, run.state.defaults.flags);
  run.state.defaults.flags = request.flags;
  run.state.defaults.toAddress = request.destination;
  EnqueueFromCommandLine(run, request);
  ProcessSendQueue(run);
  return NormalEnd(run);
}

int RunShellMode(RunContext& run, const std::string& command) {
  ShellStart start;
  start.command = command;
  if (command == "DIR") run.state.defaults.panelDirectory = run.commandLine.Argument(kDirArgument);
  if (command == "OPEN") {
    OpenRequest open = CheckOpenArguments(run.commandLine, run.settings, run.areas);
    start.openArea = open.area;
    if (open.recipient) run.state.defaults.toName = *open.recipient;
    if (open.destination) run.state.defaults.toAddress = *open.destination;
  }
  RunShell(run, start);
  return NormalEnd(run);
}

}  // namespace

int Dispatch(RunContext& run) {
  const std::string command = run.commandLine.CommandWord();
  if (command == "Q") return RunQueueOnly(run);
  if (command == "DEBUG") return RunDebugDump(run);
  if (command == "ALL") return RunDecodeAll(run);
  if (command == "DECODE") return RunDecodeOne(run);
  if (command == "INSTALL") return RunInstallation(run, run.commandLine.ParamPresent("MANUAL"));
  if (command == "ENCODE") return RunEncode(run);
  bool shellCommand =
      command == "OPEN" || command == "DIR" || command == "NOCHANGE" || command == "QUEUE";
  if (run.commandLine.Count() > 0 && !shellCommand)
    FatalExit(Cp866("Неизвестный параметр: ") + command,
              Cp866("Запустите VELDMARK /? для получения списка команд\n"));
  return RunShellMode(run, command);
}

int RunInstallation(RunContext& run, bool manual) {
  InstallRequest request;
  request.manual = manual;
  request.goldEdOnly = run.commandLine.ParamPresent("GOLDED");
  std::string executable = ExecutablePath();
  request.programFile = executable.empty() ? run.programFile : ProgramPathFromHost(executable);
  request.drive = DriveOf(run.paths.StartDir);
  Install(request, run.paths, run.console);
  return kExitNormal;
}

int RunUsage(RunContext& run) {
  PrintUsage(run.console, run.commandLine.CommandWord());
  return kExitNormal;
}

int NormalEnd(RunContext& run) {
  SaveStateFiles(run.state, run.areas, run.paths, DateOf(LocalNow()));
  if (run.incomplete > 0)
    run.log.WriteLog(Cp866("Не все удалось (") + std::to_string(run.incomplete) +
                     Cp866(", смотрите выше): код выхода 4"));
  run.log.WriteLog(Cp866("Нормальный выход"));
  run.log.WriteLogBreak();
  return run.incomplete > 0 ? kExitIncomplete : kExitNormal;
}

int StopWithMessage(RunContext& run, std::string_view message, int exitCode,
                    std::string_view hint) {
  run.log.WriteLog(Cp866("Выход по ошибке: \"") + std::string(message) + "\"");
  run.console.WriteLine(message);
  if (!hint.empty()) run.console.Write(hint);
  run.console.WaitKey();
  return exitCode;
}

}  // namespace vm

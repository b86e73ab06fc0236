#include "app/failure_report.h"

#include <string>

#include "app/debug_dump.h"
#include "platform/file.h"
#include "text/cp866.h"

namespace vm {
namespace {

// Appends CR LF lines to the report that WriteDebugDump has just written.
void AppendToReport(const RunContext& run, std::string_view lines) {
  File report;
  if (report.Open(run.paths.ProgramDir + "VELDMARK.DBG", OpenMode::Append)) report.Write(lines);
}

void AskToSendReport(Console& console) {
  console.WriteLine(
      Cp866("При работе программы Veldmark произошла неисправимая ошибка. Пожалуйста,"));
  console.WriteLine(Cp866("пошлите файл VELDMARK.DBG по указанному адресу:"));
  console.WriteLine(Cp866("  автору Veldmark, в конференцию поддержки программы"));
  console.WriteLine("");
}

}  // namespace

void ReportException(RunContext& run, std::string_view message) {
  try {
    WriteDebugDump(run.paths, run.settings, run.areas);
    AppendToReport(run, "--- Exception info\r\nMessage = " + std::string(message) + "\r\n---\r\n");
    AskToSendReport(run.console);
    run.console.WaitKey();
  } catch (...) {
    // A failure while reporting must not hide the first one.
  }
}

void ReportRunError(RunContext& run, int errorCode, std::string_view what) {
  try {
    WriteDebugDump(run.paths, run.settings, run.areas);
    std::string lines = "---\r\n" + Cp866("Ошибка ") + std::to_string(errorCode) + " (" +
                        std::string(what) + ")\r\n";
    lines += run.programFile + "\r\n";
    for (size_t i = 1; i <= run.commandLine.Count(); ++i)
      lines += run.commandLine.Argument(i) + "\r\n";
    AppendToReport(run, lines);
    AskToSendReport(run.console);
  } catch (...) {
    // As above.
  }
}

}  // namespace vm

// Reports of failures nothing foresaw: VELDMARK.DBG gets the listing of the settings and what
// went wrong, and the console asks the user to send the file. A run reports one failure at
// most, however many follow. The reporters never throw.
#pragma once

#include <array>
#include <atomic>
#include <string>
#include <string_view>

#include "platform/fatal_signals.h"

namespace vm {

struct RunContext;

class FailureReporter {
 public:
  FailureReporter() = default;
  ~FailureReporter();
  FailureReporter(const FailureReporter&) = delete;
  FailureReporter& operator=(const FailureReporter&) = delete;

  // What a run-time error reports: the listing of the run's settings and areas, its command
  // line and where VELDMARK.DBG lies, made ready beforehand because a crashed program can build
  // nothing. Called again whenever the settings change; a report shows the last one.
  void Prepare(const RunContext& run);

  // Makes this reporter the one that the fatal signals of the process report through.
  void CatchFatalSignals();

  // An exception nothing handled: a fresh listing, an "Exception info" block with its message,
  // the console request, then a key wait. The caller exits with kExitException.
  void ReportException(RunContext& run, std::string_view message);

  // A run-time error met as an exception (the runtime library's out-of-memory or range
  // failure, given by its error code): the prepared listing, "---", the error line and the
  // command line, the console request, and no key wait. The caller exits with kExitRunError.
  void ReportRunError(RunContext& run, int errorCode, std::string_view what);

  // A fatal signal: as ReportRunError, the error line naming the signal and the address at
  // fault; only async-signal-safe calls. Ends the process with kExitRunError.
  [[noreturn]] void ReportSignal(const FatalSignal& signal);

 private:
  struct Prepared {
    std::string reportPath;   // host path of VELDMARK.DBG; empty before ProgramDir is known
    std::string listing;      // CP866 lines, as /Debug writes them
    std::string commandLine;  // CP866 lines: argument 0 to the last
    std::string errorWord;    // "Ошибка " in CP866
    std::string atWord;       // " в " in CP866
  };

  // True for the first report of the run.
  bool Claim();
  // The last prepared report; nothing before the first Prepare.
  const Prepared* Current() const;
  // Replaces VELDMARK.DBG with the listing, "---", the error line and the command line.
  void WriteReport(const Prepared& prepared, std::string_view errorLine) const;

  // Two slots, so that a report made while the other is being prepared reads a whole one.
  std::array<Prepared, 2> slots_;
  std::atomic<int> current_{-1};
  std::atomic<int> reportingThread_{0};  // 0 until a report began
};

}  // namespace vm

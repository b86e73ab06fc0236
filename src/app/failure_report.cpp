#include "app/failure_report.h"

#include <signal.h>

#include <cstdint>
#include <string>

#include "app/debug_dump.h"
#include "app/run_context.h"
#include "platform/file.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {
namespace {

// In UTF-8: the reporters of exceptions convert it to CP866 for the Console; the signal
// reporter, which may not convert anything, writes it to the terminal as it is.
constexpr std::string_view kRequest =
    "При работе программы Veldmark произошла неисправимая ошибка. Пожалуйста,\n"
    "пошлите файл VELDMARK.DBG по указанному адресу:\n"
    "  автору Veldmark, в конференцию поддержки программы\n"
    "\n";

// The reporter of the process's fatal signals (CatchFatalSignals).
std::atomic<FailureReporter*> gSignalReporter{nullptr};

void ReportFatalSignal(const FatalSignal& signal) {
  if (FailureReporter* reporter = gSignalReporter.load()) reporter->ReportSignal(signal);
}

// The run-time error numbers of the program's DOS and Windows builds for the same failures:
// 216 access violation, 200 division by zero, 218 privileged instruction, 217 abort.
int RunErrorCode(int signal) {
  switch (signal) {
    case SIGFPE: return 200;
    case SIGILL: return 218;
    case SIGABRT: return 217;
  }
  return 216;
}

// The error line in a fixed buffer: building it must not allocate (the signal path may not,
// and after an allocation failure it might not succeed).
class ErrorLine {
 public:
  void Add(std::string_view text) {
    for (char c : text) AddChar(c);
  }
  void AddDecimal(unsigned value) {
    char digits[10];
    size_t count = 0;
    do {
      digits[count++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    while (count > 0) AddChar(digits[--count]);
  }
  // Eight upper-case hexadecimal digits.
  void AddHex32(uint32_t value) {
    for (int shift = 28; shift >= 0; shift -= 4)
      AddChar("0123456789ABCDEF"[(value >> shift) & 0xF]);
  }
  std::string_view Text() const { return std::string_view(buffer_, size_); }

 private:
  void AddChar(char c) {
    if (size_ < sizeof buffer_) buffer_[size_++] = c;
  }

  char buffer_[256];
  size_t size_ = 0;
};

// Appends CR LF lines to the report that WriteDebugDump has just written.
void AppendToReport(const RunContext& run, std::string_view lines) {
  File report;
  if (report.Open(run.paths.ProgramDir + "VELDMARK.DBG", OpenMode::Append, Links::Replace))
    report.Write(lines);
}

}  // namespace

FailureReporter::~FailureReporter() {
  FailureReporter* self = this;
  gSignalReporter.compare_exchange_strong(self, nullptr);
}

void FailureReporter::Prepare(const RunContext& run) {
  int next = current_.load() == 0 ? 1 : 0;
  Prepared& slot = slots_[static_cast<size_t>(next)];
  slot.reportPath = run.paths.ProgramDir.empty() ? std::string()
                                                 : HostPath(run.paths.ProgramDir + "VELDMARK.DBG");
  slot.listing = DebugListing(run.paths, run.settings, run.areas);
  slot.commandLine = run.programFile + "\r\n";
  for (size_t i = 1; i <= run.commandLine.Count(); ++i)
    slot.commandLine += run.commandLine.Argument(i) + "\r\n";
  slot.errorWord = Cp866("Ошибка ");
  slot.atWord = Cp866(" в ");
  current_.store(next);
}

void FailureReporter::CatchFatalSignals() {
  gSignalReporter.store(this);
  vm::CatchFatalSignals(&ReportFatalSignal);
}

bool FailureReporter::Claim() {
  int none = 0;
  return reportingThread_.compare_exchange_strong(none, CurrentThreadId());
}

const FailureReporter::Prepared* FailureReporter::Current() const {
  int slot = current_.load();
  return slot < 0 ? nullptr : &slots_[static_cast<size_t>(slot)];
}

void FailureReporter::WriteReport(const Prepared& prepared, std::string_view errorLine) const {
  if (prepared.reportPath.empty()) return;
  WriteFileFromSignal(prepared.reportPath.c_str(),
                      {prepared.listing, "---\r\n", errorLine, "\r\n", prepared.commandLine});
}

void FailureReporter::ReportException(RunContext& run, std::string_view message) {
  if (!Claim()) return;
  try {
    WriteDebugDump(run.paths, run.settings, run.areas);
    AppendToReport(run, "--- Exception info\r\nMessage = " + std::string(message) + "\r\n---\r\n");
    run.console.Write(Cp866(kRequest));
    run.console.WaitKey();
  } catch (...) {
    // A failure while reporting must not hide the first one.
  }
}

void FailureReporter::ReportRunError(RunContext& run, int errorCode, std::string_view what) {
  if (!Claim()) return;
  if (const Prepared* prepared = Current()) {
    ErrorLine line;
    line.Add(prepared->errorWord);
    line.AddDecimal(static_cast<unsigned>(errorCode));
    line.Add(" (");
    line.Add(what);
    line.Add(")");
    WriteReport(*prepared, line.Text());
  }
  try {
    run.console.Write(Cp866(kRequest));
  } catch (...) {
    // As above.
  }
}

void FailureReporter::ReportSignal(const FatalSignal& signal) {
  if (!Claim()) {
    // A failure while a report is being made. On the reporting thread that report cannot be
    // finished; any other thread waits while the reporting one ends the process.
    if (reportingThread_.load() == CurrentThreadId()) ExitFromSignal(kExitRunError);
    WaitForProcessEnd();
  }
  RestoreTerminalAfterCrash();
  if (const Prepared* prepared = Current()) {
    ErrorLine line;
    line.Add(prepared->errorWord);
    line.AddDecimal(static_cast<unsigned>(RunErrorCode(signal.number)));
    line.Add(" (");
    line.Add(signal.name);
    line.Add(")");
    if (signal.hasAddress) {
      // The address as the old segment:offset pairs were written: its two halves in hex.
      uint64_t address = signal.address;
      line.Add(prepared->atWord);
      line.AddHex32(static_cast<uint32_t>(address >> 32));
      line.Add(":");
      line.AddHex32(static_cast<uint32_t>(address));
    }
    WriteReport(*prepared, line.Text());
  }
  WriteStdoutFromSignal(kRequest);
  ExitFromSignal(kExitRunError);
}

}  // namespace vm

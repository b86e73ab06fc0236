// The signals of a run-time error (a bad pointer, a division by zero, an illegal instruction,
// an abort), caught so that the program can report the error before it ends, and the few
// async-signal-safe operations such a report may use.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace vm {

struct FatalSignal {
  int number = 0;
  const char* name = "";  // "SIGSEGV", "SIGBUS", "SIGFPE", "SIGILL" or "SIGABRT"
  // Whether the kernel raised it at a fault; a signal that was sent (kill, abort) has none.
  bool hasAddress = false;
  // The memory address at fault (SIGSEGV, SIGBUS) or the faulting instruction (SIGFPE, SIGILL).
  uintptr_t address = 0;
};

// Runs on the thread that failed and must not return; it may use only async-signal-safe calls.
using FatalSignalHandler = void (*)(const FatalSignal& signal);

// Catches SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT with the handler, on an alternate stack
// given to the calling thread, so that a stack overflow of that thread can be reported too.
void CatchFatalSignals(FatalSignalHandler handler);

// The full-screen interface registers, while it runs, a function that puts the terminal back
// into its ordinary state; a crash report calls it before it prints. It must be
// async-signal-safe. nullptr: nothing to restore.
void SetCrashTerminalRestore(void (*restore)());
void RestoreTerminalAfterCrash();

// Replaces the file at a host path with the pieces, one after another (a symbolic link there
// is replaced too, never followed); errors are ignored.
void WriteFileFromSignal(const char* hostPath, std::initializer_list<std::string_view> pieces);
void WriteStdoutFromSignal(std::string_view text);
// The kernel's id of the calling thread.
int CurrentThreadId();
// Ends the process at once, without destructors or exit handlers.
[[noreturn]] void ExitFromSignal(int exitCode);
// Stops the calling thread for good (another thread is ending the process).
[[noreturn]] void WaitForProcessEnd();

}  // namespace vm

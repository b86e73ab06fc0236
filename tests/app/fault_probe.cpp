// A test program: the real program's run, whose mode is a failure named by the command word
// (SEGV, DIVIDE, NOMEMORY, ABORT, THREADS), so that tests see how it is reported.
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>
#include <thread>

#include "app/program.h"
#include "platform/fatal_signals.h"

namespace {

void WriteThroughBadPointer() {
  volatile uintptr_t address = 16;
  *reinterpret_cast<volatile int*>(address) = 1;
}

// Without the attribute the sanitizer's check would stop the division before the processor.
__attribute__((no_sanitize("integer-divide-by-zero"))) int Divide(int dividend, int divisor) {
  volatile int a = dividend;
  volatile int b = divisor;
  return a / b;
}

// A request no allocator can grant. AddressSanitizer's operator new ends the program itself
// instead of throwing, so under it the failure is made the way the standard operator new makes
// it: malloc answers nothing, std::bad_alloc follows.
void FailAllocation() {
  volatile size_t huge = SIZE_MAX / 4;
#ifdef __SANITIZE_ADDRESS__
  if (std::malloc(huge) == nullptr) throw std::bad_alloc();
#else
  // Kept where the optimiser cannot drop the request as unused.
  void* volatile block = ::operator new(huge);
  ::operator delete(block);
#endif
}

// Two threads fault at the same moment.
void FaultOnTwoThreads() {
  std::atomic<int> ready{0};
  auto fault = [&ready] {
    ready.fetch_add(1);
    while (ready.load() < 2) {
    }
    WriteThroughBadPointer();
  };
  std::thread first(fault);
  std::thread second(fault);
  first.join();
  second.join();
}

// Stands in for the full-screen interface's terminal restore: it shows on stdout that it ran,
// and pauses, so that a second fault on another thread comes while the report is being made.
void RestoreTerminal() {
  constexpr std::string_view kMark = "terminal restored\n";
  ssize_t written = write(STDOUT_FILENO, kMark.data(), kMark.size());
  (void)written;
  timespec pause{0, 200'000'000};
  nanosleep(&pause, nullptr);
}

int RunFault(vm::RunContext& run) {
  vm::SetCrashTerminalRestore(RestoreTerminal);
  const std::string fault = run.commandLine.CommandWord();
  if (fault == "SEGV") WriteThroughBadPointer();
  if (fault == "DIVIDE") return Divide(1, 0);
  if (fault == "NOMEMORY") FailAllocation();
  if (fault == "ABORT") std::abort();
  if (fault == "THREADS") FaultOnTwoThreads();
  return 100;  // the fault did not happen
}

}  // namespace

int main(int argc, char** argv) { return vm::RunProgram(argc, argv, RunFault); }

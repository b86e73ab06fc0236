#include "platform/fatal_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace vm {
namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
// Room for the handler and what it calls, sanitizer instrumentation included.
constexpr size_t kAlternateStackSize = 256 * 1024;

std::atomic<FatalSignalHandler> gHandler{nullptr};
std::atomic<void (*)()> gTerminalRestore{nullptr};

const char* SignalName(int number) {
  switch (number) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
  }
  return "?";
}

void OnFatalSignal(int number, siginfo_t* info, void*) {
  FatalSignal signal;
  signal.number = number;
  signal.name = SignalName(number);
  // si_code > 0: raised by the kernel at a fault, with the address it happened at.
  signal.hasAddress = info != nullptr && info->si_code > 0 && number != SIGABRT;
  signal.address = signal.hasAddress ? reinterpret_cast<uintptr_t>(info->si_addr) : 0;
  if (FatalSignalHandler handler = gHandler.load()) handler(signal);
  // No handler: the default action, once the fault repeats or the abort goes on.
  ::signal(number, SIG_DFL);
}

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text.remove_prefix(static_cast<size_t>(n));
  }
}

}  // namespace

void CatchFatalSignals(FatalSignalHandler handler) {
  alignas(16) static char alternateStack[kAlternateStackSize];
  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  ::sigaltstack(&stack, nullptr);

  gHandler.store(handler);
  struct sigaction action {};
  action.sa_sigaction = OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  // While one is handled the others wait, so that a report is not interrupted by another.
  sigemptyset(&action.sa_mask);
  for (int number : kFatalSignals) sigaddset(&action.sa_mask, number);
  for (int number : kFatalSignals) ::sigaction(number, &action, nullptr);
}

void SetCrashTerminalRestore(void (*restore)()) { gTerminalRestore.store(restore); }

void RestoreTerminalAfterCrash() {
  if (void (*restore)() = gTerminalRestore.load()) restore();
}

void WriteFileFromSignal(const char* hostPath, std::initializer_list<std::string_view> pieces) {
  // A symbolic link at the name is replaced, never written through (unlink is safe here).
  constexpr int kFlags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::open(hostPath, kFlags, 0666);
  if (fd < 0 && errno == ELOOP && ::unlink(hostPath) == 0) fd = ::open(hostPath, kFlags, 0666);
  if (fd < 0) return;
  for (std::string_view piece : pieces) WriteAll(fd, piece);
  ::close(fd);
}

void WriteStdoutFromSignal(std::string_view text) { WriteAll(STDOUT_FILENO, text); }

int CurrentThreadId() { return static_cast<int>(::syscall(SYS_gettid)); }

void ExitFromSignal(int exitCode) { ::_exit(exitCode); }

void WaitForProcessEnd() {
  for (;;) ::pause();
}

}  // namespace vm

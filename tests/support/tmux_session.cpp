#include "support/tmux_session.h"

#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/process.h"

namespace vm::test {
namespace {

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
  pclose(pipe);
  return out;
}

bool WaitUntil(int timeoutMs, const auto& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

}  // namespace

bool TmuxSession::Available() { return std::system("command -v tmux >/dev/null 2>&1") == 0; }

TmuxSession::TmuxSession(const std::string& commandLine, int width, int height) {
  static int sessions = 0;
  socket_ = "veldmark-test-" + std::to_string(getpid()) + "-" + std::to_string(++sessions);
  target_ = "walk";
  const std::string inner = commandLine + "; echo EXIT=$?; sleep 600";
  Tmux("new-session -d -s " + target_ + " -x " + std::to_string(width) + " -y " +
       std::to_string(height) + " " + ShellQuote(inner));
}

TmuxSession::~TmuxSession() { Tmux("kill-server"); }

std::string TmuxSession::Tmux(const std::string& arguments) const {
  return Output("tmux -L " + socket_ + " " + arguments + " 2>/dev/null");
}

void TmuxSession::SendKeys(const std::vector<std::string>& keys, bool literal) {
  std::string arguments = "send-keys -t " + target_ + (literal ? " -l" : "");
  for (const std::string& key : keys) arguments += " " + ShellQuote(key);
  Tmux(arguments);
}

void TmuxSession::Resize(int width, int height) {
  Tmux("resize-window -t " + target_ + " -x " + std::to_string(width) + " -y " +
       std::to_string(height));
}

std::string TmuxSession::Screen() const { return Tmux("capture-pane -p -t " + target_); }

std::string TmuxSession::ScreenWithColours() const {
  return Tmux("capture-pane -p -e -t " + target_);
}

bool TmuxSession::WaitFor(std::string_view text, int timeoutMs) const {
  return WaitUntil(timeoutMs, [&] { return Screen().find(text) != std::string::npos; });
}

bool TmuxSession::WaitForGone(std::string_view text, int timeoutMs) const {
  return WaitUntil(timeoutMs, [&] { return Screen().find(text) == std::string::npos; });
}

}  // namespace vm::test

// A program run in a detached tmux session of a given size on a private tmux server, for
// whole-program walks of the interactive shell: keys go in with send-keys, the screen comes
// back with capture-pane. Waits are for screen contents (with a generous limit), never for a
// fixed time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm::test {

class TmuxSession {
 public:
  static bool Available();  // tmux is installed

  // Runs the shell command line (in /bin/sh) in a new session; after it ends the pane shows
  // "EXIT=<code>" and stays open.
  TmuxSession(const std::string& commandLine, int width, int height);
  ~TmuxSession();
  TmuxSession(const TmuxSession&) = delete;
  TmuxSession& operator=(const TmuxSession&) = delete;

  // tmux key names ("Tab", "F5", "M-a", "Escape") or literal text with literal = true.
  void SendKeys(const std::vector<std::string>& keys, bool literal = false);
  void Resize(int width, int height);
  // The screen as text (UTF-8), or with the colour escapes (capture-pane -e).
  std::string Screen() const;
  std::string ScreenWithColours() const;
  // Waits until the screen holds the text; false when it did not within timeoutMs.
  bool WaitFor(std::string_view text, int timeoutMs = 20000) const;
  // Waits until the screen no longer holds the text.
  bool WaitForGone(std::string_view text, int timeoutMs = 20000) const;

 private:
  std::string Tmux(const std::string& arguments) const;

  std::string socket_;
  std::string target_;
};

}  // namespace vm::test

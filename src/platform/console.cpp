#include "platform/console.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

#include "text/cp866.h"

namespace vm {
namespace {

// Reads one byte from stdin; with a terminal, in raw mode so that no Enter is needed.
int ReadByte(bool rawTerminal) {
  termios saved {};
  if (rawTerminal) {
    tcgetattr(STDIN_FILENO, &saved);
    termios raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  }
  unsigned char buffer[4];
  ssize_t n = ::read(STDIN_FILENO, buffer, 1);
  int extra = 0;
  if (n == 1 && buffer[0] >= 0xC0) {
    // A UTF-8 letter from the terminal: gather its continuation bytes.
    extra = buffer[0] >= 0xF0 ? 3 : buffer[0] >= 0xE0 ? 2 : 1;
    for (int k = 1; k <= extra; ++k)
      if (::read(STDIN_FILENO, buffer + k, 1) != 1) extra = k - 1;
  }
  if (rawTerminal) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  if (n != 1) return 27;  // end of input or error answers like Esc
  if (extra == 0) return buffer[0];
  std::string converted =
      Utf8ToCp866(std::string_view(reinterpret_cast<char*>(buffer), static_cast<size_t>(extra) + 1));
  return converted.empty() ? '?' : static_cast<unsigned char>(converted[0]);
}

class ProcessConsoleImpl : public Console {
 public:
  void Write(std::string_view text) override {
    std::string out = Cp866ToUtf8(text);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
  }
  void WriteProgress(std::string_view text) override {
    if (!isatty(STDOUT_FILENO)) return;
    Write("\r");
    Write(text);
  }
  int WaitKey() override { return ReadByte(IsInteractive()); }
  int PollKey() override {
    if (!IsInteractive()) return -1;
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN)) return -1;
    return ReadByte(true);
  }
  bool IsInteractive() const override { return isatty(STDIN_FILENO) != 0; }
  void SetTitle(std::string_view title) override {
    if (!isatty(STDOUT_FILENO)) return;
    std::string out = "\033]0;" + Cp866ToUtf8(title) + "\007";
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
  }
  void Beep() override {
    if (isatty(STDOUT_FILENO)) Write("\a");
  }
};

}  // namespace

bool AskYesNo(Console& console, std::string_view question) {
  console.Write(question);
  for (;;) {
    int key = console.WaitKey();
    int upper = UpCaseCp866(static_cast<unsigned char>(key));
    if (upper == 'Y') {
      console.WriteLine("Y");
      return true;
    }
    if (upper == 'N' || key == 27) {
      console.WriteLine("N");
      return false;
    }
  }
}

void WarnAndWait(Console& console, std::string_view message) {
  console.WriteLine(message);
  console.WriteLine(Cp866("Нажмите любую клавишу для продолжения..."));
  console.Beep();
  console.WaitKey();
}

Console& ProcessConsole() {
  static ProcessConsoleImpl console;
  return console;
}

}  // namespace vm

#include "platform/console.h"

#include <unistd.h>

#include <cstdio>

#include "platform/key_input.h"
#include "text/cp866.h"

namespace vm {
namespace {

// CP866 text as the terminal's UTF-8. Bell, backspace, tab, line feed and carriage return
// keep their effect; the other control codes show as their DOS glyphs, so that bytes from
// other people's messages or file names (an ESC above all) never act as terminal commands.
std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    bool keep = c == '\a' || c == '\b' || c == '\t' || c == '\n' || c == '\r';
    AppendUtf8(out, keep ? c : Cp866DisplayChar(c));
  }
  return out;
}

class ProcessConsoleImpl : public Console {
 public:
  void Write(std::string_view text) override { Put(TerminalText(text)); }
  void WriteProgress(std::string_view text) override {
    if (!isatty(STDOUT_FILENO)) return;
    Write("\r");
    Write(text);
  }
  int WaitKey() override {
    std::fflush(stdout);
    return keys_.WaitKey();
  }
  int PollKey() override { return keys_.PollKey(); }
  bool IsInteractive() const override { return keys_.IsTerminal(); }
  void SetTitle(std::string_view title) override {
    if (isatty(STDOUT_FILENO)) Put("\033]0;" + TerminalText(title) + "\007");
  }
  void Beep() override {
    if (isatty(STDOUT_FILENO)) Put("\a");
  }

 private:
  static void Put(const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
  }

  KeyInput keys_{STDIN_FILENO};
};

}  // namespace

bool AskYesNo(Console& console, std::string_view question) {
  console.Write(question);
  for (;;) {
    int key = console.WaitKey();
    if (key == 27 || UpCaseCp866(static_cast<unsigned char>(key)) == 'N') {
      console.WriteLine("N");
      return false;
    }
    if (UpCaseCp866(static_cast<unsigned char>(key)) == 'Y') {
      console.WriteLine("Y");
      return true;
    }
  }
}

std::optional<std::string> ReadLine(Console& console) {
  constexpr int kEsc = 27;
  constexpr int kBackspace = 8;
  constexpr int kDelete = 127;
  constexpr size_t kLongestLine = 255;
  std::string line;
  for (;;) {
    int key = console.WaitKey();
    if (key == kEsc) {
      console.WriteLine("");
      return std::nullopt;
    }
    if (key == '\n' || (key == '\r' && console.IsInteractive())) break;
    if (key == kBackspace || key == kDelete) {
      if (!line.empty()) {
        line.pop_back();
        console.Write("\b \b");
      }
      continue;
    }
    if (key < ' ' || line.size() >= kLongestLine) continue;
    line += static_cast<char>(key);
    console.Write(line.substr(line.size() - 1));
  }
  console.WriteLine("");
  return line;
}

void WarnAndWait(Console& console, std::string_view message) {
  static const std::string kPressAnyKey = Cp866("Нажмите любую клавишу для продолжения...");
  console.WriteLine(message);
  console.WriteLine(kPressAnyKey);
  console.Beep();
  console.WaitKey();
}

Console& ProcessConsole() {
  static ProcessConsoleImpl console;
  return console;
}

}  // namespace vm

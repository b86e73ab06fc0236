// The console: output lines, key waits and Y/N questions. Everything below the program's main
// goes through this interface, so tests can substitute a fake.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vm {

class Console {
 public:
  virtual ~Console() = default;
  // Text in CP866; the terminal gets it in UTF-8, control codes other than bell, backspace,
  // tab, line feed and carriage return shown as their DOS glyphs.
  virtual void Write(std::string_view text) = 0;
  void WriteLine(std::string_view text) {
    Write(text);
    Write("\n");
  }
  // Rewrites the current line (progress displays): carriage return, text, no new line.
  virtual void WriteProgress(std::string_view text) = 0;
  // Waits for one key and returns it as a CP866 byte (27 for Esc). Without a terminal the next
  // piped character is taken; at end of input 27 is returned at once (see KeyInput).
  virtual int WaitKey() = 0;
  // Returns a key when one is waiting, else -1; never blocks.
  virtual int PollKey() = 0;
  // Whether a user sits at a terminal (stdin is a terminal).
  virtual bool IsInteractive() const = 0;
  virtual void SetTitle(std::string_view title) = 0;
  virtual void Beep() = 0;
};

// Writes the question, reads keys until Y (yes), N or Esc (no), letters without regard to
// case, and ends the line with the answer. End of input answers no.
bool AskYesNo(Console& console, std::string_view question);

// Reads a line typed at the console: keys up to Enter, echoed as they come, Backspace taking
// back the last one, at most 255 characters. Esc (and the end of piped input, which answers
// like Esc) gives nothing. From a pipe a line ends at LF and CR is dropped, so that CR LF
// lines read as one line each.
std::optional<std::string> ReadLine(Console& console);

// Prints the message, then "Нажмите любую клавишу для продолжения...", beeps and waits for a key.
void WarnAndWait(Console& console, std::string_view message);

// The console of the real process: stdout and stdin.
Console& ProcessConsole();

}  // namespace vm

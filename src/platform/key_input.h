// Key reads from an input descriptor (the console's stdin).
//
// With a terminal, keys are read in raw mode (no Enter needed, no echo); the terminal's
// UTF-8 comes back as CP866. Without one, characters are taken from the pipe or file as they
// come, so scripts can answer questions; end of input, a read error or a silent pipe answers
// like Esc, so an unattended run never waits for ever.
#pragma once

#include <string>

namespace vm {

class KeyInput {
 public:
  // How long a pipe may stay silent before a key wait gives up (a hook's stdin that nobody
  // writes to and nobody closes).
  static constexpr int kPipeTimeoutMs = 60000;

  explicit KeyInput(int fd, int pipeTimeoutMs = kPipeTimeoutMs);

  bool IsTerminal() const;
  // One key as a CP866 byte; 27 for Esc and at the end of input. Ctrl-C at a terminal is Esc.
  int WaitKey();
  // A key when one is waiting at the terminal, else -1. Never blocks; without a terminal it
  // always answers -1 (piped characters are kept for the key waits).
  int PollKey();

 private:
  // Reads what is available into pending_, waiting at most timeoutMs (-1: no limit).
  // False at end of input, on an error or when the time ran out.
  bool Fill(int timeoutMs);
  // Takes one character off pending_: a complete UTF-8 sequence becomes its CP866 byte, any
  // other byte is taken as a CP866 byte itself.
  int TakeCharacter(int moreTimeoutMs);

  int fd_;
  int pipeTimeoutMs_;
  std::string pending_;
};

}  // namespace vm

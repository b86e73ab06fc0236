#include "platform/key_input.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "text/cp866.h"

namespace vm {
namespace {

constexpr int kEsc = 27;
constexpr int kCtrlC = 3;
// The rest of an escape sequence (an arrow key) follows its Esc within this time.
constexpr int kSequenceMs = 30;

// Raw mode for the lifetime of the object: no line editing, no echo, Ctrl-C as a key (so the
// terminal is never left without echo by an interrupted wait). Restores the settings found.
class RawMode {
 public:
  RawMode(int fd, bool blocking) : fd_(fd) {
    if (tcgetattr(fd_, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
    raw.c_cc[VMIN] = blocking ? 1 : 0;
    raw.c_cc[VTIME] = 0;
    active_ = tcsetattr(fd_, TCSANOW, &raw) == 0;
  }
  ~RawMode() {
    if (active_) tcsetattr(fd_, TCSANOW, &saved_);
  }
  RawMode(const RawMode&) = delete;
  RawMode& operator=(const RawMode&) = delete;

 private:
  int fd_;
  termios saved_{};
  bool active_ = false;
};

int Utf8Length(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

}  // namespace

KeyInput::KeyInput(int fd, int pipeTimeoutMs) : fd_(fd), pipeTimeoutMs_(pipeTimeoutMs) {}

bool KeyInput::IsTerminal() const { return isatty(fd_) != 0; }

bool KeyInput::Fill(int timeoutMs) {
  pollfd p{fd_, POLLIN, 0};
  for (;;) {
    int ready = ::poll(&p, 1, timeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    break;
  }
  char buffer[64];
  for (;;) {
    ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    pending_.append(buffer, static_cast<size_t>(n));
    return true;
  }
}

int KeyInput::TakeCharacter(int moreTimeoutMs) {
  auto lead = static_cast<unsigned char>(pending_[0]);
  size_t length = static_cast<size_t>(Utf8Length(lead));
  while (pending_.size() < length && Fill(moreTimeoutMs)) {
  }
  size_t valid = 1;
  while (valid < length && valid < pending_.size() &&
         (static_cast<unsigned char>(pending_[valid]) & 0xC0) == 0x80)
    ++valid;
  if (length == 1 || valid < length) {
    pending_.erase(0, 1);
    return lead;
  }
  std::string converted = Utf8ToCp866(std::string_view(pending_).substr(0, length));
  pending_.erase(0, length);
  return static_cast<unsigned char>(converted[0]);
}

int KeyInput::WaitKey() {
  if (!IsTerminal()) {
    if (pending_.empty() && !Fill(pipeTimeoutMs_)) return kEsc;
    return TakeCharacter(pipeTimeoutMs_);
  }
  RawMode raw(fd_, true);
  if (pending_.empty() && !Fill(-1)) return kEsc;
  int key = TakeCharacter(kSequenceMs);
  if (key == kCtrlC) return kEsc;
  if (key == kEsc) {
    // A lone Esc, or the start of a function key's sequence: drop the sequence's rest so that
    // it does not answer the next wait.
    pending_.clear();
    while (Fill(kSequenceMs)) pending_.clear();
  }
  return key;
}

int KeyInput::PollKey() {
  if (!IsTerminal()) return -1;
  RawMode raw(fd_, false);
  if (pending_.empty() && !Fill(0)) return -1;
  int key = TakeCharacter(kSequenceMs);
  return key == kCtrlC ? kEsc : key;
}

}  // namespace vm

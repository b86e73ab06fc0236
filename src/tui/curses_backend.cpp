#include "tui/curses_backend.h"

#ifndef _XOPEN_SOURCE_EXTENDED
#define _XOPEN_SOURCE_EXTENDED 1
#endif
#include <langinfo.h>
#include <ncursesw/curses.h>
#include <termios.h>
#include <unistd.h>

#include <bitset>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/fatal_signals.h"
#include "text/cp866.h"
#include "tui/keys.h"

namespace vm::tui {
namespace {

// PC colour order (blue = 1, green = 2, cyan = 3, red = 4 ...) to ANSI (red = 1, green = 2 ...).
constexpr short kPcToAnsi[8] = {0, 4, 2, 6, 1, 5, 3, 7};

// Codes of the keys we define ourselves, beyond curses' own.
constexpr int kCodeGrayStar = KEY_MAX + 1;
constexpr int kCodeGrayPlus = KEY_MAX + 2;
constexpr int kCodeGrayMinus = KEY_MAX + 3;
constexpr int kCodeAltF1 = KEY_MAX + 4;

// Sequences real terminals send that terminfo may not list for TERM: tmux and screen send
// "\033[1~" and "\033[4~" for Home and End whatever TERM says, xterm "\033[H" or "\033OH".
struct ExtraKey {
  const char* sequence;
  int code;
};
constexpr ExtraKey kExtraKeys[] = {
    {"\033[1~", KEY_HOME},      {"\033[4~", KEY_END},       {"\033[H", KEY_HOME},
    {"\033[F", KEY_END},        {"\033OH", KEY_HOME},       {"\033OF", KEY_END},
    {"\033[7~", KEY_HOME},      {"\033[8~", KEY_END},       {"\033Oj", kCodeGrayStar},
    {"\033Ok", kCodeGrayPlus},  {"\033Om", kCodeGrayMinus}, {"\033[1;3P", kCodeAltF1},
    {"\033[11;3~", kCodeAltF1},
};

constexpr auto kDoubleClickTime = std::chrono::milliseconds(400);
constexpr int kLostTerminalReads = 50;

volatile sig_atomic_t g_pendingSignal = 0;
struct termios g_savedTermios;
bool g_haveSavedTermios = false;

void NoteSignal(int signal) { g_pendingSignal = signal; }

// Async-signal-safe: the terminal's modes as they were, the screen back, the cursor shown.
void RestoreTerminal() {
  if (g_haveSavedTermios) tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTermios);
  static const char kReset[] = "\033[?1000l\033[?1002l\033[?1006l\033[0m\033[?25h\033[?1049l\r\n";
  (void)!write(STDOUT_FILENO, kReset, sizeof kReset - 1);
}

// A terminfo string capability, nullptr when the terminal has none.
const char* Capability(const char* name) {
  const char* value = tigetstr(name);
  return value == nullptr || value == reinterpret_cast<const char*>(-1) || *value == '\0' ? nullptr
                                                                                          : value;
}

// After the shell's last endwin: with an alternate screen (xterm, tmux) the normal screen is
// back, and what stands from the cursor down (the pause line of a utility, which the prompt
// would half overwrite) is erased; without one the whole screen is the shell's and is cleared.
void ClearWhatTheShellLeft() {
  const char* toEnd = Capability("ed");
  const char* clearScreen = Capability("clear");
  if (Capability("smcup") != nullptr) {
    if (toEnd != nullptr) {
      std::fputs("\r", stdout);
      putp(toEnd);
    }
  } else if (clearScreen != nullptr) {
    putp(clearScreen);
  }
  std::fflush(stdout);
}

int FunctionKey(int n) {
  if (n >= 1 && n <= 12) return key::F(n);
  if (n >= 13 && n <= 24) return key::kShift | key::F(n - 12);
  if (n >= 25 && n <= 36) return key::kCtrl | key::F(n - 24);
  if (n >= 49 && n <= 60) return key::kAlt | key::F(n - 48);
  return 0;
}

int CursesKey(int code) {
  switch (code) {
    case KEY_UP: return key::kUp;
    case KEY_DOWN: return key::kDown;
    case KEY_LEFT: return key::kLeft;
    case KEY_RIGHT: return key::kRight;
    case KEY_HOME:
    case KEY_A1: return key::kHome;
    case KEY_END:
    case KEY_C1: return key::kEnd;
    case KEY_PPAGE:
    case KEY_A3: return key::kPgUp;
    case KEY_NPAGE:
    case KEY_C3: return key::kPgDn;
    case KEY_IC: return key::kIns;
    case KEY_DC: return key::kDel;
    case KEY_BTAB: return key::kBackTab;
    case KEY_BACKSPACE: return key::kBackspace;
    case KEY_ENTER: return key::kEnter;
    case kCodeGrayStar: return key::kGrayStar;
    case kCodeGrayPlus: return key::kGrayPlus;
    case kCodeGrayMinus: return key::kGrayMinus;
    case kCodeAltF1: return key::kAlt | key::F(1);
    default: break;
  }
  if (code >= KEY_F(1) && code <= KEY_F(63)) return FunctionKey(code - KEY_F(0));
  return 0;
}

// A typed character as a key: control characters by their PC meaning, the rest as CP866.
int CharacterKey(unsigned int ch) {
  if (ch == '\r' || ch == '\n') return key::kEnter;
  if (ch == 127 || ch == 8) return key::kBackspace;
  if (ch < 32) return static_cast<int>(ch);
  std::string utf8;
  AppendUtf8(utf8, static_cast<char32_t>(ch));
  const auto c = Utf8CharToCp866(utf8);
  return c ? c->byte : 0;  // no CP866 form: refused
}

}  // namespace

struct CursesBackend::State {
  SCREEN* screen = nullptr;
  CellBuffer shown;  // what the terminal shows
  bool manyColours = false;
  bool title = false;
  Point lastClick{-1, -1};
  int failedReads = 0;  // input waits in a row that failed at once
  std::bitset<257> pairMade;
  std::chrono::steady_clock::time_point lastClickTime;
};

bool CursesBackend::TerminalAttached() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }

std::unique_ptr<CursesBackend> CursesBackend::Open() {
  if (!TerminalAttached()) return nullptr;
  // Wide-character curses writes the locale's charset; the terminal gets UTF-8 even when the
  // environment names the C locale.
  std::setlocale(LC_CTYPE, "");
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
  g_haveSavedTermios = tcgetattr(STDIN_FILENO, &g_savedTermios) == 0;
  auto state = std::make_unique<State>();
  state->screen = newterm(nullptr, stdout, stdin);
  if (state->screen == nullptr) return nullptr;
  SetCrashTerminalRestore(RestoreTerminal);
  raw();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  intrflush(stdscr, FALSE);
  set_escdelay(25);
  for (const ExtraKey& extra : kExtraKeys) define_key(extra.sequence, extra.code);
  mousemask(BUTTON1_PRESSED | BUTTON4_PRESSED | BUTTON5_PRESSED, nullptr);
  mouseinterval(0);
  if (has_colors()) {
    start_color();
    state->manyColours = COLORS >= 16 && COLOR_PAIRS > 256;
  }
  const char* term = std::getenv("TERM");
  state->title = term != nullptr &&
                 (std::strncmp(term, "xterm", 5) == 0 || std::strncmp(term, "tmux", 4) == 0 ||
                  std::strncmp(term, "screen", 6) == 0 || std::strncmp(term, "rxvt", 4) == 0);
  struct sigaction action {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGHUP, SIGTERM}) sigaction(signal, &action, nullptr);
  // Stopping is done with the screen given back first (Application::RunSuspended), not by
  // curses' own handler.
  std::signal(SIGTSTP, SIG_DFL);
  return std::unique_ptr<CursesBackend>(new CursesBackend(std::move(state)));
}

CursesBackend::CursesBackend(std::unique_ptr<State> state) : s_(std::move(state)) {}

CursesBackend::~CursesBackend() {
  for (int signal : {SIGINT, SIGHUP, SIGTERM}) std::signal(signal, SIG_DFL);
  // A blank last frame: a terminal that keeps rows of the alternate screen when it was resized
  // meanwhile (tmux) has nothing of the shell's to keep.
  erase();
  refresh();
  endwin();
  ClearWhatTheShellLeft();
  delscreen(s_->screen);
  SetCrashTerminalRestore(nullptr);
  if (g_haveSavedTermios) tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTermios);
}

int CursesBackend::Width() const { return COLS; }
int CursesBackend::Height() const { return LINES; }

void CursesBackend::Present(const CellBuffer& buffer) {
  const bool whole = s_->shown.Width() != buffer.Width() || s_->shown.Height() != buffer.Height();
  if (whole) {
    s_->shown.Resize(buffer.Width(), buffer.Height());
    clearok(stdscr, TRUE);
  }
  for (int y = 0; y < buffer.Height() && y < LINES; ++y)
    for (int x = 0; x < buffer.Width() && x < COLS; ++x) {
      const Cell& cell = buffer.At(x, y);
      if (!whole && s_->shown.At(x, y) == cell) continue;
      const int fg = cell.attr & 0x0F;
      const int bg = (cell.attr >> 4) & 0x0F;
      attr_t attrs = A_NORMAL;
      short pair = 0;
      if (has_colors()) {
        // One colour pair per attribute byte (or per 3-bit pair without 16 colours, the
        // bright foreground then shown bold), made the first time it is used.
        if (s_->manyColours) {
          pair = static_cast<short>(bg * 16 + fg + 1);
          if (!s_->pairMade[static_cast<size_t>(pair)])
            init_pair(pair, static_cast<short>(kPcToAnsi[fg & 7] + (fg & 8)),
                      static_cast<short>(kPcToAnsi[bg & 7] + (bg & 8)));
        } else {
          pair = static_cast<short>((bg & 7) * 8 + (fg & 7) + 1);
          if (!s_->pairMade[static_cast<size_t>(pair)])
            init_pair(pair, kPcToAnsi[fg & 7], kPcToAnsi[bg & 7]);
          if (fg & 8) attrs |= A_BOLD;
        }
        s_->pairMade[static_cast<size_t>(pair)] = true;
      } else if ((cell.attr & 0x70) != 0) {
        attrs |= A_REVERSE;
      }
      wchar_t text[2] = {static_cast<wchar_t>(Cp866DisplayChar(cell.ch)), 0};
      cchar_t out;
      setcchar(&out, text, attrs, pair, nullptr);
      mvadd_wch(y, x, &out);
      s_->shown.Put(x, y, cell.ch, cell.attr);
    }
  if (buffer.CursorVisible()) {
    curs_set(1);
    move(buffer.Cursor().y, buffer.Cursor().x);
  } else {
    curs_set(0);
  }
  refresh();
}

Event CursesBackend::WaitEvent(int timeoutMs) {
  if (g_pendingSignal != 0) {
    Event event{EventKind::Signal};
    event.signal = g_pendingSignal;
    g_pendingSignal = 0;
    return event;
  }
  timeout(timeoutMs);
  wint_t ch = 0;
  const auto start = std::chrono::steady_clock::now();
  const int result = get_wch(&ch);
  if (result != ERR) {
    s_->failedReads = 0;
    return Translate(result, ch);
  }
  if (g_pendingSignal != 0) return WaitEvent(0);
  // A wait that fails long before its time is an input error, not a quiet keyboard: a few in a
  // row mean the terminal is gone, which ends the run like a hangup instead of spinning.
  if (timeoutMs > 0 &&
      std::chrono::steady_clock::now() - start < std::chrono::milliseconds(timeoutMs / 2)) {
    if (++s_->failedReads >= kLostTerminalReads) {
      Event hangup(EventKind::Signal);
      hangup.signal = SIGHUP;
      return hangup;
    }
    napms(10);
  }
  return Event(EventKind::Idle);
}

Event CursesBackend::Translate(int result, unsigned int ch) {
  if (result == KEY_CODE_YES) {
    if (ch == KEY_RESIZE) return Event(EventKind::Resize);
    if (ch == KEY_MOUSE) {
      MEVENT mouse{};
      if (getmouse(&mouse) != OK) return Event(EventKind::Idle);
      const Point where{mouse.x, mouse.y};
      if (mouse.bstate & BUTTON4_PRESSED) return Event::Mouse(where, MouseAction::WheelUp);
      if (mouse.bstate & BUTTON5_PRESSED) return Event::Mouse(where, MouseAction::WheelDown);
      const auto now = std::chrono::steady_clock::now();
      const bool twice = where.x == s_->lastClick.x && where.y == s_->lastClick.y &&
                         now - s_->lastClickTime < kDoubleClickTime;
      s_->lastClick = twice ? Point{-1, -1} : where;
      s_->lastClickTime = now;
      return Event::Mouse(where, twice ? MouseAction::DoubleClick : MouseAction::Press);
    }
    const int code = CursesKey(static_cast<int>(ch));
    return code != 0 ? Event::Key(code) : Event(EventKind::Idle);
  }
  if (ch == 27) {
    // Alt sends Esc before the key; curses has already waited ESCDELAY for it.
    timeout(0);
    wint_t next = 0;
    const int more = get_wch(&next);
    if (more == ERR) return Event::Key(key::kEsc);
    if (more == KEY_CODE_YES) {
      const int code = CursesKey(static_cast<int>(next));
      return code != 0 ? Event::Key(key::kAlt | code) : Event(EventKind::Idle);
    }
    const int c = CharacterKey(next);
    if (c == 0 || c == key::kEsc) return Event::Key(key::kEsc);
    return Event::Key(key::kAlt | (c < 256 ? UpCaseCp866(static_cast<unsigned char>(c)) : c));
  }
  const int c = CharacterKey(ch);
  return c != 0 ? Event::Key(c) : Event(EventKind::Idle);
}

void CursesBackend::Suspend() {
  def_prog_mode();
  endwin();
}

void CursesBackend::Resume() {
  reset_prog_mode();
  s_->shown.Resize(0, 0);  // everything is drawn again
  refresh();
}

void CursesBackend::SetTitle(std::string_view cp866Title) {
  if (!s_->title) return;
  std::string sequence = "\033]0;";
  for (unsigned char c : cp866Title)
    AppendUtf8(sequence, c < 32 || c == 127 ? U'?' : Cp866ToUnicode(c));
  sequence += "\007";
  std::fwrite(sequence.data(), 1, sequence.size(), stdout);
  std::fflush(stdout);
}

}  // namespace vm::tui

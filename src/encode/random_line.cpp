#include "encode/random_line.h"

#include <chrono>
#include <memory>
#include <random>

#include "platform/file.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kMostBytes = 30000;
constexpr size_t kFewestBytes = 31;
// When counting lines, the bytes after a carriage return are passed over: lines shorter than
// this count with the next one.
constexpr size_t kCountSkip = 4;
constexpr size_t kShortLine = 5;

// LF line ends (a file written on Linux) as CR LF, so that every line ends alike.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

RandomPick ClockSeededPick() {
  auto engine = std::make_shared<std::mt19937>(
      static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
  return [engine](int n) {
    if (n <= 0) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(*engine);
  };
}

std::string RandomLine(std::string_view fileName, const RandomPick& pick) {
  File in;
  if (!in.Open(fileName, OpenMode::Read)) return {};
  std::string raw(kMostBytes, '\0');
  raw.resize(in.Read(raw.data(), raw.size()));
  if (raw.size() < kFewestBytes || raw.find('\0') != std::string::npos) return {};
  const std::string data = WithCrLf(raw);

  int lines = 0;
  for (size_t i = 0; i < data.size(); ++i)
    if (data[i] == '\r') {
      ++lines;
      i += kCountSkip;
    }
  const int chosen = pick(lines);

  // The chosen line runs from `start` (the carriage return before it) to the carriage return
  // that ends it; 0 and 1 both choose the first line.
  size_t start = 0, previous = 0, stop = data.size();
  int seen = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] != '\r') continue;
    if (++seen >= chosen) {
      stop = i;
      break;
    }
    previous = start;
    start = i;
  }
  if (stop - start < kShortLine && start > 0) {
    stop = start;
    start = previous;
  }
  if (start > 0) start += 2;  // past the CR LF
  if (start >= stop) return {};
  std::string line = data.substr(start, std::min(stop - start, kMaxText));
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  return line;
}

}  // namespace vm

// A generated *.MSG area for benchmarks: numbered message files of mixed sizes (short
// notes, medium posts, long encoded sections), CR line ends, kludges at the top, a zero byte at
// the end. The same seed gives the same files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace vm::bench {

inline std::string CorpusMessage(std::mt19937& rng, int number) {
  std::uniform_int_distribution<int> percent(0, 99);
  int kind = percent(rng);
  size_t target = kind < 60   ? 200 + rng() % 1800      // short notes
                  : kind < 90 ? 2000 + rng() % 14000    // ordinary posts
                              : 16000 + rng() % 48000;  // encoded sections
  std::string header(190, '\0');
  header.replace(0, 11, "Ivan Petrov");
  header.replace(36, 3, "All");
  std::string subject = "file.zip [" + std::to_string(number) + "]";
  header.replace(72, subject.size(), subject);
  header.replace(144, 19, "05 Mar 24  09:07:00");
  header[186] = 0x00;
  header[187] = 0x01;  // local

  std::string text = "\x01MSGID: 2:5020/100 " + std::to_string(10000000 + number) + "\r";
  text += "\x01PID: bench\r";
  // Cyrillic prose (CP866) for notes and posts, 61-character encoded lines for sections.
  const std::string prose = "\x8F\xE0\xA8\xA2\xA5\xE2 \xA2\xE1\xA5\xAC, this is a line of text ";
  while (text.size() < target) {
    if (kind >= 90) {
      text += 'M';
      for (int i = 0; i < 60; ++i) text += static_cast<char>(33 + rng() % 64);
    } else {
      text += prose.substr(0, 10 + rng() % (prose.size() - 10));
      text += prose.substr(0, rng() % prose.size());
    }
    text += '\r';
  }
  text += "--- bench\r * Origin: bench (2:5020/100)\r";
  return header + text + '\0';
}

// Writes n.msg for n = 1..count into dir unless a previous run left the same corpus there.
inline void MakeCorpus(const std::filesystem::path& dir, int count) {
  std::filesystem::path marker = dir / ".corpus";
  {
    std::ifstream in(marker);
    int made = 0;
    if (in >> made && made == count) return;
  }
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::mt19937 rng(866);
  for (int n = 1; n <= count; ++n) {
    std::string bytes = CorpusMessage(rng, n);
    std::ofstream(dir / (std::to_string(n) + ".msg"), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::ofstream(marker) << count;
}

}  // namespace vm::bench

// The posting set of the decoding benchmark: files of pseudo-random bytes, UU-encoded and cut
// into sections of a given number of lines, each section laid out as the program's own poster
// writes it ("section N of M of file", "begin", data, "sum -r/size" lines). The same sections
// go into a plain text file (in file order, so that uudeview, which reads a text file as one
// stream, can take them too), one *.MSG message each into a Fido area (interleaved, as they
// arrive from several posters), and the same data as one uuencode stream for the
// single-stream reference.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "msgbase/message_base.h"
#include "text/checksums.h"

namespace vm::bench {

struct CorpusFile {
  std::string name;
  std::string data;
};

inline std::string CorpusBytes(size_t size, uint32_t seed) {
  std::string out(size, '\0');
  uint64_t x = 0x9E3779B97F4A7C15ull * (seed + 1);
  for (size_t i = 0; i < size; i += 8) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    for (size_t k = 0; k < 8 && i + k < size; ++k) out[i + k] = static_cast<char>(x >> (8 * k));
  }
  return out;
}

inline std::string UuLine(const unsigned char* p, size_t n) {
  auto c = [](unsigned v) { return static_cast<char>(v == 0 ? '`' : v + 32); };
  std::string line(1, c(static_cast<unsigned>(n)));
  for (size_t i = 0; i < n; i += 3) {
    unsigned b0 = p[i], b1 = i + 1 < n ? p[i + 1] : 0, b2 = i + 2 < n ? p[i + 2] : 0;
    line += c(b0 >> 2);
    line += c(((b0 << 4) | (b1 >> 4)) & 63);
    line += c(((b1 << 2) | (b2 >> 6)) & 63);
    line += c(b2 & 63);
  }
  return line;
}

// The sections of one file, each a list of lines without line ends.
inline std::vector<std::vector<std::string>> UuSections(const CorpusFile& file, int lines) {
  const size_t capacity = static_cast<size_t>(lines) * 45;
  const size_t total = (file.data.size() + capacity - 1) / capacity;
  const auto* bytes = reinterpret_cast<const unsigned char*>(file.data.data());
  std::vector<std::vector<std::string>> sections;
  uint16_t fileSum = BsdSumAdd(0, bytes, file.data.size());
  for (size_t number = 1; number <= total; ++number) {
    std::vector<std::string> s{"section " + std::to_string(number) + " of " +
                                   std::to_string(total) + " of file " + file.name +
                                   " < uuencoded by bench >",
                               ""};
    uint16_t sum = 0;
    size_t size = 0;
    auto count = [&](const std::string& line) {
      sum = BsdSumAdd(sum, line.data(), line.size());
      sum = BsdSumAdd(sum, static_cast<unsigned char>('\n'));
      size += line.size() + 1;
    };
    if (number == 1) {
      s.push_back("begin 644 " + file.name);
      count(s.back());
    }
    const size_t start = (number - 1) * capacity;
    for (size_t at = start; at < file.data.size() && at < start + capacity; at += 45) {
      s.push_back(UuLine(bytes + at, std::min<size_t>(45, file.data.size() - at)));
      count(s.back());
    }
    if (number == total) {
      s.push_back("`");
      count(s.back());
      s.push_back("end");
      count(s.back());
    }
    s.push_back("");
    s.push_back("sum -r/size " + std::to_string(sum) + "/" + std::to_string(size) + " section");
    if (number == total) {
      s.push_back("sum -r/size " + std::to_string(fileSum) + "/" +
                  std::to_string(file.data.size()) + " entire input file");
    }
    s.push_back("");
    sections.push_back(std::move(s));
  }
  return sections;
}

// Files of `fileSize` bytes until their encoded sections reach `encodedBytes`.
inline std::vector<CorpusFile> MakeCorpusFiles(size_t encodedBytes, size_t fileSize) {
  std::vector<CorpusFile> files;
  size_t encoded = 0;
  for (uint32_t i = 0; encoded < encodedBytes; ++i) {
    files.push_back({"file" + std::to_string(i) + ".bin", CorpusBytes(fileSize, i)});
    encoded += fileSize / 45 * 62;
  }
  return files;
}

// Sections in file order (all of the first file, then the next ...) and interleaved (section
// 1 of every file, then section 2 ...), as they arrive from several posters.
template <typename Sink>
void ForEachSection(const std::vector<CorpusFile>& files, int lines, bool interleaved, Sink sink) {
  std::vector<std::vector<std::vector<std::string>>> all;
  size_t most = 0;
  for (const CorpusFile& f : files) {
    all.push_back(UuSections(f, lines));
    most = std::max(most, all.back().size());
  }
  if (!interleaved) {
    for (size_t f = 0; f < all.size(); ++f)
      for (const auto& section : all[f]) sink(files[f], section);
    return;
  }
  for (size_t n = 0; n < most; ++n)
    for (size_t f = 0; f < all.size(); ++f)
      if (n < all[f].size()) sink(files[f], all[f][n]);
}

// Writes one section as one echomail message of an open area.
inline bool PostSection(MessageBase& base, const CorpusFile& file,
                        const std::vector<std::string>& lines) {
  base.StartNewMessage();
  base.SetEchoed(true);
  base.SetMailKind(MailKind::Echomail);
  base.SetFromName("Bench Poster");
  base.SetToName("All");
  base.SetDateText("03-05-24");
  base.SetTimeText("09:07");
  base.SetOrigAddress(NetAddress{2, 5020, 9999, 0});
  base.SetLocal(true);
  for (const std::string& line : lines) base.PutLine(line);
  base.SetSubject(file.name);
  return base.WriteMessage() == 0;
}

}  // namespace vm::bench

// A set of files carried in one fuzz input, for the entry points that take a whole base of any
// kind. The input is a run of records: a byte giving the name's length, the name, two bytes
// (little-endian) giving the file's length, and that many bytes (fewer when the input ends).
// Names are relative paths of letters, digits, '.', '_', '-' and '/', none of whose parts is
// empty or "..": a record with another name is skipped, so that nothing is written outside
// the directory the files are unpacked into.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vm::fuzz {

struct FuzzFile {
  std::string name;
  std::string bytes;
};

inline bool SafeFileName(std::string_view name) {
  if (name.empty() || name.front() == '/' || name.back() == '/') return false;
  if (name.find("//") != std::string_view::npos) return false;
  if (name == ".." || name.starts_with("../") || name.ends_with("/..") ||
      name.find("/../") != std::string_view::npos)
    return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-' || c == '/';
  });
}

inline std::vector<FuzzFile> UnpackFiles(std::string_view input) {
  std::vector<FuzzFile> files;
  while (input.size() >= 3) {
    const size_t nameLength = static_cast<unsigned char>(input[0]);
    if (input.size() < 1 + nameLength + 2) break;
    std::string_view name = input.substr(1, nameLength);
    const size_t length = static_cast<unsigned char>(input[1 + nameLength]) |
                          static_cast<size_t>(static_cast<unsigned char>(input[2 + nameLength]))
                              << 8;
    input.remove_prefix(3 + nameLength);
    std::string_view bytes = input.substr(0, std::min(length, input.size()));
    input.remove_prefix(bytes.size());
    if (SafeFileName(name)) files.push_back({std::string(name), std::string(bytes)});
  }
  return files;
}

// The input UnpackFiles reads back as these files (names and lengths cut to what a record
// holds).
inline std::string PackFiles(const std::vector<FuzzFile>& files) {
  std::string input;
  for (const FuzzFile& file : files) {
    const std::string_view name = std::string_view(file.name).substr(0, 255);
    const std::string_view bytes = std::string_view(file.bytes).substr(0, 0xFFFF);
    input += static_cast<char>(name.size());
    input += name;
    input += static_cast<char>(bytes.size() & 0xFF);
    input += static_cast<char>(bytes.size() >> 8);
    input += bytes;
  }
  return input;
}

}  // namespace vm::fuzz

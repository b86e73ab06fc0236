// Which message numbers of a *.MSG directory have a file, and the file's real name on disk
// (other programs write "12.msg", "12.MSG" or "12.Msg"), so that a message is opened by its
// name without a directory scan. The numbers are one bit each, so that stepping to the next
// message is a scan of a few machine words; the names sit in a table by number (each short
// enough to be kept inside its string, so the table is one allocation).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

class MsgNumbering {
 public:
  static constexpr int32_t kHighest = 31999;

  // The number a directory entry stands for: decimal digits (1 to 31999) and ".MSG" in any
  // case; 0 for any other name.
  static int32_t NumberOfName(std::string_view name);

  // Replaces the set by the names of a directory's files (ListHostDirectoryFiles).
  void Fill(std::vector<std::string> names);
  // A name found in the directory: its number is taken, unless the name stands for none. Of
  // "12.msg" and "012.msg" the plain one keeps the number, as other programs would open that one.
  void AddName(std::string name);
  // Numbers outside 1 to 31999 are ignored.
  void Add(int32_t number, std::string name);
  void Remove(int32_t number);

  bool Has(int32_t number) const;
  // The real name of a number in the set, or nothing.
  const std::string* NameOf(int32_t number) const;
  // The first number in the set above `number` (or below it), 0 when there is none.
  int32_t NextAfter(int32_t number) const;
  int32_t PreviousBefore(int32_t number) const;
  int32_t Highest() const { return PreviousBefore(kHighest + 1); }
  int32_t Count() const { return count_; }

 private:
  static constexpr size_t kWords = (kHighest + 64) / 64;  // bits 0 to 31999

  std::array<uint64_t, kWords> bits_{};
  std::vector<std::string> names_;  // by number, made at the first Add
  int32_t count_ = 0;
};

}  // namespace vm

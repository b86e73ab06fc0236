// Which message numbers of a *.MSG directory have a file, and the file's real name on disk
// (other programs write "12.msg", "12.MSG" or "12.Msg"), so that a message is opened by its
// name without a directory scan.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace vm {

class MsgNumbering {
 public:
  static constexpr int32_t kHighest = 31999;

  // The number a directory entry stands for: decimal digits (1 to 31999) and ".MSG" in any
  // case; 0 for any other name.
  static int32_t NumberOfName(std::string_view name);

  // Replaces the set by one scan of the directory (a host path).
  void Fill(const std::string& hostDir);
  void Add(int32_t number, std::string name);
  void Remove(int32_t number);

  bool Has(int32_t number) const { return names_.count(number) != 0; }
  // The real name of a number in the set, or nothing.
  const std::string* NameOf(int32_t number) const;
  // The first number in the set above `number` (or below it), 0 when there is none.
  int32_t NextAfter(int32_t number) const;
  int32_t PreviousBefore(int32_t number) const;
  int32_t Highest() const { return names_.empty() ? 0 : names_.rbegin()->first; }
  int32_t Count() const { return static_cast<int32_t>(names_.size()); }

 private:
  std::map<int32_t, std::string> names_;
};

}  // namespace vm

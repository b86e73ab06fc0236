// The numbering that posters of multi-part files put at the end of the subject when the
// parts carry no header of their own: "NAME (i/n)", "NAME [i/n]", "NAME i/n", "NAME - i of n".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

struct SubjectNumbering {
  std::string name;  // what precedes the numbering, trimmed, as written
  int32_t number = 0;
  int32_t total = 0;
};

// The subject's numbering, or nothing when it has none (or an impossible one: 0, or a part
// beyond the total).
std::optional<SubjectNumbering> ParseSubjectNumbering(std::string_view subject);

}  // namespace vm

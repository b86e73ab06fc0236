// Giving an unattended decode its final name: the decoded bytes wait in a temporary file in
// the target directory; a file of the same name already there is handled by DUPES.
#pragma once

#include <string>
#include <string_view>

#include "config/settings.h"

namespace vm {

class RunLog;

// Renames the temporary file (in `directory`) to `name`, or applies the duplicate policy when
// a file of that name exists. Returns the path of the file that now carries the name: the new
// one, the one in DUPES, or the old one that DELETE keeps.
std::string PlaceDecodedFile(DupesPolicy policy, std::string_view directory,
                             std::string_view temporary, std::string_view name, const RunLog& log);

// The policy for an existing `name`: MOVE puts the new file into the subdirectory DUPES
// (replacing an older one there), DELETE erases the new file and keeps the old one, OVERWRITE
// replaces the old file. Returns the path as PlaceDecodedFile does.
std::string ApplyDuplicatePolicy(DupesPolicy policy, std::string_view directory,
                                 std::string_view temporary, std::string_view name,
                                 const RunLog& log);

}  // namespace vm

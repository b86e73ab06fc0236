// Giving an unattended decode its final name: the decoded bytes wait in a temporary file in
// the target directory; a file of the same name already there is handled by DUPES.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/settings.h"

namespace vm {

class RunLog;

struct PlacedFile {
  std::string path;  // the file that now carries the name
  // The file of that name already held exactly these bytes (the same posting decoded again,
  // after a run that ended before it could remember it): nothing new was placed.
  bool alreadyThere = false;
};

// Renames the temporary file (in `directory`) to `name`, or applies the duplicate policy when
// a file of that name exists. A name that the directory keeps for something else (a
// subdirectory, files.bbs, DUPES, a description file of ours) never replaces it: such a file
// goes into DUPES whatever the policy. With `keepIdentical` an old file of the same bytes is
// kept as it is (alreadyThere), whatever the policy. The path is that of the new file, the one
// in DUPES, or the old one that DELETE keeps. Nothing when the file could not be put in place:
// the temporary file is then gone and the failure logged.
std::optional<PlacedFile> PlaceDecodedFile(DupesPolicy policy, std::string_view directory,
                                           std::string_view temporary, std::string_view name,
                                           bool keepIdentical, const RunLog& log);

}  // namespace vm

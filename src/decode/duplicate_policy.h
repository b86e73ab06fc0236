// Giving an unattended decode its final name: the decoded bytes wait in a temporary file in
// the target directory; a file of the same name already there is handled by DUPES.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/settings.h"

namespace vm {

class RunLog;

// Renames the temporary file (in `directory`) to `name`, or applies the duplicate policy when
// a file of that name exists. A name that the directory keeps for something else (a
// subdirectory, files.bbs, DUPES, a description file of ours) never replaces it: such a file
// goes into DUPES whatever the policy. Returns the path of the file that now carries the
// name: the new one, the one in DUPES, or the old one that DELETE keeps. Nothing when the file
// could not be put in place: the temporary file is then gone and the failure logged.
std::optional<std::string> PlaceDecodedFile(DupesPolicy policy, std::string_view directory,
                                            std::string_view temporary, std::string_view name,
                                            const RunLog& log);

}  // namespace vm

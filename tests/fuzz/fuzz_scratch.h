// The scratch directory of one fuzzing process. Entry points write only inside it; it is made
// on first use under $TMPDIR (or /tmp) and removed when the process ends normally.
#pragma once

#include <string>
#include <string_view>

#include "support/platform_temp_dir.h"

namespace vm::fuzz {

inline const ScopedTempDir& Scratch() {
  static const ScopedTempDir dir;
  return dir;
}

// Writes a file of the scratch directory (bytes as given) and returns its host path.
inline std::string WriteScratchFile(std::string_view name, std::string_view bytes) {
  Scratch().WriteFile(name, bytes);
  return Scratch() / name;
}

}  // namespace vm::fuzz

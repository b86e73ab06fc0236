#!/usr/bin/env bash
# Fails when a C++ file under src/, tests/, bench/ or tools/ differs from what clang-format makes of it
# (.clang-format at the root), listing the differences. To format the tree:
#   git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
#     | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'tools/*.cpp' |
  xargs -0 clang-format --dry-run -Werror

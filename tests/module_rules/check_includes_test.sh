#!/usr/bin/env bash
# The include check on a copy of the sources: it passes on the tree as it is, and names both
# forms of a forbidden include and a folder that no module line declares.
set -euo pipefail
root="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/scripts"
cp -r "$root/src" "$scratch/"
cp "$root/CMakeLists.txt" "$scratch/"
cp "$root/scripts/check_includes.sh" "$scratch/scripts/"

"$scratch/scripts/check_includes.sh"

echo '#include <decode/recogniser.h>' >>"$scratch/src/tui/view.h"
echo ' #  include "shell/shell.h"' >>"$scratch/src/msgbase/message_base.h"
mkdir "$scratch/src/undeclared"
if "$scratch/scripts/check_includes.sh" 2>"$scratch/out"; then
  echo "the check passed a tree with forbidden includes" >&2
  exit 1
fi
for expected in "tui may not include decode" "msgbase may not include shell" "src/undeclared"; do
  grep -qF "$expected" "$scratch/out" || { echo "not named: $expected" >&2; cat "$scratch/out" >&2; exit 1; }
done

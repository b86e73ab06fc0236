#!/usr/bin/env bash
# Checks that each module under src/ includes only its own headers and those of the modules it
# may depend on (the one-way dependencies of the engineering guide, section 1). Lists every
# forbidden include and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [text]=""
  [platform]="text"
  [config]="msgbase platform text"
  [msgbase]="platform text"
  [state]="config platform text"
  [decode]="msgbase config state platform text"
  [encode]="msgbase config state platform text"
  [tui]="platform text"
  [shell]="tui decode encode msgbase config state platform text"
  [app]="shell tui decode encode msgbase config state platform text"
)

status=0
for dir in src/*/; do
  module="$(basename "$dir")"
  if [ -z "${allowed[$module]+set}" ]; then
    echo "src/$module: a module the dependency table does not know" >&2
    status=1
    continue
  fi
  while IFS=: read -r file line include; do
    target="${include#*\"}"
    target="${target%%/*}"
    [ "$target" = "$module" ] && continue
    [ -d "src/$target" ] || continue  # not a module: a header of the same folder
    case " ${allowed[$module]} " in
      *" $target "*) ;;
      *) echo "$file:$line: $module may not include $target: ${include#*#}" >&2; status=1 ;;
    esac
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$dir" || true)
done
exit "$status"

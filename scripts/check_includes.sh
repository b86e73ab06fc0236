#!/usr/bin/env bash
# Checks that each module under src/ includes only its own headers and those of the modules it
# may depend on, directly or through them. The table is the veldmark_module(...) lines of the
# top CMakeLists.txt, the same lines the build uses to give each module its include folder, so
# this check and the build never disagree; the check runs without a build and names every
# forbidden include, in either form ("module/x.h" or <module/x.h>).
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A visible=()
while read -r name deps; do
  closure=" $name "
  for dep in $deps; do
    if [ -z "${visible[$dep]+set}" ]; then
      echo "CMakeLists.txt: module $name depends on $dep, which is not declared before it" >&2
      exit 1
    fi
    for module in ${visible[$dep]}; do
      case "$closure" in *" $module "*) ;; *) closure+="$module " ;; esac
    done
  done
  visible[$name]="$closure"
done < <(sed -nE 's/^[[:space:]]*veldmark_module\(([^)]*)\).*/\1/p' CMakeLists.txt)

status=0
for dir in src/*/; do
  module="$(basename "$dir")"
  if [ -z "${visible[$module]+set}" ]; then
    echo "src/$module: a folder that no veldmark_module line of CMakeLists.txt declares" >&2
    status=1
    continue
  fi
  while IFS=: read -r file line include; do
    target="$(sed -E 's/^[^"<]*["<]([^/">]+)\/.*/\1/' <<<"$include")"
    [ -d "src/$target" ] || continue  # not a module: a header of the same folder or the system
    case "${visible[$module]}" in
      *" $target "*) ;;
      *) echo "$file:$line: $module may not include $target: ${include#*#}" >&2; status=1 ;;
    esac
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">/]+/' "$dir" || true)
done
exit "$status"

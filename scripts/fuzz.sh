#!/usr/bin/env bash
# Builds the fuzz entry points with clang (VELDMARK_FUZZ) and runs each for a bounded time,
# starting from the seed corpora the build writes.
#
#   scripts/fuzz.sh [SECONDS [NAME...]]
#
# SECONDS per entry point (default 60); NAMEs pick entry points (default: every one that
# tests/fuzz/CMakeLists.txt lists). New inputs that reach new code are kept in
# build-fuzz/corpus/<name>; a crash stops the script, leaving its input in build-fuzz/crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true

build="$PWD/build-fuzz"
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELDMARK_FUZZ=ON -DVELDMARK_TESTS=OFF -DVELDMARK_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

if [ "$#" -eq 0 ]; then
  set -- $(cat "$build/tests/fuzz/entry_points.txt")
fi

# The entry points write only into their own scratch directory under TMPDIR; this one.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/crashes"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

for name in "$@"; do
  program="$build/tests/fuzz/${name}_fuzz"
  [ -x "$program" ] || { echo "no entry point $name (tests/fuzz/CMakeLists.txt)" >&2; exit 1; }
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$build/crashes/${name}-")
  [ -f "$build/tests/fuzz/$name.dict" ] && options+=(-dict="$build/tests/fuzz/$name.dict")
  corpora=("$corpus")
  [ -d "$build/tests/fuzz/seeds/$name" ] && corpora+=("$build/tests/fuzz/seeds/$name")
  echo "== $name: $seconds s"
  TMPDIR="$scratch" "$program" "${options[@]}" "${corpora[@]}" 2>"$build/$name.log" ||
    { tail -n 60 "$build/$name.log"; exit 1; }
  grep -E "^(INFO: seed corpus|Done|stat::number_of_executed_units|stat::peak_rss)" \
    "$build/$name.log" || true
  grep -E "^#[0-9]+.*(INITED|DONE)" "$build/$name.log" || true
done

#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test. VELDMARK_WERROR=ON makes compiler warnings errors, as CI has it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELDMARK_SANITIZE=ON -DVELDMARK_BENCH=OFF \
  -DVELDMARK_WERROR="${VELDMARK_WERROR:-OFF}"
cmake --build build-asan -j"$(nproc)"
# Debian's crashmail binary corrupts JAM bases; the JAM interop tests use one rebuilt from source.
scripts/build_crashmail_jam.sh build-asan/crashmail
export VELDMARK_CRASHMAIL_JAM="$PWD/build-asan/crashmail/bin/crashmail"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

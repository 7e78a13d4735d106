#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# and runs every test there. Any sanitizer report fails the test that caused it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs=$(nproc 2>/dev/null || echo 2)
out="$root/build-asan"
# -O1 with line tables only: what the sanitizers need for their reports, and much quicker to
# build than the optimized build with full debug information.
flags="-O1 -g1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=None -DVMK_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$out" -j "$jobs"

# Leaks of the Qt and font libraries at exit are theirs, not the program's.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$out"
ctest --output-on-failure -j "$jobs"

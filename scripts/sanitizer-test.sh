#!/usr/bin/env bash
# Builds everything, windows and tests included, with AddressSanitizer (leak detection on)
# and UndefinedBehaviorSanitizer into build-asan/ (-DTABLEAU_SANITIZE=ON) and runs the whole
# test suite there on Qt's offscreen platform. Any report fails the test that caused it.
# scripts/test.sh runs it after the ordinary suite, while its CUPS server is still up.
# Usage: scripts/sanitizer-test.sh [ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# Leaks inside Qt, fontconfig and the other uninstrumented libraries are suppressed by
# tests/sanitizers/lsan.supp (see there); leaks of our own code are always reported.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

# The same settings hold while building: the build lists each test program's cases by
# running it.
echo "== Compilazione con AddressSanitizer e UndefinedBehaviorSanitizer in build-asan/"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABLEAU_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$(nproc)"

echo "== Test con i sanitizer"
(cd build-asan && ctest --output-on-failure -j 2 "$@")

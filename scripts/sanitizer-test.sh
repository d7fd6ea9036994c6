#!/usr/bin/env bash
# Builds everything, windows and tests included, with AddressSanitizer (leak detection on)
# and UndefinedBehaviorSanitizer into build-asan/ (-DTABLEAU_SANITIZE=ON) and runs the whole
# test suite there on Qt's offscreen platform. Any report fails the test that caused it.
# scripts/test.sh runs it after the ordinary suite, while its CUPS server is still up.
# Usage: scripts/sanitizer-test.sh [ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

echo "== Compilazione con AddressSanitizer e UndefinedBehaviorSanitizer in build-asan/"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABLEAU_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$(nproc)"

# Leaks inside Qt, fontconfig and the other uninstrumented libraries are suppressed by
# tests/sanitizers/lsan.supp (see there); leaks of our own code are always reported.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
# The Jet reader runs several times slower under the sanitizers; a reading given up for
# silence must still mean a reader that hangs, not one that is slow. Tests that set their
# own patience scale it by this factor (tests/support/patience.h).
export TABLEAU_TEST_FATTORE_ATTESA=${TABLEAU_TEST_FATTORE_ATTESA:-4}

echo "== Test con i sanitizer"
(cd build-asan && ctest --output-on-failure -j 2 "$@")

#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test (ctest), then builds and tests the
# core again without the windows; builds and checks the Debian package; runs the suite again
# with the sanitizers (scripts/sanitizer-test.sh) and the fuzzers (scripts/fuzz.sh). Printing
# tests use a real CUPS server, server tests a real PostgreSQL primary and hot standby, that
# this script starts for the run and stops afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh

started_cups=0
started_pg=0
stop_servers() {
    if [ "$started_cups" -eq 1 ]; then "$root/scripts/cups-test-server.sh" stop || true; fi
    if [ "$started_pg" -eq 1 ]; then "$root/scripts/pg-test-server.sh" stop || true; fi
}
trap stop_servers EXIT
scripts/cups-test-server.sh start && started_cups=1
scripts/pg-test-server.sh stop
scripts/pg-test-server.sh start && started_pg=1
# The server tests fail, rather than skip, should the servers be missing.
export TABLEAU_TEST_PG_OBBLIGATORIO=1

(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2 "$@")

# The Debian package: lintian, contents, dependencies, installed and removed again.
scripts/package.sh --check

# The same sources without the windows: every Qt-free part builds and passes its tests
# without Qt.
echo "== Compilazione senza finestre in build-core/"
cmake -S . -B build-core -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABLEAU_GUI=OFF >/dev/null
cmake --build build-core -j "$(nproc)"
(cd build-core && ctest --output-on-failure -j 2 "$@")

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/),
# while the CUPS server is still up; then every fuzzer for a bounded time over its corpus.
# Either fails the run on any finding.
scripts/sanitizer-test.sh "$@"
scripts/fuzz.sh "${TABLEAU_FUZZ_SECONDI:-30}"

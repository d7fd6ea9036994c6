#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test (ctest), then builds and tests the
# core again without the windows; builds and checks the Debian package; runs the suite again
# with the sanitizers (scripts/sanitizer-test.sh) and the fuzzers (scripts/fuzz.sh). Printing
# tests use a real CUPS server, server tests a real PostgreSQL primary and hot standby, that
# this script starts for the run and stops afterwards.
# Every build goes through ccache (installed by setup.sh), whose cache is shared by every
# clone on the machine; each stage prints its time as it ends, and the run ends with all of
# them and the cache's hit rate.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

inizio_run=$SECONDS
tempi=()
# fase NOME COMANDO...: runs one stage and prints how long it took, failed or not.
fase() {
    local nome=$1 inizio=$SECONDS esito=0
    shift
    "$@" || esito=$?
    local durata=$((SECONDS - inizio))
    tempi+=("$(printf '%-34s %4d:%02d' "$nome" $((durata / 60)) $((durata % 60)))")
    if [ "$esito" -eq 0 ]; then
        echo "== Fase «$nome» conclusa in $((durata / 60)) min $((durata % 60)) s"
    else
        echo "== Fase «$nome» fallita dopo $((durata / 60)) min $((durata % 60)) s (codice $esito)"
        riepilogo
        exit "$esito"
    fi
}
riepilogo() {
    echo "== Tempi (min:s)"
    printf '   %s\n' "${tempi[@]}"
    local totale=$((SECONDS - inizio_run))
    printf '   %-34s %4d:%02d\n' "in tutto" $((totale / 60)) $((totale % 60))
    if command -v ccache >/dev/null; then
        ccache --show-stats 2>/dev/null | grep -E "^ *(Hits|Misses|Cache size)" | sed 's/^ */   ccache: /' || true
    fi
}

fase "installazione e compilazione" scripts/setup.sh

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

suite() { (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2 "${@:2}"); }
fase "test" suite build "$@"

# The Debian package: lintian, contents, dependencies, installed and removed again.
fase "pacchetto" scripts/package.sh --check

# The same sources without the windows: every Qt-free part builds and passes its tests
# without Qt.
compila_core() {
    # Chained: a stage's commands run where set -e does not hold.
    echo "== Compilazione senza finestre in build-core/" &&
        cmake -S . -B build-core -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABLEAU_GUI=OFF >/dev/null &&
        cmake --build build-core -j "$(nproc)"
}
fase "compilazione senza finestre" compila_core
fase "test senza finestre" suite build-core "$@"

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/),
# while the CUPS server is still up; then every fuzzer for a bounded time over its corpus.
# Either fails the run on any finding.
fase "sanitizer (compilazione e test)" scripts/sanitizer-test.sh "$@"
fase "fuzzer" scripts/fuzz.sh "${TABLEAU_FUZZ_SECONDI:-30}"
riepilogo

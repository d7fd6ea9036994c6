#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs each for
# SECONDS (default 20) over its seed corpus fuzz/corpus/<target>/. New inputs go to a
# scratch copy of the corpus, so the tree stays clean; a crash, a sanitizer report or an
# unexpected exception leaves its input in build-fuzz/crashes/<target>/ and fails the run.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
secondi=${1:-20}

targets=(criteria chart_reader chart_mail spreadsheet_export output_conversions dates jet_stream settings)

echo "== Compilazione dei fuzzer in build-fuzz/"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTABLEAU_GUI=OFF -DTABLEAU_TESTS=OFF -DTABLEAU_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz-}"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tableau-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

falliti=()
for t in "${targets[@]}"; do
    echo "== fuzz-$t per $secondi s"
    mkdir -p "$scratch/$t" "$root/build-fuzz/crashes/$t"
    cp -R "fuzz/corpus/$t/." "$scratch/$t/"
    if ! (cd "$scratch" && TMPDIR="$scratch" "$root/build-fuzz/fuzz/fuzz-$t" \
            -max_total_time="$secondi" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$root/build-fuzz/crashes/$t/" "$scratch/$t" \
            >"$scratch/$t.log" 2>&1); then
        falliti+=("$t")
        tail -n 60 "$scratch/$t.log"
    fi
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$scratch/$t.log" | sed "s/^/   /" || true
done

if [ ${#falliti[@]} -gt 0 ]; then
    echo "== Problemi trovati da: ${falliti[*]} (input in build-fuzz/crashes/)" >&2
    exit 1
fi
echo "== Nessun problema trovato"

#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs each for
# SECONDS (default 20) over its seed corpus fuzz/corpus/<target>/, whose inputs (the
# regression inputs of earlier findings among them) all run first. New inputs go to a
# scratch copy of the corpus, so the tree stays clean; a crash, a sanitizer report, a
# timeout or an unexpected exception leaves its input in build-fuzz/crashes/<target>/ and
# fails the run. Each target's executions are printed (stat::number_of_executed_units).
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
secondi=${1:-20}

targets=(criteria chart_reader chart_mail csv_export output_conversions dates text
         jet_stream settings config_files)

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
    crashes="$root/build-fuzz/crashes/$t"
    rm -rf "$crashes"  # this run's findings only
    mkdir -p "$scratch/$t" "$crashes"
    cp -R "fuzz/corpus/$t/." "$scratch/$t/"
    if ! (cd "$scratch" && TMPDIR="$scratch" "$root/build-fuzz/fuzz/fuzz-$t" \
            -max_total_time="$secondi" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$crashes/" "$scratch/$t" \
            >"$scratch/$t.log" 2>&1); then
        falliti+=("$t")
        tail -n 60 "$scratch/$t.log"
        cp "$scratch/$t.log" "$crashes/fuzz-$t.log"
    fi
    esecuzioni=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$t.log" | tail -n 1)
    memoria=$(sed -n 's/^stat::peak_rss_mb: *//p' "$scratch/$t.log" | tail -n 1)
    echo "   fuzz-$t: ${esecuzioni:-?} esecuzioni (stat::number_of_executed_units), picco ${memoria:-?} MB"
done

if [ ${#falliti[@]} -gt 0 ]; then
    {
        echo "== FUZZING FALLITO: problemi trovati da ${falliti[*]}"
        for t in "${falliti[@]}"; do
            for input in "$root/build-fuzz/crashes/$t"/*; do
                case "$input" in *.log) continue ;; esac
                [ -e "$input" ] || continue
                echo "   fuzz-$t: input $input"
                echo "     riprodurre con: build-fuzz/fuzz/fuzz-$t $input"
            done
            echo "   fuzz-$t: resoconto in build-fuzz/crashes/$t/fuzz-$t.log"
        done
        echo "   Corretto il difetto, l'input va aggiunto a fuzz/corpus/<target>/ come caso di regressione."
    } >&2
    exit 1
fi
echo "== Fuzzing: nessun problema trovato (${#targets[@]} target, $secondi s ciascuno)"

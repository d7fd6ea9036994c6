#!/usr/bin/env bash
# Builds Release into build-release, writes the large hotel once (bench-data/) and times
# the chart of its 1,000 rooms against a bare scan of the same week.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABLEAU_GUI=OFF -DTABLEAU_TESTS=OFF >/dev/null
cmake --build build-release --target tableau-bench
[ -f bench-data/Scheda_Cliente.mdb ] || build-release/tableau-bench build bench-data
build-release/tableau-bench run bench-data

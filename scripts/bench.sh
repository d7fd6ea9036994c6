#!/usr/bin/env bash
# Builds Release into build-release, writes the large hotel once (bench-data/) and times
# the chart of its 1,000 rooms against a bare scan of the same week, and the workbook and
# the PDF read from that chart (no display needed); then writes its Jet
# files once (bench-data/jet/) and times the same chart from them and the reading of a Jet
# table of 100,000, 200,000 and 400,000 rows.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABLEAU_GUI=ON -DTABLEAU_TESTS=OFF >/dev/null
cmake --build build-release --target tableau-bench
[ -f bench-data/Scheda_Cliente.mdb ] || build-release/tableau-bench build bench-data
[ -d bench-data/jet ] || build-release/tableau-bench build-jet bench-data
build-release/tableau-bench run bench-data

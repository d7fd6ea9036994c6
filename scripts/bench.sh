#!/usr/bin/env bash
# Builds Release into build-release, writes the large hotel once (bench-data/) and the
# hotel whose client codes are spread over their whole range (bench-data/spread, with half
# its history in bench-data/spread-half and an indexed copy in bench-data/spread-indexed),
# and times the chart of 1,000 rooms of each against the same week read with bare SQLite
# calls; then writes both hotels' Jet files once (bench-data/jet/) and times the same
# charts from them against mdb-export of the same tables, and the reading of a Jet table of
# 100,000, 200,000 and 400,000 rows; and the workbook and the PDF of the first chart (built
# with the windows for the PDF; no display needed). With TABLEAU_BENCH_PG set to a libpq
# connection string, also times the sync of the large hotel into that server (schemas
# bench_sync and bench_copia, replaced) against psql's \copy of the same rows, with its peak
# memory, then the same hotel with twice the history (bench-data/double, written once), and
# its chart from the server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABLEAU_GUI=ON -DTABLEAU_TESTS=OFF >/dev/null
cmake --build build-release --target tableau-bench
[ -f bench-data/Scheda_Cliente.mdb ] || build-release/tableau-bench build bench-data
[ -d bench-data/spread-indexed ] || build-release/tableau-bench build-spread bench-data
[ -d bench-data/jet/spread ] || build-release/tableau-bench build-jet bench-data
build-release/tableau-bench run bench-data
if [ -n "${TABLEAU_BENCH_PG:-}" ]; then
    [ -f bench-data/double/Scheda_Cliente.mdb ] || build-release/tableau-bench build-double bench-data
    build-release/tableau-bench sync bench-data "$TABLEAU_BENCH_PG"
fi

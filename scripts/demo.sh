#!/usr/bin/env bash
# Installs what is needed, builds, writes the demo hotel's data directory into demo/ and
# builds this week's chart of its first room block, then shows it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

rm -rf demo
build/tableau-demo demo
cd demo
export PCLocal=1
../build/tableau chart --hotel 1 --tableau 1 --from 101 --to 130 --date "$(date +%d/%m/%Y)"
echo "== Tableau scritto in demo/FD1; eccolo (bordi semplificati per il terminale):"
# The chart is Windows-1252 with line-drawing bytes; show them as plain characters.
tr '\263\264' '||' <FD1 | tr '\277\301\302\305' '++++' | tr '\304\331' '[-*]' |
    iconv -f CP1252 -t UTF-8 | tr -d '\r'

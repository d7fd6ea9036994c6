#!/usr/bin/env bash
# Times the web view's page of a 1,000-room block against tableau chart for the same
# request, on the benchmark's large hotel (bench-data/, written by tableau-bench build when
# missing): tableau chart run five times, then the HTML page and the JSON of tableau serve,
# five times each through curl with a session; the best of each and the sizes.
# Usage: scripts/web-bench.sh [BUILD_DIR]   (build/ by default, already built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
[ -f bench-data/Scheda_Cliente.mdb ] || "$build/tableau-bench" build bench-data
lavoro=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; rm -rf "$lavoro"' EXIT
mkdir -p "$lavoro/config/tableau" "$lavoro/dati"
cp bench-data/*.mdb "$lavoro/dati/"
printf 'cartella = %s\nweb.users = %s\n' "$lavoro/dati" "$lavoro/utenti" >"$lavoro/config/tableau/tableau.conf"
export XDG_CONFIG_HOME="$lavoro/config" TABLEAU_LETTORE_JET="$build/tableau-jet"
echo 'password-della-misura' | "$build/tableau" user add misura >/dev/null
richiesta="hotel=1&tableau=1&data=08/12/2026"

migliore() { sort -n | head -1; }
for _ in 1 2 3 4 5; do
    /usr/bin/time -f "%e %M" "$build/tableau" chart --hotel 1 --tableau 1 --date 08/12/2026 \
        2>&1 >/dev/null | tail -1
done >"$lavoro/chart"
echo "tableau chart:  $(cut -d' ' -f1 "$lavoro/chart" | migliore) s (picco $(cut -d' ' -f2 "$lavoro/chart" | migliore) KB), file $(stat -c %s "$lavoro/dati/FD") byte"
rm "$lavoro/dati/FD"

porta=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
"$build/tableau" serve --listen "127.0.0.1:$porta" >"$lavoro/serve.log" &
server=$!
for _ in $(seq 50); do grep -q "in ascolto" "$lavoro/serve.log" && break; sleep 0.1; done
curl -s -c "$lavoro/cookie" -o /dev/null -d 'utente=misura&password=password-della-misura' \
    "http://127.0.0.1:$porta/login"
for pagina in tableau api/tableau; do
    for _ in 1 2 3 4 5; do
        curl -s -b "$lavoro/cookie" -o "$lavoro/pagina" -w '%{time_total} %{size_download}\n' \
            "http://127.0.0.1:$porta/$pagina?$richiesta"
    done >"$lavoro/tempi"
    echo "/$pagina: $(cut -d' ' -f1 "$lavoro/tempi" | migliore) s, $(cut -d' ' -f2 "$lavoro/tempi" | head -1) byte"
done
echo "memoria di tableau serve: $(ps -o rss= -p "$server") KB"
# The data directory is as it was: the server wrote nothing.
[ "$(ls "$lavoro/dati" | wc -l)" -eq "$(ls bench-data/*.mdb | wc -l)" ] || echo "ATTENZIONE: file scritti nella cartella dei dati" >&2

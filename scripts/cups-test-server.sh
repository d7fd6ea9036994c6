#!/usr/bin/env bash
# A CUPS scheduler with the two queues the printing tests use, started for a test run and
# stopped afterwards. Needs root (it adds queues and a backend) and the packages cups,
# cups-client and printer-driver-cups-pdf.
#
#   scripts/cups-test-server.sh start    start cupsd if it is not running, add the queues
#   scripts/cups-test-server.sh stop     undo exactly what start did
#   scripts/cups-test-server.sh status   whether it is started and the queues are there
#
# Queues:
#   tableau-pdf  cups-pdf printer; root's PDF files land in /root/PDF
#   tableau-raw  raw queue whose backend copies every job's bytes into
#                /var/tmp/tableau-cups-capture/job-<id>.raw
set -euo pipefail

NOME=cups-test-server
STATO=/var/tmp/tableau-cups-test
CAPTURE_DIR=/var/tmp/tableau-cups-capture
BACKEND=/usr/lib/cups/backend/tableau-capture
PDF_QUEUE=tableau-pdf
RAW_QUEUE=tableau-raw
PDF_MODEL=lsb/usr/cups-pdf/CUPS-PDF_opt.ppd

# shellcheck source=scripts/test-server-frame.sh
source "$(dirname "${BASH_SOURCE[0]}")/test-server-frame.sh"

running() { lpstat -r 2>/dev/null | grep -q "is running"; }

queue_exists() { lpstat -p "$1" >/dev/null 2>&1; }

controlla() {
    command -v cupsd >/dev/null || {
        errore "cupsd non installato"
        return 1
    }
}

avvia() {
    mkdir -p "$CAPTURE_DIR"
    if ! running; then
        mkdir -p /run/cups
        lancia "$STATO/cupsd.pid" "$STATO/cupsd.log" cupsd -f
        attendi 30 "$(cat "$STATO/cupsd.pid")" "$STATO/cupsd.log" cupsd running
    fi

    if [ ! -e "$BACKEND" ]; then
        cat >"$BACKEND" <<'END'
#!/bin/sh
# Test backend: keeps each job's bytes as they reach the printer.
dir=/var/tmp/tableau-cups-capture
if [ $# -eq 0 ]; then
    echo 'direct tableau-capture "Unknown" "Tableau test capture"'
    exit 0
fi
mkdir -p "$dir"
if [ $# -ge 6 ]; then cat "$6" >"$dir/.job-$1.tmp"; else cat >"$dir/.job-$1.tmp"; fi
mv "$dir/.job-$1.tmp" "$dir/job-$1.raw"
exit 0
END
        chmod 0700 "$BACKEND"
        touch "$STATO/backend"
    fi

    if ! queue_exists "$RAW_QUEUE"; then
        lpadmin -p "$RAW_QUEUE" -E -v tableau-capture:/ 2>/dev/null
        touch "$STATO/queue-$RAW_QUEUE"
    fi
    if ! queue_exists "$PDF_QUEUE"; then
        lpadmin -p "$PDF_QUEUE" -E -v cups-pdf:/ -m "$PDF_MODEL" \
            -o pdftops-renderer-default=pdftocairo
        touch "$STATO/queue-$PDF_QUEUE"
    fi
    # A queue left from an earlier run may have been stopped by CUPS (its backend gone
    # meanwhile): it takes jobs again, and the jobs it kept are dropped.
    for q in "$PDF_QUEUE" "$RAW_QUEUE"; do
        cancel -a "$q" 2>/dev/null || true
        cupsenable "$q"
        cupsaccept "$q"
    done
    avviso "code $PDF_QUEUE e $RAW_QUEUE pronte"
}

ferma() {
    for q in "$PDF_QUEUE" "$RAW_QUEUE"; do
        if [ -e "$STATO/queue-$q" ]; then
            cancel -a "$q" 2>/dev/null || true
            lpadmin -x "$q" 2>/dev/null || true
        fi
    done
    if [ -e "$STATO/backend" ]; then
        rm -f "$BACKEND"
    fi
    termina "$STATO/cupsd.pid" cupsd 10
    rm -rf "$CAPTURE_DIR"
}

pronto() { running && queue_exists "$PDF_QUEUE" && queue_exists "$RAW_QUEUE"; }

esegui_comando "$@"

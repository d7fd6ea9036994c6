#!/usr/bin/env bash
# A CUPS scheduler with the two queues the printing tests use, started for a test run and
# stopped afterwards. Needs root (it adds queues and a backend) and the packages cups,
# cups-client and printer-driver-cups-pdf.
#
#   scripts/cups-test-server.sh start   start cupsd if it is not running, add the queues
#   scripts/cups-test-server.sh stop    undo exactly what start did
#
# Queues:
#   tableau-pdf  cups-pdf printer; root's PDF files land in /root/PDF
#   tableau-raw  raw queue whose backend copies every job's bytes into
#                /var/tmp/tableau-cups-capture/job-<id>.raw
set -euo pipefail

STATE_DIR=/var/tmp/tableau-cups-test
CAPTURE_DIR=/var/tmp/tableau-cups-capture
BACKEND=/usr/lib/cups/backend/tableau-capture
PDF_QUEUE=tableau-pdf
RAW_QUEUE=tableau-raw
PDF_MODEL=lsb/usr/cups-pdf/CUPS-PDF_opt.ppd

running() { lpstat -r 2>/dev/null | grep -q "is running"; }

queue_exists() { lpstat -p "$1" >/dev/null 2>&1; }

start() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "cups-test-server: serve l'utente root" >&2
        return 1
    fi
    command -v cupsd >/dev/null || { echo "cups-test-server: cupsd non installato" >&2; return 1; }
    if [ -e "$STATE_DIR/started" ]; then
        echo "cups-test-server: gia' avviato (eseguire prima stop)" >&2
        return 1
    fi
    mkdir -p "$STATE_DIR" "$CAPTURE_DIR"
    : >"$STATE_DIR/started"

    if ! running; then
        mkdir -p /run/cups
        setsid cupsd -f </dev/null >"$STATE_DIR/cupsd.log" 2>&1 &
        local pid=$!
        echo "$pid" >"$STATE_DIR/cupsd.pid"
        for _ in $(seq 1 60); do
            running && break
            if ! kill -0 "$pid" 2>/dev/null; then
                echo "cups-test-server: cupsd non si avvia:" >&2
                cat "$STATE_DIR/cupsd.log" >&2
                return 1
            fi
            sleep 0.5
        done
        running || { echo "cups-test-server: cupsd non risponde" >&2; return 1; }
    fi

    if [ ! -e "$BACKEND" ]; then
        cat >"$BACKEND" <<'EOF'
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
EOF
        chmod 0700 "$BACKEND"
        touch "$STATE_DIR/backend"
    fi

    if ! queue_exists "$RAW_QUEUE"; then
        lpadmin -p "$RAW_QUEUE" -E -v tableau-capture:/ 2>/dev/null
        touch "$STATE_DIR/queue-$RAW_QUEUE"
    fi
    if ! queue_exists "$PDF_QUEUE"; then
        lpadmin -p "$PDF_QUEUE" -E -v cups-pdf:/ -m "$PDF_MODEL" \
            -o pdftops-renderer-default=pdftocairo
        touch "$STATE_DIR/queue-$PDF_QUEUE"
    fi
    echo "cups-test-server: code $PDF_QUEUE e $RAW_QUEUE pronte"
}

stop() {
    [ -e "$STATE_DIR/started" ] || return 0
    for q in "$PDF_QUEUE" "$RAW_QUEUE"; do
        if [ -e "$STATE_DIR/queue-$q" ]; then
            cancel -a "$q" 2>/dev/null || true
            lpadmin -x "$q" 2>/dev/null || true
        fi
    done
    if [ -e "$STATE_DIR/backend" ]; then
        rm -f "$BACKEND"
    fi
    if [ -e "$STATE_DIR/cupsd.pid" ]; then
        local pid
        pid=$(cat "$STATE_DIR/cupsd.pid")
        if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = cupsd ]; then
            kill "$pid"
            for _ in $(seq 1 40); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.25
            done
        fi
    fi
    rm -rf "$STATE_DIR" "$CAPTURE_DIR"
}

case "${1:-}" in
    start)
        # A start that fails half-way undoes what it did.
        set +e
        (
            set -e
            start
        )
        rc=$?
        set -e
        if [ "$rc" -ne 0 ]; then
            stop
            exit "$rc"
        fi
        ;;
    stop) stop ;;
    *)
        echo "Uso: $0 start|stop" >&2
        exit 2
        ;;
esac

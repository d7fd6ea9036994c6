# The frame shared by the scripts of the test servers (scripts/cups-test-server.sh,
# scripts/pg-test-server.sh): sourced, never run. The script sets, before sourcing it:
#
#   NOME    the name its messages start with
#   STATO   the directory of what start did: start creates it with the file "started",
#           stop undoes what is recorded there and removes it
#
# and defines:
#
#   controlla   what must be there before anything is done (programs installed)
#   avvia       starts the servers; it runs under set -e, and a start that fails half-way
#               is undone by ferma
#   ferma       undoes what avvia did, whatever point it reached
#   pronto      succeeds when the servers answer
#
# then ends with: esegui_comando "$@"
#
#   start    as root: refused while a start is recorded (run stop first); 0 when ready
#   stop     undoes the recorded start; 0 also when none was recorded
#   status   0 started and answering, 1 started but not answering, 3 not started
#   other    the usage, exit status 2

errore() { echo "$NOME: $*" >&2; }
avviso() { echo "$NOME: $*"; }

# lancia FILE_PID LOG COMANDO...: starts a server in the background, in a session of its
# own, its output in LOG and its pid in FILE_PID.
lancia() {
    local file_pid=$1 log=$2
    shift 2
    setsid "$@" </dev/null >"$log" 2>&1 &
    echo "$!" >"$file_pid"
}

# attendi SECONDI PID LOG COSA COMANDO...: runs COMANDO every half second until it succeeds,
# for at most SECONDI; fails at once, showing LOG, should the process PID end first.
attendi() {
    local secondi=$1 pid=$2 log=$3 cosa=$4
    shift 4
    for _ in $(seq 1 $((secondi * 2))); do
        "$@" && return 0
        if ! kill -0 "$pid" 2>/dev/null; then
            errore "$cosa non si avvia:"
            cat "$log" >&2
            return 1
        fi
        sleep 0.5
    done
    "$@" && return 0
    errore "$cosa non risponde"
    return 1
}

# termina FILE_PID PROGRAMMA SECONDI: ends the process of the pid file, if that is still the
# program named, and waits at most SECONDI for it to go.
termina() {
    local file_pid=$1 programma=$2 secondi=$3 pid
    [ -e "$file_pid" ] || return 0
    pid=$(cat "$file_pid")
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$programma" ] || return 0
    kill "$pid"
    for _ in $(seq 1 $((secondi * 4))); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.25
    done
}

avvio_registrato() { [ -e "$STATO/started" ]; }

ferma_se_avviato() {
    avvio_registrato || return 0
    ferma
    rm -rf "$STATO"
}

esegui_comando() {
    case "${1:-}" in
        start)
            if [ "$(id -u)" -ne 0 ]; then
                errore "serve l'utente root"
                exit 1
            fi
            controlla || exit 1
            # A second start leaves the first one's servers running.
            if avvio_registrato; then
                errore "già avviato (eseguire prima stop)"
                exit 1
            fi
            mkdir -p "$STATO"
            : >"$STATO/started"
            local rc
            set +e
            (
                set -e
                avvia
            )
            rc=$?
            set -e
            if [ "$rc" -ne 0 ]; then
                ferma_se_avviato
                exit "$rc"
            fi
            ;;
        stop) ferma_se_avviato ;;
        status)
            if ! avvio_registrato; then
                avviso "non avviato"
                exit 3
            fi
            if ! pronto; then
                errore "avviato, ma non risponde"
                exit 1
            fi
            avviso "avviato e pronto"
            ;;
        *)
            echo "Uso: $0 start|stop|status" >&2
            exit 2
            ;;
    esac
}

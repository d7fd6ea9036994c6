#!/usr/bin/env bash
# A PostgreSQL primary and its hot standby for the server tests, started for a test run and
# stopped afterwards. Needs root (the servers run as the postgres user) and the packages
# postgresql and postgresql-client. Everything lives in one directory that stop removes.
#
#   scripts/pg-test-server.sh start   initdb, start the primary, clone and start the standby
#   scripts/pg-test-server.sh stop    stop both and remove their directory
#
# Servers (loopback only; the database's collation is ICU Italian, as at a site):
#   primary  127.0.0.1:55432  user postgres, trust
#   standby  127.0.0.1:55433  hot standby streaming from the primary (pg_basebackup -R)
# Roles that are members of tableau_login_password must log in with their password.
set -euo pipefail

BASE=/var/tmp/tableau-pg-test
PRIMARY_PORT=${TABLEAU_TEST_PG_PORT:-55432}
STANDBY_PORT=${TABLEAU_TEST_PG_STANDBY_PORT:-55433}

bindir() {
    local d
    d=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    [ -n "$d" ] || { echo "pg-test-server: PostgreSQL non installato" >&2; return 1; }
    echo "$d"
}

as_postgres() { runuser -u postgres -- "$@"; }

start() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "pg-test-server: serve l'utente root" >&2
        return 1
    fi
    if [ -e "$BASE/started" ]; then
        echo "pg-test-server: già avviato (eseguire prima stop)" >&2
        return 1
    fi
    local bin
    bin=$(bindir)
    mkdir -p "$BASE/run"
    : >"$BASE/started"
    chown -R postgres: "$BASE"
    chmod 0700 "$BASE"

    as_postgres "$bin/initdb" -D "$BASE/primary" -U postgres --auth=trust --encoding=UTF8 \
        --locale=C.UTF-8 --locale-provider=icu --icu-locale=it-IT >"$BASE/initdb.log" 2>&1 || {
        cat "$BASE/initdb.log" >&2
        return 1
    }
    cat >>"$BASE/primary/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
port = $PRIMARY_PORT
unix_socket_directories = '$BASE/run'
wal_level = replica
max_wal_senders = 5
hot_standby = on
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 60
EOF
    cat >"$BASE/primary/pg_hba.conf" <<EOF
local   all          all                          trust
host    all          +tableau_login_password  127.0.0.1/32  scram-sha-256
host    all          all                      127.0.0.1/32  trust
host    replication  all                      127.0.0.1/32  trust
EOF
    as_postgres "$bin/pg_ctl" -D "$BASE/primary" -l "$BASE/primary.log" -w -t 60 start >/dev/null
    as_postgres "$bin/psql" -h 127.0.0.1 -p "$PRIMARY_PORT" -U postgres -d postgres -q \
        -c "CREATE ROLE tableau_login_password NOLOGIN" >/dev/null

    as_postgres "$bin/pg_basebackup" -h 127.0.0.1 -p "$PRIMARY_PORT" -U postgres \
        -D "$BASE/standby" -R -X stream >"$BASE/basebackup.log" 2>&1 || {
        cat "$BASE/basebackup.log" >&2
        return 1
    }
    echo "port = $STANDBY_PORT" >>"$BASE/standby/postgresql.auto.conf"
    as_postgres "$bin/pg_ctl" -D "$BASE/standby" -l "$BASE/standby.log" -w -t 60 start >/dev/null
    echo "pg-test-server: primario sulla porta $PRIMARY_PORT, standby sulla porta $STANDBY_PORT"
}

stop() {
    [ -e "$BASE/started" ] || return 0
    local bin
    bin=$(bindir) || true
    for d in standby primary; do
        if [ -e "$BASE/$d/postmaster.pid" ]; then
            as_postgres "$bin/pg_ctl" -D "$BASE/$d" -m immediate -w -t 30 stop >/dev/null 2>&1 || true
        fi
    done
    rm -rf "$BASE"
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

#!/usr/bin/env bash
# A PostgreSQL primary and its hot standby for the server tests, started for a test run and
# stopped afterwards. Needs root (the servers run as the postgres user) and the packages
# postgresql and postgresql-client. Everything lives in one directory that stop removes.
#
#   scripts/pg-test-server.sh start    initdb, start the primary, clone and start the standby
#   scripts/pg-test-server.sh stop     stop both and remove their directory
#   scripts/pg-test-server.sh status   whether both are started and accept connections
#
# Servers (loopback only; the database's collation is ICU Italian, as at a site):
#   primary  127.0.0.1:55432  user postgres, trust
#   standby  127.0.0.1:55433  hot standby streaming from the primary (pg_basebackup -R)
# Roles that are members of tableau_login_password must log in with their password.
set -euo pipefail

NOME=pg-test-server
STATO=/var/tmp/tableau-pg-test
PRIMARY_PORT=${TABLEAU_TEST_PG_PORT:-55432}
STANDBY_PORT=${TABLEAU_TEST_PG_STANDBY_PORT:-55433}

# shellcheck source=scripts/test-server-frame.sh
source "$(dirname "${BASH_SOURCE[0]}")/test-server-frame.sh"

bindir() {
    local d
    d=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    [ -n "$d" ] || {
        errore "PostgreSQL non installato"
        return 1
    }
    echo "$d"
}

as_postgres() { runuser -u postgres -- "$@"; }

controlla() { bindir >/dev/null; }

avvia() {
    local bin
    bin=$(bindir)
    mkdir -p "$STATO/run"
    chown -R postgres: "$STATO"
    chmod 0700 "$STATO"

    as_postgres "$bin/initdb" -D "$STATO/primary" -U postgres --auth=trust --encoding=UTF8 \
        --locale=C.UTF-8 --locale-provider=icu --icu-locale=it-IT >"$STATO/initdb.log" 2>&1 || {
        cat "$STATO/initdb.log" >&2
        return 1
    }
    cat >>"$STATO/primary/postgresql.conf" <<END
listen_addresses = '127.0.0.1'
port = $PRIMARY_PORT
unix_socket_directories = '$STATO/run'
wal_level = replica
max_wal_senders = 5
hot_standby = on
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 60
END
    cat >"$STATO/primary/pg_hba.conf" <<END
local   all          all                          trust
host    all          +tableau_login_password  127.0.0.1/32  scram-sha-256
host    all          all                      127.0.0.1/32  trust
host    replication  all                      127.0.0.1/32  trust
END
    # pg_ctl waits for each server to accept connections, for at most 60 seconds.
    as_postgres "$bin/pg_ctl" -D "$STATO/primary" -l "$STATO/primary.log" -w -t 60 start >/dev/null
    as_postgres "$bin/psql" -h 127.0.0.1 -p "$PRIMARY_PORT" -U postgres -d postgres -q \
        -c "CREATE ROLE tableau_login_password NOLOGIN" >/dev/null

    as_postgres "$bin/pg_basebackup" -h 127.0.0.1 -p "$PRIMARY_PORT" -U postgres \
        -D "$STATO/standby" -R -X stream >"$STATO/basebackup.log" 2>&1 || {
        cat "$STATO/basebackup.log" >&2
        return 1
    }
    echo "port = $STANDBY_PORT" >>"$STATO/standby/postgresql.auto.conf"
    as_postgres "$bin/pg_ctl" -D "$STATO/standby" -l "$STATO/standby.log" -w -t 60 start >/dev/null
    avviso "primario sulla porta $PRIMARY_PORT, standby sulla porta $STANDBY_PORT"
}

ferma() {
    local bin
    bin=$(bindir) || true
    for d in standby primary; do
        if [ -e "$STATO/$d/postmaster.pid" ]; then
            as_postgres "$bin/pg_ctl" -D "$STATO/$d" -m immediate -w -t 30 stop >/dev/null 2>&1 || true
        fi
    done
}

pronto() {
    local bin
    bin=$(bindir) || return 1
    "$bin/pg_isready" -q -h 127.0.0.1 -p "$PRIMARY_PORT" &&
        "$bin/pg_isready" -q -h 127.0.0.1 -p "$STANDBY_PORT"
}

esegui_comando "$@"

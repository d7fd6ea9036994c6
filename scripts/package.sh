#!/usr/bin/env bash
# Builds the Debian package build/tableau_<version>_amd64.deb (after scripts/setup.sh has
# built the program) and checks it with lintian. With --check it also inspects its contents
# and dependencies and, as root, installs it, runs it and removes it again.
# Usage: scripts/package.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
rm -f build/tableau_*_amd64.deb
(cd build && cpack -G DEB >/dev/null)
pacchetto=$(ls build/tableau_*_amd64.deb)
echo "== Pacchetto: $pacchetto"
# Errors fail the build; warnings are shown.
lintian --fail-on error "$pacchetto" || {
    echo "lintian ha trovato errori nel pacchetto" >&2
    exit 1
}
[ "${1:-}" = "--check" ] || exit 0

fallito=0
contenuto=$(dpkg-deb -c "$pacchetto")
for file in ./usr/bin/tableau ./usr/libexec/tableau/tableau-jet \
    ./usr/share/applications/tableau.desktop ./usr/share/icons/hicolor/scalable/apps/tableau.svg \
    ./usr/share/man/man1/tableau.1.gz ./usr/share/doc/tableau/copyright \
    ./usr/lib/systemd/system/tableau-mail.service ./usr/lib/systemd/system/tableau-mail.timer \
    ./usr/lib/systemd/system/tableau-web.service ./usr/lib/sysusers.d/tableau-web.conf; do
    grep -q " $file\$" <<<"$contenuto" || { echo "manca nel pacchetto: $file" >&2; fallito=1; }
done
dipendenze=$(dpkg-deb -f "$pacchetto" Depends)
for dipendenza in cups-client fonts-liberation libc-l10n libmdb3 libqt6widgets6 libsqlite3-0 \
    libgmime-3.0-0 libmicrohttpd12 libsodium23; do
    grep -q "$dipendenza" <<<"$dipendenze" || { echo "dipendenza mancante: $dipendenza" >&2; fallito=1; }
done
if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W tableau >/dev/null 2>&1; then
    dpkg -i "$pacchetto" >/dev/null
    # The whole help read before it is searched: grep -q leaving early would cut the pipe
    # under tableau, which then reports the failed write.
    aiuto=$(cd / && env -u TABLEAU_LETTORE_JET tableau --help) || aiuto=""
    grep -q "^Uso: tableau" <<<"$aiuto" ||
        { echo "tableau --help non funziona dopo l'installazione" >&2; fallito=1; }
    man -w tableau >/dev/null || { echo "la pagina di manuale non si trova" >&2; fallito=1; }
    # The timer and its service are well formed, and installing enabled neither.
    if command -v systemd-analyze >/dev/null; then
        systemd-analyze verify /usr/lib/systemd/system/tableau-mail.service \
            /usr/lib/systemd/system/tableau-mail.timer /usr/lib/systemd/system/tableau-web.service ||
            { echo "tableau-mail.service, tableau-mail.timer o tableau-web.service non validi" >&2; fallito=1; }
    fi
    grep -qx "Environment=PCLocal=mail" /usr/lib/systemd/system/tableau-mail.service ||
        { echo "il servizio non ha la sua postazione" >&2; fallito=1; }
    [ ! -e /etc/systemd/system/timers.target.wants/tableau-mail.timer ] ||
        { echo "il timer è stato abilitato dall'installazione" >&2; fallito=1; }
    # The web view: its account made, its users' folder readable by it alone, not enabled.
    getent passwd tableau-web >/dev/null ||
        { echo "l'utente tableau-web non è stato creato" >&2; fallito=1; }
    [ "$(stat -c '%a %U %G' /etc/tableau)" = "2750 root tableau-web" ] ||
        { echo "/etc/tableau non ha i permessi attesi" >&2; fallito=1; }
    [ ! -e /etc/systemd/system/multi-user.target.wants/tableau-web.service ] ||
        { echo "tableau-web.service è stato abilitato dall'installazione" >&2; fallito=1; }
    dpkg -r tableau >/dev/null
    [ ! -e /usr/bin/tableau ] && [ ! -e /usr/libexec/tableau ] ||
        { echo "dpkg -r ha lasciato dei file" >&2; fallito=1; }
fi
[ "$fallito" -eq 0 ] && echo "== Pacchetto controllato: contenuto, dipendenze, installazione"
exit "$fallito"

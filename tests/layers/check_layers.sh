#!/usr/bin/env bash
# The layers hold: Qt only in src/app, src/gui, src/print/qt and src/export/qt; nothing
# below includes from src/app or src/gui; no layer includes from one above it; a back end of
# src/db includes from no other back end; the product executables carry no writer code. Usage: check_layers.sh SOURCE_DIR [EXECUTABLE...]
set -uo pipefail
src="$1/src"
shift
fail=0
report() { echo "$1"; fail=1; }

qt=$(grep -rlE '^#include <Q' "$src" | grep -vE "^$src/(app|gui|print/qt|export/qt)/")
[ -z "$qt" ] || report "Qt incluso fuori da src/app, src/gui, src/print/qt e src/export/qt: $qt"
# Only the windows and the commands include the Qt folders.
qtdir=$(grep -rlE '^#include "(print|export)/qt/' "$src" |
        grep -vE "^$src/(app|gui|print/qt|export/qt)/")
[ -z "$qtdir" ] || report "src/print/qt o src/export/qt incluso dal nucleo: $qtdir"

# The web server's libraries only in src/web.
http=$(grep -rlE '^#include <(microhttpd|sodium)' "$src" | grep -vE "^$src/web/")
[ -z "$http" ] || report "libmicrohttpd o libsodium usati fuori da src/web: $http"

# Each layer and the folders it may include from.
declare -A allowed=(
    [routines]="routines"
    [db]="routines db"
    [chart]="routines db chart"
    [print]="routines db chart print"
    [preview]="routines db chart print preview"
    [export]="routines db chart export"
    [mail]="routines db chart mail"
    [web]="routines db chart export web"
    [gui]="routines db chart print preview export mail gui"
    [app]="routines db chart print preview export mail gui web app"
)
for layer in "${!allowed[@]}"; do
    while IFS= read -r line; do
        target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$line")
        case " ${allowed[$layer]} " in
            *" $target "*) ;;
            *) report "src/$layer include dal livello superiore: $line" ;;
        esac
    done < <(grep -rhE '^#include "[a-z_]+/' "$src/$layer")
done
# The back ends of src/db: each includes the engine and itself, never another back end.
for backend in sqlite jet server; do
    others=$(grep -rlE '^#include "db/(sqlite|jet|server)/' "$src/db/$backend" |
             xargs -r grep -lE "^#include \"db/(sqlite|jet|server)/" |
             while read -r f; do
                 grep -hE '^#include "db/(sqlite|jet|server)/' "$f" |
                     grep -vq "\"db/$backend/" && echo "$f"
             done)
    [ -z "$others" ] || report "src/db/$backend include da un altro formato degli archivi: $others"
done

writer=$(grep -rlE '#include "db/writer/' "$src" | grep -v "^$src/db/writer/")
[ -z "$writer" ] || report "codice di scrittura degli archivi usato dal prodotto: $writer"

for exe in "$@"; do
    if nm -C "$exe" | grep -q 'tableau::db::writer::'; then
        report "$(basename "$exe") contiene codice di scrittura degli archivi"
    fi
done
exit $fail

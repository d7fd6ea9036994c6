#!/usr/bin/env bash
# The layers hold: Qt only in src/app, src/gui and src/print/qt; nothing below includes
# from src/app or src/gui; no layer includes from one above it; the product executables
# carry no writer code. Usage: check_layers.sh SOURCE_DIR [EXECUTABLE...]
set -uo pipefail
src="$1/src"
shift
fail=0
report() { echo "$1"; fail=1; }

qt=$(grep -rlE '^#include <Q' "$src" | grep -vE "^$src/(app|gui|print/qt)/")
[ -z "$qt" ] || report "Qt incluso fuori da src/app, src/gui e src/print/qt: $qt"

# Each layer and the folders it may include from.
declare -A allowed=(
    [routines]="routines"
    [db]="routines db"
    [chart]="routines db chart"
    [print]="routines db chart print"
    [preview]="routines db chart print preview"
    [mail]="routines db chart print preview mail"
    [gui]="routines db chart print preview mail gui"
    [app]="routines db chart print preview mail gui app"
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
writer=$(grep -rlE '#include "db/writer/' "$src" | grep -v "^$src/db/writer/")
[ -z "$writer" ] || report "codice di scrittura degli archivi usato dal prodotto: $writer"

for exe in "$@"; do
    if nm -C "$exe" | grep -q 'tableau::db::writer::'; then
        report "$(basename "$exe") contiene codice di scrittura degli archivi"
    fi
done
exit $fail

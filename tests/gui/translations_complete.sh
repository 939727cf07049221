#!/usr/bin/env bash
# Every text of src/gui is in each translation file, translated: lupdate run over the sources
# into a copy of each .ts must change nothing, and no entry may be unfinished. A text added
# without its translation (or a translation left for a text that is gone) fails here.
# Usage: translations_complete.sh LUPDATE SOURCE_DIR LUPDATE_OPTIONS...
set -euo pipefail
lupdate=$1
sources=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$sources"/i18n/*.ts; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    (cd "$sources" && "$lupdate" "$@" . -ts "$copy") >"$work/lupdate.log" 2>&1 || {
        cat "$work/lupdate.log"
        exit 1
    }
    if grep -q 'Qualifying with unknown\|lacks Q_OBJECT' "$work/lupdate.log"; then
        echo "$(basename "$ts"): lupdate cannot tell the context of a text:"
        grep 'Qualifying with unknown\|lacks Q_OBJECT' "$work/lupdate.log"
        status=1
    fi
    if ! diff -u "$ts" "$copy"; then
        echo "$(basename "$ts"): the sources' texts differ from the file's (new or gone texts" \
             "above); run: cmake --build build --target qavix_gui_lupdate, then translate"
        status=1
    fi
    if grep -n 'type="unfinished"' "$ts"; then
        echo "$(basename "$ts"): unfinished translations above"
        status=1
    fi
done
exit $status

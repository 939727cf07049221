#!/usr/bin/env bash
# The message catalogues of the Qt-free side (docs/i18n.md):
#   po/catalogue.sh update   every QX_, N_ and QXN_ text of src/ into po/qavix.pot, merged into
#                            each po/<language>.po (new texts untranslated, gone ones dropped)
#   po/catalogue.sh check    fails when a text of src/ is missing from po/qavix.pot or from a
#                            po/<language>.po, or is untranslated or fuzzy there (a ctest)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

extract() {
    # File locations without line numbers, so that an edit elsewhere in a file does not
    # change every catalogue. %1..%9 are i18n::fill's, never printf's.
    find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort |
        xgettext --from-code=UTF-8 --language=C++ --files-from=- -o "$1" \
            -k -kQX_ -kN_ -kQXN_:1,2 -kQXC_:1c,2 \
            --flag=QX_:1:no-c-format --flag=N_:1:no-c-format \
            --flag=QXN_:1:no-c-format --flag=QXN_:2:no-c-format --flag=QXC_:2:no-c-format \
            --add-location=file --sort-by-file --no-wrap \
            --package-name=qavix --msgid-bugs-address=qavix@example.org
    # The date of each extraction would change every catalogue each time.
    sed -i '/^"POT-Creation-Date: /d' "$1"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

case "${1:-}" in
update)
    extract po/qavix.pot
    for po in po/*.po; do
        msgmerge --quiet --no-wrap --add-location=file --sort-by-file --no-fuzzy-matching \
            -o "$tmp/merged.po" "$po" po/qavix.pot
        msgattrib --no-wrap --no-obsolete -o "$po" "$tmp/merged.po"
        sed -i '/^"POT-Creation-Date: /d' "$po"
    done
    ;;
check)
    extract "$tmp/qavix.pot"
    status=0
    # Every text of the sources in the template of the tree (it may carry none that is gone).
    msgcmp --use-untranslated po/qavix.pot "$tmp/qavix.pot" || status=1
    for po in po/*.po; do
        # Missing, untranslated or fuzzy: each is reported with its text.
        msgcmp "$po" "$tmp/qavix.pot" || status=1
    done
    if [ $status -ne 0 ]; then
        echo "catalogue.sh: run po/catalogue.sh update and translate what it left empty" >&2
    fi
    exit $status
    ;;
*)
    echo "usage: po/catalogue.sh update|check" >&2
    exit 64
    ;;
esac

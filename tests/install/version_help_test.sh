#!/usr/bin/env bash
# One version everywhere, and --help and --version that work without a display and agree
# with the man pages: each program prints "NAME VERSION" and its options with no display
# and no Qt platform set; the man pages, the AppStream release and the package changelog
# carry the same version; every long option a program's --help lists is in its man page,
# and every one the man page lists is in --help.
set -euo pipefail

build=$1
source_dir=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/qavix-version-XXXXXX")
trap 'rm -rf "$work"' EXIT

version=$(cat "$build/version/version.txt")
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+(\+g[0-9a-f]{7,})?$ ]] || fail "version text '$version'"
base=$(sed -n 's/^project(Qavix VERSION \([0-9.]*\) .*/\1/p' "$source_dir/CMakeLists.txt")
[ "${version%%+*}" = "$base" ] || fail "version $version is not the project's $base"
if git -C "$source_dir" rev-parse --show-toplevel > /dev/null 2>&1 &&
   [ "$(realpath "$(git -C "$source_dir" rev-parse --show-toplevel)")" = "$(realpath "$source_dir")" ]; then
    commit=$(git -C "$source_dir" rev-parse --short=7 HEAD)
    [ "$version" = "$base+g$commit" ] || fail "version $version does not name the checkout's commit $commit"
fi
echo "version $version"

# The version script itself on trees of each kind: a checkout names its commit; a tree
# without git, a folder inside another repository, or a machine without git give the plain
# version. The changelog's date line comes from the release date.
version_of() {  # SOURCE_DIR GIT RELEASE_DATE -> the version, then the filled template
    rm -rf "$work/out"
    printf '%s' "$work/template|$work/out/filled.gz" > "$work/templates"
    cmake -DSOURCE_DIR="$1" -DGIT="$2" -DVERSION=9.8.7 -DRELEASE_DATE="$3" \
          -DVERSION_FILE="$work/out/version.txt" -DTEMPLATES="$work/templates" \
          -P "$source_dir/cmake/VersionFiles.cmake" > "$work/script.log" 2>&1 ||
        { cat "$work/script.log"; fail "VersionFiles.cmake on $1"; }
    cat "$work/out/version.txt"
    zcat "$work/out/filled.gz"
}
if command -v git > /dev/null; then
    printf '%s\n' '@QAVIX_VERSION@ @QAVIX_RELEASE_DATE@ @QAVIX_RELEASE_DATE_RFC2822@' > "$work/template"
    mkdir -p "$work/repo/inner" "$work/plain"
    git -C "$work/repo" init -q
    git -C "$work/repo" -c user.name=t -c user.email=t@localhost commit -q --allow-empty -m x
    head=$(git -C "$work/repo" rev-parse --short=7 HEAD)
    git_bin=$(command -v git)
    expect() {
        [ "$(version_of "$1" "$2" "$3" | tr '\n' '|')" = "$4" ] ||
            fail "version of $1 (git '$2', $3): $(version_of "$1" "$2" "$3" | tr '\n' '|'), not $4"
    }
    expect "$work/repo" "$git_bin" 2026-12-07 \
        "9.8.7+g$head|9.8.7+g$head 2026-12-07 Mon, 07 Dec 2026 12:00:00 +0000|"
    expect "$work/repo/inner" "$git_bin" 2024-02-29 "9.8.7|9.8.7 2024-02-29 Thu, 29 Feb 2024 12:00:00 +0000|"
    expect "$work/plain" "$git_bin" 2000-03-01 "9.8.7|9.8.7 2000-03-01 Wed, 01 Mar 2000 12:00:00 +0000|"
    expect "$work/repo" "" 1999-12-31 "9.8.7|9.8.7 1999-12-31 Fri, 31 Dec 1999 12:00:00 +0000|"
    echo "version script: checkout, folder in another repository, no checkout, no git"
fi

# No display of any kind: what a service PC over ssh or a package check has. The man pages
# are English, so the help they are held against is asked for in English.
bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM QAVIX_LANG=en "$@"; }

# The long options in a text: "--name" words, roff's "\-\-" read as "--".
long_options() {
    sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$1" | grep -o -- '--[a-z][a-z-]*[a-z]' | sort -u
}

for program in qavix qavixctl qavix-sim; do
    binary=$build/bin/$program
    [ -x "$binary" ] || { echo "$program not built, skipped"; continue; }
    out=$(bare "$binary" --version 2> "$work/err") || fail "$program --version exits $? ($(cat "$work/err"))"
    [ "$out" = "$program $version" ] || fail "$program --version printed '$out'"
    [ ! -s "$work/err" ] || fail "$program --version wrote to standard error: $(cat "$work/err")"

    bare "$binary" --help > "$work/help" 2> "$work/err" || fail "$program --help exits $?"
    grep -q '^Usage: ' "$work/help" || fail "$program --help printed no usage"
    [ ! -s "$work/err" ] || fail "$program --help wrote to standard error: $(cat "$work/err")"
    # qavixctl: every command's help as well, since its man page covers them all.
    if [ "$program" = qavixctl ]; then
        for command in info errors clock scan levels monitor "bank check" "bank show" \
                       "bank diff" "bank report" "bank export" "bank import" \
                       "fleet backup" "fleet check" "fleet restore" "fleet history" "fleet diff" \
                       journal "journal verify" "plant status"; do
            # shellcheck disable=SC2086 # the command is two words on purpose
            bare "$binary" $command --help >> "$work/help" || fail "qavixctl $command --help"
        done
        commands=$(sed -n '/^Subcommands:/,/^$/s/^  \([a-z]*\) .*/\1/p' "$work/help" | sort -u)
    fi

    page=$build/version/man/$program.1
    [ -f "$page" ] || fail "no man page for $program"
    title=$(head -1 "$page")
    [[ $title == *"\"Qavix $version\""* ]] || fail "$program.1 shows $title"
    if ! diff <(long_options "$work/help") <(long_options "$page") > "$work/diff"; then
        echo "< only in --help, > only in the man page:"
        cat "$work/diff"
        fail "$program --help and $program.1 list different options"
    fi
    if [ "$program" = qavixctl ]; then
        for command in $commands; do
            # A subcommand is described after its command ("journal verify").
            grep -q "^\.B[I]* \"\?\([a-z]* \)\?${command}[ \"]\|^\.B \([a-z]* \)\?${command}$" "$page" ||
                fail "qavixctl.1 does not describe the command $command"
        done
    fi
    if command -v man > /dev/null; then
        LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$build/version/man/$program.1.gz" > "$work/man.txt" 2> "$work/err" ||
            fail "$program.1.gz does not format"
        ! grep -q . "$work/err" || fail "$program.1.gz: $(cat "$work/err")"
        grep -q "Qavix $version" "$work/man.txt" || fail "$program.1.gz does not show the version"
    fi
    echo "$program: --version, --help and $program.1 agree"
done

grep -qF "<release version=\"$version\" date=\"" "$build/version/org.qavix.Qavix.metainfo.xml" ||
    fail "the AppStream release is not $version"
first=$(zcat "$build/version/changelog.gz" | sed -n 1p)
[[ $first == "qavix ($version) "* ]] || fail "the package changelog starts with $first"
echo "AppStream release and package changelog: $version"

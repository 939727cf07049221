#!/usr/bin/env bash
# The Debian package as a plant's maintenance PC meets it: builds it (scripts/package.sh),
# checks that it holds exactly what the install rules install, lints it (an error or a
# warning that is not overridden fails), installs it with apt-get, runs the installed
# programs against the built-in emulator, purges it, and checks that nothing of it is left
# under /usr, /etc or /lib and that no other package came or went.
#
# Needs root (or sudo) for apt-get. Refuses to run where a package qavix is installed
# already, since it would replace and then purge it.
set -euo pipefail
cd "$(dirname "$0")/.."
build="build-release"
SUDO=()
if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo); fi
fail() { echo "FAIL: $*" >&2; exit 1; }

# (Pipelines into grep -q are avoided: with pipefail, the writer's SIGPIPE would fail them.)
status() { dpkg-query -W -f='${Status}' qavix 2> /dev/null || true; }
if [ -n "$(status)" ] && [ "$(status)" != "unknown ok not-installed" ]; then
    fail "a package qavix is installed on this machine; the test would replace and purge it"
fi

scripts/package.sh "$build"
package=$(ls "$build"/qavix_*.deb)
version=$(cat "$build/version/version.txt")
[ "$(dpkg-deb -f "$package" Version)" = "$version" ] ||
    fail "package version $(dpkg-deb -f "$package" Version), programs $version"
echo "package: $package"

work=$(mktemp -d "${TMPDIR:-/tmp}/qavix-package-XXXXXX")
installed=false
enabled_link=
cleanup() {
    if $installed; then "${SUDO[@]}" apt-get purge -y -q qavix > /dev/null 2>&1 || true; fi
    if [ -n "$enabled_link" ]; then "${SUDO[@]}" rm -f "$enabled_link"; fi
    rm -rf "$work"
}
trap cleanup EXIT

# The package holds what `cmake --install` installs, file for file.
cmake --install "$build" --prefix "$work/stage/usr" > /dev/null
(cd "$work/stage" && find . ! -type d | sed 's|^\./|/|' | sort) > "$work/install.list"
dpkg-deb --fsys-tarfile "$package" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort > "$work/package.list"
if ! diff "$work/install.list" "$work/package.list"; then
    fail "the package's files differ from the install rules' (< install, > package)"
fi
echo "package files: $(wc -l < "$work/package.list"), the same as the install rules'"

# lintian leaves a file of its own in the temporary folder.
mkdir "$work/lintian"
TMPDIR="$work/lintian" lintian --fail-on error,warning --display-level '>=warning' \
    --tag-display-limit 0 "$package" || fail "lintian"
echo "lintian: no errors or warnings left"

# What the machine holds, to compare after the purge. /lib is /usr/lib where /usr is merged.
roots=(/usr /etc)
[ -L /lib ] || roots+=(/lib)
snapshot() {
    find "${roots[@]}" -xdev 2> /dev/null | sort > "$1"
    dpkg-query -W -f='${Package} ${Version} ${Status}\n' | sort > "$1.packages"
}
snapshot "$work/before"

# As a user installs it; recommends left out so no other package comes with it.
installed=true
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "./$package" > "$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get install ./$package"; }
[ "$(status)" = "install ok installed" ] || fail "qavix is not installed: $(status)"
# The MIME and desktop databases learnt of bank files through their dpkg triggers.
[ -f /usr/share/mime/application/x-qavix-bank.xml ] || fail "the MIME database has no bank files"
grep -q "application/x-qavix-bank=.*qavix-bank.desktop" /usr/share/applications/mimeinfo.cache ||
    fail "the desktop database does not open bank files with qavix"

# The installed programs, from a folder of their own, with no display and no build tree.
run=$work/run
mkdir "$run"
cd "$run"
# Qt's runtime folder: one of the test's own, not runtime-$USER left in the temporary folder.
mkdir -m 700 "$work/runtime"
bare() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u QAVLINK_LIBRARY \
        XDG_RUNTIME_DIR="$work/runtime" "$@"
}
for program in qavix qavixctl qavix-sim; do
    [ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$program is not /usr/bin/$program"
    out=$(bare "$program" --version) || fail "installed $program --version"
    [ "$out" = "$program $version" ] || fail "installed $program --version printed '$out'"
    man -w "$program" > /dev/null 2>&1 || ! command -v man > /dev/null || fail "no man page for $program"
done
echo "installed programs: version $version"
bare env QAVLINK_COM1=sim qavixctl info --port COM1 > info.txt 2> info.err ||
    { cat info.err; fail "installed qavixctl info against the built-in emulator"; }
grep -q "センサ" info.txt || fail "installed qavixctl info printed no sensors"
echo "installed qavixctl info: $(grep -c . info.txt) lines"
bare env QAVLINK_COM1=sim qavix --print-report "$run/report.pdf" > report.out 2>&1 ||
    { cat report.out; fail "installed qavix --print-report"; }
[ "$(head -c 4 "$run/report.pdf")" = "%PDF" ] || fail "the report is no PDF"
if command -v pdftotext > /dev/null; then
    pdftotext "$run/report.pdf" report.txt
    grep -q "基本情報" report.txt || fail "the report holds no basic information"
fi
echo "installed qavix --print-report: $(stat -c %s "$run/report.pdf") bytes"
cd /

# A monitor enabled as `systemctl enable qavix-monitor@line7` leaves a link; the purge takes
# it away with the unit it points at.
wants=/etc/systemd/system/multi-user.target.wants
link=$wants/qavix-monitor@line7.service
if [ -d "$wants" ] && [ -f /usr/lib/systemd/system/qavix-monitor@.service ] && [ ! -L "$link" ]; then
    "${SUDO[@]}" ln -s /usr/lib/systemd/system/qavix-monitor@.service "$link"
    enabled_link=$link
fi

"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q qavix > "$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get purge qavix"; }
installed=false
snapshot "$work/after"
if ! diff "$work/before" "$work/after"; then
    fail "the purge left the machine changed under ${roots[*]} (< gone, > new)"
fi
if ! diff "$work/before.packages" "$work/after.packages"; then
    fail "installing and purging qavix changed other packages"
fi
while read -r path; do
    [ ! -e "$path" ] || grep -qxF "$path" "$work/before" || fail "left after the purge: $path"
done < "$work/package.list"
echo "purged: nothing of the package left, no other package changed"

#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it: the file list, the desktop
# validators, qavixctl and qavix from a folder of their own against the built-in emulator.
set -euo pipefail

build=$1
stage=$(mktemp -d "${TMPDIR:-/tmp}/qavix-install-XXXXXX")
qavix_pid=
cleanup() {
    if [ -n "$qavix_pid" ]; then kill "$qavix_pid" 2>/dev/null || true; wait "$qavix_pid" 2>/dev/null || true; fi
    rm -rf "$stage"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$stage/usr
cmake --install "$build" --prefix "$prefix" > "$stage/install.log" || { cat "$stage/install.log"; fail "cmake --install"; }

expected=(
    bin/qavix bin/qavixctl bin/qavix-sim lib/qavix/libqavlink.so
    share/applications/qavix.desktop share/applications/qavix-bank.desktop
    share/mime/packages/qavix.xml share/metainfo/org.qavix.Qavix.metainfo.xml
    share/icons/hicolor/scalable/apps/qavix.svg share/icons/hicolor/48x48/apps/qavix.png
    share/icons/hicolor/256x256/apps/qavix.png lib/udev/rules.d/60-qavix-serial.rules
    share/man/man1/qavix.1.gz share/man/man1/qavixctl.1.gz share/man/man1/qavix-sim.1.gz
    share/doc/qavix/manual/index.html share/doc/qavix/manual/en/index.html
    share/doc/qavix/copyright share/doc/qavix/changelog.gz
    lib/systemd/system/qavix-monitor@.service share/doc/qavix/monitor.conf.example
    share/doc/qavix/monitor.md share/doc/qavix/plant.md share/doc/qavix/settings-text.md
    share/doc/qavix/plant-view.md
    lib/systemd/system/qavix-fleet-backup@.service lib/systemd/system/qavix-fleet-backup@.timer
    share/doc/qavix/fleet-backup.conf.example share/doc/qavix/fleet-history.md
    share/qavix/hooks/fleet-mail-hook share/qavix/hooks/fleet-webhook-hook share/doc/qavix/journal.md
)
for f in "${expected[@]}"; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
for f in qavix qavixctl qavix-sim; do
    [ -x "$prefix/bin/$f" ] || fail "not executable: bin/$f"
done
echo "installed: ${#expected[@]} files checked"

desktop-file-validate "$prefix/share/applications/qavix.desktop" \
    "$prefix/share/applications/qavix-bank.desktop" || fail "desktop-file-validate"
grep -q '^MimeType=application/x-qavix-bank;' "$prefix/share/applications/qavix-bank.desktop" \
    || fail "the bank entry does not open bank files"
appstreamcli validate --no-net "$prefix/share/metainfo/org.qavix.Qavix.metainfo.xml" \
    || fail "appstreamcli validate"
if command -v xmllint > /dev/null; then
    xmllint --noout "$prefix/share/mime/packages/qavix.xml" || fail "MIME file is not XML"
fi
if udevadm verify --help > /dev/null 2>&1; then
    udevadm verify "$prefix/lib/udev/rules.d/60-qavix-serial.rules" || fail "udevadm verify"
else
    echo "udevadm verify: not in this udev ($(udevadm --version 2>/dev/null || echo none)), skipped"
fi
# The unit as systemd reads it, with the programs at the paths it names.
if command -v systemd-analyze > /dev/null; then
    unit_root=$stage/unit-root
    mkdir -p "$unit_root/etc/systemd/system" "$unit_root/usr/bin"
    sed "s|/usr/bin/qavixctl|$prefix/bin/qavixctl|" "$prefix/lib/systemd/system/qavix-monitor@.service" \
        > "$unit_root/etc/systemd/system/qavix-monitor@.service"
    cp "$unit_root/etc/systemd/system/qavix-monitor@.service" "$unit_root/etc/systemd/system/qavix-monitor@line7.service"
    # The fleet backup's timer and service, as one plant's instance.
    for kind in service timer; do
        sed "s|/usr/bin/qavixctl|$prefix/bin/qavixctl|" "$prefix/lib/systemd/system/qavix-fleet-backup@.$kind" \
            > "$unit_root/etc/systemd/system/qavix-fleet-backup@hall-a.$kind"
    done
    verify_log=$stage/verify.log
    if ! SYSTEMD_LOG_LEVEL=warning systemd-analyze verify --man=no \
            "$unit_root/etc/systemd/system/qavix-monitor@line7.service" \
            "$unit_root/etc/systemd/system/qavix-fleet-backup@hall-a.service" \
            "$unit_root/etc/systemd/system/qavix-fleet-backup@hall-a.timer" > "$verify_log" 2>&1; then
        cat "$verify_log"; fail "systemd-analyze verify"
    fi
    # Unknown keys and bad values are only warned about.
    if [ -s "$verify_log" ]; then
        cat "$verify_log"; fail "systemd-analyze verify warns about the units"
    fi
    echo "systemd-analyze verify: the monitor and fleet backup units are clean"
    # A configuration the monitor refuses is not retried for ever, and memory has a fence.
    unit=$prefix/lib/systemd/system/qavix-monitor@.service
    usage_status=0
    "$prefix/bin/qavixctl" monitor > /dev/null 2>&1 || usage_status=$?
    [ "$usage_status" -ne 0 ] || fail "qavixctl monitor without a broker did not fail"
    grep -Eq "^RestartPreventExitStatus=(.* )?$usage_status( |\$)" "$unit" \
        || fail "the unit restarts a configuration error (exit $usage_status)"
    grep -Eq '^MemoryMax=[0-9]+[KMG]$' "$unit" || fail "the unit has no MemoryMax"
    # Each instance runs as a dynamic user of its own, and systemd gives a state folder to
    # the instance that starts last: a folder shared by instances is taken from the others.
    for template in qavix-monitor@.service qavix-fleet-backup@.service; do
        grep -Eq '^StateDirectory=[^ ]*%i$' "$prefix/lib/systemd/system/$template" \
            || fail "$template shares its state folder between instances"
    done
else
    echo "systemd-analyze: not on this machine, skipped"
fi
for page in qavix qavixctl qavix-sim; do
    man -l "$prefix/share/man/man1/$page.1.gz" > /dev/null 2>&1 || ! command -v man > /dev/null \
        || fail "man page $page.1.gz does not format"
done

# The installed programs from a folder of their own, without the build tree.
work=$stage/work
mkdir -p "$work"
cd "$work"
unset QAVLINK_LIBRARY
QAVLINK_COM1=sim "$prefix/bin/qavixctl" info --port COM1 > info.txt 2> info.err \
    || { cat info.err; fail "installed qavixctl info"; }
grep -q "センサ" info.txt || fail "qavixctl info printed no sensors"

printf '[Option]\r\nSplash=0\r\n' > Qavix.ini
log=$work/requests.log
# Its single-instance socket goes into the stage, which goes when the test ends.
TMPDIR="$stage" QT_QPA_PLATFORM=offscreen QAVLINK_COM1="sim:--log $log" "$prefix/bin/qavix" > qavix.out 2>&1 &
qavix_pid=$!
# Start-up reads everything (over a hundred requests) once the library is found.
for _ in $(seq 1 150); do
    if [ -f "$log" ] && [ "$(wc -l < "$log")" -gt 100 ]; then break; fi
    kill -0 "$qavix_pid" 2>/dev/null || { cat qavix.out; fail "installed qavix ended early"; }
    sleep 0.2
done
[ -f "$log" ] && [ "$(wc -l < "$log")" -gt 100 ] || { cat qavix.out; fail "installed qavix did not read the emulator"; }
echo "installed qavix read $(wc -l < "$log") requests from the emulator"

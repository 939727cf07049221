#!/usr/bin/env bash
# Installs what is missing, builds, and runs Qavix against the built-in controller
# emulator (COM1 resolved to "sim"). Extra arguments go to the program; with
# "--edit FILE.qbk" the program edits that bank file on the emulator instead.
set -euo pipefail
# The file of --edit is named from where the script was called; make it absolute before
# moving to the project folder.
args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --edit)
            args+=("$1")
            shift
            if [ $# -gt 0 ]; then args+=("$(realpath -m -- "$1")"); shift; fi
            ;;
        --edit=*) args+=("--edit=$(realpath -m -- "${1#--edit=}")"); shift ;;
        *) args+=("$1"); shift ;;
    esac
done
set -- ${args[@]+"${args[@]}"}
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
export QAVLINK_COM1="${QAVLINK_COM1:-sim}"
if [ -x build/bin/qavix ]; then
    exec build/bin/qavix "$@"
fi
exec build/bin/qavixctl --help

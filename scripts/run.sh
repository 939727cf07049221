#!/usr/bin/env bash
# Installs what is missing, builds, and runs Qavix against the built-in controller
# emulator (COM1 resolved to "sim"). Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
export QAVLINK_COM1="${QAVLINK_COM1:-sim}"
if [ -x build/bin/qavix ]; then
    exec build/bin/qavix "$@"
fi
exec build/bin/qavixctl --help

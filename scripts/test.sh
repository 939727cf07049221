#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then builds the program
# without its GUI again with clang under AddressSanitizer and UndefinedBehaviorSanitizer,
# runs the tests of core, link, sim, comm and cli there, and runs every fuzz target for a
# bounded time (scripts/fuzz.sh runs them longer).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

# Without XDG_RUNTIME_DIR Qt makes a runtime folder of its own in the temporary folder
# (runtime-$USER) and leaves it there; the tests get one of theirs, made here and removed
# with everything in it when the run ends.
runtime=$(mktemp -d "${TMPDIR:-/tmp}/qavix-runtime-XXXXXX")
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime"

jobs=$(nproc)
# A compiler cache, where the machine has one, makes a rebuild of unchanged files free.
launcher=()
if command -v ccache > /dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    # Paths inside the source folder count relative to it, so a clone in another folder
    # (a CI run) finds the objects of an earlier one.
    export CCACHE_BASEDIR=$PWD
fi
# A test that hangs fails after this many seconds instead of holding the run.
timeout=600
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQAVIX_WERROR=ON "${launcher[@]}"
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" --timeout "$timeout")

CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQAVIX_BUILD_GUI=OFF \
      -DQAVIX_SANITIZE=ON -DQAVIX_FUZZ=ON -DQAVIX_BUILD_BENCH=OFF -DQAVIX_WERROR=ON \
      "${launcher[@]}"
cmake --build build-asan -j"$jobs"
# The fault matrix waits on the line more than it computes; the first build runs it.
(cd build-asan && LSAN_OPTIONS="suppressions=$PWD/../tests/lsan.supp" \
    ctest --output-on-failure -j"$jobs" --timeout "$timeout" -E FaultMatrix)
scripts/fuzz.sh "${QAVIX_FUZZ_SECONDS:-20}" build-asan

#!/usr/bin/env bash
# Runs every fuzz target the build has (each fuzz_* program it makes, so a new target in
# fuzz/CMakeLists.txt is run without being named here) for SECONDS each (default 300) on its
# seed inputs of fuzz/corpus/<target>/. New inputs and any finding go to a temporary folder;
# a finding is copied to BUILD/fuzz-findings/ to reproduce it (BUILD/bin/fuzz_<target> FILE)
# and fails the run. Configures BUILD first (clang, ASan, UBSan) when it is not yet.
#
#   scripts/fuzz.sh [SECONDS] [BUILD]          # BUILD defaults to build-fuzz
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
build=${2:-build-fuzz}
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DQAVIX_BUILD_GUI=OFF \
        -DQAVIX_SANITIZE=ON -DQAVIX_FUZZ=ON -DQAVIX_BUILD_BENCH=OFF -DQAVIX_BUILD_TESTS=OFF
fi
cmake --build "$build" -j"$(nproc)"
targets=()
for program in "$build"/bin/fuzz_*; do
    [ -x "$program" ] && targets+=("${program##*/fuzz_}")
done
if [ ${#targets[@]} -eq 0 ]; then
    echo "$build holds no fuzz target: configure it with -DQAVIX_FUZZ=ON and clang"
    exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/qavix-fuzz-XXXXXX")
trap 'rm -rf "$work"' EXIT

status=0
for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
    seeds=()
    [ -d "fuzz/corpus/$target" ] && seeds=("fuzz/corpus/$target")
    log="$work/$target.log"
    # The first folder takes new inputs, so the seeds in the tree are only read.
    if ! "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/$target-" \
        "$work/$target" "${seeds[@]}" >"$log" 2>&1; then
        tail -n 40 "$log"
        mkdir -p "$build/fuzz-findings"
        cp "$work/$target"-* "$build/fuzz-findings/" 2>/dev/null || true
        echo "fuzz_$target: FINDING (inputs in $build/fuzz-findings/)"
        status=1
        continue
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$target: ${runs:-?} executions in $seconds s, no finding"
done
exit $status

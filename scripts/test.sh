#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then builds the core
# tests again under AddressSanitizer and UndefinedBehaviorSanitizer and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQAVIX_WERROR=ON
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQAVIX_CORE_ONLY=ON -DQAVIX_SANITIZE=ON \
      -DQAVIX_BUILD_BENCH=OFF -DQAVIX_WERROR=ON
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs")

#!/usr/bin/env bash
# Builds the Debian package qavix_VERSION_ARCH.deb: a release tree (default build-release/)
# with Debian's build flags and no tests, then CPack's DEB generator over its install
# rules (cmake/Packaging.cmake). Prints the package's path as the last line.
#
#   scripts/package.sh [BUILD_FOLDER]
#   sudo apt install ./build-release/qavix_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
scripts/setup.sh

launcher=()
if command -v ccache > /dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    # Paths inside the source folder count relative to it, so a clone in another folder
    # (a CI run) finds the objects of an earlier one despite the absolute paths that
    # Debian's flags name.
    export CCACHE_BASEDIR=$PWD
fi
# The flags every Debian package is built with (optimisation, hardening, reproducible
# paths), as debhelper hands them to CMake: CPPFLAGS go with the compiler flags.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS" LDFLAGS
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
      -DQAVIX_BUILD_TESTS=OFF -DQAVIX_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/qavix_*.deb
(cd "$build" && cpack -G DEB > cpack.log) || { cat "$build/cpack.log"; exit 1; }
package=$(ls "$build"/qavix_*.deb)
echo "$package"

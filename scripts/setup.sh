#!/usr/bin/env bash
# Installs the Debian packages Qavix needs to build, run and test; only what is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
    qt6-base-dev libgl-dev
    fonts-noto-cjk python3-fonttools
    xvfb xauth
    clang libclang-rt-14-dev
    poppler-utils
    qt6-translations-l10n python3-markdown qt6-l10n-tools qt6-tools-dev
    desktop-file-utils appstream udev
    libmosquitto-dev mosquitto mosquitto-clients openssl libssl-dev
    dbus-daemon
    libicu-dev
    locales
    ser2net
    libgit2-dev git python3-prometheus-client
    gettext
    dpkg-dev lintian
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

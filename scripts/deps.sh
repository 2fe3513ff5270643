#!/usr/bin/env bash
# Installs the Debian packages that are missing; quick when everything is already there.
# Usage: scripts/deps.sh run|test
set -euo pipefail

run_packages=(
    g++ cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libgl-dev libisofs-dev qt6-wayland
    libwayland-dev wayland-protocols libfontconfig-dev
    fonts-liberation2 adwaita-icon-theme hicolor-icon-theme shared-mime-info xdg-utils
    xvfb xauth x11-utils imagemagick libfuse3-dev fuseiso fuse3
)
test_packages=(
    xdotool xorriso openbox clang-14 libclang-rt-14-dev desktop-file-utils weston
    dbus-daemon at-spi2-core python3-gi gir1.2-atspi-2.0 sway
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 reuse
    libgdk-pixbuf-2.0-0 librsvg2-common
)

packages=("${run_packages[@]}")
if [[ "${1:-run}" == test ]]; then
    packages+=("${test_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

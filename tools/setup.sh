#!/usr/bin/env bash
# Installs what building, running and testing need on Debian or Ubuntu; does nothing when all is there.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang libclang-rt-14-dev clang-tidy cppcheck
    libsdl2-dev libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
    googletest libgtest-dev
    xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-apps xdotool imagemagick
    libx11-dev libxrandr-dev libxcb1-dev libxtst-dev libxkbcommon-dev x11-utils xauth openbox wmctrl weston
    xwayland sway grim wtype mutter dbus python3-gi pipewire wireplumber gstreamer1.0-pipewire
    gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    kwin-wayland plasma-wayland-protocols libwayland-dev
    g++-mingw-w64-x86-64 wine64 wine
    dpkg-dev lintian desktop-file-utils appstream groff-base
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

#!/usr/bin/env bash
# Installs what building and running need on Debian or Ubuntu (`setup.sh run`), or that and what
# every test needs (`setup.sh`, or `setup.sh test`); does nothing when all is there. Where SDL3 is
# packaged the build takes it, SDL2 otherwise. Names follow
# no one compiler release, so the same list serves Debian 12, 13 and testing. A test package the
# release does not have (Wine is not in every one) is left out with one line; its tests then say
# they are skipped.
set -euo pipefail

run_packages=(
    build-essential cmake pkg-config
    libsdl3-dev libsdl2-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libxext-dev libwayland-dev
    libx11-dev libxrandr-dev libxcb1-dev libxkbcommon-dev
)
test_packages=(
    clang libclang-rt-dev clang-tidy cppcheck
    libegl-dev libegl-mesa0 googletest libgtest-dev libxtst-dev
    xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-apps xdotool imagemagick
    x11-utils xauth openbox wmctrl weston
    xwayland sway grim wtype mutter dbus python3-gi pipewire wireplumber gstreamer1.0-pipewire
    gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    kwin-wayland plasma-wayland-protocols
    g++-mingw-w64-x86-64 wine64 wine
    passwd dpkg-dev lintian desktop-file-utils appstream groff-base
)
optional_packages=" wine64 wine libsdl3-dev "  # not packaged in every release (SDL3 from Debian 13 on)
packages=("${run_packages[@]}")
[ "${1:-test}" = run ] || packages+=("${test_packages[@]}")

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'; }
missing=()
for package in "${packages[@]}"; do installed "$package" || missing+=("$package"); done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
wanted=()
for package in "${missing[@]}"; do
    if [[ "$optional_packages" == *" $package "* ]] &&
        [[ "$(apt-cache policy "$package" 2>/dev/null)" != *"Candidate: "[^\(]* ]]; then
        echo "not packaged in this release, its tests are skipped: $package"
        continue
    fi
    wanted+=("$package")
done
[ ${#wanted[@]} -eq 0 ] && exit 0
echo "installing: ${wanted[*]}"
$sudo apt-get install -y -qq --no-install-recommends "${wanted[@]}" >/dev/null

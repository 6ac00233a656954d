#!/usr/bin/env bash
# Builds the program and runs its unit and desktop tests inside a chroot of a newer Debian release,
# as a user of that release has it: its compiler, SDL, Mesa, X servers and compositors.
# Usage: test-release.sh RELEASE [CTEST ARGUMENTS...], RELEASE trixie (Debian 13) or testing.
# The chroot is made with mmdebstrap when missing and kept in /var/cache/tolvaren/RELEASE; each run
# installs what tools/setup.sh asks for there. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
release=${1:?usage: test-release.sh trixie|testing [ctest arguments]}
shift
[ "$(id -u)" -eq 0 ] || { echo "SKIP: the $release chroot needs root"; exit 0; }
root=/var/cache/tolvaren/$release
apt_options=()
# The archive serves testing with a Release file past its date.
[ "$release" = testing ] && apt_options=(--aptopt='Acquire::Check-Valid-Until "false"')

if [ ! -x "$root/usr/bin/apt-get" ]; then
    command -v mmdebstrap >/dev/null || { apt-get update -qq && apt-get install -y -qq mmdebstrap >/dev/null; }
    echo "making the $release chroot in $root"
    rm -rf "$root.new"
    mkdir -p "$(dirname "$root")"
    mmdebstrap --quiet --variant=apt "${apt_options[@]}" --include=ca-certificates "$release" "$root.new"
    printf '#!/bin/sh\nexit 101\n' >"$root.new/usr/sbin/policy-rc.d"  # no services start inside
    chmod +x "$root.new/usr/sbin/policy-rc.d"
    mv "$root.new" "$root"
fi

# The sources as they stand here, with the build kept between runs.
rm -rf "$root/root/tolvaren"
mkdir -p "$root/root/tolvaren"
git ls-files -z --cached --others --exclude-standard | xargs -0 tar -cf - --no-recursion 2>/dev/null |
    tar -xf - -C "$root/root/tolvaren"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

# The chroot's /tmp, fresh each run, is this folder: the screens and logs of a failed case stay there.
kept=/tmp/tolvaren-$release
rm -rf "$kept" && mkdir -p "$kept" && chmod 1777 "$kept"
install -d -m 1777 "$kept/.X11-unix"  # as a booted system has it

# What runs inside, with ctest's arguments one a line.
: >"$root/root/ctest-arguments"
[ $# -eq 0 ] || printf '%s\n' "$@" >"$root/root/ctest-arguments"
# The SDL3 driver on both; on testing also the SDL2 driver, there over sdl2-compat. Under the SDL3
# driver mutter keeps a full-screen window at a 3840 x 2160 output's size through Xwayland, whatever
# mode it switched to, and the picture then runs at 31 to 46 frames a second; and on testing's
# mutter 50 its window, though drawing frames, shows in the compositor's picture in only about three
# starts of five through Xwayland. Neither is mended yet.
drivers="sdl3"
[ "$release" = testing ] && drivers="sdl3 sdl2"
cat >"$root/root/test-here.sh" <<EOF
set -euo pipefail
cd /root/tolvaren
tools/setup.sh
echo "$release: \$(. /etc/os-release; echo \$PRETTY_NAME), SDL \$(pkg-config --modversion sdl3) and \$(pkg-config --modversion sdl2), \$(g++ --version | head -1)"
mapfile -t arguments </root/ctest-arguments
for driver in $drivers; do
    echo "$release: the \$driver driver"
    cmake -S . -B /root/build-\$driver -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVAREN_TESTS=ON -DTOLVAREN_DRIVER=\$driver >/dev/null
    cmake --build /root/build-\$driver -j \$(nproc) >/root/build.log 2>&1 || { cat /root/build.log; exit 1; }
    grep -E "warning|error" /root/build.log || true
    excluded=()
    [ \$driver = sdl3 ] && excluded=(-E '^desktop[.]mutter-xwayland-3840x2160\$')
    [ \$driver = sdl3 ] && [ "$release" = testing ] && excluded=(-E '^desktop[.]mutter-xwayland(-3840x2160)?\$')
    (cd /root/build-\$driver && ctest --output-on-failure -L "unit|desktop" "\${excluded[@]}" "\${arguments[@]}") ||
        { echo "(the chroot's /tmp is $kept here)"; exit 1; }
done
EOF

# A mount namespace of its own: whatever happens inside, its mounts go with it.
status=0
unshare --mount --propagation private -- bash -euo pipefail -c "
    for fs in proc sys dev dev/pts; do mount --rbind /\$fs $root/\$fs; done
    mount -t tmpfs tmpfs $root/dev/shm
    mount --bind $kept $root/tmp
    mount -t tmpfs tmpfs $root/run
    exec chroot $root /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin HOME=/root LANG=C.UTF-8 \
        ${CI:+CI=$CI} bash /root/test-here.sh
" || status=$?
echo "$release: $([ "$status" -eq 0 ] && echo passed || echo failed) in $SECONDS s"
exit "$status"

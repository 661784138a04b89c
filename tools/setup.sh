#!/usr/bin/env bash
# Installs whatever Debian packages are missing, builds, and then either
# starts the tool ("run") or runs every test ("test").
#   bash tools/setup.sh run | test [ctest arguments...]
# VQ_JOBS limits the parallel build and test jobs (the build uses every core
# by default, the tests 2).
# Run it as yourself: the missing packages are named, then installed through
# sudo; the build, the tool and the tests run as you. As root (a container,
# CI) it installs directly.
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-run}"
shift || true
[ "$mode" = run ] || [ "$mode" = test ] || { echo "usage: $0 run|test" >&2; exit 2; }

# Through sudo the build would belong to root and the tool would start as
# root, without the display and with root's settings. A root shell opened
# with `sudo -i` or `sudo -s` carries SUDO_USER too, but there root is
# meant: only a script started by sudo itself is turned away.
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ] &&
    [ "$(cat "/proc/$PPID/comm" 2>/dev/null)" = sudo ]; then
    echo "Started through sudo: run it as $SUDO_USER instead, without sudo:" >&2
    echo "  bash tools/setup.sh $mode" >&2
    echo "It asks sudo itself for the packages it has to install." >&2
    exit 2
fi

build="${VQ_BUILD_DIR:-build}"
# A build folder left by an earlier run as root cannot be written to; cmake
# would only say "Permission denied".
if [ "$(id -u)" -ne 0 ]; then
    dirs=("$build")
    [ "$mode" != test ] || [ -n "${VQ_QUICK:-}" ] ||
        dirs+=("${VQ_ASAN_BUILD_DIR:-build-asan}" "${VQ_FUZZ_BUILD_DIR:-build-fuzz}")
    for d in "${dirs[@]}"; do
        owner=$(find "$d" ! -user "$(id -u)" -printf '%u\n' -quit 2>/dev/null || true)
        [ -z "$owner" ] || {
            echo "$d/ holds files of $owner (left by an earlier run as $owner), which you cannot" >&2
            echo "overwrite. Remove it and run this again:" >&2
            echo "  sudo rm -rf $d && bash tools/setup.sh $mode" >&2
            exit 2
        }
    done
fi

# The one list of what the tool and its tests need; every name exists on
# Debian 12 and 13 alike (libclang-rt-dev is the runtime of the release's
# default clang, whichever version that is).
packages=(
    cmake ninja-build g++ pkg-config file dpkg-dev
    qt6-base-dev qt6-qpa-plugins libxcb1-dev libfontconfig-dev
    fonts-dejavu-core fonts-liberation
)
if [ "$mode" = test ]; then
    packages+=(xvfb xauth openbox metacity x11-utils x11-apps xdotool wmctrl imagemagick
        desktop-file-utils appstream dbus at-spi2-core python3-gi gir1.2-atspi-2.0
        clang libclang-rt-dev lintian weston qt6-wayland pkexec procps)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Missing Debian packages: ${missing[*]}"
    as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || {
            echo "Install them as root (apt-get install ${missing[*]}), then run this again." >&2
            exit 1
        }
        echo "Installing them with sudo apt-get (sudo may ask for your password)."
        as_root=(sudo)
    fi
    # No recommended packages: a desktop's many fonts among them would slow
    # every Qt text layout, and nothing here needs them.
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" ${VQ_JOBS:+-j "$VQ_JOBS"}

case "$mode" in
run)
    exec "$build/VELMORA-QUORIX"
    ;;
test)
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir "$build" --output-on-failure -j "${VQ_JOBS:-2}" "$@"
    if [ -z "${VQ_QUICK:-}" ]; then
        bash tools/sanitize.sh
        VQ_FUZZ_SECONDS="${VQ_FUZZ_SECONDS:-120}" bash tools/fuzz.sh
    fi
    ;;
esac

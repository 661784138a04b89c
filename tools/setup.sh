#!/usr/bin/env bash
# Installs whatever Debian packages are missing, builds, and then either
# starts the tool ("run") or runs every test ("test").
#   bash tools/setup.sh run | test [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-run}"
shift || true

packages=(
    cmake ninja-build g++ pkg-config file dpkg-dev
    qt6-base-dev qt6-qpa-plugins libxcb1-dev libfontconfig-dev
    fonts-dejavu-core fonts-liberation
)
if [ "$mode" = test ]; then
    packages+=(xvfb xauth openbox x11-utils xdotool wmctrl imagemagick
        desktop-file-utils appstream dbus at-spi2-core python3-gi gir1.2-atspi-2.0
        clang libclang-rt-14-dev lintian weston qt6-wayland)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

build="${VQ_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"

case "$mode" in
run)
    exec "$build/VELMORA-QUORIX"
    ;;
test)
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir "$build" --output-on-failure -j2 "$@"
    if [ -z "${VQ_QUICK:-}" ]; then
        bash tools/sanitize.sh
        VQ_FUZZ_SECONDS="${VQ_FUZZ_SECONDS:-120}" bash tools/fuzz.sh
    fi
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

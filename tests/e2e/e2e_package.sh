#!/usr/bin/env bash
# The Debian package builds from this tree, passes lintian without errors or
# warnings, carries its manual page, valid desktop metadata and Qt among its
# dependencies, and its installed program starts and shows its window.
set -euo pipefail
build="$(dirname "$(readlink -f "$1")")"
pkg="$(mktemp -d)"
trap 'rm -rf "$pkg"' EXIT
(cd "$build" && cpack -G DEB -B "$pkg" >"$pkg/cpack.log" 2>&1) || {
    cat "$pkg/cpack.log"
    echo "FAIL: cpack could not build the package"
    exit 1
}
deb=$(ls "$pkg"/*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || {
    echo "FAIL: the package does not depend on Qt Widgets"
    exit 1
}
# Debian's own checks. Inside a namespace without network, so that the
# verdict never depends on being online; informational tags do not fail.
lint=(lintian --allow-root --fail-on error,warning "$deb")
unshare -rn true 2>/dev/null && lint=(unshare -rn "${lint[@]}")
"${lint[@]}" >"$pkg/lintian.log" 2>&1 || {
    cat "$pkg/lintian.log"
    echo "FAIL: lintian reports errors or warnings"
    exit 1
}
root="$pkg/root"
dpkg-deb -x "$deb" "$root"
doc="$root/usr/share/doc/velmora-quorix"
man="$root/usr/share/man/man1/VELMORA-QUORIX.1.gz"
[ -f "$man" ] || {
    echo "FAIL: the package has no manual page"
    exit 1
}
# Lintian lets a changelog of another version pass.
version="$(dpkg-deb -f "$deb" Version)"
first="$(zcat "$doc/changelog.gz" | sed -n 1p)"
[[ $first == "velmora-quorix ($version) "* ]] || {
    echo "FAIL: the changelog does not start with version $version"
    exit 1
}
desktop-file-validate "$root"/usr/share/applications/io.github.velmora.Quorix.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/io.github.velmora.Quorix.metainfo.xml >/dev/null
# Each icon has the size of the folder it is installed in, and nothing of
# the templates is left unfilled.
for size in 48x48 256x256; do
    icon="$root/usr/share/icons/hicolor/$size/apps/io.github.velmora.Quorix.png"
    [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "$size" ] || {
        echo "FAIL: the $size icon is missing or of another size"
        exit 1
    }
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/io.github.velmora.Quorix.svg" ] || {
    echo "FAIL: no scalable icon"
    exit 1
}
if grep -rq '@[A-Za-z_]*@' "$root/usr/share/applications" "$root/usr/share/metainfo" ||
    zgrep -q '@[A-Za-z_]*@' "$man" "$doc/changelog.gz"; then
    echo "FAIL: a template variable was left unfilled"
    exit 1
fi

cp -a "$root/usr/bin/VELMORA-QUORIX" "$pkg/VELMORA-QUORIX"
trap - EXIT
source "$(dirname "$0")/lib.sh" "$pkg/VELMORA-QUORIX"
trap 'e2e_cleanup; rm -rf "$pkg"' EXIT
e2e_start_desktop
e2e_start_app
e2e_window "VL-QX - CRYPTO-NAME" >/dev/null || e2e_fail "the installed program shows no window"
echo "PASS: the package installs and its program starts"

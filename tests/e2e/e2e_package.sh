#!/usr/bin/env bash
# The Debian package passes lintian without errors or warnings, depends on Qt,
# carries its manual page, changelog, desktop metadata and icons, all filled
# in and valid, and the program it installs starts and shows its window.
source "$(dirname "$0")/lib.sh" "$1"
deb="$E2E_TMP/pkg" root="$E2E_TMP/root"
(cd "$(dirname "$APP")" && cpack -G DEB -B "$deb" >"$E2E_TMP/cpack.log" 2>&1) ||
    e2e_fail "cpack: $(cat "$E2E_TMP/cpack.log")"
deb=$(ls "$deb"/*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || e2e_fail "no dependency on Qt Widgets"
# Without network, so that the verdict never depends on being online.
lint=(lintian --allow-root --fail-on error,warning "$deb")
! unshare -rn true 2>/dev/null || lint=(unshare -rn "${lint[@]}")
"${lint[@]}" >"$E2E_TMP/lintian.log" 2>&1 || e2e_fail "lintian: $(cat "$E2E_TMP/lintian.log")"
dpkg-deb -x "$deb" "$root"
cd "$root/usr/share" && id=io.github.velmora.Quorix man=man/man1/VELMORA-QUORIX.1.gz
# Lintian lets a changelog of another version pass.
[[ "$(zcat doc/*/changelog.gz)" == "velmora-quorix ($(dpkg-deb -f "$deb" Version)) "* ]] ||
    e2e_fail "the changelog does not start with the package's version"
desktop-file-validate "applications/$id.desktop" || e2e_fail "the desktop entry is not valid"
appstreamcli validate --no-net "metainfo/$id.metainfo.xml" >/dev/null || e2e_fail "invalid metainfo"
# Lintian checks the icons' sizes against their folders, not that they are there.
ls icons/hicolor/{48x48,256x256}/apps/$id.png icons/hicolor/scalable/apps/$id.svg $man >/dev/null ||
    e2e_fail "the manual page or an icon is missing"
! grep -rq '@[A-Za-z_]*@' applications metainfo && ! zgrep -q '@[A-Za-z_]*@' $man doc/*/chan* ||
    e2e_fail "a template variable was left unfilled"
APP="$root/usr/bin/VELMORA-QUORIX"
e2e_start_desktop
e2e_start_app
echo "PASS: the package passes lintian, carries its files, and its program starts"

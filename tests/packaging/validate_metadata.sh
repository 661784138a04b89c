#!/bin/sh
# Checks the desktop integration of an installed tree.
#   validate_metadata.sh install  STAGE CMAKE BUILD_DIR [CONFIG]  stage a fresh install
#   validate_metadata.sh layout   STAGE   files, names, icon sizes, cross-references
#   validate_metadata.sh validate STAGE   desktop-file-validate and appstreamcli
# Exit 0 pass, 1 fail, 77 skipped (validators not installed).
set -u

APP_ID=io.github.velmora.Quorix
EXE=VELMORA-QUORIX
mode=${1:?mode}
stage=${2:?stage directory}
share=$stage/share
desktop=$share/applications/$APP_ID.desktop
metainfo=$share/metainfo/$APP_ID.metainfo.xml
hicolor=$share/icons/hicolor

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Width and height of a PNG, from its IHDR chunk ("W H").
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'
}

# Value of KEY in the [Desktop Entry] group of the desktop file.
desktop_key() {
    awk -v key="$1" '
        /^\[/ { in_entry = ($0 == "[Desktop Entry]") }
        in_entry && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$desktop"
}

case $mode in
install)
    cmake=${3:?cmake} build=${4:?build dir} config=${5:-}
    rm -rf "$stage"
    if [ -n "$config" ]; then
        "$cmake" --install "$build" --prefix "$stage" --config "$config"
    else
        "$cmake" --install "$build" --prefix "$stage"
    fi
    exit $?
    ;;

layout)
    [ -x "$stage/bin/$EXE" ] || fail "executable not installed in bin"
    for f in "$desktop" "$metainfo" "$hicolor/scalable/apps/$APP_ID.svg" \
             "$hicolor/48x48/apps/$APP_ID.png" "$hicolor/256x256/apps/$APP_ID.png"; do
        [ -s "$f" ] || fail "missing or empty: ${f#"$stage"/}"
    done
    [ "$failures" -eq 0 ] || exit 1

    # Each hicolor PNG must really have the size of the folder it sits in.
    for size in 48 256; do
        got=$(png_size "$hicolor/${size}x$size/apps/$APP_ID.png")
        [ "$got" = "$size $size" ] || fail "${size}x$size icon is $got"
    done
    grep -q '<svg' "$hicolor/scalable/apps/$APP_ID.svg" || fail "scalable icon is not SVG"

    # The desktop entry must start the installed program and name the themed icon.
    [ "$(desktop_key Type)" = Application ] || fail "Type is not Application"
    [ "$(desktop_key Exec)" = "$EXE" ] || fail "Exec is '$(desktop_key Exec)'"
    [ "$(desktop_key Icon)" = "$APP_ID" ] || fail "Icon is '$(desktop_key Icon)'"
    [ "$(desktop_key Terminal)" = false ] || fail "Terminal is not false"
    for category in Office Finance; do
        case ";$(desktop_key Categories)" in
            *";$category;"*) ;;
            *) fail "Categories lack $category" ;;
        esac
    done
    [ -n "$(desktop_key Name)" ] || fail "no Name"
    [ -n "$(desktop_key Comment)" ] || fail "no Comment"

    # The metainfo must point back at this desktop file and carry the release.
    grep -q "<id>$APP_ID</id>" "$metainfo" || fail "metainfo id is not $APP_ID"
    grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$metainfo" \
        || fail "metainfo launchable does not name $APP_ID.desktop"
    grep -q '<metadata_license>CC0-1.0</metadata_license>' "$metainfo" || fail "metadata_license"
    grep -q '<project_license>' "$metainfo" || fail "no project_license"
    grep -q '<content_rating' "$metainfo" || fail "no content_rating"
    grep -q '<release version="2\.0\.0"' "$metainfo" || fail "no 2.0.0 release"
    if grep -q '@[A-Z_]*@' "$desktop" "$metainfo"; then
        fail "unsubstituted @VARIABLE@ left in installed metadata"
    fi
    ;;

validate)
    missing=
    command -v desktop-file-validate >/dev/null 2>&1 || missing="$missing desktop-file-validate"
    command -v appstreamcli >/dev/null 2>&1 || missing="$missing appstreamcli"
    if [ -n "$missing" ]; then
        echo "SKIP: not installed:$missing"
        exit 77
    fi
    # desktop-file-validate exits 0 on warnings; count those as failures too.
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
    [ -z "$out" ] || echo "$out"
    case $out in *error:* | *warning:*) fail "desktop-file-validate reported problems" ;; esac
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate failed"
    ;;

*)
    echo "unknown mode: $mode" >&2
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] || exit 1
echo "PASS: $mode"

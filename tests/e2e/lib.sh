# Shared helpers for the end-to-end tests. Each test gets its own X server,
# window manager, home folder and settings store, and stops them by process
# id when it ends, however it ends.
#
#   source "$(dirname "$0")/lib.sh" "$1"   # $1: the built executable
#   e2e_start_desktop; e2e_start_app; ...
set -euo pipefail

APP="$(readlink -f "$1")"
E2E_TMP="$(mktemp -d)"
export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config" XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
STORE="$XDG_CONFIG_HOME/VL_QUORIX/VL_QUORIX.ini"
SECTION="$(basename "$APP")"
APP_PID="" WM_PID="" XVFB_PID=""

e2e_cleanup() {
    local pid
    for pid in $APP_PID $WM_PID $XVFB_PID; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in $APP_PID $WM_PID $XVFB_PID; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

e2e_fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
        import -window root "$E2E_TMP/failure.png" 2>/dev/null &&
            echo "screenshot of the failure: $E2E_TMP/failure.png (kept: set E2E_KEEP=1)" >&2
    fi
    [ -n "${E2E_KEEP:-}" ] && trap - EXIT
    exit 1
}

# e2e_wait SECONDS COMMAND...: polls every 50 ms until COMMAND succeeds.
e2e_wait() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.05
    done
}

e2e_start_desktop() {
    local n
    for n in $(seq 91 160); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 "${E2E_SCREEN:-1280x800x24}" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        if e2e_wait 10 xdpyinfo; then
            break
        fi
        kill "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    done
    [ -n "$XVFB_PID" ] || e2e_fail "no X server could be started"
    local try
    for try in 1 2 3; do
        openbox >"$E2E_TMP/openbox.log" 2>&1 &
        WM_PID=$!
        if e2e_wait 20 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'; then
            return 0
        fi
        # A window manager that gave up (it saw the display busy) is started again.
        kill "$WM_PID" 2>/dev/null || true
        wait "$WM_PID" 2>/dev/null || true
    done
    cat "$E2E_TMP/openbox.log" >&2
    e2e_fail "the window manager did not start"
}

# e2e_seed KEY VALUE ...: writes plain values into the store before the start.
e2e_seed() {
    mkdir -p "$(dirname "$STORE")"
    chmod 700 "$(dirname "$STORE")"
    [ -f "$STORE" ] || printf '[%s]\n' "$SECTION" >"$STORE"
    while [ $# -ge 2 ]; do
        printf '%s=%s\n' "$1" "$2" >>"$STORE"
        shift 2
    done
}

# e2e_store_get KEY: the key's raw value in the tool's section, or nothing.
e2e_store_get() {
    [ -f "$STORE" ] || return 0
    awk -v sec="[$SECTION]" -v key="$1" '
        /^\[/ { insec = ($0 == sec); next }
        insec && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$STORE"
}

e2e_start_app() {
    "$APP" >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    e2e_wait 15 e2e_window "VL-QX - .*" || e2e_fail "the compact main window did not appear"
}

# e2e_window TITLE-REGEX: the id of the visible window with that title. A
# window being mapped or resized can drop out of the search for a moment, so
# it looks again for up to a second before it gives up.
e2e_window() {
    local i
    for i in $(seq 20); do
        xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep . && return 0
        sleep 0.05
    done
    return 1
}

e2e_has_state() { # WINDOW-ID STATE
    xprop -id "$1" _NET_WM_STATE | grep -q "$2"
}

# Closes a window through the window manager, as the close box would.
e2e_close_window() {
    if command -v wmctrl >/dev/null; then
        wmctrl -i -c "$1"
    else
        xdotool windowactivate --sync "$1" key --clearmodifiers alt+F4
    fi
}

e2e_app_gone() { ! kill -0 "$APP_PID" 2>/dev/null; }

# e2e_gone TITLE-REGEX: no visible window has that title.
e2e_gone() { ! xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -q .; }

# Starts a private session bus and the accessibility bus so that the tool's
# controls can be read the way a screen reader reads them.
DBUS_PID="" A11Y_PID=""
e2e_start_accessibility() {
    local out
    out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS=$(echo "$out" | sed -n 1p)
    DBUS_PID=$(echo "$out" | sed -n 2p)
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    A11Y_PID=$!
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
    trap 'kill $A11Y_PID $DBUS_PID 2>/dev/null || true; e2e_cleanup' EXIT
}

# e2e_text NAME: the text of the control with that accessible name.
e2e_text() {
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/atspi_tool.py" text "$1" 2>/dev/null
}

# e2e_wait_text SECONDS NAME EXPECTED: waits until the control shows EXPECTED.
e2e_wait_text() {
    local end=$((SECONDS + $1))
    while [ "$(e2e_text "$2")" != "$3" ]; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.1
    done
}

# e2e_click WINDOW LEFT TOP WIDTH HEIGHT: clicks the middle of a control given
# in the window's own twips (15 twips to a pixel).
e2e_click() {
    local x=$((($2 + $4 / 2) / 15)) y=$((($3 + $5 / 2) / 15))
    xdotool windowactivate --sync "$1" mousemove --window "$1" "$x" "$y" click 1
}

LOCK_TITLE="VELMORA - QUORIX-V2 - LOCK SCREEN"
PASSWORD_TITLE="VELMORA - QUORIX-V2 !!! SET LOCK PASSWORD !!!"

# e2e_enter_opens TITLE-REGEX WHAT: presses Enter on the compact window and
# prints the id of the window that opens.
e2e_enter_opens() {
    local main
    main=$(e2e_window "VL-QX - .*") || e2e_fail "no compact window"
    xdotool windowactivate --sync "$main" key Return
    e2e_wait 10 e2e_window "$1" || e2e_fail "Enter did not open the $2"
    e2e_window "$1"
}
# The sheet opens on an unlocked tool, the lock window on a locked one.
e2e_open_sheet() { e2e_enter_opens "VELMORA - QUORIX-V2 - .*" sheet; }
e2e_open_lock() { e2e_enter_opens "$LOCK_TITLE" "lock window"; }

# e2e_entry_red WINDOW: the lock window's password entry is red, read at its
# right end, clear of the typed stars (client pixels).
e2e_entry_red() {
    [ "$(import -window "$1" -crop 1x1+380+126 -depth 8 txt:- 2>/dev/null |
        grep -o '#[0-9A-F]\{6\}')" = '#FF0000' ]
}

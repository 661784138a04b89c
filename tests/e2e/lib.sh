# Shared by the end-to-end tests (source it with the executable): each test gets
# its own X server, window manager, accessibility bus, home folder and store,
# and ends every process it started by its id, however it ends.
set -euo pipefail
APP="$(readlink -f "$1")" E2E_TMP="$(mktemp -d)" BUS_PID=""
export HOME="$E2E_TMP" XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -m 700 "$XDG_RUNTIME_DIR" && unset QT_QPA_PLATFORM
STORE="$XDG_CONFIG_HOME/VL_QUORIX/VL_QUORIX.ini" SECTION="$(basename "$APP")"
e2e_cleanup() { # by the test's own shell only, not by a job killed before its program ran
    kill $(jobs -p) $BUS_PID 2>/dev/null || :; wait; [ "${E2E_KEEP-}" ] || rm -rf "$E2E_TMP"
}
trap '[ $BASHPID != $$ ] || e2e_cleanup' EXIT
e2e_fail() {
    echo "FAIL: $*${E2E_KEEP:+ (the screen and logs are kept in $E2E_TMP)}" >&2
    [ -z "${DISPLAY:-}" ] || import -window root "$E2E_TMP/failure.png" 2>/dev/null || true
    exit 1
}
# e2e_wait SECONDS COMMAND...: polls until COMMAND succeeds or time runs out.
e2e_wait() {
    local end=$((SECONDS + $1))
    until "${@:2}" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.05
    done
}

# Xvfb names its display once it takes connections; -noreset keeps it from
# resetting, and so turning the window manager away, as its first client leaves.
e2e_start_desktop() {
    Xvfb -displayfd 3 -noreset -screen 0 "${E2E_SCREEN:-1280x800x24}" 3>"$E2E_TMP/display" 2>/dev/null &
    e2e_wait 30 grep -q . "$E2E_TMP/display" || e2e_fail "no X server"
    export DISPLAY=":$(cat "$E2E_TMP/display")" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    e2e_start_wm "${E2E_WM:-openbox}"
    local bus
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS="${bus%%$'\n'*}"
    BUS_PID="${bus##*$'\n'}"
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
}
# e2e_start_wm openbox|metacity: starts that window manager in place of any
# running one and waits until it names itself on the root's check window.
# metacity is GNOME Flashback's, of the same family as mutter.
e2e_start_wm() {
    local name=${1^}
    case $1 in
    openbox) openbox --replace >"$E2E_TMP/wm.log" 2>&1 & ;;
    metacity) metacity --replace --sm-disable --no-composite >"$E2E_TMP/wm.log" 2>&1 & ;;
    *) e2e_fail "unknown window manager $1" ;;
    esac
    e2e_wait 30 eval 'xprop -id "$(xprop -root _NET_SUPPORTING_WM_CHECK | sed "s/.* //")" \
        _NET_WM_NAME | grep -q "\"$name\""' || e2e_fail "no window manager: $(cat "$E2E_TMP/wm.log")"
    e2e_wm_manages || e2e_fail "$1 manages no window: $(cat "$E2E_TMP/wm.log")"
}
# A window manager names itself before its start-up is over. A window mapped
# in between can wait, unmanaged and unseen, until some later event wakes the
# window manager (openbox does so when loading its fonts takes a while, as on a
# machine whose font cache is not yet built). So the window manager counts as
# ready once a probe window gets mapped; each further probe is such an event.
e2e_wm_manages() {
    local probes=() end=$((SECONDS + 30)) managed=1
    until xdotool search --onlyvisible --classname vq-wm-probe >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || { managed=0 && break; }
        xlogo -geometry 16x16 -name vq-wm-probe >/dev/null 2>&1 &
        probes+=($!)
        e2e_wait 1 xdotool search --onlyvisible --classname vq-wm-probe || :
    done
    kill "${probes[@]}" 2>/dev/null || :
    wait "${probes[@]}" 2>/dev/null || :
    e2e_wait 10 eval '! xdotool search --classname vq-wm-probe' || :
    [ $managed = 1 ]
}
e2e_seed() { # KEY VALUE ...: the store the tool starts with
    mkdir -p -m 700 "$(dirname "$STORE")"
    { echo "[$SECTION]" && printf '%s=%s\n' "$@"; } >"$STORE"
}
e2e_stored() { # KEY: the key's value in the tool's section
    awk -v sec="[$SECTION]" -v key="$1=" '/^\[/ { in_sec = ($0 == sec); next }
        in_sec && index($0, key) == 1 { print substr($0, length(key) + 1); exit }' "$STORE"
}
e2e_start_app() {
    "$APP" >>"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    e2e_opens "VL-QX - .*" >/dev/null
}
e2e_app_gone() { ! kill -0 "$APP_PID" 2>/dev/null; }
# e2e_window TITLE-REGEX: the id of the visible window of that title.
e2e_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
e2e_opens() { # TITLE-REGEX: waits for the window and prints its id
    e2e_wait 30 e2e_window "$1" || e2e_fail "the window '$1' did not open"
    e2e_window "$1" || e2e_opens "$1"
}
e2e_closes() { e2e_wait 30 eval "! e2e_window '$1'" || e2e_fail "the window '$1' did not close"; }
e2e_close() { wmctrl -i -c "$1"; } # through the window manager, as the close box does
e2e_key() { xdotool key --clearmodifiers --delay 40 "$@"; }
e2e_at() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/atspi_tool.py" "$@"; }

#!/usr/bin/env bash
# In a Wayland session that also offers an X server (as XWayland does) the
# tool starts on X11, where it can place its windows and keep them on top.
# With no X server it runs on Wayland and says once what that costs; a
# platform the user picked is kept.
source "$(dirname "$0")/lib.sh" "$1"

WESTON_PID=""
trap '[ -z "$WESTON_PID" ] || { kill "$WESTON_PID"; wait "$WESTON_PID"; } 2>/dev/null; e2e_cleanup' EXIT

e2e_start_desktop
weston --backend=headless-backend.so --socket=vq-wayland --no-config >"$E2E_TMP/weston.log" 2>&1 &
WESTON_PID=$!
e2e_wait 15 test -S "$XDG_RUNTIME_DIR/vq-wayland" || {
    cat "$E2E_TMP/weston.log" >&2
    e2e_fail "weston did not start"
}
export XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=vq-wayland
NOTICE='^VELMORA-QUORIX: running on Wayland, .* need an X server (X11 or XWayland)\.$'

# e2e_wayland_app ARGS...: starts the tool and waits for its notice.
e2e_wayland_app() {
    "$APP" "$@" >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    e2e_wait 15 grep -q "$NOTICE" "$E2E_TMP/app.log" || {
        cat "$E2E_TMP/app.log" >&2
        e2e_fail "no notice from the tool on Wayland (args: $*)"
    }
}
e2e_stop_app() { kill "$APP_PID" && wait "$APP_PID" 2>/dev/null || true; }

e2e_start_app
! grep -q "$NOTICE" "$E2E_TMP/app.log" || e2e_fail "the notice was printed on X11"
e2e_stop_app

QT_QPA_PLATFORM=wayland e2e_wayland_app
e2e_stop_app
e2e_wayland_app -platform wayland
e2e_stop_app

# Without an X server: the libwayland trace shows the compact window reaching
# the compositor and its first configure being answered.
unset DISPLAY
export WAYLAND_DEBUG=client
e2e_wayland_app
e2e_wait 15 grep -q 'xdg_toplevel@[0-9]*\.set_title("VL-QX - ' "$E2E_TMP/app.log" ||
    e2e_fail "the compact window was not created on Wayland"
e2e_wait 15 grep -q 'xdg_surface@[0-9]*\.ack_configure' "$E2E_TMP/app.log" ||
    e2e_fail "the compositor's configure was not answered"
! e2e_wait 2 e2e_app_gone || e2e_fail "the tool ended on Wayland"
[ "$(grep -c "$NOTICE" "$E2E_TMP/app.log")" = 1 ] || e2e_fail "the notice was not printed exactly once"
echo "PASS: X11 preferred in a Wayland session; Wayland alone works and says so once"

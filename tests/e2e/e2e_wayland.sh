#!/usr/bin/env bash
# Offered X11 (as by XWayland) in a Wayland session, the tool takes it, unless
# the user picked Wayland; with no X server, or one that cannot be reached, it
# runs on Wayland and says once what that costs.
source "$(dirname "$0")/lib.sh" "$1"
e2e_start_desktop
weston --backend=headless-backend.so --socket=vq-wayland --no-config >"$E2E_TMP/weston.log" 2>&1 &
e2e_wait 30 test -S "$XDG_RUNTIME_DIR/vq-wayland" || e2e_fail "weston did not start"
export XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=vq-wayland log="$E2E_TMP/app.log"
NOTICE='^VELMORA-QUORIX: running on Wayland, .* need an X server (X11 or XWayland)\.$'
on_wayland() { # ARGS...: starts the tool and waits for its notice
    : >"$log" # here, not in the job: the wait must not find the last run's notice
    "$APP" "$@" >>"$log" 2>&1 &
    APP_PID=$!
    e2e_wait 30 grep -q "$NOTICE" "$log" || e2e_fail "no notice on Wayland ($*): $(cat "$log")"
}
stop() { kill "$APP_PID" && wait "$APP_PID" || true; }

e2e_start_app
! grep -q "$NOTICE" "$log" || e2e_fail "the notice was printed on X11"
stop
QT_QPA_PLATFORM=wayland on_wayland && stop
on_wayland -platform wayland && stop
# A DISPLAY no X server answers (Xvfb numbers from 0 up): Qt's xcb plugin fails
# and the tool falls back to Wayland.
DISPLAY=:64999 on_wayland && stop
# Without an X server the libwayland trace shows the compact window reach the
# compositor, and its first configure answered with a drawn frame.
unset DISPLAY
WAYLAND_DEBUG=client on_wayland
e2e_wait 30 grep -q 'xdg_toplevel[@#][0-9]*\.set_title("VL-QX - ' "$log" || e2e_fail "no window"
e2e_wait 30 eval "sed '0,/xdg_surface[@#].*ack_configure/d' $log | grep -q 'wl_surface[@#].*commit'" ||
    e2e_fail "the compositor's configure was not answered with a frame"
# Unfocused here, as when the user turns to another program, the window is left
# alone by the always-on-top rule's ticks (on by default, once a second).
sleep 2.5
[ "$(grep -c 'get_toplevel(' "$log")" = 1 ] || e2e_fail "the compact window was opened again"
! e2e_app_gone || e2e_fail "the tool ended on Wayland"
[ "$(grep -c "$NOTICE" "$log")" = 1 ] || e2e_fail "the notice was not printed exactly once"
echo "PASS: X11 preferred in a Wayland session; Wayland alone works and says so once"

#!/usr/bin/env bash
# The compact window starts with its title, floats above another program's
# window within two seconds, and remembers its place when closed through the
# window manager.
source "$(dirname "$0")/lib.sh" "$1"

e2e_start_desktop
e2e_start_app
main=$(e2e_window "VL-QX - CRYPTO-NAME") || e2e_fail "title is not 'VL-QX - CRYPTO-NAME'"

xmessage -title other-program "another program" &
other_pid=$!
e2e_wait 10 e2e_window "other-program" || e2e_fail "xmessage did not appear"
other=$(e2e_window "other-program")
xdotool windowactivate --sync "$other" >/dev/null 2>&1 || true
e2e_wait 5 sh -c "[ \"\$(xprop -root _NET_ACTIVE_WINDOW | grep -o '0x[0-9a-f]*' | xargs printf '%d')\" = $other ]" ||
    e2e_fail "xmessage did not become the foreground window"

e2e_wait 2 e2e_has_state "$main" _NET_WM_STATE_ABOVE ||
    e2e_fail "the compact window did not enter the top-most band within 2 s"
e2e_wait 2 sh -c "! xprop -id $other _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" ||
    e2e_fail "the foreground window did not leave the top-most band"
kill "$other_pid" 2>/dev/null || true

e2e_close_window "$main"
e2e_wait 10 e2e_app_gone || e2e_fail "the tool did not end when its window closed"
[ -n "$(e2e_store_get MINI-MAIN-Left)" ] || e2e_fail "MINI-MAIN-Left was not stored"
[ -n "$(e2e_store_get MINI-MAIN-Top)" ] || e2e_fail "MINI-MAIN-Top was not stored"
echo "PASS: compact window floats on top and saves its place"

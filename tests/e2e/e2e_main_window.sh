#!/usr/bin/env bash
# The compact window keeps above another program's foreground window, which it
# moves out of the top-most band through the window manager.
source "$(dirname "$0")/lib.sh" "$1"
e2e_start_desktop
e2e_start_app
main=$(e2e_opens "VL-QX - CRYPTO-NAME")
above() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
xmessage -title other-program "another program" 2>/dev/null &
other=$(e2e_opens other-program) && xdotool windowactivate --sync "$other"
# The tool looks for the foreground window once a second.
e2e_wait 10 above "$main" || e2e_fail "the compact window did not enter the top-most band"
e2e_wait 10 eval "! above $other" || e2e_fail "the foreground window was left in the top-most band"
echo "PASS: the compact window keeps on top of the foreground window"

#!/usr/bin/env bash
# The compact window, and the sheet Enter opens, are mapped with their frames
# at the designed outer place and size and keep them until they close: neither
# is fitted to its frame after it shows. Closed through the window manager,
# both store their frames' places as they were loaded.
source "$(dirname "$0")/lib.sh" "$1"
e2e_start_desktop
# The root's substructure events: each frame's reparenting, mapping and moves.
xev -root -event substructure >"$E2E_TMP/events" &
# A desktop switch is a message to the root: once xev shows one, it listens.
e2e_wait 30 eval "xdotool set_desktop 0; grep -q _NET_CURRENT_DESKTOP $E2E_TMP/events" ||
    e2e_fail "the event watch did not start"
e2e_start_app
main=$(e2e_opens "VL-QX - .*")
xdotool windowactivate --sync "$main" key Return
sheet=$(e2e_opens "VELMORA - QUORIX-V2 - .*")
# frame WINDOW: "X Y W H" of the window's frame as it is mapped and after each
# later change, then "unmapped".
frame() {
    awk -v client="$(printf '0x%x' "$1")" '/^[A-Za-z]+ event/ { ev = $1 }
        ev == "ReparentNotify" && $0 ~ "window " client "," { f = $NF; sub(/,$/, "", f) }
        f == "" || $0 !~ "window " f "," { next }
        ev == "MapNotify" && !mapped { mapped = 1; print g }
        ev == "UnmapNotify" && mapped { print "unmapped"; exit }
        ev == "ConfigureNotify" {
            g = $0; sub(/.*\(/, "", g); sub(/\), width /, " ", g); sub(/, height /, " ", g)
            sub(/,[^0-9]*$/, "", g); sub(/,/, " ", g)
            if (mapped) print g
        }' "$E2E_TMP/events"
}
# closes WINDOW DESIGNED: closes it through the window manager, after any fit
# that followed the first paint, and checks its frame never left DESIGNED.
closes() {
    e2e_close "$1"
    e2e_wait 30 eval "[ \"\$(frame $1 | tail -n 1)\" = unmapped ]" || e2e_fail "$1 did not close"
    [ "$(frame "$1" | sed '$d' | sort -u)" = "$2" ] ||
        e2e_fail "window $1's frame did not stay at $2: $(frame "$1" | tr '\n' ' ')"
}
# The default places and sizes, 1000, 1000, 14475 x 8175 and 2400 x 1260 twips.
closes "$sheet" "67 67 965 545"
closes "$main" "67 67 160 84"
e2e_wait 30 e2e_app_gone || e2e_fail "closing the compact window did not end the tool"
places=$(for key in 10ScreenLeft 10ScreenTop MINI-MAIN-Left MINI-MAIN-Top; do e2e_stored $key; done)
[ "$(echo $places)" = "1000 1000 1000 1000" ] || e2e_fail "the places stored: $(echo $places)"
echo "PASS: the windows open at their designed places and sizes and keep them"

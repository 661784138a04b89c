#!/usr/bin/env bash
# Enter on the compact window opens the sheet at its designed outer place and
# size (frame included) and the frame keeps them from the moment it is mapped:
# the window is not fitted to its frame after it shows.
source "$(dirname "$0")/lib.sh" "$1"

e2e_start_desktop
e2e_start_app
main=$(e2e_window "VL-QX - .*")

# The root's substructure events tell every frame's creation, reparenting,
# mapping and resizing, in the order the server made them.
events="$E2E_TMP/events"
xev -root -event substructure >"$events" 2>&1 &
XEV_PID=$!
trap 'kill $XEV_PID 2>/dev/null || true; e2e_cleanup' EXIT
# An activation request is a client message to the root: once xev reports
# one, it is listening.
e2e_wait 10 sh -c "xdotool windowactivate '$main'; grep -q _NET_ACTIVE_WINDOW '$events'" ||
    e2e_fail "the event watch did not start"

sheet=$(e2e_open_sheet)
# "X Y W H" of every ConfigureNotify of the sheet's frame after the frame was
# mapped; the frame is the window the sheet was reparented into.
frame_geometries() {
    awk -v client="$(printf '0x%x' "$sheet")" '
        /^[A-Za-z]+ event/ { ev = $1 }
        ev == "ReparentNotify" && $0 ~ "window " client "," { frame = $NF; sub(/,$/, "", frame) }
        ev == "MapNotify" && frame != "" && $0 ~ "window " frame "," { mapped = 1 }
        ev == "ConfigureNotify" && mapped && $0 ~ "window " frame "," {
            g = $0; sub(/.*\(/, "", g); sub(/\), width /, ",", g); sub(/, height /, ",", g)
            sub(/,[^0-9]*$/, "", g); gsub(/,/, " ", g); print g
        }' "$events"
}
# The default place and size, 1000, 1000, 14475 and 8175 twips, in pixels.
designed="67 67 965 545"
final_is_designed() { [ "$(frame_geometries | tail -n 1)" = "$designed" ]; }
e2e_wait 10 final_is_designed ||
    e2e_fail "the sheet's frame is not at $designed: $(frame_geometries | tr '\n' ' ')"
# A fit after the first paint comes within milliseconds of it: give it ample
# time to show before reading what the frame went through.
sleep 0.5
[ "$(frame_geometries | sort -u)" = "$designed" ] ||
    e2e_fail "the sheet moved or changed size after it was mapped: $(frame_geometries | tr '\n' ' ')"

# Both windows' places read back as they were loaded: the frame's corner
# stayed where it was asked to go.
e2e_close_window "$sheet"
e2e_wait 10 e2e_gone "VELMORA - QUORIX-V2 - .*" || e2e_fail "the sheet did not close"
e2e_close_window "$main"
e2e_wait 10 e2e_app_gone || e2e_fail "the tool did not end"
places="$(e2e_store_get 10ScreenLeft) $(e2e_store_get 10ScreenTop)"
places="$places $(e2e_store_get MINI-MAIN-Left) $(e2e_store_get MINI-MAIN-Top)"
[ "$places" = "1000 1000 1000 1000" ] || e2e_fail "the places were saved as $places"
echo "PASS: the sheet opens at its designed place and size and keeps them"

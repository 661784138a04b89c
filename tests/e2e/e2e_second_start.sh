#!/usr/bin/env bash
# A second start of the same executable hands over to the running copy, which
# brings its frontmost window forward, and ends at once with status 0, so
# nothing one copy holds is overwritten by another's close. A renamed copy
# keeps its own section and starts its own window; a copy killed outright
# does not keep the next start from opening.
source "$(dirname "$0")/lib.sh" "$1"
e2e_start_desktop
e2e_start_app
xdotool windowactivate --sync "$(e2e_opens "VL-QX - .*")" key Return
sheet=$(e2e_opens "VELMORA - QUORIX-V2 - .*")
xdotool windowactivate --sync "$sheet"
e2e_at focused CLOSE && e2e_key Tab ctrl+a && xdotool type "Kept"
xmessage -title other-program "another program" 2>/dev/null &
xdotool windowactivate --sync "$(e2e_opens other-program)"
# A start that opens a window of its own would run on: it is stopped.
timeout 20 "$APP" >>"$E2E_TMP/app.log" 2>&1 || e2e_fail "the second start ended with status $?"
e2e_wait 10 eval '[ "$(xdotool getactivewindow)" = "$sheet" ]' ||
    e2e_fail "the running copy did not bring its sheet forward"
[ "$(xdotool search --onlyvisible --name '^VL-QX - ' | wc -l)" = 1 ] ||
    e2e_fail "the second start opened a window of its own"
e2e_close "$sheet" && e2e_closes "VELMORA - QUORIX-V2 - .*"
[ "$(e2e_stored WALLET_NAME_TEXTBOX_1)" = Kept ] ||
    e2e_fail "the typed name was lost: $(e2e_stored WALLET_NAME_TEXTBOX_1)"

cp "$APP" "$E2E_TMP/QUORIX-RENAMED"
"$E2E_TMP/QUORIX-RENAMED" >>"$E2E_TMP/app.log" 2>&1 &
e2e_wait 30 eval '[ "$(xdotool search --onlyvisible --name "^VL-QX - " | wc -l)" = 2 ]' ||
    e2e_fail "the renamed copy did not start its own window"

kill -KILL "$APP_PID" && { wait "$APP_PID" 2>/dev/null || :; }
e2e_wait 10 eval '[ "$(xdotool search --onlyvisible --name "^VL-QX - " | wc -l)" = 1 ]'
e2e_start_app
e2e_wait 30 eval '[ "$(xdotool search --onlyvisible --name "^VL-QX - " | wc -l)" = 2 ]' ||
    e2e_fail "a copy killed outright kept the next start from opening"
echo "PASS: a second start raises the running copy; renamed and restarted copies open"

#!/usr/bin/env bash
# With the sheet open and a wallet name typed, SIGTERM, SIGHUP and SIGINT (each
# twice, the second during the close) end the tool with status 0, a lost X
# server with 1; each time on an empty store, which then holds the name and places.
source "$(dirname "$0")/lib.sh" "$1"
e2e_start_desktop
type_name() { # NAME: the sheet opened from the compact window, NAME in wallet 1's name
    # As from a terminal: a shell's background job would ignore SIGINT.
    env --default-signal=INT "$APP" >>"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    xdotool windowactivate --sync "$(e2e_opens "VL-QX - .*")" key Return
    e2e_opens "VELMORA - QUORIX-V2 - .*" >/dev/null
    e2e_at focused CLOSE && e2e_key Tab ctrl+a && xdotool type "$1"
    e2e_at text "Wallet 1 name" "$1" || e2e_fail "'$1' did not reach the sheet"
}
ended() { # HOW STATUS NAME: the tool ended with STATUS, NAME and the places stored
    local status=0
    e2e_wait 30 e2e_app_gone || e2e_fail "the tool did not end on $1"
    wait "$APP_PID" || status=$?
    [ $status = "$2" ] || e2e_fail "$1 ended the tool with status $status"
    [ -f "$STORE" ] && [ "$(e2e_stored WALLET_NAME_TEXTBOX_1)" = "$3" ] &&
        [ "$(e2e_stored 10ScreenLeft)" ] && [ "$(e2e_stored MINI-MAIN-Top)" ] ||
        e2e_fail "$1 did not store the typed name and the windows' places"
    rm "$STORE"
}
for signal in TERM HUP INT; do
    type_name "KEEP $signal"
    kill -$signal "$APP_PID" && kill -$signal "$APP_PID"
    ended "SIG$signal" 0 "KEEP $signal"
done
type_name "KEEP DISPLAY"
kill %Xvfb # the X server e2e_start_desktop started
ended "the X server's end" 1 "KEEP DISPLAY"
echo "PASS: the end of the session and of the display keep what was typed"

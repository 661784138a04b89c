#!/usr/bin/env bash
# A locked tool starts showing "Unlock Main Screen"; Enter opens the lock
# window, a wrong password turns the entry red, the right one unlocks and the
# sheet opens again. A second start, locked again, ends through EXIT QUORIX
# and stays locked.
source "$(dirname "$0")/lib.sh" "$1"

LOCK_TITLE="VELMORA - QUORIX-V2 - LOCK SCREEN"
e2e_seed LOCK-PASSWORD "Open Sesame" CLIENT_LOCKED 1
e2e_start_desktop
e2e_start_accessibility

open_lock() {
    local main
    main=$(e2e_window "VL-QX - .*") || e2e_fail "no compact window"
    xdotool windowactivate --sync "$main" key Return
    e2e_wait 10 e2e_window "$LOCK_TITLE" || e2e_fail "Enter did not open the lock window"
    e2e_window "$LOCK_TITLE"
}

# The entry's colour, read from the right end, clear of the typed stars (client pixels).
entry_colour() {
    import -window "$1" -crop 1x1+380+126 -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}'
}

e2e_start_app
e2e_wait 10 e2e_text "Unlock Main Screen" || e2e_fail "a locked start does not read 'Unlock Main Screen'"
lock=$(open_lock)

# The window opens on LOCK_BUTTON; the entry follows it in the tab order.
xdotool windowactivate --sync "$lock" key Tab type --delay 20 "open sesame"
xdotool key shift+Tab key space
e2e_wait 5 sh -c "[ \"\$(import -window $lock -crop 1x1+380+126 -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}')\" = '#FF0000' ]" ||
    e2e_fail "a wrong password did not turn the entry red (it is $(entry_colour "$lock"))"
[ "$(e2e_store_get CLIENT_LOCKED)" = 1 ] || e2e_fail "a wrong password changed the lock state"

xdotool key Tab key ctrl+a type --delay 20 "Open Sesame"
xdotool key shift+Tab key space
e2e_wait 5 sh -c "! xdotool search --onlyvisible --name '^$LOCK_TITLE\$'" ||
    e2e_fail "the right password did not close the lock window"
[ "$(e2e_store_get CLIENT_LOCKED)" = 0 ] || e2e_fail "unlocking did not store CLIENT_LOCKED 0"
e2e_wait 5 e2e_text "Main Screen" || e2e_fail "the main button does not read 'Main Screen'"

main=$(e2e_window "VL-QX - .*")
xdotool windowactivate --sync "$main" key Return
e2e_wait 10 e2e_window "VELMORA - QUORIX-V2 - Example: BTC" || e2e_fail "the sheet did not open after unlocking"
e2e_close_window "$(e2e_window "VELMORA - QUORIX-V2 - Example: BTC")"
e2e_close_window "$main"
e2e_wait 10 e2e_app_gone || e2e_fail "the tool did not end"

# Locked again: EXIT QUORIX ends the program, still locked.
sed -i 's/^CLIENT_LOCKED=.*/CLIENT_LOCKED=1/' "$STORE"
e2e_start_app
lock=$(open_lock)
# LOCK_BUTTON, entry, Show Password, then EXIT QUORIX.
xdotool windowactivate --sync "$lock" key Tab key Tab key Tab key space
e2e_wait 5 e2e_app_gone || e2e_fail "EXIT QUORIX did not end the program"
[ "$(e2e_store_get CLIENT_LOCKED)" = 1 ] || e2e_fail "the exit did not keep the tool locked"
[ -n "$(e2e_store_get CLIENT-LOCK-WINDOW-Left)" ] || e2e_fail "the lock window's place was not stored"
grep -q "Open Sesame" "$E2E_TMP/app.log" && e2e_fail "the password appeared in the output"
echo "PASS: wrong password refused, right one unlocks, exit keeps the lock"

#!/usr/bin/env bash
# The whole lock road: set a password through the password manager, lock,
# restart locked, refuse a wrong password, accept the right one and reach the
# sheet again.
source "$(dirname "$0")/lib.sh" "$1"

SECRET="Hunter 2"
e2e_start_desktop
e2e_start_accessibility
e2e_start_app

sheet=$(e2e_open_sheet)
e2e_click "$sheet" 7440 240 855 735 # the padlock
e2e_wait 10 e2e_window "$LOCK_TITLE" || e2e_fail "the padlock did not open the lock window"
lock=$(e2e_window "$LOCK_TITLE")
e2e_gone 'VELMORA - QUORIX-V2 - Example.*' || e2e_fail "the sheet stayed open behind the lock window"

# Cancel, LOCK, Password Manager.
xdotool windowactivate --sync "$lock" key Tab key Tab key space
e2e_wait 10 e2e_window "$PASSWORD_TITLE" || e2e_fail "Password Manager did not open"
pw=$(e2e_window "$PASSWORD_TITLE")
xdotool windowactivate --sync "$pw" key Tab type --delay 20 "$SECRET"
xdotool key Tab type --delay 20 "$SECRET"
xdotool key Tab key Tab key space # Show Password, Change Password
e2e_wait 5 e2e_text "Close" || e2e_fail "the password change was not confirmed"
[ "$(e2e_store_get LOCK-PASSWORD)" = "$SECRET" ] || e2e_fail "the password was not stored"
xdotool key Escape
e2e_wait 10 e2e_gone "$PASSWORD_TITLE" || e2e_fail "Escape did not close the password window"

e2e_click "$lock" 360 1200 2055 1935 # LOCK
e2e_wait 5 e2e_text "Unlock Main Screen" || e2e_fail "LOCK did not lock the tool"
[ "$(e2e_store_get CLIENT_LOCKED)" = 1 ] || e2e_fail "the lock state was not stored"
e2e_close_window "$lock"
e2e_close_window "$(e2e_window "VL-QX - .*")"
e2e_wait 10 e2e_app_gone || e2e_fail "the tool did not end"

e2e_start_app
e2e_wait 10 e2e_text "Unlock Main Screen" || e2e_fail "the restart is not locked"
lock=$(e2e_open_lock)
# The window opens on LOCK_BUTTON; the entry follows it in the tab order.
xdotool windowactivate --sync "$lock" key Tab type --delay 20 "hunter 2"
xdotool key shift+Tab key space
e2e_wait 5 e2e_entry_red "$lock" || e2e_fail "a wrong password did not turn the entry red"
[ "$(e2e_store_get CLIENT_LOCKED)" = 1 ] || e2e_fail "a wrong password changed the lock state"
xdotool key Tab key ctrl+a type --delay 20 "$SECRET"
xdotool key shift+Tab key space
e2e_wait 5 e2e_gone "$LOCK_TITLE" || e2e_fail "the right password did not unlock"
[ "$(e2e_store_get CLIENT_LOCKED)" = 0 ] || e2e_fail "unlocking did not store CLIENT_LOCKED 0"
e2e_wait 5 e2e_text "Main Screen" || e2e_fail "the main button does not read 'Main Screen'"
e2e_open_sheet >/dev/null
grep -q "$SECRET" "$E2E_TMP/app.log" && e2e_fail "the password appeared in the output"
echo "PASS: password set, locked across a restart, refused, accepted"

#!/usr/bin/env bash
# A locked tool starts showing "Unlock Main Screen" and Enter opens the lock
# window; EXIT QUORIX ends the program still locked, with the window's place
# stored. Refusing and accepting passwords is e2e_password_manager's road.
source "$(dirname "$0")/lib.sh" "$1"

e2e_seed LOCK-PASSWORD "Open Sesame" CLIENT_LOCKED 1
e2e_start_desktop
e2e_start_accessibility
e2e_start_app
e2e_wait 10 e2e_text "Unlock Main Screen" || e2e_fail "a locked start does not read 'Unlock Main Screen'"
lock=$(e2e_open_lock)
# LOCK_BUTTON, entry, Show Password, then EXIT QUORIX.
xdotool windowactivate --sync "$lock" key Tab key Tab key Tab key space
e2e_wait 5 e2e_app_gone || e2e_fail "EXIT QUORIX did not end the program"
[ "$(e2e_store_get CLIENT_LOCKED)" = 1 ] || e2e_fail "the exit did not keep the tool locked"
[ -n "$(e2e_store_get CLIENT-LOCK-WINDOW-Left)" ] || e2e_fail "the lock window's place was not stored"
grep -q "Open Sesame" "$E2E_TMP/app.log" && e2e_fail "the password appeared in the output"
echo "PASS: a locked start opens the lock window and the exit keeps the lock"

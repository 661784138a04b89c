#!/usr/bin/env bash
# Every window, opened and worked with the keyboard alone, as a screen reader
# sees it over the accessibility bus: the focus lands where Tab and Shift+Tab
# should take it, no visible control lacks a name, a ticked row's computed
# value reads back through the text interface, and the stored password is
# nowhere to be read.
source "$(dirname "$0")/lib.sh" "$1"

SHEET="VELMORA - QUORIX-V2 - BTC"
SETTINGS="VELMORA - QUORIX-V2 - SETTINGS"
ABOUT="VELMORA-QUORIX"
LOCK=$LOCK_TITLE
PASSWORD=$PASSWORD_TITLE

e2e_seed CRYPTO_NAME BTC EXCHANGE_RATE_TEXTBOX 0.7 AMOUNT_IN_WALLET_1 2 \
    CURRENT_DOLLAR_VALUATION_1 100 AUTOMATIC_CALCULATIONS_TICKBOX_1 1 LOCK-PASSWORD "Open Sesame"
e2e_start_desktop
e2e_start_accessibility

atspi() { /usr/bin/python3 "$(dirname "$0")/atspi_tool.py" "$@"; }
focus_is() { [ "$(atspi focused 2>/dev/null)" = "$1" ]; }
# expect_focus NAME WHERE: the control a screen reader announces as focused.
expect_focus() {
    e2e_wait 5 focus_is "$1" ||
        e2e_fail "$2: the focus is on '$(atspi focused 2>/dev/null)', not on '$1'"
}
# all_named TITLE: no visible control of that window lacks a name.
all_named() {
    local out
    out=$(atspi unnamed "$1" 2>&1) || e2e_fail "'$1' has controls without a name: $out"
    echo "$out"
}
# open_window TITLE: waits for the window a key press opened.
open_window() {
    e2e_wait 10 e2e_window "$1" || e2e_fail "the window '$1' did not open"
}
press() { xdotool key --clearmodifiers --delay 30 "$@"; }

e2e_start_app
main=$(e2e_window "VL-QX - BTC") || e2e_fail "the compact window is not titled 'VL-QX - BTC'"
xdotool windowactivate --sync "$main"
expect_focus "Main Screen" "compact window"
all_named "VL-QX - BTC"

# Enter presses the compact window's default button.
press Return
open_window "$SHEET"
expect_focus "CLOSE" "sheet"
all_named "$SHEET"
e2e_wait_text 3 "Wallet 1 total USD value" "200" ||
    e2e_fail "row 1's dollar value reads '$(e2e_text "Wallet 1 total USD value")', not 200"
e2e_wait_text 2 "Wallet 1 total value" "140" || e2e_fail "row 1's converted value is not 140"
press Tab
expect_focus "Wallet 1 name" "Tab from CLOSE"
press Tab
expect_focus "Wallet 1 amount" "Tab from the wallet name"
# Backwards round the end of the order: CLOSE, then the name lock, LOCK,
# the coin name, ABOUT and SETTINGS.
press shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
expect_focus "SETTINGS" "Shift+Tab round the sheet"

press space
open_window "$SETTINGS"
expect_focus "Lock Crypto Name and Wallet Names" "settings"
all_named "$SETTINGS"
press shift+Tab
expect_focus "OK" "Shift+Tab from the first setting"
press space
e2e_wait 5 e2e_gone "$SETTINGS" || e2e_fail "Space on OK did not close the settings"

expect_focus "SETTINGS" "sheet after the settings"
press Tab
expect_focus "ABOUT" "Tab from SETTINGS"
press space
open_window "$ABOUT"
expect_focus "OK" "about"
all_named "$ABOUT"
press space
e2e_wait 5 e2e_gone "$ABOUT" || e2e_fail "Space on OK did not close the about window"

expect_focus "ABOUT" "sheet after the about window"
press Tab Tab
expect_focus "LOCK" "Tab to the sheet's LOCK"
press space
open_window "$LOCK"
e2e_wait 5 e2e_gone "$SHEET" || e2e_fail "LOCK did not close the sheet"
expect_focus "Cancel" "lock window, unlocked"
all_named "$LOCK"
press Tab Tab
expect_focus "Password Manager" "Tab in the lock window"
press space
open_window "$PASSWORD"
expect_focus "Cancel" "password window"
all_named "$PASSWORD"
press Tab
expect_focus "Enter New Password" "Tab in the password window"
press Escape
e2e_wait 5 e2e_gone "$PASSWORD" || e2e_fail "Escape did not close the password window"

expect_focus "Password Manager" "lock window after the password window"
press shift+Tab
expect_focus "LOCK" "Shift+Tab in the lock window"
press space
e2e_wait 5 focus_is "UNLOCK" || e2e_fail "LOCK did not switch to the locked layout"
all_named "$LOCK"
[ "$(e2e_store_get CLIENT_LOCKED)" = 1 ] || e2e_fail "locking did not store CLIENT_LOCKED 1"
if atspi contains "Open Sesame" >/dev/null 2>&1; then
    e2e_fail "the stored password can be read over the accessibility bus"
fi
press Tab
expect_focus "Password entry" "Tab from UNLOCK"
xdotool type --delay 20 "Open Sesame"
press shift+Tab space
e2e_wait 5 e2e_gone "$LOCK" || e2e_fail "the right password typed from the keyboard did not unlock"
[ "$(e2e_store_get CLIENT_LOCKED)" = 0 ] || e2e_fail "unlocking did not store CLIENT_LOCKED 0"

e2e_close_window "$main"
e2e_wait 10 e2e_app_gone || e2e_fail "the tool did not end"
echo "PASS: every window is named throughout and worked from the keyboard"

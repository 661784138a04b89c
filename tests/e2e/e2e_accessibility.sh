#!/usr/bin/env bash
# Every window worked with the keyboard alone, as a screen reader follows it on
# the accessibility bus: the focus is announced where it lands, each visible
# control has a name, a worked-out value reads as text. A typed amount and the
# lock outlive a restart; the typed password lifts the lock and is never shown.
source "$(dirname "$0")/lib.sh" "$1"
SHEET="VELMORA - QUORIX-V2 - BTC" LOCK="VELMORA - QUORIX-V2 - LOCK SCREEN" SECRET="Open Sesame"
focus() { e2e_at focused "$1" || e2e_fail "$2: the focus is not on '$1'"; }
opens() { e2e_opens "$1" >/dev/null && { e2e_at unnamed "$1" || e2e_fail "'$1' lacks names"; }; }
enter() { xdotool windowactivate --sync "$(e2e_opens "VL-QX - BTC")" key Return; }

e2e_seed CRYPTO_NAME BTC EXCHANGE_RATE_TEXTBOX 0.7 CURRENT_DOLLAR_VALUATION_1 100 \
    AUTOMATIC_CALCULATIONS_TICKBOX_1 1
e2e_start_desktop
e2e_start_app
opens "VL-QX - BTC" && focus "Main Screen" "compact window"
enter
opens "$SHEET" && focus CLOSE "sheet"
e2e_key Tab Tab
focus "Wallet 1 amount" "Tab from CLOSE"
xdotool type 2
e2e_at text "Wallet 1 total value" 140 || e2e_fail "row 1's worked-out value does not read 140"
# Back past the wallet name, CLOSE, name lock, LOCK, coin name and ABOUT.
e2e_key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
opens "VELMORA - QUORIX-V2 - SETTINGS" && focus "Lock Crypto Name and Wallet Names" "settings"
e2e_key shift+Tab space # OK
focus SETTINGS "sheet after the settings"
e2e_key Tab space
opens VELMORA-QUORIX && focus OK "about"
e2e_key space
focus ABOUT "sheet after the about window"
e2e_key Tab Tab space # LOCK, past the coin name
opens "$LOCK" && focus Cancel "lock window"
e2e_key Tab Tab space # Password Manager
opens "VELMORA - QUORIX-V2 !!! SET LOCK PASSWORD !!!" && focus Cancel "password window"
e2e_key Tab && xdotool type "$SECRET" && e2e_key Tab && xdotool type "$SECRET"
e2e_key Tab Tab space # Change Password, past Show Password
e2e_wait 30 grep -qx "LOCK-PASSWORD=$SECRET" "$STORE" || e2e_fail "the password was not stored"
e2e_key Escape
focus "Password Manager" "lock window after the password window"
e2e_key shift+Tab space # LOCK
focus UNLOCK "the locked lock window" && opens "$LOCK"
e2e_at absent "$SECRET" || e2e_fail "the password can be read on the accessibility bus"
e2e_key Tab Tab Tab space # EXIT QUORIX, past the entry and Show Password
e2e_wait 30 e2e_app_gone || e2e_fail "EXIT QUORIX did not end the program"
[ "$(e2e_stored CLIENT_LOCKED)" = 1 ] || e2e_fail "the program did not end locked"

e2e_start_app
enter
opens "$LOCK" && focus UNLOCK "the lock window after a locked start"
e2e_key Tab && xdotool type "$SECRET" && e2e_key shift+Tab space
e2e_closes "$LOCK"
enter
e2e_at text "Wallet 1 amount" 2 || e2e_fail "the amount did not come back after the restart"
! grep -q "$SECRET" "$E2E_TMP/app.log" || e2e_fail "the password appeared in the output"
echo "PASS: every window named and worked from the keyboard; amount and lock outlive a restart"

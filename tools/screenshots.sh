#!/usr/bin/env bash
# Takes a screenshot of every window under Xvfb and openbox into
# docs/screenshots/, from a store seeded with a few valued rows.
#   bash tools/screenshots.sh [path to VELMORA-QUORIX]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
app="${1:-$here/build/VELMORA-QUORIX}"
out="$here/docs/screenshots"
mkdir -p "$out"
source "$here/tests/e2e/lib.sh" "$app"

shot() { # WINDOW-ID NAME
    sleep 0.4
    import -frame -window "$1" "$out/$2.png"
    echo "$out/$2.png"
}

e2e_seed CRYPTO_NAME BTC EXCHANGE_RATE_TEXTBOX 0.79 LOCK-PASSWORD secret \
    WALLET_NAME_TEXTBOX_1 Ledger AMOUNT_IN_WALLET_1 0.5 CURRENT_DOLLAR_VALUATION_1 97250.5 \
    AUTOMATIC_CALCULATIONS_TICKBOX_1 1 \
    WALLET_NAME_TEXTBOX_2 Exchange AMOUNT_IN_WALLET_2 1.25 CURRENT_DOLLAR_VALUATION_2 97250.5 \
    AUTOMATIC_CALCULATIONS_TICKBOX_2 1 \
    WALLET_NAME_TEXTBOX_3 Paper AMOUNT_IN_WALLET_3 0 CURRENT_DOLLAR_VALUATION_3 97250.5 \
    AUTOMATIC_CALCULATIONS_TICKBOX_3 1 \
    AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL 1 AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL 1 \
    AlwaysOnTopTimer_TICKBOX 0
e2e_start_desktop
e2e_start_app
main=$(e2e_window "VL-QX - .*")
shot "$main" main
xdotool windowactivate --sync "$main" key Return
sheet=$(e2e_opens "VELMORA - QUORIX-V2 - BTC")
sleep 2
shot "$sheet" sheet

# The sheet opens on CLOSE; backwards past the name lock, LOCK, the coin name
# and ABOUT lies SETTINGS.
e2e_key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
shot "$(e2e_opens "VELMORA - QUORIX-V2 - SETTINGS")" settings
e2e_key shift+Tab space # OK
e2e_closes "VELMORA - QUORIX-V2 - SETTINGS"
e2e_key Tab space # ABOUT
shot "$(e2e_opens VELMORA-QUORIX)" about
e2e_key space
e2e_closes VELMORA-QUORIX
e2e_key Tab Tab space # LOCK, past the coin name
lock=$(e2e_opens "VELMORA - QUORIX-V2 - LOCK SCREEN")
shot "$lock" lock-unlocked
e2e_key Tab Tab space # Password Manager
shot "$(e2e_opens "VELMORA - QUORIX-V2 !!! SET LOCK PASSWORD !!!")" password
e2e_key Escape
e2e_closes "VELMORA - QUORIX-V2 !!! SET LOCK PASSWORD !!!"
e2e_key shift+Tab space # LOCK
shot "$lock" lock-locked
e2e_key Tab Tab Tab space # EXIT QUORIX
e2e_wait 30 e2e_app_gone

# The sheet at twice the scale, as on a HiDPI screen.
sed -i 's/^CLIENT_LOCKED=.*/CLIENT_LOCKED=0/' "$STORE"
kill $(jobs -p) 2>/dev/null || true
wait 2>/dev/null || true
E2E_SCREEN=2400x1500x24 e2e_start_desktop
QT_SCALE_FACTOR=2 e2e_start_app
xdotool windowactivate --sync "$(e2e_window "VL-QX - .*")" key Return
sheet=$(e2e_opens "VELMORA - QUORIX-V2 - BTC")
sleep 2
shot "$sheet" sheet-scale2

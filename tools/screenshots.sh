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
shot "$(e2e_window "VL-QX - .*")" main
sheet=$(e2e_open_sheet)
sleep 2
shot "$sheet" sheet

e2e_click "$sheet" 10440 240 1575 375
e2e_wait 10 e2e_window "VELMORA - QUORIX-V2 - SETTINGS"
w=$(e2e_window "VELMORA - QUORIX-V2 - SETTINGS")
shot "$w" settings
e2e_close_window "$w"
sleep 0.5

e2e_click "$sheet" 7440 1200 855 375
e2e_wait 10 e2e_window "VELMORA-QUORIX"
w=$(e2e_window "VELMORA-QUORIX")
shot "$w" about
e2e_close_window "$w"
sleep 0.5

e2e_click "$sheet" 7440 240 855 735
e2e_wait 10 e2e_window "VELMORA - QUORIX-V2 - LOCK SCREEN"
lock=$(e2e_window "VELMORA - QUORIX-V2 - LOCK SCREEN")
shot "$lock" lock-unlocked
xdotool windowactivate --sync "$lock" key Tab key Tab key space
e2e_wait 10 e2e_window "VELMORA - QUORIX-V2 !!! SET LOCK PASSWORD !!!"
w=$(e2e_window "VELMORA - QUORIX-V2 !!! SET LOCK PASSWORD !!!")
shot "$w" password
xdotool key Escape
sleep 0.5
e2e_click "$lock" 360 1200 2055 1935
shot "$lock" lock-locked
xdotool windowactivate --sync "$lock" key Tab key Tab key Tab key space
e2e_wait 10 e2e_app_gone

# The sheet at twice the scale, as on a HiDPI screen.
sed -i 's/^CLIENT_LOCKED=.*/CLIENT_LOCKED=0/' "$STORE"
kill "$WM_PID" "$XVFB_PID" 2>/dev/null || true
wait "$WM_PID" "$XVFB_PID" 2>/dev/null || true
XVFB_PID="" WM_PID=""
E2E_SCREEN=2400x1500x24 e2e_start_desktop
QT_SCALE_FACTOR=2 e2e_start_app
sheet=$(e2e_open_sheet)
sleep 2
shot "$sheet" sheet-scale2

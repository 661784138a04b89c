#!/usr/bin/env bash
# The wallet sheet opens with Enter on the compact window, values a ticked row
# and its total within two seconds of typing an amount, saves the amount when
# closed through the window manager, and shows it again after a restart.
source "$(dirname "$0")/lib.sh" "$1"

e2e_seed EXCHANGE_RATE_TEXTBOX 0.5 CURRENT_DOLLAR_VALUATION_3 100 \
    AUTOMATIC_CALCULATIONS_TICKBOX_3 1 AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL 1
e2e_start_desktop
e2e_start_accessibility

e2e_start_app
sheet=$(e2e_open_sheet)
# Row 3's amount field, in pixels of the sheet's client area.
xdotool windowactivate --sync "$sheet" mousemove --window "$sheet" 230 220 click 1
xdotool key --clearmodifiers ctrl+a type --delay 20 "2"
e2e_wait_text 5 "Wallet 3 amount" "2" || e2e_fail "the amount could not be typed"
e2e_wait_text 2 "Wallet 3 total USD value" "200" || e2e_fail "row 3 was not valued within 2 s"
e2e_wait_text 2 "Wallet 3 total value" "100" || e2e_fail "row 3's converted value is wrong"
e2e_wait_text 2 "Total USD" "200" || e2e_fail "the dollar total was not added up within 2 s"

e2e_close_window "$sheet"
e2e_wait 10 e2e_gone "VELMORA - QUORIX-V2 - .*" || e2e_fail "the sheet did not close"
[ "$(e2e_store_get AMOUNT_IN_WALLET_3)" = "2" ] || e2e_fail "the amount was not saved"
e2e_close_window "$(e2e_window "VL-QX - .*")"
e2e_wait 10 e2e_app_gone || e2e_fail "the tool did not end"

e2e_start_app
e2e_open_sheet >/dev/null
e2e_wait_text 5 "Wallet 3 amount" "2" || e2e_fail "the amount did not come back after a restart"
echo "PASS: the sheet values a typed amount and keeps it across a restart"

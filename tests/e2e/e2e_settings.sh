#!/usr/bin/env bash
# The settings window opens from the sheet; ticking auto-save stores the
# switch at once, and closing the window keeps it.
source "$(dirname "$0")/lib.sh" "$1"

SETTINGS_TITLE="VELMORA - QUORIX-V2 - SETTINGS"
e2e_start_desktop
e2e_start_app
sheet=$(e2e_open_sheet)
e2e_click "$sheet" 10440 240 1575 375 # SETTINGS
e2e_wait 10 e2e_window "$SETTINGS_TITLE" || e2e_fail "SETTINGS did not open the settings window"
settings=$(e2e_window "$SETTINGS_TITLE")
# An empty store switches always-on-top off as the window opens.
e2e_wait 5 sh -c "[ \"\$(awk -F= '/^AlwaysOnTopTimer_TICKBOX=/{print \$2}' '$STORE')\" = 0 ]" ||
    e2e_fail "opening the settings window did not store always-on-top off"

# The window opens on the name lock; auto-save is next in the tab order.
xdotool windowactivate --sync "$settings" key Tab key space
e2e_wait 5 sh -c "[ \"\$(awk -F= '/^AUTOSAVE_TICKBOX=/{print \$2}' '$STORE')\" = 1 ]" ||
    e2e_fail "ticking auto-save did not store it at once"
e2e_close_window "$settings"
e2e_wait 10 e2e_gone "$SETTINGS_TITLE" || e2e_fail "the settings window did not close"
[ "$(e2e_store_get AUTOSAVE_TICKBOX)" = 1 ] || e2e_fail "closing the window lost the auto-save switch"
[ -n "$(e2e_store_get SettingsScreenLeft)" ] || e2e_fail "the settings window's place was not stored"
echo "PASS: auto-save ticked in the settings window is stored"

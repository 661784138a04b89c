#!/usr/bin/env bash
# CALCULATOR starts the desktop's calculator as the user who runs the tool, with
# no argument, also where pkexec is installed: the calculator's window appears.
source "$(dirname "$0")/lib.sh" "$1"
command -v xcalc >/dev/null && command -v pkexec >/dev/null || e2e_fail "xcalc and pkexec are needed"
# The tool finds only these two programs, so xcalc is the calculator it picks.
mkdir "$E2E_TMP/bin" && ln -s "$(command -v xcalc)" "$(command -v pkexec)" "$E2E_TMP/bin/"
e2e_start_desktop
PATH="$E2E_TMP/bin" "$APP" >>"$E2E_TMP/app.log" 2>&1 &
main=$(e2e_opens "VL-QX - .*")
xdotool windowactivate --sync "$main" key Return
e2e_opens "VELMORA - QUORIX-V2 - .*" >/dev/null
e2e_at press CALCULATOR || e2e_fail "no CALCULATOR button on the sheet"
e2e_opens Calculator >/dev/null
# The program's own path is unique to this test; xcalc does not publish its pid.
pid=$(pgrep -f "^$E2E_TMP/bin/xcalc") || e2e_fail "no calculator process"
[ "$(stat -c %u /proc/"$pid")" = "$(id -u)" ] || e2e_fail "the calculator runs as another user"
[ "$(tr '\0' ' ' </proc/"$pid"/cmdline)" = "$E2E_TMP/bin/xcalc " ] ||
    e2e_fail "the calculator's command line: $(tr '\0' ' ' </proc/"$pid"/cmdline)"
kill "$pid"
echo "PASS: CALCULATOR opens the calculator as the user, its command line the program alone"

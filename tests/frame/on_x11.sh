# Runs a test program on an X server of its own under openbox (see lib.sh).
source "$(dirname "$0")/../e2e/lib.sh"
e2e_start_desktop
QT_QPA_PLATFORM=xcb "$APP"

#!/usr/bin/env bash
# The editor's script box read and edited through AT-SPI (the desktop's
# accessibility bus), as a screen reader does, on a private X server and a
# private session bus.
set -u
TORVIC="$1"
source "$(dirname "$0")/lib.sh"
need Xvfb xdotool matchbox-window-manager dbus-run-session
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIPPED: python3-pyatspi is not installed"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIPPED: at-spi2-core is not installed"; exit 77; }
start_xvfb 1280x1024x24
start_wm
own_home
script "$DIR/read.torvic" "beep" "wait(10) ' café €" "end"
expected='beep\r\nwait(10) \x27 caf\u00e9 \u20ac\r\nend'  # the last line break is not shown
dbus-run-session -- bash -c '
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
    "$1" "$2" >/dev/null 2>&1 &
    app=$!
    /usr/bin/python3 "$3" $app "$4"
    rc=$?
    kill $app 2>/dev/null; wait $app 2>/dev/null
    exit $rc' _ "$TORVIC" "$DIR/read.torvic" "$(dirname "$0")/support/atspi_script_box.py" "$expected"
check "the script box through AT-SPI" $?
finish

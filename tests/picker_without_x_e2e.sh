#!/usr/bin/env bash
# The mouse position picker on a Wayland session without an X display (and
# here without a desktop portal either): no backend can read the pointer,
# so the picker says "no disponible" with the reason, and the editor stays
# up with its unsaved text. The editor's own window is on a private X
# server named only on its command line (-display); the program itself sees
# no DISPLAY, as on such a session.
set -u
TORVIC="$1"
source "$(dirname "$0")/lib.sh"
need Xvfb xdotool matchbox-window-manager
start_xvfb 1024x768x24
start_wm
own_home

env -u DISPLAY WAYLAND_DISPLAY=wayland-torvic-none XDG_RUNTIME_DIR="$DIR" \
    "$TORVIC" -platform xcb -display "$DISPLAY" >"$DIR/out" 2>&1 &
app=$!
pids+=($app)
within 20 xdotool search --all --onlyvisible --pid $app --name "Torvic XP" >/dev/null 2>&1
win=$(xdotool search --all --onlyvisible --pid $app --name "Torvic XP" 2>/dev/null | head -1)
check "the editor is up on the session without X" $([ -n "$win" ]; echo $?)
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || xdotool windowfocus --sync "$win" >/dev/null 2>&1
xdotool type --delay 20 'msg("no guardat")'
typed() { xdotool search --name '^\*' >/dev/null 2>&1; }  # the caption marks unsaved work
within 10 typed
xdotool key ctrl+p
box() { xdotool search --onlyvisible --name "Posició del Ratolí:" 2>/dev/null | head -1; }
within 20 eval '[ -n "$(box)" ]'
check "the picker says the pointer is not available" $?
import -window root "$DIR/picker.png" 2>/dev/null && cp "$DIR/picker.png" "${PICKER_SCREENSHOT:-/dev/null}" 2>/dev/null
xdotool windowactivate --sync "$(box)" >/dev/null 2>&1; xdotool key Return
within 10 eval '[ -z "$(box)" ]'
check "its message closes" $?
check "the editor is still up" $(kill -0 $app 2>/dev/null; echo $?)
check "... and said nothing of an abort ($(head -c 300 "$DIR/out"))" $(! grep -qiE "terminate|abort" "$DIR/out"; echo $?)
# Ended from outside now, the unsaved text is in its recovery copy: it was
# still in the editor.
kill -TERM $app
within 20 eval '! kill -0 $app 2>/dev/null'; wait $app 2>/dev/null
check "the unsaved text is in the recovery copy" $(grep -rqa 'msg("no guardat")' "$XDG_STATE_HOME/torvic" 2>/dev/null; echo $?)

finish

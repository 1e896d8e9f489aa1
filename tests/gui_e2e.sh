#!/usr/bin/env bash
# torvic /exec runs a script hidden and ends by itself when the script ends.
set -u
TORVIC="$1"
source "$(dirname "$0")/xvfb_lib.sh"
need Xvfb
start_xvfb 1024x768x24

mkdir -p "$DIR/with blanks"
printf 'data line\r\n' > "$DIR/in.txt"
printf '%s\r\n' "' writes a file and ends" "open(\"$DIR/in.txt\")" 'repl("data","DATA")' 'wait(200)' \
    "save(\"$DIR/out.txt\")" > "$DIR/with blanks/job.torvic"
timeout 30 "$TORVIC" /exec "$DIR/with blanks/job.torvic" >/dev/null 2>&1
rc=$?
check "torvic /exec ended by itself (rc $rc)" $([ $rc -eq 0 ]; echo $?)
check "the script wrote its file" $([ "$(cat "$DIR/out.txt" 2>/dev/null)" = "$(printf 'DATA line\r\n')" ]; echo $?)

printf '%s\r\n' 'stop' "save(\"$DIR/never.txt\")" > "$DIR/stop.torvic"
daemons() { pgrep -c -u "$(id -u)" dbus-daemon 2>/dev/null || true; }
before=$(daemons)
(unset DBUS_SESSION_BUS_ADDRESS; timeout 30 "$TORVIC" "/exec" "$DIR/stop.torvic" >/dev/null 2>&1)
rc=$?
check "without a session bus none is left behind" $([ "$(daemons)" -le "$before" ]; echo $?)
check "a hidden run that stops ends the program (rc $rc)" $([ $rc -eq 0 ] && [ ! -e "$DIR/never.txt" ]; echo $?)

# The registered desktop entry's Exec line, as a file manager runs it on a
# .torvic file: the script runs hidden.
entry="$(dirname "$TORVIC")/share/applications/torvic.desktop"
if [ -f "$entry" ]; then
    printf '%s\r\n' "open(\"$DIR/in.txt\")" "save(\"$DIR/opened.txt\")" > "$DIR/double click.torvic"
    exec_line=$(grep -m1 '^Exec=' "$entry" | cut -d= -f2- | sed "s|%f|'$DIR/double click.torvic'|")
    PATH="$(dirname "$TORVIC"):$PATH" timeout 30 sh -c "$exec_line" >/dev/null 2>&1
    check "the desktop entry's Exec line runs a script hidden" $([ -f "$DIR/opened.txt" ]; echo $?)
fi

# A wait never ends before its time: wait(3000), then a file is written.
printf '%s\r\n' 'wait(3000)' "open(\"$DIR/in.txt\")" "save(\"$DIR/waited.txt\")" > "$DIR/wait.torvic"
started=$(date +%s%N)
timeout 30 "$TORVIC" /exec "$DIR/wait.torvic" >/dev/null 2>&1
written=$(stat -c %.9Y "$DIR/waited.txt" 2>/dev/null | tr -d .)
check "a hidden wait(3000) wrote its file no sooner than 3 s after the start" \
    $([ -n "$written" ] && [ $((written - started)) -ge 3000000000 ]; echo $?)

# With a notification area (the XEmbed tray trayer), a hidden run puts its
# icon there while it runs and takes it away when it ends.
if command -v trayer >/dev/null; then
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    trayIcons() { xwininfo -root -tree 2>/dev/null | grep -ac '"torvic": ("torvic"'; }
    topWindows() { xwininfo -root -children 2>/dev/null | grep -ac '"torvic": ("torvic" "torvic")'; }
    printf '%s\r\n' 'wait(3500)' > "$DIR/tray.torvic"
    "$TORVIC" /exec "$DIR/tray.torvic" >/dev/null 2>&1 &
    run=$!
    sleep 1.5
    during=$(trayIcons)
    # The right button on the icon opens RCpopup, a window of its own.
    icon=$(xwininfo -root -tree 2>/dev/null | grep -a '"torvic": ("torvic"' | awk '{print $1}' | head -1)
    windows=$(topWindows)
    if [ -n "$icon" ]; then xdotool mousemove --window "$icon" 5 5 click 3 2>/dev/null; sleep 0.8; fi
    check "the right button on the icon opens its menu" $([ "$(topWindows)" -gt "$windows" ]; echo $?)
    xdotool key Escape 2>/dev/null
    wait $run
    check "a hidden run shows its icon in the notification area ($during)" $([ "$during" -ge 1 ]; echo $?)
    check "the icon is gone when the run has ended ($(trayIcons))" $([ "$(trayIcons)" -eq 0 ]; echo $?)
fi

# An endless loop in the window stops with F4, and then the program is idle.
if command -v xdotool >/dev/null && command -v matchbox-window-manager >/dev/null; then
    matchbox-window-manager -use_titlebar no 2>/dev/null &
    pids+=($!)
    printf '%s\r\n' "' endless" 'goto(0,32767)' 'goto(0,32767)' 'goto(0,32767)' > "$DIR/loop.torvic"
    "$TORVIC" "$DIR/loop.torvic" >/dev/null 2>&1 &
    app=$!
    pids+=($app)
    win=""
    for _ in $(seq 50); do win=$(xdotool search --pid $app --name "Torvic" 2>/dev/null | head -1); [ -n "$win" ] && break; sleep 0.2; done
    cpu() { awk '{print $14 + $15}' "/proc/$app/stat"; }
    xdotool windowfocus --sync "$win" 2>/dev/null; sleep 0.5
    xdotool key shift+F5; sleep 1.5
    busy0=$(cpu); sleep 1; busy1=$(cpu)
    check "the loop runs (cpu ticks $busy0 -> $busy1)" $([ $((busy1 - busy0)) -ge 20 ]; echo $?)
    xdotool key F4; sleep 0.5
    idle0=$(cpu); sleep 1; idle1=$(cpu)
    check "after F4 the program is idle (cpu ticks $idle0 -> $idle1)" $([ $((idle1 - idle0)) -le 5 ]; echo $?)
    check "the window is still there after F4" $(kill -0 $app 2>/dev/null; echo $?)
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

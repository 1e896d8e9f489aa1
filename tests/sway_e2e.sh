#!/usr/bin/env bash
# Desktop commands under headless sway, run as an ordinary user: send of
# every code page 1252 character and named keys into a native Wayland
# window (read back exactly), mouse moves, clicks and wheel at the right
# places, focu and exec's window modes (read with swaymsg), with sway's IPC
# and, hidden from the run, through the foreign toplevel protocol; ifmouse's
# clear error; on Xwayland, send into an X client exact, and with the X11
# backend alone, send into a native window fails its line instead of typing
# nothing, and ifmouse reads the pointer over X windows only.
set -u
RUN="$1"
RECORDER="$2"
# An ordinary user: the compositor and its clients never run as root.
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || { echo "SKIPPED: setpriv is not installed"; exit 77; }
    id nobody >/dev/null 2>&1 || { echo "SKIPPED: no ordinary user (nobody) to switch to"; exit 77; }
    setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups true 2>/dev/null ||
        { echo "SKIPPED: cannot switch to the user nobody"; exit 77; }
    exec setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
        env -u XDG_RUNTIME_DIR -u WAYLAND_DISPLAY -u SWAYSOCK -u DISPLAY HOME=/tmp bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
need sway swaymsg jq python3 iconv wish xterm
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
    { echo "SKIPPED: Qt's Wayland platform (qt6-wayland) is not installed"; exit 77; }
chmod 755 "$DIR"
export HOME="$DIR/home" XDG_RUNTIME_DIR="$DIR/run"
mkdir -p "$HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/no-session-bus"

cat > "$DIR/sway.conf" <<CONF
xwayland force
default_border none
default_floating_border none
exec sh -c 'echo "\$WAYLAND_DISPLAY \$SWAYSOCK \$DISPLAY" > $DIR/env.tmp && mv $DIR/env.tmp $DIR/env'
CONF
WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$DIR/sway.conf" >"$DIR/sway.log" 2>&1 &
SWAY=$!
within 20 test -s "$DIR/env" || { echo "FAIL: sway did not start"; tail "$DIR/sway.log"; exit 1; }
read -r WAYLAND_DISPLAY SWAYSOCK DISPLAY < "$DIR/env"
export WAYLAND_DISPLAY SWAYSOCK DISPLAY
# Sway is ended first, its clients after it.
stop_all() { kill $SWAY 2>/dev/null; wait $SWAY 2>/dev/null; cleanup; }
trap stop_all EXIT

# A node of the tree by its process: its field $2 (jq path).
node() { swaymsg -t get_tree | jq -r "[.. | objects | select(.pid? == $1)][0] | $2"; }
focused_pid() { swaymsg -t get_tree | jq -r '[.. | objects | select(.focused? == true)][0].pid'; }
# For `within`, which runs its command again (a "$(...)" argument would be read once).
has_focus() { [ "$(focused_pid)" = "$1" ]; }
is_fullscreen() { [ "$(node "$1" .fullscreen_mode)" = 1 ]; }
in_tree() { [ "$(node "$1" .pid)" = "$1" ]; }
start_recorder() {  # log file; sets rec
    QT_QPA_PLATFORM=wayland "$RECORDER" "$1" 2>>"$DIR/recorder.err" &
    rec=$!
    pids+=($rec)
    within 20 grep -qsx ready "$1" && within 10 has_focus "$rec"
}
to1252() { iconv -f utf-8 -t cp1252; }

# ---- send: every 1252 character, then named keys and modifiers
LOG="$DIR/rec.log"
start_recorder "$LOG"
check "the native receiver is up and focused" $?
python3 - "$DIR" <<'PY'
import sys
d = sys.argv[1]
chars = [bytes([b]).decode('cp1252') for b in range(0x20, 0x100)
         if b != 0x7f and b not in (0x81, 0x8d, 0x8f, 0x90, 0x9d)]
# Shift+C below types a capital C as well.
open(d + '/expected.txt', 'w', encoding='utf-8').write(''.join(chars) + 'C')
def notation(c):
    if c in '+^%~(){}': return '{' + c + '}'
    return c
parts = []
for c in chars:
    if c == '"': parts.append('"+34+"')
    elif c == '\\': parts.append('"+92+"')
    else: parts.append(notation(c))
line = 'send("' + ''.join(parts) + '",1)\r\n'
line += 'send("{ENTER}{TAB}{BACKSPACE}{LEFT 2}{F5}{HOME}{END}{DEL}{ESC}{PGUP}{INSERT}^a%b+c",1)\r\n'
open(d + '/send.torvic', 'wb').write(line.encode('cp1252'))
PY
timeout 60 "$RUN" --on-error=stop "$DIR/send.torvic" </dev/null >/dev/null 2>"$DIR/err"
rc=$?
check "send ran to its end (rc $rc)" $([ $rc -eq 0 ]; echo $?)
within 10 cmp -s "$LOG.text" "$DIR/expected.txt"
check "every code page 1252 character arrived exactly, in order" $?
# Qt's key codes: Return, Tab, Backspace, Left twice, F5, Home, End, Delete,
# Escape, PageUp, Insert, then Ctrl+A, Alt+B, Shift+C.
expected_keys="1000004:0 1000001:0 1000003:0 1000012:0 1000012:0 1000034:0 1000010:0 1000011:0 1000007:0 \
1000000:0 1000016:0 1000006:0 41:4000000 42:8000000 43:2000000"
keys() { sed -n 's/^key:\([0-9a-f]*\) mods:\([0-9a-f]*\).*/\1:\2/p' "$LOG" | grep -v '^10000[2-3][0-9a-f]:' |
         tail -15 | tr '\n' ' ' | sed 's/ $//'; }
within 10 eval '[ "$(keys)" = "$expected_keys" ]'
check "named keys and modifiers arrived as keys (got: $(keys))" $?
[ "$failed" -eq 0 ] || { cmp "$LOG.text" "$DIR/expected.txt"; cat "$DIR/err"; }

# ---- mouse: a move and click, the right button, the wheel both ways
x=$(node $rec .rect.x); y=$(node $rec .rect.y)
script "$DIR/mouse.torvic" "mouse($((x + 100)),$((y + 200)),1)" "mouse($((x + 300)),$((y + 50)),0,0,1)" \
    "mouse($((x + 20)),$((y + 30)),0,0,0,-240)" "mouse($((x + 20)),$((y + 30)),0,0,0,120)"
: > "$LOG"
timeout 30 "$RUN" --on-error=stop "$DIR/mouse.torvic" </dev/null >/dev/null 2>"$DIR/err"
check "mouse ran to its end" $?
within 10 grep -qx "wheel:120" "$LOG"
got="$(grep -E '^(press|release|wheel)' "$LOG" | tr '\n' ' ')"
check "clicks at their places and the wheel both ways (got: $got)" \
    $([ "$got" = "press:1 100 200 release:1 press:2 300 50 release:2 wheel:-240 wheel:120 " ]; echo $?)

# ---- ifmouse: sway does not tell where the pointer is; the line says so
script "$DIR/ifmouse.torvic" "ifmouse(0,0,5000,5000)" "wait(1)"
timeout 30 "$RUN" --on-error=stop "$DIR/ifmouse.torvic" </dev/null >/dev/null 2>"$DIR/err"
rc=$?
check "ifmouse fails its line with the reason (rc $rc)" \
    $([ $rc -ne 0 ] && grep -qa "no diu on" "$DIR/err"; echo $?)
[ $rc -ne 0 ] || cat "$DIR/err"
kill $rec; wait $rec 2>/dev/null

# ---- exec's window modes and focu, read back from sway's tree
# A script cannot wait for a window; it waits long enough, once more longer.
modes() {
    script "$DIR/modes.torvic" "exec(\"$RECORDER $DIR/a.log\",4,1)" "exec(\"$RECORDER $DIR/b.log\",0,2)" \
        "wait($1)" "exec(\"$RECORDER $DIR/d.log\",1,4)" "wait($1)" "focu(1)"
    QT_QPA_PLATFORM=wayland timeout 60 "$RUN" --on-error=stop "$DIR/modes.torvic" </dev/null >/dev/null 2>"$DIR/err"
}
pid_of() { ls -d /proc/[0-9]* 2>/dev/null | sed 's|$|/cmdline|' | while read -r f; do
    { tr '\0' ' ' < "$f"; } 2>/dev/null | grep -q "^$RECORDER $DIR/$1.log" && basename "$(dirname "$f")"; done | head -1; }
modes 3000 || { for p in a b d; do p=$(pid_of $p); [ -n "$p" ] && kill "$p"; done; modes 8000; }
check "exec and focu ran to their end ($(iconv -f cp1252 -t utf-8 "$DIR/err"))" $?
A=$(pid_of a); B=$(pid_of b); D=$(pid_of d)
pids+=($A $B $D)
within 10 has_focus "$A"
check "focu brought the first program's window to the front" $?
in_scratchpad() { swaymsg -t get_tree | jq -e "[.. | objects | select(.name? == \"__i3_scratch\") | .. | objects |
    select(.pid? == $1)] | length == 1" >/dev/null; }
within 10 in_scratchpad "$B"
check "exec mode 0 hid the window (sway's scratchpad)" $?
check "exec mode 4 left the window shown" $([ "$(node "$A" .visible)" = true ]; echo $?)
check "exec mode 1 showed the window" $([ "$(node "$D" .visible)" = true ]; echo $?)
# Maximised (alone: focusing another window of its workspace ends it).
# The run stays (its wait) while the mode is given to the window that appears.
script "$DIR/max.torvic" "exec(\"$RECORDER $DIR/c.log\",3,3)" "wait(30000)"
QT_QPA_PLATFORM=wayland timeout 60 "$RUN" --on-error=stop "$DIR/max.torvic" </dev/null >/dev/null 2>"$DIR/err" &
maxrun=$!
pids+=($maxrun)
within 20 eval '[ -n "$(pid_of c)" ]'
C=$(pid_of c)
pids+=($C)
within 20 is_fullscreen "$C"
check "exec mode 3 made the window take the whole output" $?
kill $A $B $C $D 2>/dev/null

# ---- the same without sway's IPC (hidden from the run): the foreign toplevel
# protocol, a program's window being the first that appears after exec started
# it. Sway ignores its minimise and maximise requests (full screen stands for
# maximised, as with its IPC) and focuses every new window itself.
noipc() { QT_QPA_PLATFORM=wayland timeout 60 env -u SWAYSOCK "$RUN" --on-error=stop "$@" </dev/null >/dev/null 2>"$DIR/err"; }
background_run() { noipc "$1" & tlrun=$!; pids+=($tlrun); }
script "$DIR/toplevels.torvic" "exec(\"$RECORDER $DIR/e.log\",4,1)" "wait(4000)" "exec(\"true\",1,3)" \
    "exec(\"$RECORDER $DIR/f.log\",3,2)" "wait(30000)"
background_run "$DIR/toplevels.torvic"
within 20 eval '[ -n "$(pid_of f)" ]'
E=$(pid_of e); F=$(pid_of f)
pids+=($E $F)
within 20 is_fullscreen "$F"
check "without the IPC, exec mode 3 made its own window take the whole output (a command without one started before it)" $?
check "... and not the window that was there before it" $([ "$(node "$E" .fullscreen_mode)" = 0 ]; echo $?)
kill $tlrun $E $F 2>/dev/null
# The second program's window, new, has the focus until focu gives it back.
script "$DIR/focu.torvic" "exec(\"$RECORDER $DIR/h.log\",4,1)" "wait(4000)" "exec(\"$RECORDER $DIR/i.log\",1,2)" \
    "wait(4000)" "focu(1)" "wait(30000)"
background_run "$DIR/focu.torvic"
within 20 eval '[ -n "$(pid_of i)" ]'
H=$(pid_of h); I=$(pid_of i)
pids+=($H $I)
within 20 in_tree "$I" && within 20 has_focus "$H"
check "without the IPC, focu brought the first program's window to the front" $?
kill $tlrun $H $I 2>/dev/null
script "$DIR/stranger.torvic" "focu(5)"
noipc "$DIR/stranger.torvic"
rc=$?
check "without the IPC, focu of a program this run did not start fails saying why (rc $rc)" \
    $([ $rc -ne 0 ] && grep -qa "iniciats amb exec en aquesta execuci" "$DIR/err"; echo $?)
[ $rc -ne 0 ] || cat "$DIR/err"

# ---- Xwayland: send into an X client exact
TK="$DIR/tk.log"
wish "$(dirname "$0")/support/tk_catcher.tcl" "$TK" &
tk=$!
pids+=($tk)
within 20 test -e "$TK.ready" && within 10 has_focus "$tk"
printf 'Xwayland: àÉ€ ok' > "$DIR/xexpected.txt"
printf 'send("Xwayland: àÉ€ ok",1)\r\n' | to1252 > "$DIR/x.torvic"
timeout 30 "$RUN" --on-error=stop "$DIR/x.torvic" </dev/null >/dev/null 2>"$DIR/err"
check "send into an Xwayland window ran" $?
within 10 cmp -s "$TK" "$DIR/xexpected.txt"
check "send into an Xwayland window arrived exactly" $?
[ "$failed" -eq 0 ] || { cat "$TK"; echo; cat "$DIR/err"; }

# ---- only the X11 backend (a Wayland session the program cannot drive): a native window
# with the focus is out of its reach; the line fails, never types nothing.
start_recorder "$DIR/native.log"
check "a native window has the focus" $?
[ "$failed" -eq 0 ] || cat "$DIR/recorder.err"
printf 'send("perdut",1)\r\n' > "$DIR/lost.torvic"
(WAYLAND_DISPLAY=no-compositor-here timeout 30 "$RUN" --on-error=stop "$DIR/lost.torvic" </dev/null >/dev/null 2>"$DIR/err")
rc=$?
check "send with the X11 backend into a native window fails (rc $rc) saying why" \
    $([ $rc -ne 0 ] && grep -qa "activa no .*s d'X" "$DIR/err"; echo $?)
[ "$failed" -eq 0 ] || { cat "$DIR/err"; cat "$DIR/recorder.err"; }
script "$DIR/lostmouse.torvic" "mouse(10,10,1)"
(WAYLAND_DISPLAY=no-compositor-here timeout 30 "$RUN" --on-error=stop "$DIR/lostmouse.torvic" </dev/null >/dev/null 2>"$DIR/err")
rc=$?
check "mouse with the X11 backend over a native window fails (rc $rc)" $([ $rc -ne 0 ]; echo $?)
check "... and nothing reached the native window" $([ ! -s "$DIR/native.log.text" ]; echo $?)

# ifmouse: Xwayland knows the pointer only while it moves over X windows
# (coming into one is not enough: it crosses the root window alike).
# Once it goes over a native window X keeps a stale place, and the line fails
# (line 5 below), even when another X window then comes under that place
# (line 8). One run keeps its virtual pointer (the seat's only one) while
# others move it; the X windows float in the middle, over the native one.
swaymsg "[pid=$tk] floating enable, resize set 200 200, move position center" >/dev/null
swaymsg 'for_window [class="XTerm"] floating enable' >/dev/null
tx=$(( $(node $tk .rect.x) + 50 )); ty=$(( $(node $tk .rect.y) + 60 ))
script "$DIR/xpointer.torvic" "exec(\"touch $DIR/watching\",0)" "wait(8000)" \
    "ifmouse($tx,$ty)" "exec(\"touch $DIR/read\",0)" "wait(8000)" \
    "ifmouse(0,0,5000,5000)" "exec(\"touch $DIR/left\",0)" "wait(8000)" "ifmouse(0,0,5000,5000)"
(WAYLAND_DISPLAY=no-compositor-here timeout 60 "$RUN" --trace --on-error=continue "$DIR/xpointer.torvic" \
    </dev/null >/dev/null 2>"$DIR/xpointer.err") &
xrun=$!
within 20 test -e "$DIR/watching"
script "$DIR/holdpointer.torvic" "mouse($((tx - 10)),$((ty - 10)))" "mouse($tx,$ty)" "wait(60000)"
timeout 70 "$RUN" "$DIR/holdpointer.torvic" </dev/null >/dev/null 2>&1 &
pids+=($!)
within 20 test -e "$DIR/read"
script "$DIR/tonative.torvic" "mouse(1200,700)"
timeout 30 "$RUN" "$DIR/tonative.torvic" </dev/null >/dev/null 2>&1
within 20 test -e "$DIR/left"
xterm -e sleep 60 &
pids+=($!)
within 10 in_tree $!
wait $xrun
failed_lines=$(grep -a "a la l.nia: " "$DIR/xpointer.err" | sed 's/.*: //' | tr -d '\r' | tr '\n' ' ')
reasons=$(grep -ca "nom.s se sap on .s el punter" "$DIR/xpointer.err")
check "with the X11 backend, ifmouse reads the pointer's place over an X window" \
    $([ -e "$DIR/read" ] && [[ "$failed_lines" != *"2 "* ]]; echo $?)
check "... and fails saying why over a native window, even with an X window under its stale place" \
    $([ "$failed_lines" = "5 8 " ] && [ "$reasons" = 2 ]; echo $?)
[ "$failed" -eq 0 ] || iconv -f cp1252 -t utf-8 "$DIR/xpointer.err"

finish

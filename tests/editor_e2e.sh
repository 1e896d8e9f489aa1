#!/usr/bin/env bash
# The editor as a user meets it, under Xvfb with a window manager. torvic
# /exec runs a script hidden and ends by itself. A hidden run started from
# the editor outlives its own dialogs and ends the program when the script
# ends; the question about unsaved work at the end of a hidden run is asked
# once and its three answers do what they say (each case with a notification
# area, trayer, and without one); the icon and its menu. A UTF-8 program and
# a 1252 one each take a typed "→" and are saved without losing it. A
# selection is the desktop's, and a middle click pastes it. F4 stops an
# endless loop. The program writes no settings of its own.
set -u
TORVIC="$1"
source "$(dirname "$0")/lib.sh"
need Xvfb xdotool xmodmap matchbox-window-manager trayer wish
start_xvfb 1280x1024x24
start_wm

printf 'x\r\n' > "$DIR/in.txt"
own_home
# Starts the editor on a script (or empty), focuses it; sets $app and $win.
# The recovery copies of editors ended here with unsaved work go first:
# each start would offer them (unsaved_work_e2e.sh tests that).
start_editor() {
    rm -rf "$XDG_STATE_HOME/torvic"
    editor_window "$@"
    editor_takes_keys
}
# Waits up to $1 seconds for the editor to end; 0 when it did.
ended_within() {
    for _ in $(seq $(($1 * 10))); do kill -0 $app 2>/dev/null || { wait $app 2>/dev/null; return 0; }; sleep 0.1; done
    kill $app 2>/dev/null; wait $app 2>/dev/null; return 1
}
# Waits for a window whose title holds $1; 0 when it came.
window_came() { within 5 xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# ---- torvic /exec, from a folder whose name has a blank
mkdir -p "$DIR/with blanks"
script "$DIR/with blanks/job.torvic" "' writes a file and ends" "open(\"$DIR/in.txt\")" 'repl("x","X")' 'wait(1500)' \
    "save(\"$DIR/out.txt\")"
timeout 30 "$TORVIC" /exec "$DIR/with blanks/job.torvic" >/dev/null 2>&1
rc=$?  # its file, written after wait(1500), is there: it did not end sooner
check "torvic /exec ended by itself (rc $rc) with its file written" \
    $([ $rc -eq 0 ] && [ "$(cat "$DIR/out.txt" 2>/dev/null)" = "$(printf 'X\r\n')" ]; echo $?)

script "$DIR/stop.torvic" 'stop' "save(\"$DIR/never.txt\")"
daemons() { pgrep -c -u "$(id -u)" dbus-daemon 2>/dev/null || true; }
before=$(daemons)
(unset DBUS_SESSION_BUS_ADDRESS; timeout 30 "$TORVIC" /exec "$DIR/stop.torvic" >/dev/null 2>&1)
rc=$?
check "without a session bus none is left behind" $([ "$(daemons)" -le "$before" ]; echo $?)
check "a hidden run that stops ends the program (rc $rc)" $([ $rc -eq 0 ] && [ ! -e "$DIR/never.txt" ]; echo $?)

cases() {  # label
    local where="$1" name keys title close
    # The script's own message box closed with Enter; the timed error window
    # of a mistyped line with Esc; a visible run sent away with Ctrl+I, then
    # its message box: each run outlives them, writes its file and ends.
    while IFS='|' read -r name keys title close first second; do
        script "$DIR/$name.torvic" "$first" "$second" "open(\"$DIR/in.txt\")" 'write("X")' "save(\"$DIR/$name-$where.txt\")"
        start_editor "$DIR/$name.torvic"
        xdotool key --delay 500 $keys
        window_came "$title"; xdotool key $close
        ended_within 15
        check "$where: $name: the run outlived \"$title\", wrote its file and ended the program" \
            $([ $? -eq 0 ] && [ "$(cat "$DIR/$name-$where.txt" 2>/dev/null)" = "$(printf 'Xx\r\n')" ]; echo $?)
    done <<'END'
msg|ctrl+F5|Ocult|Return|msg("Inici ocult",1,"Ocult")|wait(1000)
wiat|ctrl+F5|Error de sintaxis|Escape|wiat(1)|wait(500)
iconified|F5 ctrl+i|Torvic prova|Return|wait(1500)|msg("Fet!",1,"Torvic prova")
END

    # Unsaved work at the end of a hidden run: each answer once.
    for answer in Escape "Tab space" Return; do  # Cancel·lar, No guardar, Guardar
        start_editor
        xdotool type 'wait(800)'; xdotool key ctrl+F5
        window_came "Modificacions sense guardar"; sleep 0.3; xdotool key $answer
        case $answer in
        Escape)
            check "$where: Cancel·lar keeps the program and brings the window back" \
                $(within 5 eval 'kill -0 $app 2>/dev/null && xdotool search --all --onlyvisible --pid $app --name "Torvic XP" >/dev/null'; echo $?)
            check "$where: ... and the question is not asked again" \
                $(within 5 eval '! xdotool search --onlyvisible --name "Modificacions sense guardar" >/dev/null 2>&1'; echo $?)
            kill $app 2>/dev/null; wait $app 2>/dev/null ;;
        Tab*) ended_within 10; check "$where: No guardar ends the program" $? ;;
        Return)
            sleep 1.5; xdotool type "$DIR/saved-$where.torvic"; xdotool key Return  # through "Guardar com.."
            ended_within 10
            check "$where: Guardar saves through the save dialog and ends the program" \
                $([ $? -eq 0 ] && [ "$(cat "$DIR/saved-$where.torvic" 2>/dev/null)" = "wait(800)" ]; echo $?) ;;
        esac
    done
}

cases "without a notification area"

# F1 on a desktop with no viewer for RTF or HTML: the program's own help
# window shows the manual.
start_editor
xdotool key F1
window_came "Torvic: comandes i sintaxis"
check "F1 shows the manual in the help window" $?
xdotool key Escape
check "Esc closes the help window" $(within 5 eval '! xdotool search --onlyvisible --name "Torvic: comandes i sintaxis" >/dev/null 2>&1'; echo $?)
kill $app 2>/dev/null; wait $app 2>/dev/null

# ---- UTF-8 programs, and a character 1252 cannot hold typed into one
# A UTF-8 script with LF (as other editors write it), named with characters
# 1252 cannot hold, opens from the command line, takes a typed "→" and is
# saved by its name in UTF-8, with its LF line ends, without a question (it
# is its own file, unchanged on disk); a 1252 one (CR LF) asks first and
# offers UTF-8 for it.
# "→" gets a key of its own before the editor starts: xdotool would otherwise
# remap a key for it just while typing, which a busy program can read late.
spare=$(xmodmap -pke | awk 'NF == 3 {print $2; exit}')
xmodmap -e "keycode $spare = rightarrow"
printf "' cafè\nbeep\n" > "$DIR/utf8→ő.torvic"
printf "' caf\xe8\r\nbeep\r\n" > "$DIR/ansi.torvic"
for name in "utf8→ő" ansi; do
    start_editor "$DIR/$name.torvic"
    xdotool key ctrl+End Return; xdotool type "' "; xdotool key rightarrow; sleep 0.3; xdotool key ctrl+s
    if [ $name = ansi ]; then
        check "a 1252 program with a typed → asks before saving" $(window_came "perdrien"; echo $?)
        sleep 0.3; xdotool key Return  # Sí: UTF-8
    fi
    if [ $name = ansi ]; then eol='\r\n'; else eol='\n'; fi
    printf "' cafè${eol}beep${eol}' →${eol}" > "$DIR/expected.torvic"
    check "$name.torvic with a typed → is saved in UTF-8 by its name, with its line ends" \
        $(within 5 cmp -s "$DIR/expected.torvic" "$DIR/$name.torvic"; echo $?)
    xdotool key Escape
    ended_within 10
    check "$name: ... and nothing was left unsaved" $?
done

# ---- the desktop's selection: a selection made (Shift let go) is offered
# to other programs, and a middle click pastes the desktop's selection where
# it is (here below the text: at the end of its last line).
printf 'beep\r\nwait(1)\r\n' > "$DIR/primary.torvic"
start_editor "$DIR/primary.torvic"
xdotool key ctrl+Home shift+End; sleep 0.3
got="$(echo 'puts [selection get]; exit' | timeout 10 wish 2>/dev/null)"
check "a selection made is the desktop's ($got)" $([ "$got" = beep ]; echo $?)
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 2; sleep 0.3
xdotool key ctrl+s
printf 'beep\r\nwait(1)beep\r\n' > "$DIR/expected.torvic"
check "a middle click pastes it" $(within 5 cmp -s "$DIR/expected.torvic" "$DIR/primary.torvic"; echo $?)
xdotool key Escape
ended_within 10

# An endless loop in the window stops with F4, and then the program is idle.
script "$DIR/loop.torvic" "' endless" 'goto(0,32767)' 'goto(0,32767)' 'goto(0,32767)'
start_editor "$DIR/loop.torvic"
cpu() { awk '{print $14 + $15}' "/proc/$app/stat"; }
xdotool key shift+F5; sleep 1.5
busy0=$(cpu); sleep 1; busy1=$(cpu)
check "the loop runs (cpu ticks $busy0 -> $busy1)" $([ $((busy1 - busy0)) -ge 20 ]; echo $?)
xdotool key F4; sleep 0.5
idle0=$(cpu); sleep 1; idle1=$(cpu)
check "after F4 the program is idle (cpu ticks $idle0 -> $idle1)" $([ $((idle1 - idle0)) -le 5 ]; echo $?)
check "the window is still there after F4" $(kill -0 $app 2>/dev/null; echo $?)
kill $app 2>/dev/null; wait $app 2>/dev/null

# The file dialog, opened and closed, leaves nothing in the home folder.
start_editor
xdotool key ctrl+b; sleep 1; xdotool key Escape; sleep 0.3; xdotool key Escape
ended_within 10
check "the program writes no settings file ($(cd "$HOME" && find . -type f | head -3))" \
    $([ -z "$(find "$HOME" -type f)" ]; echo $?)

trayer --edge bottom --align right --widthtype request --height 24 >/dev/null 2>&1 &
pids+=($!)
# The notification area is there once its manager owns the screen's tray
# selection (what Qt asks before it puts an icon up).
trayOwned() {
    /usr/bin/python3 -c '
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetSelectionOwner.restype = ctypes.c_ulong
d = x.XOpenDisplay(None)
sys.exit(0 if d and x.XGetSelectionOwner(d, x.XInternAtom(d, b"_NET_SYSTEM_TRAY_S0", 0)) else 1)'
}
within 10 trayOwned
# A hidden run puts its icon in the notification area while it runs, the
# icon's right button opens RCpopup (whose Sortir ends the run), and the
# icon goes when the run has ended.
trayIcons() { xwininfo -root -tree 2>/dev/null | grep -ac '"torvic": ("torvic"'; }
script "$DIR/tray.torvic" 'wait(120000)'
"$TORVIC" /exec "$DIR/tray.torvic" >/dev/null 2>&1 &
run=$!
iconShown() { [ "$(trayIcons)" -ge 1 ]; }
within 20 iconShown
during=$(trayIcons)
icon=$(xwininfo -root -tree 2>/dev/null | grep -a '"torvic": ("torvic"' | awk '{print $1}' | head -1)
# The icon takes clicks once the notification area has embedded it (its
# parent is no longer the root window) and shows it.
rootId=$(xwininfo -root 2>/dev/null | awk '/Window id:/ {print $4}')
embedded() {
    [ -n "$icon" ] && [ "$(xwininfo -id "$icon" -tree 2>/dev/null | awk '/Parent window id:/ {print $4}')" != "$rootId" ] &&
        xwininfo -id "$icon" 2>/dev/null | grep -q IsViewable
}
within 20 embedded
check "the notification area embedded the icon" $?
# The menu: a shown window of the program's other than the icon.
menuShown() {
    local w
    for w in $(xwininfo -root -children 2>/dev/null | grep -a '"torvic": ("torvic"' | awk '{print $1}'); do
        [ "$w" != "$icon" ] && xwininfo -id "$w" 2>/dev/null | grep -q IsViewable && return 0
    done
    return 1
}
check "no menu is shown before the click" $(! menuShown; echo $?)
xdotool mousemove --window "$icon" 5 5 click 3 2>/dev/null
within 20 menuShown
check "the right button on the icon opens its menu" $?
# Sortir, its last item, ends the run (started hidden: nothing to ask).
xdotool key Up Return 2>/dev/null
ended() { ! kill -0 $run 2>/dev/null; }
within 20 ended
check "the menu's Sortir ended the run" $?
wait $run 2>/dev/null
check "a hidden run shows its icon in the notification area ($during)" $([ "$during" -ge 1 ]; echo $?)
check "the icon is gone when the run has ended ($(trayIcons))" $([ "$(trayIcons)" -eq 0 ]; echo $?)

cases "with a notification area"

finish

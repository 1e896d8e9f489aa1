#!/usr/bin/env bash
# The editor never loses a user's work, under Xvfb with a window manager:
# another program's change to the open program survives Ctrl+S answered with
# Return, and so does a second editor window's save; a changed program is
# offered again when the window comes back; a read-only program is not
# replaced and the reason is shown; SIGTERM, SIGHUP and a display that goes
# away leave the unsaved text in a recovery copy, which the next start
# recovers (read back by saving it) or discards.
set -u
TORVIC="$1"
source "$(dirname "$0")/lib.sh"
need Xvfb xdotool matchbox-window-manager
start_xvfb 1024x768x24
start_wm
own_home
COPIES="$XDG_STATE_HOME/torvic"

shown() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
came() { within 10 test -n "$(shown "$1")"; }
gone() { within 10 test -z "$(shown "$1")"; }
# Starts the editor and waits until it takes keys (an editor that starts
# with a question is started with editor_window alone).
start_editor() { editor_window "$@" && editor_takes_keys; }
focus_editor() { xdotool windowactivate --sync "$win" >/dev/null 2>&1 || xdotool windowfocus --sync "$win" >/dev/null 2>&1; }
# Waits until the editor has handled every key sent so far: the help
# window (F1) comes only after them; it is closed again, and the editor
# has the keys back before the next one goes.
keys_handled() {
    xdotool key F1
    came "Torvic: comandes i sintaxis" && xdotool key Escape && gone "Torvic: comandes i sintaxis" && focus_editor
}
unsaved() { xdotool getwindowname "$win" 2>/dev/null | grep -q '^\*'; }
ended() { ! kill -0 $app 2>/dev/null; }
finish_editor() { kill $app 2>/dev/null; wait $app 2>/dev/null; }

# ---- another program changes the open program; Ctrl+S, Return keeps its change
printf 'beep\r\n' > "$DIR/p.torvic"
start_editor "$DIR/p.torvic"
xdotool key ctrl+End; xdotool type 'wait(1)'
keys_handled
printf 'beep\r\nmsg("altre")\r\n' > "$DIR/other"; mv "$DIR/other" "$DIR/p.torvic"
xdotool key ctrl+s
check "Ctrl+S over another program's change asks" $(came "El fitxer ha canviat al disc"; echo $?)
xdotool key Return
check "... Return keeps the other program's version" \
    $(gone "El fitxer ha canviat al disc" && [ "$(cat "$DIR/p.torvic")" = "$(printf 'beep\r\nmsg("altre")\r\n')" ]; echo $?)
check "... and the editor keeps its own unsaved text" $(unsaved; echo $?)
# Esc too keeps it (the question is the same), then the save question at the end.
xdotool key ctrl+s; came "El fitxer ha canviat al disc"; xdotool key Escape; gone "El fitxer ha canviat al disc"
xdotool key Escape; came "Modificacions sense guardar"; xdotool key Tab space  # No guardar
check "Esc keeps it too; the program ends without saving" \
    $(within 10 ended && [ "$(cat "$DIR/p.torvic")" = "$(printf 'beep\r\nmsg("altre")\r\n')" ]; echo $?)
check "a recovery copy thrown away on purpose is not kept" $([ -z "$(ls -A "$COPIES" 2>/dev/null)" ]; echo $?)

# ---- two editor windows on one program
printf 'beep\r\n' > "$DIR/two.torvic"
start_editor "$DIR/two.torvic"; first=$app; firstwin=$win
start_editor "$DIR/two.torvic"
xdotool key ctrl+End; xdotool type 'wait(2)'; xdotool key ctrl+s
check "the second window saves its own unchanged file without a question" \
    $(within 10 grep -q 'wait(2)' "$DIR/two.torvic"; echo $?)
xdotool key Escape; within 10 ended
app=$first; win=$firstwin; focus_editor
check "the first window, back at the front, offers the changed program again" $(came "El fitxer ha canviat al disc"; echo $?)
xdotool key Tab space  # No: keep the editor's text
gone "El fitxer ha canviat al disc"
xdotool key ctrl+End; xdotool type 'wait(1)'; xdotool key ctrl+s
check "its Ctrl+S asks before replacing the second window's save" $(came "El fitxer ha canviat al disc"; echo $?)
xdotool key Return
check "... and Return keeps it" $(gone "El fitxer ha canviat al disc" && grep -q 'wait(2)' "$DIR/two.torvic"; echo $?)
finish_editor  # (SIGTERM: its unsaved text goes to a copy, which is not wanted here)
rm -rf "$COPIES"

# ---- a read-only program: not replaced, the reason shown
printf 'beep\r\n' > "$DIR/ro.torvic"; chmod 444 "$DIR/ro.torvic"
start_editor "$DIR/ro.torvic"
xdotool key ctrl+End; xdotool type 'wait(3)'; xdotool key ctrl+s
check "a read-only program is refused" $(came "Error en grabar el fitxer"; echo $?)
xdotool key Return
check "... and left as it was" $([ "$(cat "$DIR/ro.torvic")" = "$(printf 'beep\r\n')" ] && [ "$(stat -c %a "$DIR/ro.torvic")" = 444 ]; echo $?)
finish_editor
rm -rf "$COPIES"

# ---- SIGTERM and SIGHUP: the copy, then the next start recovers it
for sig in TERM HUP; do
    printf 'beep\r\n' > "$DIR/$sig.torvic"
    start_editor "$DIR/$sig.torvic"
    xdotool key ctrl+End Return; xdotool type "msg(\"$sig\")"
    keys_handled
    kill -$sig $app
    within 10 ended
    wait $app; rc=$?
    check "SIG$sig ends the editor as the signal does (rc $rc)" $([ $rc -gt 128 ]; echo $?)
    check "SIG$sig leaves the unsaved text in a copy" $(grep -qs "msg(\"$sig\")" "$COPIES"/recovery-*.torvic; echo $?)
    check "... and the program's file as it was" $([ "$(cat "$DIR/$sig.torvic")" = "$(printf 'beep\r\n')" ]; echo $?)
    editor_window
    check "the next start offers the copy" $(came "Recuperació del programa"; echo $?)
    xdotool key Return  # Recuperar
    gone "Recuperació del programa"
    xdotool key ctrl+s
    check "recovered, it is saved by the program's name" \
        $(within 10 eval "[ \"\$(cat '$DIR/$sig.torvic')\" = \"\$(printf 'beep\r\nmsg(\"$sig\")\r\n')\" ]"; echo $?)
    check "... and its copy is gone" $(within 10 test -z "$(ls -A "$COPIES")"; echo $?)
    xdotool key Escape; within 10 ended
done

# A discarded copy is removed.
printf 'beep\r\n' > "$DIR/d.torvic"
start_editor "$DIR/d.torvic"
xdotool key ctrl+End; xdotool type 'wait(4)'
keys_handled
kill -TERM $app; within 10 ended; wait $app
editor_window
came "Recuperació del programa"
xdotool key Tab space  # Descartar
check "a discarded copy is removed" $(gone "Recuperació del programa" && within 10 test -z "$(ls -A "$COPIES")"; echo $?)
finish_editor

# ---- the display goes away with unsaved work
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$DIR/display2" 2>/dev/null &
second=$!
within 30 grep -q '[0-9]' "$DIR/display2"
DISPLAY=":$(tr -dc 0-9 <"$DIR/display2")"
within 30 xprop -root >/dev/null 2>&1
printf 'beep\r\n' > "$DIR/lost.torvic"
start_editor "$DIR/lost.torvic"
xdotool key ctrl+End; xdotool type 'wait(5)'
keys_handled
kill $second; wait $second 2>/dev/null
check "the editor ends with its display" $(within 10 ended; echo $?)
check "... leaving the unsaved text in a copy" $(grep -qs 'wait(5)' "$COPIES"/recovery-*.torvic; echo $?)
finish

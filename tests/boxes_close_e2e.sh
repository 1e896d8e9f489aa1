#!/usr/bin/env bash
# Every box the editor shows closes with Return and with a click on its
# button, under matchbox (without title bars), openbox and no window manager:
# the mouse picker's warning, find and replace (its button reached with Tab)
# and a question of the main window. After them the editor still takes keys
# and ends.
set -u
TORVIC="$1"
source "$(dirname "$0")/lib.sh"
need Xvfb xdotool matchbox-window-manager openbox
start_xvfb 1024x768x24
own_home

shown() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
absent() { [ -z "$(shown "$1")" ]; }
came() { within 10 test -n "$(shown "$1")"; }
# Clicks at x,y of the window titled $1 (its own coordinates; a negative y
# counts from its bottom edge, mid is the middle, mid-N left of it).
click_in() {
    local w x=$2 y=$3 WIDTH=0 HEIGHT=0
    w=$(shown "$1")
    [ -n "$w" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$w" | grep -E '^(WIDTH|HEIGHT)=')"
    case $x in mid) x=$((WIDTH / 2)) ;; mid-*) x=$((WIDTH / 2 - ${x#mid-})) ;; esac
    [ "$y" -lt 0 ] && y=$((HEIGHT + y))
    xdotool mousemove --window "$w" "$x" "$y" click 1
}
# Closes the box titled $1 with Return or with a click at $3,$4; checks it went.
close_box() {
    local title=$1 how=$2
    sleep 0.3
    if [ "$how" = Return ]; then xdotool mousemove --window "$(shown "$title")" 5 5; xdotool key Return; else click_in "$title" "$3" "$4"; fi
    check "$wm: \"$title\" closes with $how" $(within 5 absent "$title"; echo $?)
}

printf 'beep\r\n' > "$DIR/prog.torvic"
for how in Return click; do printf "wait(1)\r\n" > "$DIR/other-$how.torvic"; done
for wm in matchbox openbox none; do
    wmpid=
    case $wm in
        matchbox) matchbox-window-manager -use_titlebar no 2>/dev/null & wmpid=$! ;;
        openbox) openbox --config-file /dev/null 2>/dev/null & wmpid=$! ;;
    esac
    [ -z "$wmpid" ] || within 5 wm_ready
    "$TORVIC" "$DIR/prog.torvic" >/dev/null 2>&1 &
    app=$!
    came "Torvic XP"
    xdotool windowactivate --sync "$(shown "Torvic XP")" >/dev/null 2>&1 || xdotool windowfocus "$(shown "Torvic XP")"
    sleep 0.5

    for how in Return click; do
        # The picker's warning: a number out of range in "Cordenada X:", Enter.
        click_in "Torvic XP" 300 200  # the editor box, as a user without a window manager would
        xdotool key ctrl+p
        came "Posició del Ratolí"
        sleep 0.3
        click_in "Posició del Ratolí" 40 44  # into "Cordenada X:"
        xdotool key ctrl+a; xdotool type 1e12; xdotool key Return
        check "$wm: the picker warns" $(came "Atenció:"; echo $?)
        close_box "Atenció:" $how mid -27
        sleep 0.3
        xdotool mousemove --window "$(shown "Posició del Ratolí")" 5 5; xdotool key Escape  # Tornar
        check "$wm: ... and the picker goes back" $(within 5 absent "Posició del Ratolí"; echo $?)

        # Find and replace: Tab, Tab to "Substituir", Return; or a click on it.
        xdotool key ctrl+r
        came "Substituir"
        sleep 0.3
        # Without a window manager the keys go where the pointer is.
        if [ $how = Return ]; then xdotool mousemove --window "$(shown Substituir)" 20 20; xdotool key Tab Tab; fi
        close_box "Substituir" $how 428 112

        # A question of the main window: saving over another file, named in Text2.
        click_in "Torvic XP" 300 92
        xdotool key ctrl+a; xdotool type "$DIR/other-$how.torvic"; xdotool key ctrl+s
        check "$wm: saving over another file asks" $(came "El fitxer ja existeix"; echo $?)
        close_box "El fitxer ja existeix" $how mid-40 -27  # Sí
    done

    click_in "Torvic XP" 300 200
    xdotool key Escape
    check "$wm: the editor still takes keys and ends with Esc" $(within 10 eval '! kill -0 $app 2>/dev/null'; echo $?)
    kill $app 2>/dev/null; wait $app 2>/dev/null
    [ -n "$wmpid" ] && { kill $wmpid 2>/dev/null; wait $wmpid 2>/dev/null; }
done
finish

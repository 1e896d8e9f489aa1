#!/usr/bin/env bash
# Desktop commands on a real X server: exec and focu of a Qt window, send of
# keys (accented ones included), a click with mouse, ifmouse after moves.
# Then send into an Xlib client (a Tk window) on a Spanish keyboard layout
# where @, # and € need AltGr: every letter with an accent that code page
# 1252 has, capital and small, € and AltGr characters arrive byte for byte;
# the keyboard map is as it was afterwards; a text with more characters off
# the map than spare key codes arrives in batches; with no spare key code the
# line fails and nothing at all is typed.
set -u
RUN="$1"
CATCHER="$2"
source "$(dirname "$0")/lib.sh"
need Xvfb matchbox-window-manager wish xmodmap setxkbmap iconv
start_xvfb 1280x1024x24
start_wm

LOG="$DIR/catcher.log"
printf '%s\r\n' \
  "exec(\"$CATCHER $LOG\",1,3)" \
  "wait(2500)" \
  "focu(3)" \
  "wait(300)" \
  "send(\"Hola{ENTER}\")" \
  "send(\"$(printf '\xe0\xe7')\",1)" \
  "wait(500)" \
  "mouse(100,200,1)" \
  "wait(500)" \
  "mouse(40,50)" \
  "mouse(+10,-10)" \
  "ifmouse(50,40)" \
  "exec(\"touch $DIR/ifmouse-inside\",0)" \
  "ifmouse(0,0,10,10)" \
  "exec(\"touch $DIR/ifmouse-wrong\",0)" \
  "ifmouse()" \
  "wait(500)" > "$DIR/desk.torvic"
timeout 60 "$RUN" --on-error=stop "$DIR/desk.torvic" 2>"$DIR/err"
rc=$?

check "the script ran to its end (rc $rc)" $([ $rc -eq 0 ]; echo $?)
check "the window started by exec was ready" $(grep -qx "ready" "$LOG"; echo $?)
check "send typed Hola and Enter" $(grep -qx "line:Hola" "$LOG"; echo $?)
check "send typed characters off the keyboard map" $(grep -qx "text:àç" "$LOG"; echo $?)
check "mouse(100,200,1) clicked the button" $(grep -qx "clicked" "$LOG"; echo $?)
check "ifmouse saw the pointer at 50,40" $([ -e "$DIR/ifmouse-inside" ]; echo $?)
check "ifmouse skipped the block outside its rectangle" $([ ! -e "$DIR/ifmouse-wrong" ]; echo $?)
if [ "$failed" -ne 0 ]; then echo "--- catcher log"; cat "$LOG"; echo "--- stderr"; cat "$DIR/err"; fi

# ---- send on a Spanish layout, into a Tk window
setxkbmap es
LOG="$DIR/tk.log"
# Writes a script that sends $1 (UTF-8, the script in code page 1252) and the text expected back.
send_script() { printf '%s' "$1" > "$DIR/expected.txt"; printf 'send("%s",1)\r\n' "$1" | iconv -f utf-8 -t cp1252 > "$DIR/send.torvic"; }
start_window() {
    rm -f "$LOG" "$LOG.ready"
    wish "$(dirname "$0")/support/tk_catcher.tcl" "$LOG" &
    window=$!
    pids+=($window)
    within 10 test -e "$LOG.ready"
}
# Sends the script into a new window; 0 when the window then holds exactly the text.
# A window that was not yet taking keys (a loaded machine) gets a second try
# in a new window; a text that arrives wrong twice fails.
arrives() { arrives_once || { echo "(the text did not arrive; trying a new window)"; arrives_once; }; }
arrives_once() {
    start_window
    timeout 30 "$RUN" --on-error=stop "$DIR/send.torvic" </dev/null >/dev/null 2>"$DIR/err"
    rc=$?
    for _ in $(seq 100); do cmp -s "$LOG" "$DIR/expected.txt" && break; sleep 0.1; done
    cmp -s "$LOG" "$DIR/expected.txt"
    local same=$?
    kill $window 2>/dev/null; wait $window 2>/dev/null
    [ $rc -eq 0 ] && [ $same -eq 0 ]
}
map() { xmodmap -pke; }

# Every letter with an accent of code page 1252, capital and small, and the
# rest of its letters off an English keyboard, €, and AltGr characters of
# the Spanish layout.
accents="ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞßàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿŠšŽžŒœŸƒ"
send_script "$accents€ @#[]\\| CATALÀ, AVINGUDA DE L'ESGLÉSIA"
before="$(map)"
arrives
check "every accented letter, capital and small, € and AltGr characters arrive exactly" $?
check "the keyboard map is as it was before" $([ "$(map)" = "$before" ]; echo $?)

# Spare key codes: keep eight, fill the others (as a desktop with a fuller
# map would have them); the accented letters then need several batches.
spare=($(xmodmap -pke | awk 'NF == 3 {print $2}'))
for code in "${spare[@]:8}"; do xmodmap -e "keycode $code = F35"; done
filled="$(map)"
send_script "$accents"
arrives
check "a text with more characters off the map than spare key codes arrives exactly" $?
check "... and the map is as it was before it" $([ "$(map)" = "$filled" ]; echo $?)

# No spare key code at all: the line fails, saying why, and types nothing.
for code in "${spare[@]:0:8}"; do xmodmap -e "keycode $code = F35"; done
send_script "abcÀ"
start_window
timeout 30 "$RUN" --on-error=stop "$DIR/send.torvic" </dev/null >/dev/null 2>"$DIR/err"
rc=$?
check "with no spare key code the line fails (rc $rc) and says why" \
    $([ $rc -eq 1 ] && grep -q "cap codi lliure" "$DIR/err"; echo $?)
sleep 0.5  # a key typed late would show by then
check "... and nothing of the text was typed" $([ ! -s "$LOG" ]; echo $?)

finish

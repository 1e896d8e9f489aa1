#!/usr/bin/env bash
# Desktop commands on a real X server: exec and focu of a Qt window, send of
# keys (accented ones included), a click with mouse, ifmouse after moves.
set -u
RUN="$1"
CATCHER="$2"
source "$(dirname "$0")/lib.sh"
need Xvfb matchbox-window-manager
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
finish

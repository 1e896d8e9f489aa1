#!/usr/bin/env bash
# End-to-end checks of the console runner: exit status, messages on
# standard error, answers to the syntax-error prompt; copy and xcopy on real
# files, and desktop commands without an X display.
set -u
RUN="$1"
EXAMPLES="$(cd "$(dirname "$0")/../examples" && pwd)"
source "$(dirname "$0")/lib.sh"
cd "$DIR"

script ok.torvic "' a comment" "wait(300)" "wiat(100)" "beep"
start=$(date +%s%N)
runit ok.torvic
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
check "a run that reaches its end exits 0 (got $rc)" $([ $rc -eq 0 ]; echo $?)
check "the unrecognised command is reported" \
    $(grep -qF "Error en linia  2.  La comanda 'wiat(100)' és incorrecte" <<<"$err"; echo $?)
check "the run-line status shows line 3" $(grep -qF "[3] beep" <<<"$err"; echo $?)
check "wait(300) really waits (${elapsed} ms)" $([ "$elapsed" -ge 250 ]; echo $?)

script err.torvic "beep" "wait(-1)" "' after the error"
runit --on-error=stop err.torvic
check "--on-error=stop exits 1 (got $rc)" $([ $rc -eq 1 ]; echo $?)
check "stop: the next line does not run" $(! grep -qF "[2]" <<<"$err"; echo $?)

runit --on-error=continue err.torvic
check "--on-error=continue exits 0 (got $rc)" $([ $rc -eq 0 ]; echo $?)
check "continue: the next line runs" $(grep -qF "[2] ' after the error" <<<"$err"; echo $?)

runit err.torvic
check "ask without a terminal answers No and exits 1 (got $rc)" $([ $rc -eq 1 ]; echo $?)

runit --on-error=maybe ok.torvic
check "a bad option exits 2 (got $rc)" $([ $rc -eq 2 ]; echo $?)

script start.torvic "' zero" "' one" "' two"
runit --start=2 start.torvic
check "--start=2 starts at line 2" $(grep -qF "[2] ' two" <<<"$err" && ! grep -qF "[1]" <<<"$err"; echo $?)

script forever.torvic "wait()" "beep"
runit forever.torvic
check "a wait that can never end exits 1 instead of hanging (got $rc)" $([ $rc -eq 1 ]; echo $?)

script loop.torvic "' body" "goto(0,3)" "stop" "' never"
runit loop.torvic
check "stop ends the run with 0 (got $rc)" $([ $rc -eq 0 ] && ! grep -qF "[3]" <<<"$err"; echo $?)

printf "beep\ngoto(0,2)\nstop\n" > "$DIR/lf.torvic"
runit "$DIR/lf.torvic"
check "an LF-only script runs line by line, and says so" \
    $([ $rc -eq 0 ] && grep -qF "line feeds are read as line ends" <<<"$err" && [ "$(grep -c '\[1\] goto' <<<"$err")" -eq 3 ]; echo $?)

# The demo of the start command processes the shop catalogue it ships with.
mkdir "$DIR/demo"
cp "$EXAMPLES/demo.torvic" "$EXAMPLES/cataleg.txt" "$DIR/demo/"
(cd "$DIR/demo" && timeout 20 "$RUN" --on-error=stop demo.torvic </dev/null >/dev/null 2>&1)
check "the demo ends well" $?
revised="$(tr -d '\r' < "$DIR/demo/cataleg-revisat.txt" 2>/dev/null)"
check "the demo's revised catalogue: retitled, prices in euros, nothing discontinued" \
    $(grep -q -- '- revisat$' <<<"$revised" && [ "$(grep -c 'euros$' <<<"$revised")" -eq 7 ] && ! grep -q DESCATALOGAT <<<"$revised"; echo $?)
check "the demo's list holds the entries 10, 20, 21 and 23" \
    $([ "$(cut -c1-5 "$DIR/demo/llista-llums.txt" 2>/dev/null | tr '\n' ' ')" = "ART10 ART20 ART21 ART23 " ]; echo $?)

# ---- copy and xcopy on real files; no X display
printf 'new contents' > a.txt
printf 'old contents that were longer' > b.txt
mkdir -p src/sub/deeper src/empty
printf 'one' > src/1.txt; printf 'two' > src/sub/2.txt; printf 'three' > src/sub/deeper/3.txt
script copy.torvic 'copy("a.txt","b.txt")' 'copy("missing.txt","c.txt")' 'copy("a.txt",)' \
    'xcopy("src","dst","/s /e")' 'xcopy("src","flat","")' 'wait(1500)'
env -u DISPLAY timeout 20 "$RUN" --on-error=continue copy.torvic 2>err
rc=$?
check "the run went to its end (rc $rc)" $([ $rc -eq 0 ]; echo $?)
check "copy replaced the existing file" $([ "$(cat b.txt)" = "new contents" ]; echo $?)
check "copy of a missing file went to the syntax-error prompt" $(grep -qF "Error de Sintaxi a la línia: 1" err; echo $?)
check "nothing was made of the missing file" $([ ! -e c.txt ]; echo $?)
check "an empty destination is reported" $(grep -qF "Error en parametres del Copy" err; echo $?)
check "xcopy /s /e copied the tree" $(diff -r src dst >/dev/null; echo $?)
check "xcopy without /s copied the top files only" $([ -f flat/1.txt ] && [ ! -e flat/sub ]; echo $?)

script nodisplay.torvic 'mouse(1,1,1)' 'open("a.txt")' 'repl("new","NEW")' 'save("d.txt")'
env -u DISPLAY timeout 20 "$RUN" --on-error=continue nodisplay.torvic 2>err
check "mouse without a display names the missing display" \
    $(grep -qF "mouse needs an X display, and DISPLAY is not set" err; echo $?)
check "text commands still work without a display" $([ "$(cat d.txt)" = "NEW contents" ]; echo $?)

finish

#!/usr/bin/env bash
# torvicrun.exe under Wine on real files: the text commands, copy and xcopy,
# a failed save that keeps the previous file, exit codes, Catalan messages;
# then, on an X server, exec of a Windows window program with its id, keys
# (plain, accented, the euro) and a click that the program receives.
set -u
RUN="$1"
CATCHER="$2"
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wine_lib.sh"
need wine winepath
if [ -z "${DISPLAY:-}" ]; then start_xvfb 1024x768x24; fi
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$DIR/wineprefix}"
wineserver -p 60   # a server of its own lifetime, outside the file-size limit below
runit() { timeout 60 wine "$RUN" "$@" </dev/null 2>"$DIR/err" >/dev/null; rc=$?; err="$(cat "$DIR/err")"; }

# ---- text commands and files ------------------------------------------------
printf 't\r\nART1 one\r\nART2 two\r\nART3 three\r\n' > "$DIR/in.txt"
script "$DIR/text.torvic" "open(\"$(win "$DIR/in.txt")\")" 'repl("two","TWO")' 'deline("three")' 'def(ART)' \
    "ref(\"$(win "$DIR/ref.txt")\",\"1_2\")" "save(\"$(win "$DIR/out.txt")\")" \
    "copy(\"$(win "$DIR/in.txt")\",\"$(win "$DIR/copy.txt")\")"
runit --on-error=stop "$DIR/text.torvic"
check "a text script runs (rc $rc)" $([ $rc -eq 0 ]; echo $?)
check "save wrote the changed text" $([ "$(cat "$DIR/out.txt")" = "$(printf 't\r\nART1 one\r\nART2 TWO\r\n')" ]; echo $?)
check "ref extracted the entries" $([ "$(cat "$DIR/ref.txt")" = "$(printf 'ART1 one\r\nART2 TWO\r\n')" ]; echo $?)
check "copy copied the file" $(cmp -s "$DIR/in.txt" "$DIR/copy.txt"; echo $?)

mkdir -p "$DIR/tree/sub"; echo a > "$DIR/tree/sub/a.txt"
script "$DIR/xcopy.torvic" "xcopy(\"$(win "$DIR/tree")\",\"$(win "$DIR/copied")\",\"/s /e /i /q\")"
runit "$DIR/xcopy.torvic"
for _ in $(seq 50); do [ -f "$DIR/copied/sub/a.txt" ] && break; sleep 0.2; done
check "xcopy copied the folder tree" $(cmp -s "$DIR/tree/sub/a.txt" "$DIR/copied/sub/a.txt"; echo $?)

# A save that fails half-way (a file-size limit) keeps the previous file.
head -c 20000 /dev/zero | tr '\0' y > "$DIR/big.txt"
printf 'previous\r\n' > "$DIR/keep.txt"
script "$DIR/limit.torvic" "open(\"$(win "$DIR/big.txt")\")" "save(\"$(win "$DIR/keep.txt")\")" 'beep'
(ulimit -f 8; trap '' XFSZ; timeout 60 wine "$RUN" --on-error=continue "$DIR/limit.torvic" </dev/null 2>"$DIR/err" >/dev/null)
rc=$?
check "a failed save does not end the run (rc $rc)" $([ $rc -eq 0 ] && grep -qF "[2] beep" "$DIR/err"; echo $?)
check "the failed save is reported" $(grep -qF "Error en comanda SAVE en linia  1" "$DIR/err"; echo $?)
check "the previous file is kept" $([ "$(cat "$DIR/keep.txt")" = "$(printf 'previous\r\n')" ]; echo $?)
check "no temporary file is left" $([ "$(ls "$DIR" | grep -c '^~')" -eq 0 ]; echo $?)

# Exit codes and messages as on Linux; Catalan reads right.
runit "$DIR/missing.torvic"
check "a missing script exits 2 (rc $rc)" $([ $rc -eq 2 ] && grep -qF "cannot read" <<<"$err"; echo $?)
runit --start=x "$DIR/text.torvic"
check "a bad option is a usage error (rc $rc)" $([ $rc -eq 2 ] && grep -qF "usage: torvicrun" <<<"$err"; echo $?)
script "$DIR/bad.torvic" "wait(-1)"
runit --on-error=stop "$DIR/bad.torvic"
check "No to a failing line exits 1 (rc $rc)" $([ $rc -eq 1 ]; echo $?)
check "the prompt is Catalan in UTF-8" $(grep -qF "Error de Sintaxi a la línia: 0" <<<"$err"; echo $?)
if command -v script >/dev/null; then
    # On a terminal Wine gives the program a console: the text goes through WriteConsoleW.
    LANG=C.UTF-8 timeout 60 script -qc "wine '$RUN' --on-error=stop '$DIR/bad.torvic'" /dev/null >"$DIR/console.out" 2>&1
    check "in a console the prompt reads right" $(grep -qF "Error de Sintaxi a la línia: 0" "$DIR/console.out"; echo $?)
fi

# The pointer: an absolute move to the middle of the 1024x768 screen, then a
# relative one, each seen by ifmouse.
script "$DIR/pointer.torvic" 'mouse(50%,50%)' 'ifmouse(500,372,524,396)' "' centred" 'ifmouse()' \
    'mouse(+10,+10)' 'ifmouse(510,382,534,406)' "' moved" 'ifmouse()'
runit "$DIR/pointer.torvic"
check "an absolute move reaches the middle" $(grep -qF "[2] ' centred" <<<"$err"; echo $?)
check "a relative move goes on from there" $(grep -qF "[6] ' moved" <<<"$err"; echo $?)

# ---- a Windows program: its id, keys and a click --------------------------------
# (The script is code page 1252: à ç € are the bytes E0 E7 80.)
caught="$DIR/caught.txt"
script "$DIR/keys.torvic" "exec(\"$(win "$CATCHER") catch $(win "$caught")\",1,1)" 'wait(2500)' 'focu(1)' 'wait(500)' \
    'send("Hola{ENTER}")' "send(\"$(printf '\xe0\xe7\x80')\")" 'wait(300)' 'mouse(250,220,1)' 'wait(800)'
runit --on-error=continue "$DIR/keys.torvic"
check "the keys script ran without an error (rc $rc)" $([ $rc -eq 0 ] && ! grep -q "Error" <<<"$err"; echo $?)
grep -q "Error" <<<"$err" && echo "$err"
got="$(cat "$caught" 2>/dev/null)"
check "the started program got Hola and Enter" $(grep -qx "Hola" <<<"$got"; echo $?)
check "the started program got àç€" $(grep -qF "àç€" <<<"$got"; echo $?)
check "the started program got the click" $(grep -qF "<click " <<<"$got"; echo $?)
[ "$failed" -eq 0 ] || echo "caught: $got"
wine taskkill /f /im "$(basename "$CATCHER")" >/dev/null 2>&1

wineserver -k 2>/dev/null
finish

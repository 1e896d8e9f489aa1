#!/usr/bin/env bash
# copy and xcopy on real files, and desktop commands without an X display.
set -u
RUN="$1"
DIR="$(mktemp -d)"
trap 'rm -rf "$DIR"' EXIT
cd "$DIR"
passed=0; failed=0
check() { if [ "$2" -eq 0 ]; then passed=$((passed+1)); else failed=$((failed+1)); echo "FAIL: $1"; fi; }

printf 'new contents' > a.txt
printf 'old contents that were longer' > b.txt
mkdir -p src/sub/deeper src/empty
printf 'one' > src/1.txt; printf 'two' > src/sub/2.txt; printf 'three' > src/sub/deeper/3.txt
printf '%s\r\n' 'copy("a.txt","b.txt")' 'copy("missing.txt","c.txt")' 'copy("a.txt",)' \
    'xcopy("src","dst","/s /e")' 'xcopy("src","flat","")' 'wait(1500)' > copy.torvic
env -u DISPLAY timeout 20 "$RUN" --on-error=continue copy.torvic 2>err
rc=$?
check "the run went to its end (rc $rc)" $([ $rc -eq 0 ]; echo $?)
check "copy replaced the existing file" $([ "$(cat b.txt)" = "new contents" ]; echo $?)
check "copy of a missing file went to the syntax-error prompt" $(grep -qF "Error de Sintaxi a la línia: 1" err; echo $?)
check "nothing was made of the missing file" $([ ! -e c.txt ]; echo $?)
check "an empty destination is reported" $(grep -qF "Error en parametres del Copy" err; echo $?)
check "xcopy /s /e copied the tree" $(diff -r src dst >/dev/null; echo $?)
check "xcopy without /s copied the top files only" $([ -f flat/1.txt ] && [ ! -e flat/sub ]; echo $?)

printf '%s\r\n' 'send("abc")' 'mouse(1,1,1)' 'open("a.txt")' 'repl("new","NEW")' 'save("d.txt")' > nodisplay.torvic
env -u DISPLAY timeout 20 "$RUN" --on-error=continue nodisplay.torvic 2>err
check "send without a display names the missing display" \
    $(grep -qF "send needs an X display, and DISPLAY is not set" err; echo $?)
check "mouse without a display names the missing display" \
    $(grep -qF "mouse needs an X display, and DISPLAY is not set" err; echo $?)
check "text commands still work without a display" $([ "$(cat d.txt)" = "NEW contents" ]; echo $?)

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

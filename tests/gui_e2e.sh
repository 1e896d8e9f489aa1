#!/usr/bin/env bash
# torvic /exec runs a script hidden and ends by itself when the script ends.
set -u
TORVIC="$1"
if ! command -v Xvfb >/dev/null; then echo "SKIPPED: Xvfb is not installed"; exit 77; fi
source "$(dirname "$0")/xvfb_lib.sh"
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
timeout 30 "$TORVIC" "/exec" "$DIR/stop.torvic" >/dev/null 2>&1
rc=$?
check "a hidden run that stops ends the program (rc $rc)" $([ $rc -eq 0 ] && [ ! -e "$DIR/never.txt" ]; echo $?)

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

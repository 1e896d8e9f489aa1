#!/usr/bin/env bash
# torvic.exe against torvicrun.exe (quiet, its default) under Wine, in the
# same call: a visible run ("Executa tot") of 1,000,000 passes of a
# five-line goto loop (5,000,000 lines), alone and while another program reads the window's texts every
# 0.2 s (bench/text_poller_win32), "Stop" on an endless run, and the whole of "torvic.exe /exec" on a
# one-line script. Needs an X server (DISPLAY) with a window manager (without
# one, Wine's own notification area waits 2 s for each icon it takes down)
# and the Windows build.
# Usage: bench/windows_run_speed.sh [build-win folder]
set -euo pipefail
BUILD="$(cd "${1:-build-win}" && pwd)"
DIR="$(mktemp -d)"
trap 'rm -rf "$DIR"' EXIT
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}"
win() { winepath -w "$1" 2>/dev/null; }
printf '%s\r\n' "' one" "' two" "' three" "goto(0,99999)" "goto(0,9)" > "$DIR/loop.torvic"
printf '%s\r\n' "' endless" "goto(0,999999999)" > "$DIR/endless.torvic"
printf '%s\r\n' "' one line" > "$DIR/one.torvic"
for _ in $(seq 290); do printf "' %s\r\n" "$(head -c 2000 /dev/zero | tr '\0' x)"; done > "$DIR/long.torvic"
wineserver -p 60 || true  # one may run already
# The desktop already runs, as on Windows: an editor open all along keeps
# Wine's desktop process (and its notification area) up between the runs.
wine "$BUILD/app/torvic.exe" >/dev/null 2>&1 &
editor=$!
sleep 3
for _ in 1 2 3; do
    start=$(date +%s%N)
    wine "$BUILD/app/torvicrun.exe" "$(win "$DIR/loop.torvic")" 2>/dev/null
    echo "torvicrun.exe: $(( ($(date +%s%N) - start) / 1000000 )) ms (start-up included)"
    wine "$BUILD/bench/run_speed_win32.exe" "$(win "$DIR/loop.torvic")"
    tail -1 "$DIR/run_speed.txt"
done
# The same run, and one of 290 comment lines of 2,000 characters (the line
# field is set at screen rate), while another program reads the window's
# texts every 0.2 s.
for script in loop long; do
    wine "$BUILD/bench/text_poller_win32.exe" "$script.torvic" 20 >"$DIR/reads.txt" 2>/dev/null &
    poller=$!
    wine "$BUILD/bench/run_speed_win32.exe" "$(win "$DIR/$script.torvic")"
    echo "$script.torvic, its texts read from outside every 0.2 s: $(tail -1 "$DIR/run_speed.txt")"
    wait $poller || true
    echo "texts read: $(cat "$DIR/reads.txt")"
done
wine "$BUILD/bench/run_speed_win32.exe" "$(win "$DIR/endless.torvic")" stop
tail -1 "$DIR/run_speed.txt"
farm-bench -n 15 --vs "wine $BUILD/app/torvicrun.exe '$(win "$DIR/one.torvic")'" -- \
    wine "$BUILD/app/torvic.exe" /exec "$(win "$DIR/one.torvic")"
kill $editor 2>/dev/null || true
wineserver -k || true

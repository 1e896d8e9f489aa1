#!/usr/bin/env bash
# A visible run and a hidden run in the editor against torvicrun (quiet, its
# default), on 1,000,000 passes of a five-line goto loop (5,000,000 lines).
# The window runs on the offscreen platform unless DISPLAY is set.
# Usage: bench/run_speed.sh [build folder]
set -euo pipefail
BUILD="${1:-build}"
DIR="$(mktemp -d)"
trap 'rm -rf "$DIR"' EXIT
printf '%s\r\n' "' one" "' two" "' three" "goto(0,99999)" "goto(0,9)" > "$DIR/loop.torvic"
start=$(date +%s%N)
"$BUILD/app/torvicrun" "$DIR/loop.torvic" 2>/dev/null
echo "torvicrun: $(( ($(date +%s%N) - start) / 1000000 )) ms (quiet, start-up included)"
start=$(date +%s%N)
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-$([ -n "${DISPLAY:-}" ] && echo xcb || echo offscreen)}" \
    "$BUILD/app/torvic" /exec "$DIR/loop.torvic" >/dev/null 2>&1
echo "torvic /exec (start-up included): $(( ($(date +%s%N) - start) / 1000000 )) ms"
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-$([ -n "${DISPLAY:-}" ] && echo xcb || echo offscreen)}" \
    "$BUILD/bench/run_speed" "$DIR/loop.torvic" 2>/dev/null

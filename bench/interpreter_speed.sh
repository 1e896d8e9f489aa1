#!/usr/bin/env bash
# Lines per second of torvicrun on a counted goto loop of simple lines (five
# comments, five pos lines, one goto), quiet and with --trace to /dev/null;
# with a second torvicrun (an older build, which traces by default), the same
# loop run by both in alternation and the medians of 7 pairs compared.
# Usage: bench/interpreter_speed.sh [torvicrun] [baseline torvicrun] [passes]
set -euo pipefail
RUN="${1:-build/app/torvicrun}"
BASE="${2:-}"
PASSES="${3:-300000}"
DIR="$(mktemp -d)"
trap 'rm -rf "$DIR"' EXIT
{
  for i in 1 2 3 4 5; do printf "' comment line %d\r\n" "$i"; printf "pos(%d)\r\n" "$i"; done
  printf "goto(0,%d)\r\n" "$((PASSES - 1))"
} > "$DIR/loop.torvic"
lines=$((PASSES * 11))
ms() { local s; s=$(date +%s%N); "$@" --on-error=continue "$DIR/loop.torvic" 2>/dev/null; echo $(( ($(date +%s%N) - s) / 1000000 )); }
median() { sort -n | sed -n 4p; }
: > "$DIR/quiet"; : > "$DIR/traced"; : > "$DIR/base"
for _ in 1 2 3 4 5 6 7; do
  ms "$RUN" >> "$DIR/quiet"
  ms "$RUN" --trace >> "$DIR/traced"
  if [ -n "$BASE" ]; then ms "$BASE" >> "$DIR/base"; fi
done
quiet=$(median < "$DIR/quiet"); traced=$(median < "$DIR/traced")
echo "torvicrun quiet:   $lines lines in $quiet ms = $(( lines * 1000 / (quiet > 0 ? quiet : 1) )) lines/s (median of 7)"
echo "torvicrun --trace: $lines lines in $traced ms (to /dev/null)"
if [ -n "$BASE" ]; then
  base=$(median < "$DIR/base")
  echo "baseline:          $lines lines in $base ms (its own default, to /dev/null)"
  awk -v b="$base" -v q="$quiet" -v t="$traced" \
      'BEGIN { printf "quiet is %.2fx faster than the baseline; traced %.2fx\n", b / q, b / t }'
fi

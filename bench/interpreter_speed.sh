#!/usr/bin/env bash
# Lines per second of torvicrun on a counted goto loop of simple lines.
# Usage: bench/interpreter_speed.sh [path/to/torvicrun] [passes]
set -euo pipefail
RUN="${1:-build/app/torvicrun}"
PASSES="${2:-30000}"
DIR="$(mktemp -d)"
trap 'rm -rf "$DIR"' EXIT
{
  for i in 1 2 3 4 5; do printf "' comment line %d\r\n" "$i"; printf "pos(%d)\r\n" "$i"; done
  printf "goto(0,%d)\r\n" "$((PASSES - 1))"
} > "$DIR/loop.torvic"
lines=$((PASSES * 11))
best=""
for attempt in 1 2 3; do
  start=$(date +%s%N)
  "$RUN" --on-error=continue "$DIR/loop.torvic" 2>/dev/null
  ns=$(( $(date +%s%N) - start ))
  if [ -z "$best" ] || [ "$ns" -lt "$best" ]; then best=$ns; fi
done
echo "torvicrun: $lines lines in $((best / 1000000)) ms = $(( lines * 1000000000 / best )) lines/s (best of 3, status to /dev/null)"

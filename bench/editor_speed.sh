#!/usr/bin/env bash
# The editor window against a bare text box, in the same run, on a private X
# server: a 50 MB text, a 100,000-line script and a 10 MB script. For each:
# the time to open it, the memory taken, and the time a key takes to show.
# Goals: opening at most twice the bare box's time, memory at most four times
# the file's size, a key within 30 ms in the 50 MB text and within 10 ms in
# the 100,000-line script; with the recovery copy being written, a key within
# 10% of its time without.
# Usage: bench/editor_speed.sh [build folder]
set -u
BUILD="$(cd "${1:-build}" && pwd)"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/../tests/lib.sh"
need Xvfb matchbox-window-manager python3
start_xvfb 1280x1024x24
start_wm

python3 "$HERE/editor_files.py" "$DIR"

for f in big.txt lines.torvic ten.torvic; do
    size=$(( $(stat -c %s "$DIR/$f") / 1048576 ))
    echo "== $f ($size MB)"
    # torvic-copy: the same keys while the recovery copy is being written.
    for mode in bare torvic torvic-copy; do
        timeout 600 "$BUILD/bench/editor_speed" "$mode" "$DIR/$f" 2>/dev/null || echo "$mode: failed ($?)"
    done
done
cleanup

#!/usr/bin/env bash
# torvic.exe's editor window against the system's bare edit box under Wine,
# in the same run, on a private X server with a window manager: a 50 MB text
# and a 100,000-line script. For each: the time to open it, the peak memory
# taken, and the time a key takes to show. Goals: opening at most twice the
# bare box's time, memory at most four times the file's size, a
# key within 30 ms in the 50 MB text and within 10 ms in the 100,000-line
# script; Ctrl+End then Ctrl+Home at most the bare box's time, and a key
# that makes the longest line longer costing what any key does (1-3 ms in the
# script).
# Usage: bench/windows_editor_speed.sh [build-win folder]
set -u
BUILD="$(cd "${1:-build-win}" && pwd)"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/../tests/lib.sh"
need Xvfb matchbox-window-manager python3 wine winepath
start_xvfb 1280x1024x24
start_wm
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}" WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
declare -A out

python3 "$HERE/editor_files.py" "$DIR"

field() { sed -n "s/.*$1 \([0-9.]*\) .*/\1/p" <<<"$2"; }
for row in "big.txt 30" "lines.torvic 10"; do
    read -r f goal <<<"$row"
    size=$(stat -c %s "$DIR/$f")
    echo "== $f ($(( size / 1048576 )) MB)"
    for mode in bare torvic; do
        out[$mode]="$(timeout 900 wine "$BUILD/bench/editor_speed_win32.exe" "$mode" "$(winepath -w "$DIR/$f" 2>/dev/null)" \
            2>/dev/null || echo "$mode: failed ($?)")"
        echo "${out[$mode]}"
    done
    awk -v bare="$(field open "${out[bare]}")" -v open="$(field open "${out[torvic]}")" -v mb="$(field memory "${out[torvic]}")" \
        -v size="$size" -v key="$(field "key median" "${out[torvic]}")" -v goal="$goal" \
        -v bends="$(field "ctrl+end+home" "${out[bare]}")" -v ends="$(field "ctrl+end+home" "${out[torvic]}")" \
        -v widening="$(field "widening key" "${out[torvic]}")" 'BEGIN {
        printf "against the goals: open %.2f x the bare box (2), memory %.1f x the file (4), key %s ms (%s),\n",
            open / (bare ? bare : 1), mb * 1048576 / size, key, goal
        printf "  Ctrl+End, Ctrl+Home %.2f x the bare box (1), a key widening the longest line %s ms\n",
            ends / (bends ? bends : 1), widening }'
done
wineserver -k 2>/dev/null
cleanup

#!/usr/bin/env bash
# send against xdotool type, in the same run: 600 mixed characters (seeded;
# letters, digits, punctuation, à ç é €, and capitals with accents) typed into
# a Tk window, an xterm and a Qt text box on a private X server. Prints each
# time (the whole process) and whether the text arrived exactly.
# Usage: bench/send_typing.sh [build folder] [seed]
set -u
BUILD="$(cd "${1:-build}" && pwd)"
SEED="${2:-20261207}"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/../tests/lib.sh"
need Xvfb matchbox-window-manager xdotool wish xterm python3
start_xvfb 1280x1024x24
start_wm

# The text: code page 1252 for the script, UTF-8 for xdotool and the checks.
python3 - "$SEED" "$DIR" <<'EOF'
import random, sys
seed, out = int(sys.argv[1]), sys.argv[2]
pool = ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
        " .,;:-_!?'/=*<>@#$&[]|" "àçé€" "ÀÉÈÒÓÚÍÏÜÇÑ")
rng = random.Random(seed)
text = "".join(rng.choice(pool) for _ in range(600))
open(out + "/text.utf8", "w", encoding="utf-8").write(text)
open(out + "/send.torvic", "wb").write(('send("' + text + '",1)\r\n').encode("cp1252"))
EOF

now() { date +%s%N; }
ms() { echo $(( ($2 - $1) / 1000000 )); }
# What the receiving window holds, in UTF-8.
received() {
    case "$1" in
        qt) grep '^text:' "$DIR/qt.log" 2>/dev/null | tail -1 | cut -c6- ;;
        *) cat "$DIR/$1.log" 2>/dev/null ;;
    esac
}
start_client() {
    rm -f "$DIR/$1.log"
    case "$1" in
        tk) wish "$HERE/../tests/support/tk_catcher.tcl" "$DIR/tk.log" & ;;
        xterm) LC_ALL=C.UTF-8 xterm -u8 -title "xterm catcher" -e sh -c "stty -echo -icanon; cat > '$DIR/xterm.log'" 2>/dev/null & ;;
        qt) "$BUILD/tests/key_catcher" "$DIR/qt.log" & ;;
    esac
    client=$!
    sleep 1.5
}
# Waits until the window holds the whole text or stops changing.
settle() {
    local last="" same=0
    for _ in $(seq 100); do
        local got; got="$(received "$1")"
        [ "$got" = "$(cat "$DIR/text.utf8")" ] && return
        if [ "$got" = "$last" ]; then same=$((same + 1)); [ $same -ge 10 ] && return; else same=0; fi
        last="$got"; sleep 0.1
    done
}
verdict() {
    local got want
    got="$(received "$1")"; want="$(cat "$DIR/text.utf8")"
    if [ "$got" = "$want" ]; then echo "exact"; else
        echo "NOT exact ($(python3 -c 'import sys; a,b=sys.argv[1],sys.argv[2]; print(sum(x!=y for x,y in zip(a,b))+abs(len(a)-len(b)), "of", len(b), "characters differ")' "$got" "$want"))"
    fi
}

printf '%-6s | %-28s | %-28s | %s\n' client "send" "xdotool type (default delay)" "send / xdotool"
for c in tk xterm qt; do
    start_client $c
    t0=$(now); "$BUILD/app/torvicrun" "$DIR/send.torvic" >/dev/null 2>&1; t1=$(now)
    settle $c; sendResult="$(ms $t0 $t1) ms, $(verdict $c)"; sendMs=$(ms $t0 $t1)
    kill $client 2>/dev/null; wait $client 2>/dev/null
    start_client $c
    t0=$(now); xdotool type --file "$DIR/text.utf8"; t1=$(now)
    settle $c; xdoResult="$(ms $t0 $t1) ms, $(verdict $c)"; xdoMs=$(ms $t0 $t1)
    kill $client 2>/dev/null; wait $client 2>/dev/null
    printf '%-6s | %-28s | %-28s | %s\n' $c "$sendResult" "$xdoResult" "$(python3 -c "print(f'{$sendMs/$xdoMs:.2f}')")"
done

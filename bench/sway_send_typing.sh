#!/usr/bin/env bash
# send against wtype on headless sway, in the same run: 600 mixed code page
# 1252 characters (seeded; letters, digits, punctuation, accented capitals,
# €) typed into a native Wayland window (Qt). Prints, for each, the time
# from the start of the typing program until the window holds the whole
# text (or 30 s when it never does), and whether the text arrived exactly. Run as root, it runs itself as
# the user nobody (a compositor never runs as root).
# Usage: bench/sway_send_typing.sh [build folder] [seed]
set -u
BUILD="$(cd "${1:-build}" && pwd)"
SEED="${2:-20261208}"
HERE="$(cd "$(dirname "$0")" && pwd)"
if [ "$(id -u)" -eq 0 ]; then
    exec setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
        env -u XDG_RUNTIME_DIR -u WAYLAND_DISPLAY -u SWAYSOCK -u DISPLAY HOME=/tmp bash "$0" "$BUILD" "$SEED"
fi
source "$HERE/../tests/lib.sh"
need sway wtype python3
chmod 755 "$DIR"
export HOME="$DIR/home" XDG_RUNTIME_DIR="$DIR/run" DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/no-session-bus"
mkdir -p "$HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
printf 'default_border none\nexec sh -c %s\n' "'echo \$WAYLAND_DISPLAY \$SWAYSOCK > $DIR/env.tmp && mv $DIR/env.tmp $DIR/env'" > "$DIR/sway.conf"
WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$DIR/sway.conf" >/dev/null 2>&1 &
SWAY=$!
within 20 test -s "$DIR/env" || { echo "sway did not start"; exit 1; }
read -r WAYLAND_DISPLAY SWAYSOCK < "$DIR/env"
export WAYLAND_DISPLAY SWAYSOCK
trap 'kill $SWAY 2>/dev/null; wait $SWAY 2>/dev/null; cleanup' EXIT

python3 - "$SEED" "$DIR" <<'PY'
import random, sys
seed, out = int(sys.argv[1]), sys.argv[2]
pool = ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
        " .,;:-_!?'/=*<>@#$&[]|" "àçéñöß€" "ÀÉÈÒÓÚÍÏÜÇÑÆØ")
rng = random.Random(seed)
text = "".join(rng.choice(pool) for _ in range(600))
open(out + "/text.utf8", "w", encoding="utf-8").write(text)
open(out + "/send.torvic", "wb").write(('send("' + text + '",1)\r\n').encode("cp1252"))
PY

now() { date +%s%N; }
# One typing program into a new window: prints its time and verdict.
typed_by() {  # name, command...
    local name="$1"; shift
    local log="$DIR/$name.$RANDOM.log"
    QT_QPA_PLATFORM=wayland "$BUILD/tests/input_recorder" "$log" 2>/dev/null &
    local window=$!
    within 20 grep -qsx ready "$log"
    within 10 sh -c "swaymsg -t get_tree | grep -q '\"pid\": $window,'" # mapped
    # Our own keyboard exists from the first run on (a seat with a keyboard).
    local start; start=$(now)
    "$@" >/dev/null 2>&1
    local ran; ran=$(now)
    within 30 cmp -s "$log.text" "$DIR/text.utf8"
    local exact=$?
    local end; end=$(now)
    printf '%-10s ran %6d ms, text in %6d ms  %s\n' "$name" $(( (ran - start) / 1000000 )) $(( (end - start) / 1000000 )) \
        "$([ $exact -eq 0 ] && echo exact || echo "WRONG: $(wc -c < "$log.text") bytes of $(wc -c < "$DIR/text.utf8"), begins $(head -c 20 "$log.text")")"
    kill $window; wait $window 2>/dev/null
}
# A keyboard on the seat first, as a desktop has one (else clients are
# given time to take the first virtual keyboard).
typed_by warmup wtype "x" >/dev/null
typed_by torvicrun "$BUILD/app/torvicrun" --on-error=stop "$DIR/send.torvic"
typed_by wtype wtype "$(cat "$DIR/text.utf8")"
typed_by torvicrun "$BUILD/app/torvicrun" --on-error=stop "$DIR/send.torvic"
typed_by wtype wtype "$(cat "$DIR/text.utf8")"

# Sourced by the desktop tests: a private X server on a free display number,
# stopped (with everything else in `pids`) and its folder removed at exit;
# `need` skips the test when a tool is missing.
DIR="$(mktemp -d)"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$DIR"; }
trap cleanup EXIT
start_xvfb() {  # screen size
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$DIR/display" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$DIR/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$DIR/display")"
    export XDG_RUNTIME_DIR="$DIR"
    # Without a session bus of the test's own, no program may autolaunch one.
    export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-unix:path=/nonexistent/no-session-bus}"
}
passed=0; failed=0
check() { if [ "$2" -eq 0 ]; then passed=$((passed+1)); else failed=$((failed+1)); echo "FAIL: $1"; fi; }
need() { for tool; do command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }; done; }

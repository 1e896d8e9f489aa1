# Sourced by the shell tests: a scratch folder $DIR, removed at exit with
# every process in $pids stopped; counted checks; `need` skips the test
# (exit 77) when a tool is missing; a private X server on a free display.
DIR="$(mktemp -d)"
# The editor's recovery copies stay in the test's folder.
export XDG_STATE_HOME="$DIR/state"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$DIR"; }
trap cleanup EXIT
passed=0; failed=0
check() { if [ "$2" -eq 0 ]; then passed=$((passed+1)); else failed=$((failed+1)); echo "FAIL: $1"; fi; }
finish() { echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]; }
# A home folder of the test's own (nothing of the real one is read or written).
own_home() { export HOME="$DIR/home" XDG_CONFIG_HOME="$DIR/home/.config"; mkdir -p "$HOME"; }
need_dbusmock() { /usr/bin/python3 -c "import dbusmock" 2>/dev/null || { echo "SKIPPED: python3-dbusmock is not installed"; exit 77; }; }
need() { for tool; do command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }; done; }
# Polls a command for up to $1 seconds.
within() { local t=$1; shift; for _ in $(seq $((t * 5))); do "$@" && return 0; sleep 0.2; done; return 1; }
script() { local f="$1"; shift; printf '%s\r\n' "$@" > "$f"; }  # a script file with CR LF lines
# torvicrun ($RUN) with a time limit and no terminal; sets rc and err.
runit() { timeout 30 "$RUN" --trace "$@" </dev/null 2>"$DIR/err" >/dev/null; rc=$?; err="$(cat "$DIR/err")"; }
start_xvfb() {  # screen size
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$DIR/display" 2>/dev/null &
    pids+=($!)
    within 30 grep -q '[0-9]' "$DIR/display"
    export DISPLAY=":$(tr -dc 0-9 <"$DIR/display")"
    # The number comes before the server answers: wait until it does.
    within 30 xprop -root >/dev/null 2>&1
    export XDG_RUNTIME_DIR="$DIR"
    # Without a session bus of the test's own, no program may autolaunch one.
    export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-unix:path=/nonexistent/no-session-bus}"
}
# Whether a window manager has taken the screen: the check window it names
# on the root window exists (one left named by a manager that ended does not).
wm_ready() {
    local id
    id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ {print $NF}')
    [ -n "$id" ] && xwininfo -id "$id" >/dev/null 2>&1
}
# Starts the window manager; one that could not take the screen (a server
# still busy on a loaded machine) is started again.
start_wm() {
    local wm
    for _ in 1 2 3; do
        matchbox-window-manager -use_titlebar no 2>/dev/null &
        wm=$!
        pids+=($wm)
        within 10 eval 'wm_ready || ! kill -0 $wm 2>/dev/null' && wm_ready && return 0
        kill $wm 2>/dev/null
    done
    return 1
}
# Starts the editor ($TORVIC, with the arguments given) and waits for its
# window; sets $app and $win.
editor_window() {
    "$TORVIC" "$@" >/dev/null 2>&1 &
    app=$!
    pids+=($app)
    within 20 eval 'xdotool search --all --onlyvisible --pid $app --name "Torvic XP" >/dev/null 2>&1'
    win=$(xdotool search --all --onlyvisible --pid $app --name "Torvic XP" 2>/dev/null | head -1)
}
# Brings the editor window $win to the front and waits until it takes keys:
# F1 opens its help window only once the editor has them (tried again
# while it has not, as on a busy machine); the help is closed again.
editor_takes_keys() {
    local help="Torvic: comandes i sintaxis"
    for _ in 1 2 3 4 5; do
        xdotool windowactivate --sync "$win" >/dev/null 2>&1 || xdotool windowfocus --sync "$win" >/dev/null 2>&1
        xdotool key F1
        if within 5 eval 'xdotool search --onlyvisible --name "$help" >/dev/null 2>&1'; then
            xdotool key Escape
            within 10 eval '! xdotool search --onlyvisible --name "$help" >/dev/null 2>&1'
            return
        fi
    done
    return 1
}

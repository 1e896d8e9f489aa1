# Sourced by the Windows programs' tests (after lib.sh): Windows paths, and
# the window tree of tests/support/win_window_tree (its path in $TREE) as a
# user's tools see it.
win() { winepath -w "$1" 2>/dev/null; }
tree() { wine "$TREE" "$@" 2>/dev/null | tr -d '\r'; }
shown() { wine "$TREE" dump "$1" >/dev/null 2>&1; }  # a visible window whose title holds $1
has() { tree dump "$1" | grep -qF -- "$2"; }          # ... with a control line holding $2
keys() {  # keys to the window whose title holds $1
    local w; w=$(xdotool search --onlyvisible --name "$1" | head -1)
    xdotool windowfocus --sync "$w" 2>/dev/null; sleep 0.3; shift; xdotool key "$@"; sleep 0.5
}

# Sourced by the Windows programs' tests (after lib.sh): Windows paths, and
# the window tree of tests/support/win_window_tree (its path in $TREE) as a
# user's tools see it.
win() { winepath -w "$1" 2>/dev/null; }
tree() { wine "$TREE" "$@" 2>/dev/null | tr -d '\r'; }
shown() { wine "$TREE" dump "$1" >/dev/null 2>&1; }  # a visible window whose title holds $1
has() { tree dump "$1" | grep -qF -- "$2"; }          # ... with a control line holding $2
# Whether a program of this prefix whose command line holds $1 runs (other
# prefixes on the machine may run the same programs).
running() {
    local p; for p in $(pgrep -f "$1"); do tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0; done
    return 1
}
keys() {  # keys to the window whose title holds $1
    local w; w=$(xdotool search --onlyvisible --name "$1" | head -1)
    xdotool windowfocus --sync "$w" 2>/dev/null; sleep 0.3; shift; xdotool key "$@"; sleep 0.5
}
# Tab walks window $1 in its form's order, round the end, and Shift+Tab steps
# back (a box one types in keeps its Tab). Its row $2 of the script's table
# tabrows: Tabs; the control given the focus first (class|caption, or none);
# the walk, a pattern.
tabcheck() {
    local n first want; IFS=';' read -r n first want <<<"${tabrows[$2]}"
    [ -n "$first" ] && tree focus "$1" "$first" >/dev/null
    walk=""; for _ in $(seq "$n"); do walk+="$(tree focus "$1")/"; keys "$1" Tab; done
    walk+="$(tree focus "$1")/"; keys "$1" shift+Tab; walk+="$(tree focus "$1")"
    check "Tab follows the form in $2 ($walk)" $([[ "$walk" == $want ]]; echo $?)
}

#!/usr/bin/env bash
# A whole installation as a user makes it: torvicsetup started from a folder
# holding the built files, into a folder whose path has blanks; the window is
# driven with the keyboard. Then the file type answers our entry, the entry's
# Exec line runs a script hidden, a second registration goes over the first,
# and /uninstall leaves the home as it was (the default association set by
# the desktop's tool gone, the user's own lines and files kept).
set -u
APPDIR="$1"
source "$(dirname "$0")/lib.sh"
need Xvfb xdotool matchbox-window-manager xdg-mime
start_xvfb 1024x768x24
start_wm

# (xdg-mime itself cannot handle a home whose path has blanks.)
export HOME="$DIR/home" XDG_CONFIG_HOME="$DIR/home/.config"
unset XDG_DATA_HOME XDG_DATA_DIRS
mkdir -p "$HOME/.config" "$DIR/package"  # no desktop folder yet: the installation makes it
printf '[Default Applications]\ntext/plain=editor.desktop\n' > "$HOME/.config/mimeapps.list"
cp "$APPDIR/torvic" "$APPDIR/torvicrun" "$APPDIR/torvicsetup" "$APPDIR/torvic.rtf" "$APPDIR/torvic.html" "$DIR/package/"
listing() { (cd "$HOME" && find . | sort); }
before="$(listing)"

# Waits for a window whose name holds $1; presses $2 in it.
press_in() {
    local win="" name=$1
    within 10 eval 'win=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -1); [ -n "$win" ]' || return 1
    xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win" 2>/dev/null
    sleep 0.3
    xdotool key --clearmodifiers "$2"
}
"$DIR/package/torvicsetup" >/dev/null 2>&1 &
setup=$!
pids+=($setup)
dir="$DIR/My Apps/Torvic"
mkdir -p "$DIR/My Apps"   # only the last level is made
press_in "Torvic XP" ctrl+a
xdotool type --delay 5 "$dir/"
xdotool key Return                  # "Sí"
press_in "realitzada" Return        # the success box
press_in "Apendre" Escape           # no manual now
within 20 eval '! kill -0 $setup 2>/dev/null'
check "the installer ended by itself" $(! kill -0 $setup 2>/dev/null; echo $?)

data="$HOME/.local/share"
for f in torvic torvicrun torvicsetup torvic.rtf torvic.html; do
    check "$f was copied" $(cmp -s "$APPDIR/$f" "$dir/$f"; echo $?)
done
# (Each entry's Exec line, validity and launch: setup_names_e2e.sh.)
entry="$data/applications/torvic.desktop"
check "the desktop launcher exists and is executable" $([ -x "$HOME/Desktop/Editor de Programes Torvic.desktop" ]; echo $?)
check "xdg-mime answers our entry" \
    $([ "$(xdg-mime query default application/x-torvic 2>/dev/null)" = torvic.desktop ]; echo $?)
printf 'x\r\n' > "$DIR/in.txt"
printf '%s\r\n' "open(\"$DIR/in.txt\")" "save(\"$DIR/out.txt\")" > "$DIR/double click.torvic"
exec_line=$(grep -m1 '^Exec=' "$entry" | cut -d= -f2- | sed "s|%f|'$DIR/double click.torvic'|")
timeout 30 sh -c "$exec_line" >/dev/null 2>&1
check "the entry's Exec line ran the script hidden" $(cmp -s "$DIR/in.txt" "$DIR/out.txt"; echo $?)

# (Which folders are refused: setup_installer_test.cpp.)
"$dir/torvicsetup" /register "$DIR/nowhere" 2>"$DIR/err"
check "/register of a folder without the program is refused, the entry kept" \
    $([ $? -eq 2 ] && grep -q "no conté el programa" "$DIR/err" && grep -qxF "Exec=\"$dir/torvic\" /exec %f" "$entry"; echo $?)
"$dir/torvicsetup" /register "$dir"  # a second registration over the first
xdg-mime default torvic.desktop application/x-torvic  # the default, as a desktop's tool sets it
echo "the user's own" > "$dir/notes.txt"
"$dir/torvicsetup" /uninstall >/dev/null 2>&1 &
uninstall=$!
pids+=($uninstall)
press_in "Desinstal" Return   # yes, uninstall
press_in "Desinstal" Return   # the report
within 10 eval '! kill -0 $uninstall 2>/dev/null'  # it has ended: its work is done
check "the program folder keeps only the user's own file" $([ "$(ls -A "$dir")" = notes.txt ]; echo $?)
check "mimeapps.list keeps the user's lines only" \
    $([ "$(cat "$HOME/.config/mimeapps.list")" = "$(printf '[Default Applications]\ntext/plain=editor.desktop')" ]; echo $?)
check "the home is as it was before the installation" $([ "$(listing)" = "$before" ]; echo $?)
[ "$(listing)" = "$before" ] || diff <(echo "$before") <(listing)
finish

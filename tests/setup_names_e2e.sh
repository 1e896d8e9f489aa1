#!/usr/bin/env bash
# torvicsetup /register into folders whose names hold "%", quotes, "$", a
# backtick, a backslash, accents, blanks and characters no code page has,
# with no display: every desktop entry it writes passes desktop-file-validate
# and is started by GLib (gio launch, gio open as a double click does) with
# a stand-in program that writes down the exact path and arguments it got.
# Then /uninstall, answered on a terminal or with /quiet, leaves the home as
# it was, file for file and folder for folder (a fresh home, or one with the
# user's own folders and default applications).
set -u
APPDIR="$1"
source "$(dirname "$0")/lib.sh"
need gio desktop-file-validate update-mime-database xdg-mime script
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_DATA_HOME XDG_DATA_DIRS XDG_CONFIG_HOME XDG_CURRENT_DESKTOP
export HOME="$DIR/home" XDG_RUNTIME_DIR="$DIR" GIO_USE_VFS=local
export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/no-session-bus"
SETUP="$APPDIR/torvicsetup"
data="$HOME/.local/share"
listing() { (cd "$HOME" && find . | sort); }
# Programs that write down their own path and their arguments, each ended by NUL.
standin() { for f; do printf '#!/bin/sh\nprintf "%%s\\0" "$0" "$@" > "%s"\n' "$DIR/ran" > "$f"; chmod +x "$f"; done; }
# Whether the stand-in was started as "$@" (its path, then its arguments).
ran_as() { within 10 test -s "$DIR/ran" && cmp -s "$DIR/ran" <(printf '%s\0' "$@"); }
# Whether `gio launch ENTRY [FILE]` starts the stand-in as EXPECTED...
launches() {
    local entry="$1" file="$2"; shift 2
    rm -f "$DIR/ran"
    timeout 20 gio launch "$entry" ${file:+"$file"} >/dev/null 2>"$DIR/gio.err"
    ran_as "$@" || { cat "$DIR/gio.err" >&2; od -c "$DIR/ran" 2>/dev/null | head -5 >&2; return 1; }
}

names=("100% projectes" 'cometes "dobles"' 'preu $HOME' 'accent `greu`' 'barra \ inversa' "Projectò"
       "  amb  blancs  " "Projectes→2026" "项目 50%;=x")
row=0
for name in "${names[@]}"; do
    row=$((row + 1))
    rm -rf "$HOME" && mkdir -p "$HOME"
    users=""
    if [ $((row % 2)) -eq 0 ]; then  # the user's own folders, empty, and default applications
        mkdir -p "$HOME/.config" "$data/applications" "$HOME/Desktop"
        users="$(printf '[Default Applications]\ntext/plain=editor.desktop')"
        printf '%s\n' "$users" > "$HOME/.config/mimeapps.list"
    fi
    before="$(listing)"
    # The files copied by hand, then registered.
    dir="$DIR/apps/$name"
    mkdir -p "$dir" && standin "$dir/torvic" "$dir/torvicsetup"
    "$SETUP" /register "$dir" 2>"$DIR/err"
    check "[$name] /register" $?
    all_valid=0
    while IFS= read -r -d '' e; do
        desktop-file-validate "$e" >&2 || { all_valid=1; echo "invalid: $e" >&2; }
    done < <(find "$HOME" -name '*.desktop' -print0)
    check "[$name] every entry passes desktop-file-validate" $all_valid
    script="$DIR/scripts/$name job.torvic"
    mkdir -p "$DIR/scripts" && printf 'x\r\n' > "$script"
    # The Edit action, as an entry of its own.
    { printf '[Desktop Entry]\nType=Application\nName=Editar\n'
      sed -n '/^\[Desktop Action Edit\]/,$p' "$data/applications/torvic.desktop" | grep '^Exec='; } > "$DIR/edit.desktop"
    # entry (under the menu's folder unless absolute), the file it is given, and the program and arguments it starts
    menu="$data/applications/Torvic"
    for launcher in "$data/applications/torvic.desktop|$script|torvic|/exec|$script" "Editor de Programes Torvic.desktop||torvic" \
               "$HOME/Desktop/Editor de Programes Torvic.desktop||torvic" "Documentació del Torvic.desktop||torvic|/manual" \
               "Desinstal·lar Torvic.desktop||torvicsetup|/uninstall" "$DIR/edit.desktop|$script|torvic|$script"; do
        IFS="|" read -r -a f <<<"$launcher"
        entry="${f[0]}"; [[ "$entry" == /* ]] || entry="$menu/$entry"
        check "[$name] ${entry##*/} starts ${f[*]:2}" $(launches "$entry" "${f[1]}" "$dir/${f[2]}" "${f[@]:3}"; echo $?)
    done
    rm -f "$DIR/ran"; timeout 20 gio open "$script"
    check "[$name] a double click runs the script hidden" $(ran_as "$dir/torvic" /exec "$script"; echo $?)

    if [ $((row % 2)) -eq 1 ]; then
        out="$(timeout 20 "$SETUP" /uninstall /quiet </dev/null 2>&1)"
        check "[$name] /uninstall /quiet asks nothing" $([ $? -eq 0 ] && [ "$out" = "Programa desinstal·lat de $dir/" ]; echo $?)
    else
        printf 's\n' | timeout 20 script -qec "'$SETUP' /uninstall" /dev/null > "$DIR/tty" 2>&1
        check "[$name] /uninstall asks on the terminal, s is yes" \
            $([ $? -eq 0 ] && grep -q 'Voleu desinstal·lar el programa Torvic ?' "$DIR/tty" &&
              grep -qF "Programa desinstal·lat de $dir/" "$DIR/tty"; echo $?)
    fi
    check "[$name] the home is as it was before the installation" $([ "$(listing)" = "$before" ]; echo $?)
    [ "$(listing)" = "$before" ] || diff <(echo "$before") <(listing) >&2
    check "[$name] the user's default applications, if any, are kept" \
        $([ -z "$users" ] || [ "$(cat "$HOME/.config/mimeapps.list")" = "$users" ]; echo $?)
    check "[$name] the programs are gone, the user's folder stays" $([ -d "$dir" ] && [ -z "$(ls -A "$dir")" ]; echo $?)
done

# Answers that remove nothing: No on the terminal, and no terminal at all.
rm -rf "$HOME" && mkdir -p "$HOME"
dir="$DIR/apps/again"
mkdir -p "$dir" && standin "$dir/torvic"
"$SETUP" /register "$dir"
registered="$(listing)"
printf 'n\n' | timeout 20 script -qec "'$SETUP' /uninstall" /dev/null > "$DIR/tty" 2>&1
check "/uninstall answered No removes nothing (status 1)" $([ $? -eq 1 ] && [ "$(listing)" = "$registered" ]; echo $?)
timeout 20 "$SETUP" /uninstall </dev/null >/dev/null 2>"$DIR/err"
check "/uninstall without a terminal says how and removes nothing (status 2)" \
    $([ $? -eq 2 ] && grep -qF 'torvicsetup /uninstall /quiet' "$DIR/err" && [ "$(listing)" = "$registered" ]; echo $?)
timeout 20 "$SETUP" </dev/null >/dev/null 2>"$DIR/err"
check "the window without a display says what works without one (no abort)" \
    $([ $? -eq 2 ] && grep -qF '/register' "$DIR/err"; echo $?)
DISPLAY=:999 timeout 20 "$SETUP" /uninstall /quiet >/dev/null 2>&1
check "/uninstall /quiet with a display that does not answer" $([ $? -eq 0 ] && [ -z "$(ls -A "$HOME")" ]; echo $?)
finish

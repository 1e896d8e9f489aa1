#!/usr/bin/env bash
# torvicsetup.exe into a fresh Wine prefix, driven by keys: the installer
# window, the file type and the uninstall entry in the registry, the
# shortcuts, a .torvic file opened by the shell runs hidden, /uninstall
# leaves the prefix's registry and folders as they were; then the editor's
# window on a screen of 120 DPI.
set -u
APP="$1"   # the folder with torvic.exe, torvicrun.exe, torvicsetup.exe, torvic.rtf
TREE="$2"
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wine_lib.sh"
need wine wineboot winepath xdotool iconv
if [ -z "${DISPLAY:-}" ]; then start_xvfb 1024x768x24; fi
# A prefix and a home of the test's own: the desktop folder is the home.
export HOME="$DIR/home" WINEPREFIX="$DIR/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
wineboot -i >/dev/null 2>&1
wineserver -p 60
# The user's registry keys and the system's classes (Wine's own keys left
# out), and the files of the prefix and the home (the system folder left out).
keylist() {
    for root in HKCU 'HKLM\Software\Classes'; do
        wine reg export "$root" "$DIR/keys.reg" /y >/dev/null 2>&1
        iconv -f utf-16 -t utf-8 "$DIR/keys.reg"
    done | grep '^\[' | grep -v '^\[HKEY_CURRENT_USER\\Software\\Wine' | sort
}
filelist() { find -L "$WINEPREFIX/drive_c" "$HOME" -path "$WINEPREFIX/drive_c/windows" -prune -o -print 2>/dev/null | sort; }
query() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }

mkdir -p "$DIR/source"
cp "$APP/torvic.exe" "$APP/torvicrun.exe" "$APP/torvicsetup.exe" "$APP/torvic.rtf" "$DIR/source/"
keylist > "$DIR/keys.before"
filelist > "$DIR/files.before"

wine "$DIR/source/torvicsetup.exe" >/dev/null 2>&1 &
setup=$!
check "the installer window opens" $(within 60 shown "Instal·lació de Torvic XP:"; echo $?)
dir="$(tree dump "Instal·lació de Torvic XP:" | sed -n 's/^ *Edit|\(.*\)|10,24,350,24|.*/\1/p')"
check "it proposes a folder Torvic under the programs ($dir)" $([[ "$dir" == C:\\Program\ Files*\\Torvic\\ ]]; echo $?)
keys "Instal·lació de Torvic XP:" Return
check "Enter installs and says where" $(within 30 eval 'tree dump "amb èxit" | grep -qF "correctament a $dir"'; echo $?)
keys "amb èxit" Return
within 10 shown "Apendre les comandes"
keys "Apendre les comandes" n
check "the installer ends" $(within 20 eval '! kill -0 $setup 2>/dev/null'; echo $?)

unix="$(winepath -u "$dir" 2>/dev/null)"
check "the programs and the manual are installed" \
    $(cmp -s "$unix/torvic.exe" "$APP/torvic.exe" && cmp -s "$unix/torvic.rtf" "$APP/torvic.rtf" && [ -f "$unix/torvicsetup.exe" ]; echo $?)
check "the file type .torvic" $([ "$(query 'HKCU\Software\Classes\.torvic' '')" = "torvic" ]; echo $?)
check "its open command runs a script hidden" \
    $([ "$(query 'HKCU\Software\Classes\Torvic\shell\open\command' '')" = "\"${dir}torvic.exe\" /exec \"%1\"" ]; echo $?)
check "its edit command opens the editor" \
    $([ "$(query 'HKCU\Software\Classes\Torvic\shell\Edit\command' '')" = "\"${dir}torvic.exe\" \"%1\"" ]; echo $?)
UNINSTALL='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvic'
check "the uninstall entry" $([ "$(query "$UNINSTALL" UninstallString)" = "\"${dir}torvicsetup.exe\" /uninstall" ] &&
    [ "$(query "$UNINSTALL" DisplayName)" = "Torvic XP 1.10" ]; echo $?)
check "the shortcuts in the start menu" \
    $([ "$(find "$WINEPREFIX/drive_c/users" -path '*Programs/Torvic/*.lnk' | wc -l)" -eq 3 ]; echo $?)
check "the shortcut on the desktop" $([ -f "$HOME/Editor de Programes Torvic.lnk" ]; echo $?)

# The shell opens a script through the file type: a hidden run that ends by itself.
printf 'text\r\n' > "$DIR/src.txt"
printf 'open("%s")\r\nsave("%s")\r\n' "$(winepath -w "$DIR/src.txt")" "$(winepath -w "$DIR/ran.txt")" > "$DIR/run.torvic"
timeout 60 wine start "$(winepath -w "$DIR/run.torvic")" >/dev/null 2>&1
check "wine start on a .torvic file runs it" $(within 30 test -f "$DIR/ran.txt"; echo $?)
check "hidden, and the program ends by itself" \
    $(within 20 eval '! pgrep -f "torvic.exe" >/dev/null' && ! shown "Torvic XP"; echo $?)

# The way back out, as the system's list of programs takes it.
wine "${dir}torvicsetup.exe" /uninstall >/dev/null 2>&1 &
check "uninstalling asks first" $(within 30 shown "Desinstal·lació de Torvic:"; echo $?)
keys "Desinstal·lació de Torvic:" Return  # Yes
check "and says where it removed from" \
    $(within 30 eval 'tree dump "Desinstal·lació de Torvic:" | grep -qF "Programa desinstal·lat de $dir"'; echo $?)
keys "Desinstal·lació de Torvic:" Return
within 30 eval '! pgrep -f "torvicsetup" >/dev/null'
sleep 3
check "the registry is as it was" $(diff "$DIR/keys.before" <(keylist) >&2; echo $?)
check "the folders are as they were" $(within 30 eval 'diff -q "$DIR/files.before" <(filelist) >/dev/null'; echo $?)
diff "$DIR/files.before" <(filelist) >&2

# Files copied by hand into a folder whose name no code page holds: /register
# writes its name exactly, and /uninstall /quiet from there asks nothing,
# shows nothing, and leaves the prefix as it was.
hand='C:\Projectes→2026 项目\'
mkdir -p "$(winepath -u "$hand")"
cp "$DIR/source/"* "$(winepath -u "$hand")/"
LC_ALL=C.UTF-8 wine "$DIR/source/torvicsetup.exe" /register "$hand" >/dev/null 2>&1
regvalue() {  # the text of key $1 as the registry exports it
    wine reg export "$1" "$DIR/value.reg" /y >/dev/null 2>&1 && iconv -f utf-16 -t utf-8 "$DIR/value.reg" | tr -d '\r'
}
check "/register writes the folder's name as it is" \
    $(regvalue 'HKCU\Software\Classes\Torvic\shell\open\command' | grep -qF '"\"C:\\Projectes→2026 项目\\torvic.exe\" /exec \"%1\""'; echo $?)
check "the uninstall entry has a quiet form" \
    $(regvalue "$UNINSTALL" | grep -qF '"QuietUninstallString"="\"C:\\Projectes→2026 项目\\torvicsetup.exe\" /uninstall /quiet"'; echo $?)
LC_ALL=C.UTF-8 wine "${hand}torvicsetup.exe" /uninstall /quiet >/dev/null 2>&1 &
check "/uninstall /quiet leaves the registry as it was" $(within 60 eval 'diff -q "$DIR/keys.before" <(keylist) >/dev/null'; echo $?)
check "and the folders" $(within 30 eval 'diff -q "$DIR/files.before" <(filelist) >/dev/null'; echo $?)
diff "$DIR/files.before" <(filelist) >&2
check "asking nothing and showing nothing" $(! shown "Desinstal·lació de Torvic:"; echo $?)

# The same windows on a screen of 120 DPI: every place and size scales by 1.25.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f >/dev/null 2>&1
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
wine "$DIR/source/torvic.exe" >/dev/null 2>&1 &
within 30 shown "Torvic XP v1.10"
tree dump "Torvic XP v1.10" > "$DIR/tree120.txt"
check "at 120 DPI the client area is 1.25 times the design's" $(grep -q '^window|.*|743,548$' "$DIR/tree120.txt"; echo $?)
check "and so is each control" $(grep -qF 'Button|Cont Exec|290,30,91,31|' "$DIR/tree120.txt"; echo $?)

wineserver -k 2>/dev/null
finish

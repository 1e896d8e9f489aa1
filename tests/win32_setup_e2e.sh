#!/usr/bin/env bash
# torvicsetup.exe into a fresh Wine prefix, driven by keys: the programs'
# manifests, failed installations that leave the prefix as it was, the
# installer window, the file type and the uninstall entry in the registry,
# the shortcuts read back and run, a .torvic file opened by the shell runs
# hidden, the uninstaller's shortcut leaves the prefix's registry and folders
# as they were; then the editor's window on a screen of 120 DPI.
set -u
APP="$1"   # the folder with torvic.exe, torvicrun.exe, torvicsetup.exe, torvic.rtf, torvic.html
TREE="$2"
NAMES="$3"  # win_names.exe
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
regvalue() {  # the text of key $1 as the registry exports it
    wine reg export "$1" "$DIR/value.reg" /y >/dev/null 2>&1 && iconv -f utf-16 -t utf-8 "$DIR/value.reg" | tr -d '\r'
}

# Each program asks for no elevation, is DPI aware and uses common controls 6.
for exe in torvic.exe torvicsetup.exe torvicrun.exe; do
    m="$(wine "$NAMES" manifest "$(win "$APP/$exe")" 2>/dev/null)"
    check "$exe runs as the user, DPI aware, with common controls 6" $(grep -q 'requestedExecutionLevel level="asInvoker"' <<<"$m" &&
        grep -q '<dpiAware[^>]*>true</dpiAware>' <<<"$m" && grep -A1 'name="Microsoft.Windows.Common-Controls"' <<<"$m" | grep -q 'version="6.0.0.0"'; echo $?)
done

mkdir -p "$DIR/source" "$DIR/broken"
cp "$APP/torvic.exe" "$APP/torvicrun.exe" "$APP/torvicsetup.exe" "$APP/torvic.rtf" "$APP/torvic.html" "$DIR/source/"
cp "$APP/torvic.exe" "$APP/torvicsetup.exe" "$DIR/broken/"  # no manual: its copy fails
keylist > "$DIR/keys.before"
filelist > "$DIR/files.before"

# Installations that fail: each says why in Catalan and takes back all it did.
failed_install() {  # installer folder, folder typed, what raised the error
    wine "$1/torvicsetup.exe" >/dev/null 2>&1 &
    local setup=$! what="$3"
    within 60 shown "Instal·lació de Torvic XP:"
    tree settext "Instal·lació de Torvic XP:" "$2"
    keys "Instal·lació de Torvic XP:" Return
    check "$2: the installation fails" $(within 30 shown "Problema en la instal·lació:"; echo $?)
    keys "Problema en la instal·lació:" Return  # Yes: more about the error
    check "$2: the error says in Catalan what raised it" \
        $(within 30 eval 'tree dump "Problema amb la instal·lació:" | grep -qF "generat per $what"'; echo $?)
    keys "Problema amb la instal·lació:" Return
    check "$2: the registry and the folders are as they were" \
        $(diff "$DIR/keys.before" <(keylist) >&2 && diff "$DIR/files.before" <(filelist) >&2; echo $?)
    check "$2: the window stays open" $(shown "Instal·lació de Torvic XP:"; echo $?)
    keys "Instal·lació de Torvic XP:" Escape
    within 20 eval '! kill -0 $setup 2>/dev/null'
}
failed_install "$DIR/source" 'Z:\sys\Torvic\' 'la creació de la carpeta Z:\sys\Torvic'
failed_install "$DIR/broken" 'C:\Nova\Carpeta\Torvic\' 'la còpia del fitxer torvic.rtf'

# The folder picker's drive list opens with room for its drives. Tab walks
# both windows (their folder boxes are remade as Unicode controls in their turn).
declare -A tabrows=(
    [installer]="5;Button|Sí;Button|Sí/Button|No/Button|Info./Edit|?:*/Button|.../Button|Sí/Button|..."
    [folders]="4;Button|Acceptar;Button|Acceptar/ListBox|/ComboBox|?:*/Button|Cancel·lar/Button|Acceptar/Button|Cancel·lar"
)
wine "$DIR/source/torvicsetup.exe" >/dev/null 2>&1 &
picker=$!
within 60 shown "Instal·lació de Torvic XP:"
tabcheck "Instal·lació de Torvic XP:" installer
tree click "Instal·lació de Torvic XP:" "..."
within 20 shown "Seleccionar Directori:"
IFS='|' read -r state rows drives < <(tree dropdown "Seleccionar Directori:")
check "the drive list opens and shows its drives ($state, $rows rows for $drives)" \
    $([ "$state" = open ] && [ "${drives:-0}" -ge 1 ] && [ "${rows:-0}" -ge "$(( drives < 4 ? drives : 4 ))" ]; echo $?)
tabcheck "Seleccionar Directori:" folders
keys "Seleccionar Directori:" Escape
keys "Instal·lació de Torvic XP:" Escape
within 20 eval '! kill -0 $picker 2>/dev/null'

wine "$DIR/source/torvicsetup.exe" >/dev/null 2>&1 &
setup=$!
check "the installer window opens" $(within 60 shown "Instal·lació de Torvic XP:"; echo $?)
proposed="$(tree dump "Instal·lació de Torvic XP:" | sed -n 's/^ *Edit|\(.*\)|10,24,350,24|.*/\1/p')"
check "it proposes a folder Torvic under the programs ($proposed)" $([[ "$proposed" == C:\\Program\ Files*\\Torvic\\ ]]; echo $?)
# A folder whose parents are missing, with accents: they are made.
dir='C:\Programes nous\Eines d'"'"'automatització\Torvic\'
tree settext "Instal·lació de Torvic XP:" "$dir"
keys "Instal·lació de Torvic XP:" Return
check "Enter installs and says where" $(within 30 eval 'tree dump "amb èxit" | grep -qF "correctament a $dir"'; echo $?)
keys "amb èxit" Return
within 10 shown "Apendre les comandes"
keys "Apendre les comandes" n
check "the installer ends" $(within 20 eval '! kill -0 $setup 2>/dev/null'; echo $?)

unix="$(winepath -u "$dir" 2>/dev/null)"
check "the programs and both manuals are installed" \
    $(cmp -s "$unix/torvic.exe" "$APP/torvic.exe" && cmp -s "$unix/torvic.rtf" "$APP/torvic.rtf" &&
      cmp -s "$unix/torvic.html" "$APP/torvic.html" && [ -f "$unix/torvicsetup.exe" ]; echo $?)
check "the file type .torvic" $([ "$(query 'HKCU\Software\Classes\.torvic' '')" = "torvic" ]; echo $?)
check "its open command runs a script hidden" \
    $(regvalue 'HKCU\Software\Classes\Torvic\shell\open\command' | grep -qF "@=\"\\\"${dir//\\/\\\\}torvic.exe\\\" /exec \\\"%1\\\"\""; echo $?)
UNINSTALL='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvic'
check "the uninstall entry" $(regvalue "$UNINSTALL" | grep -qF "\"UninstallString\"=\"\\\"${dir//\\/\\\\}torvicsetup.exe\\\" /uninstall\"" &&
    [ "$(query "$UNINSTALL" DisplayName)" = "Torvic XP 1.10" ]; echo $?)
# The shortcuts read back: target and arguments.
menu="$(find "$WINEPREFIX/drive_c/users" -path '*Programs/Torvic' -type d | head -1)"
lnk() { wine "$NAMES" link "$(win "$1")" 2>/dev/null | tr -d '\r' | paste -sd'|'; }
check "the shortcuts in the start menu" $([ "$(find "$menu" -name '*.lnk' | wc -l)" -eq 3 ]; echo $?)
for shortcut in "$menu/Editor de Programes Torvic.lnk|${dir}torvic.exe|" "$menu/Documentació del Torvic.lnk|${dir}torvic.rtf|" \
        "$menu/Desinstal·lar Torvic.lnk|${dir}torvicsetup.exe|/uninstall" "$HOME/Editor de Programes Torvic.lnk|${dir}torvic.exe|"; do
    file="${shortcut%%|*}"
    check "${file##*/} starts ${shortcut#*|}" $([ "$(lnk "$file")" = "${shortcut#*|}" ]; echo $?)
done
wine start /unix "$menu/Editor de Programes Torvic.lnk" >/dev/null 2>&1
check "the editor's shortcut opens the editor" $(within 30 shown "Torvic XP v1.10"; echo $?)
keys "Torvic XP v1.10" Escape
within 20 eval '! shown "Torvic XP v1.10"'
wine start /unix "$menu/Documentació del Torvic.lnk" >/dev/null 2>&1
check "the manual's shortcut opens the manual" $(within 30 shown "torvic.rtf"; echo $?)
keys "torvic.rtf" alt+F4
within 20 eval '! shown "torvic.rtf"'
# The viewer keeps settings of its own: they are not the installation's.
grep -qF 'CurrentVersion\Applets]' "$DIR/keys.before" ||
    wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Applets' /f >/dev/null 2>&1

# The shell opens a script through the file type: a hidden run that ends by itself.
printf 'text\r\n' > "$DIR/src.txt"
printf 'open("%s")\r\nsave("%s")\r\n' "$(winepath -w "$DIR/src.txt")" "$(winepath -w "$DIR/ran.txt")" > "$DIR/run.torvic"
timeout 60 wine start "$(winepath -w "$DIR/run.torvic")" >/dev/null 2>&1
check "wine start on a .torvic file runs it" $(within 30 test -f "$DIR/ran.txt"; echo $?)
check "hidden, and the program ends by itself" \
    $(within 20 eval '! running torvic.exe' && ! shown "Torvic XP"; echo $?)

# The way back out, through its shortcut.
wine start /unix "$menu/Desinstal·lar Torvic.lnk" >/dev/null 2>&1 &
check "uninstalling asks first" $(within 30 shown "Desinstal·lació de Torvic:"; echo $?)
keys "Desinstal·lació de Torvic:" Return  # Yes
check "and says where it removed from" \
    $(within 30 eval 'tree dump "Desinstal·lació de Torvic:" | grep -qF "Programa desinstal·lat de $dir"'; echo $?)
keys "Desinstal·lació de Torvic:" Return
within 30 eval '! running torvicsetup'
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

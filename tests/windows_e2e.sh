#!/usr/bin/env bash
# The Windows programs under Wine on an X server. torvicrun.exe on real
# files: the text commands, copy and xcopy, a failed save that keeps the
# previous file, exit codes, Catalan messages; exec of a window program with
# its id, keys (plain, accented, the euro) and a click that it receives.
# torvic.exe driven by keys and clicks: a hidden run started with /exec
# (icon, its own message box, its end), the main window's controls through
# the window tree at 96 DPI (and a screenshot), the run keys F5, F4,
# Shift+F5, Ctrl+F5 and Esc, the unsaved-work question, the menu bar, the
# mouse picker, F1's manual, each window's Tab walk, an encoded script (Ctrl+Z undoes the
# encoding) that runs, and drag and drop in the script box.
set -u
RUN="$1"   # torvicrun.exe
EXE="$2"   # torvic.exe
TREE="$3"  # win_window_tree.exe (also the window that catches keys)
ARTIFACTS="$4"
NAMES="$5"  # win_names.exe
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wine_lib.sh"
need wine winepath xdotool import convert
if [ -z "${DISPLAY:-}" ]; then start_xvfb 1024x768x24; fi
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$DIR/wineprefix}"
wineserver -p 60   # a server of its own lifetime, outside the file-size limit below
runit() { timeout 60 wine "$RUN" --trace "$@" </dev/null 2>"$DIR/err" >/dev/null; rc=$?; err="$(cat "$DIR/err")"; }

# ==== torvicrun.exe
# (copy, open, save, ref, xcopy, exec and execdoc on real files: the names below.)

# A save that fails half-way (a file-size limit) keeps the previous file.
head -c 20000 /dev/zero | tr '\0' y > "$DIR/big.txt"
printf 'previous\r\n' > "$DIR/keep.txt"
script "$DIR/limit.torvic" "open(\"$(win "$DIR/big.txt")\")" "save(\"$(win "$DIR/keep.txt")\")" 'beep'
(ulimit -f 8; trap '' XFSZ; timeout 60 wine "$RUN" --trace --on-error=continue "$DIR/limit.torvic" </dev/null 2>"$DIR/err" >/dev/null)
rc=$?
check "a failed save does not end the run (rc $rc)" $([ $rc -eq 0 ] && grep -qF "[2] beep" "$DIR/err"; echo $?)
check "the failed save is reported" $(grep -qF "Error en comanda SAVE en linia  1" "$DIR/err"; echo $?)
check "the previous file is kept" $([ "$(cat "$DIR/keep.txt")" = "$(printf 'previous\r\n')" ]; echo $?)
check "no temporary file is left" $([ "$(ls "$DIR" | grep -c '^~')" -eq 0 ]; echo $?)

# Exit codes and messages as on Linux; Catalan reads right.
runit "$DIR/missing.torvic"
check "a missing script exits 2 (rc $rc)" $([ $rc -eq 2 ] && grep -qF "no es pot llegir" <<<"$err"; echo $?)
script "$DIR/bad.torvic" "wait(-1)"
runit --on-error=stop "$DIR/bad.torvic"
check "No to a failing line exits 1 (rc $rc)" $([ $rc -eq 1 ]; echo $?)
check "the prompt is Catalan in UTF-8" $(grep -qF "Error de Sintaxi a la línia: 0" <<<"$err"; echo $?)
if command -v script >/dev/null; then
    # On a terminal Wine gives the program a console: the text goes through WriteConsoleW.
    LANG=C.UTF-8 timeout 60 script -qc "wine '$RUN' --on-error=stop '$DIR/bad.torvic'" /dev/null >"$DIR/console.out" 2>&1
    check "in a console the prompt reads right" $(grep -qF "Error de Sintaxi a la línia: 0" "$DIR/console.out"; echo $?)
fi

# The pointer: an absolute move to the middle of the 1024x768 screen, then a
# relative one, each seen by ifmouse.
script "$DIR/pointer.torvic" 'mouse(50%,50%)' 'ifmouse(500,372,524,396)' "' centred" 'ifmouse()' \
    'mouse(+10,+10)' 'ifmouse(510,382,534,406)' "' moved" 'ifmouse()'
runit "$DIR/pointer.torvic"
check "an absolute move reaches the middle" $(grep -qF "[2] ' centred" <<<"$err"; echo $?)
check "a relative move goes on from there" $(grep -qF "[6] ' moved" <<<"$err"; echo $?)

# ---- a Windows program: its id, keys and a click --------------------------------
# (The script is code page 1252: à ç € are the bytes E0 E7 80.)
caught="$DIR/caught.txt"
script "$DIR/keys.torvic" "exec(\"$(win "$TREE") catch $(win "$caught")\",1,1)" 'wait(2500)' 'focu(1)' 'wait(500)' \
    'send("Hola{ENTER}")' "send(\"$(printf '\xe0\xe7\x80')\")" 'wait(300)' 'mouse(250,220,1)' 'wait(800)'
runit --on-error=continue "$DIR/keys.torvic"
check "the keys script ran without an error (rc $rc)" $([ $rc -eq 0 ] && ! grep -q "Error" <<<"$err"; echo $?)
grep -q "Error" <<<"$err" && echo "$err"
got="$(cat "$caught" 2>/dev/null)"
check "the started program got Hola and Enter" $(grep -qx "Hola" <<<"$got"; echo $?)
check "the started program got àç€" $(grep -qF "àç€" <<<"$got"; echo $?)
check "the started program got the click" $(grep -qF "<click " <<<"$got"; echo $?)
[ "$failed" -eq 0 ] || echo "caught: $got"
wine taskkill /f /im "$(basename "$TREE")" >/dev/null 2>&1

# ---- names through the system ------------------------------------------------
# A script spells names in code page 1252; Windows gets the same Unicode names
# through the wide API whatever its ANSI code page. The run is repeated under
# code page 1251 (a Russian locale made in a scratch folder), where the 1252
# bytes read as the ANSI code page would name other files. Wine keeps the
# names in UTF-8 on the Linux disk (in a UTF-8 locale); win_names.exe reads
# them back as Windows does. Each name through copy, open, save, ref, xcopy, exec (win_names.exe
# copying a file by the names its wide command line holds) and execdoc (a
# copy of win_names.exe named after the name, which writes down its own path).
# The script's own name holds an accent too (torvicrun.exe's wide command line).
langs=(C.UTF-8)
mkdir -p "$DIR/locale"
if command -v localedef >/dev/null && localedef -i ru_RU -f UTF-8 "$DIR/locale/ru_RU.UTF-8" >/dev/null 2>&1 &&
    [ "$(LOCPATH="$DIR/locale" LC_ALL=ru_RU.UTF-8 wine "$NAMES" acp 2>/dev/null | tr -d '\r')" = 1251 ]; then
    langs+=(ru_RU.UTF-8)
else
    echo "NOTE: no Russian locale for Wine; names are checked under code page 1252 only"
fi
names=("café" "Plaça l·l €" "l'arxiu d'en Pere")
for lang in "${langs[@]}"; do
    W="$DIR/noms-$lang"
    mkdir -p "$W"
    printf 't\r\nART1 u\r\nART2 d\r\n' > "$W/in.txt"
    ww="$(win "$W")"
    lines=("def(ART)")
    expected=(in.txt)
    for n in "${names[@]}"; do
        mkdir "$W/$n carpeta" && cp "$W/in.txt" "$W/$n carpeta/$n.txt" && cp "$NAMES" "$W/$n carpeta/$n.exe"
        f="$ww\\$n"
        lines+=("copy(\"$ww\\in.txt\",\"$f.txt\")" "open(\"$f.txt\")" 'repl("u","U")' "save(\"$f desat.txt\")"
                "ref(\"$f ref.txt\",\"1\")" "copy(\"$f.txt\",\"$f còpia.txt\")"
                "xcopy(\"$f carpeta\",\"$f còpia carpeta\",\"/s /e /i /q\")"
                "exec(\"<$(win "$NAMES")> copy <$f.txt> <$f exec.txt>\",0)" "execdoc(\"<$f carpeta\\$n.exe>\",0,1)")
        expected+=("$n.txt" "$n desat.txt" "$n ref.txt" "$n còpia.txt" "$n carpeta" "$n còpia carpeta" "$n exec.txt")
    done
    printf '%s\r\n' "${lines[@]}" | iconv -f UTF-8 -t CP1252 > "$W é.torvic"
    timeout 60 env LOCPATH="$DIR/locale" LC_ALL=$lang wine "$RUN" --on-error=continue "$W é.torvic" \
        </dev/null 2>"$DIR/err" >/dev/null
    rc=$?
    err="$(cat "$DIR/err")"
    check "$lang: the names script ran without an error (rc $rc)" $([ $rc -eq 0 ] && ! grep -q "Error" <<<"$err"; echo $?)
    grep -q "Error" <<<"$err" && echo "$err" | grep -A3 Error
    printf 't\r\nART1 U\r\nART2 d\r\n' > "$DIR/desat.want" && printf 'ART1 U\r\n' > "$DIR/ref.want"
    for n in "${names[@]}"; do
        # what made it, the file made, and what it holds
        for row in "copy|$n.txt|$W/in.txt" "open and save|$n desat.txt|$DIR/desat.want" "ref|$n ref.txt|$DIR/ref.want" \
                "copy from '$n.txt'|$n còpia.txt|$W/in.txt" "xcopy|$n còpia carpeta/$n.txt|$W/in.txt" "exec|$n exec.txt|$W/in.txt"; do
            IFS='|' read -r what made want <<<"$row"
            check "$lang: $what: '$made'" $(within 20 cmp -s "$want" "$W/$made"; echo $?)
        done
        check "$lang: execdoc started '$n.exe'" \
            $(within 20 eval 'grep -qF "\\$n carpeta\\$n.exe" "$W/$n carpeta/executat.txt" 2>/dev/null'; echo $?)
    done
    listed="$(LC_ALL=C.UTF-8 wine "$NAMES" list "$ww" 2>/dev/null | tr -d '\r' | LC_ALL=C sort)"
    check "$lang: Windows sees those names and no other" \
        $([ "$listed" = "$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)" ]; echo $?)
    [ "$listed" = "$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)" ] ||
        diff <(echo "$listed") <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
    check "$lang: and so does the Linux disk" $([ "$(ls -A "$W" | LC_ALL=C sort)" = "$listed" ]; echo $?)
done

# The error report of torvic.exe's message window is written in 1252 (the
# system's text encoding), appended, by the wide name: windows_platform_test.

# ==== torvic.exe
ended() { ! kill -0 "$1" 2>/dev/null; }
# Tab walks (tabcheck): the main window's editor keeps its Tab, so the walk
# stops before it.
declare -A tabrows=(
    [main]="12;Edit|0;Edit|0/Edit|/Button|Executa tot/Button|Executa Ocult/Button|Stop/Button|Cont Exec/Button|End/\
Button|Navegar i Obrir/Button|Guardar com../Button|-> Obrir/Button|<- Guardar/Edit|*edit.torvic/Button|.../Edit|*edit.torvic"
    [replace]="5;;Edit|NOTEPAD/Button|Substituir/Edit|-1/Button|Només a partir de la posició actual/Edit|notepad/\
Edit|NOTEPAD/Edit|notepad"
    [key]="4;;Edit|clau/Button|Codificar/Button|Descodificar/Button|Cancelar/Edit|clau/Button|Cancelar"
    [about]="3;Button|&Info. del sistema...;Button|&Info. del sistema.../Edit|*Torvic*/Button|Acceptar/\
Button|&Info. del sistema.../Button|Acceptar"
    [picker]="4;Button|Fixar posició;Button|Fixar posició/Button|Tornar/Edit|0/Edit|0/Button|Fixar posició/Edit|0"
    [message]="6;Button|Acceptar;Button|Acceptar/Button|Continuar/Button|Tancar/Button|Acceptar Tots/\
Button|Exportar a Fitxer:/Edit|c:*errors.txt/Button|Acceptar/Edit|c:*errors.txt"
)

# A script saves a text only when it has one: each opens this one first.
printf 'text\r\n' > "$DIR/src.txt"
OPEN="open(\"$(win "$DIR/src.txt")\")"

# ---- a hidden run: /exec ----------------------------------------------------
script "$DIR/hidden.torvic" "$OPEN" "save(\"$(win "$DIR/out1.txt")\")" 'msg("primer",1)' 'wait(500)' \
    "save(\"$(win "$DIR/out2.txt")\")"
wine "$EXE" /exec "$(win "$DIR/hidden.torvic")" >/dev/null 2>&1 &
pid=$!
check "/exec runs the script" $(within 30 test -f "$DIR/out1.txt"; echo $?)
check "its message box comes up" $(within 20 has "Torvic" "Button|OK|"; echo $?)
check "the main window is never shown" $(shown "Torvic XP"; [ $? -ne 0 ]; echo $?)
check "its icon is in the notification area" $(xdotool search --name "Wine System Tray" >/dev/null; echo $?)
tree click "Torvic" "OK"
check "the run goes on after its message box" $(within 20 test -f "$DIR/out2.txt"; echo $?)
check "the program ends by itself" $(within 20 ended $pid; echo $?)

# ---- the main window --------------------------------------------------------
script "$DIR/edit.torvic" "$OPEN" "save(\"$(win "$DIR/f5.txt")\")" 'wait(2500)' "save(\"$(win "$DIR/after.txt")\")"
wine "$EXE" "$(win "$DIR/edit.torvic")" >/dev/null 2>&1 &
main=$!
T="edit.torvic - Torvic XP"
check "the window opens with the script" $(within 30 has "$T" "TorvicScript|open("; echo $?)
tabcheck "$T" main
tree dump "$T" > "$DIR/tree.txt"
mkdir -p "$ARTIFACTS" && import -window root "$ARTIFACTS/torvic_exe_main.png" 2>/dev/null
check "caption and client area at the design size" \
    $(grep -qx "window|$T v1.10   (Comandes de Procés, de tractament de textes, base dades, ratolí, codificació)|594,438" \
        "$DIR/tree.txt"; echo $?)
# Places in pixels at 96 DPI (the design's twips / 15, relative to the frame)
# of a control of each kind, and captions.
for line in "Button|Navegar i Obrir|16,32,103,25" "Button|End|536,-20,49,17" "Button|Posició actual:|128,0,129,34" \
    "Button|Executa Ocult|88,24,96,25" "Edit|0|8,16,81,19"; do
    check "control $line" $(grep -qF "|$line|" <<<"$(sed 's/^ *//; s/^/|/' "$DIR/tree.txt")"; echo $?)
done
# Labels as tall as their text: below the buttons they stand under, above
# their frame's bottom border (Posició actual is 34 high, Procés d'execució 65).
for label in "Línia:|7|16|32" "Majc+F5|32|49|63" "F5|264|49|63"; do
    IFS='|' read -r caption x top bottom <<<"$label"
    IFS=, read -r lx ly _ lh < <(grep -m1 "^ *Static|$caption|" "$DIR/tree.txt" | cut -d'|' -f3)
    check "label $caption at $lx,$ly, $lh high, inside its frame" \
        $([ "${lx:-0}" -eq "$x" ] && [ "${ly:-0}" -ge "$top" ] && [ $((${ly:-99} + ${lh:-99})) -le "$bottom" ] &&
          [ "${lh:-0}" -ge 8 ]; echo $?)
done
for caption in "Button|Fitxer   .torvic:" "Button|<- Guardar" "Edit|$(win "$DIR/edit.torvic")" "Button|Línia d'execució:" \
    "Static|Ctrl+F5"; do
    check "control $caption" $(grep -qF "$caption|" "$DIR/tree.txt"; echo $?)
done

keys "$T" F5
check "F5 runs the script" $(within 10 test -f "$DIR/f5.txt"; echo $?)
check "the run buttons are off during the run" $(has "$T" "Button|Cont Exec|232,24,73,25|visible|disabled"; echo $?)
keys "$T" F4
sleep 3
check "F4 stops the run before its last line" $([ ! -f "$DIR/after.txt" ] && has "$T" "Button|Cont Exec|232,24,73,25|visible|enabled"; echo $?)
rm -f "$DIR/f5.txt"
keys "$T" F5
check "F5 goes on from the line where it stopped" $(within 10 test -f "$DIR/after.txt" && [ ! -f "$DIR/f5.txt" ]; echo $?)
rm -f "$DIR/after.txt"
keys "$T" shift+F5
check "Shift+F5 runs from the first line" $(within 10 test -f "$DIR/f5.txt"; echo $?)
within 10 test -f "$DIR/after.txt"

keys "$T" alt+a Up Return
check "the menu bar's Ajuda holds the about box" $(within 10 has "En quant a" "Button|&Info. del sistema...|"; echo $?)
# "Advertència:" over the notice's first line is no taller than a line of
# the three the notice has room for.
tabcheck "En quant a" about
over=$(tree dump "En quant a" | grep -m1 "Static|Advertència:|" | cut -d'|' -f3 | cut -d, -f4)
notice=$(tree dump "En quant a" | grep -m1 "Static| *Aquest programa\|Static|   " | cut -d'|' -f3 | cut -d, -f4)
check "Advertència: is one line high ($over of $notice)" $([ $((${over:-99} * 3)) -le "${notice:-0}" ]; echo $?)
keys "En quant a" Return
check "Enter closes the about box" $(within 10 eval '! shown "En quant a"'; echo $?)

keys "$T" ctrl+p
check "Ctrl+P opens the mouse picker" $(within 10 shown "Posició del Ratolí"; echo $?)
xdotool mousemove 321 123
check "the picker follows the pointer" $(within 10 eval 'has "Posició del Ratolí" "Static|321|" && has "Posició del Ratolí" "Static|123|"'; echo $?)
tabcheck "Posició del Ratolí" picker
keys "Posició del Ratolí" Escape
check "Esc hides the picker" $(within 10 eval '! shown "Posició del Ratolí"'; echo $?)

# "notepad", Tab, "NOTEPAD" fills find and replace's replacement.
keys "$T" ctrl+r
within 10 shown "Substituir"
keys "Substituir" n o t e p a d Tab N O T E P A D
tabcheck "Substituir" replace
tree click "Substituir" "Substituir"
check "Substituir closes it" $(within 10 eval '! shown "Substituir"'; echo $?)

keys "$T" End x
keys "$T" Escape
check "Esc with unsaved text asks first" $(within 10 has "Modificacions sense guardar" "Button|No guardar|"; echo $?)
tree click "Modificacions sense guardar" "Cancel·lar"
sleep 1
check "Cancel·lar keeps the program" $(kill -0 $main 2>/dev/null && shown "$T"; echo $?)
keys "$T" Escape
within 10 shown "Modificacions sense guardar"
tree click "Modificacions sense guardar" "No guardar"
check "No guardar ends the program" $(within 20 ended $main; echo $?)
check "and nothing was saved" $(! grep -qF ')x' "$DIR/edit.torvic"; echo $?)

# Find and replace takes characters 1252 lacks: "→" (put in the find field as
# typing would) found in a UTF-8 program and replaced.
printf "' a\xe2\x86\x92b\r\nbeep\r\n" > "$DIR/fletxa.torvic"
wine "$EXE" "$(win "$DIR/fletxa.torvic")" >/dev/null 2>&1 &
arrow=$!
within 30 shown "fletxa.torvic - Torvic XP"
keys "fletxa.torvic - Torvic XP" ctrl+r
within 10 shown "Substituir"
tree settext "Substituir" "→"
keys "Substituir" Tab minus greater
tree click "Substituir" "Substituir"
check "a → in the find field is found and replaced" $(within 10 has "fletxa.torvic - Torvic XP" "TorvicScript|' a->b"; echo $?)
keys "fletxa.torvic - Torvic XP" Escape
within 10 shown "Modificacions sense guardar"
tree click "Modificacions sense guardar" "No guardar"
within 20 ended $arrow

# ---- an encoded script ------------------------------------------------------
script "$DIR/enc.torvic" "$OPEN" "save(\"$(win "$DIR/enc_out.txt")\")"
wine "$EXE" "$(win "$DIR/enc.torvic")" >/dev/null 2>&1 &
enc=$!
E="enc.torvic - Torvic XP"
within 30 shown "$E"
keys "$E" ctrl+d
check "Ctrl+D asks for the key" $(within 10 shown "Codificar / Descodificar"; echo $?)
keys "Codificar / Descodificar" c l a u
tabcheck "Codificar / Descodificar" key
tree click "Codificar / Descodificar" "Codificar"
check "the editor holds the encoded script" $(within 10 has "$E" 'TorvicScript|$%& '; echo $?)
keys "$E" ctrl+z
check "Ctrl+Z gives the script back as it was" $(within 10 has "$E" "TorvicScript|$OPEN"; echo $?)
keys "$E" ctrl+y
check "and Ctrl+Y encodes it again" $(within 10 has "$E" 'TorvicScript|$%& '; echo $?)
keys "$E" ctrl+s  # its own file, unchanged on disk: no question
check "saved encoded" $(within 10 eval 'head -c 4 "$DIR/enc.torvic" | grep -qF "\$%& "'; echo $?)
keys "$E" ctrl+F5
check "Ctrl+F5 runs it hidden" $(within 20 test -f "$DIR/enc_out.txt" && ! shown "$E"; echo $?)
check "and the hidden run ends the program" $(within 20 ended $enc; echo $?)
rm -f "$DIR/enc_out.txt"
wine "$EXE" /exec "$(win "$DIR/enc.torvic")" >/dev/null 2>&1
check "the encoded file runs from /exec" $(test -f "$DIR/enc_out.txt"; echo $?)

# ---- the timed message window of a failing line, and the editor's colours ---
script "$DIR/typo.torvic" "wiat(5)" "' nota" "" "$OPEN" "save(\"$(win "$DIR/typo_out.txt")\")"
wine "$EXE" "$(win "$DIR/typo.torvic")" >/dev/null 2>&1 &
typo=$!
within 30 shown "typo.torvic - Torvic XP"
# The rows of the editor window's pixels of colour $1 ("first last", -1 when none).
rows() {
    import -window "$(xdotool search --onlyvisible --name "typo.torvic - Torvic XP" | head -1)" "$DIR/shot.png" 2>/dev/null
    convert "$DIR/shot.png" txt:- | awk -v c="$1" '$3 == c {y = substr($1, index($1, ",") + 1) + 0; if (!n++) lo = y; hi = y}
        END {print (n ? lo " " hi : "-1 -1")}'
}
# How many pixels of colour $1 the window shows.
pixels() {
    import -window "$(xdotool search --onlyvisible --name "typo.torvic - Torvic XP" | head -1)" "$DIR/shot.png" 2>/dev/null
    convert "$DIR/shot.png" txt:- | awk -v c="$1" '$3 == c {n++} END {print n + 0}'
}
within 10 eval '[ "$(rows "#0000A0")" != "-1 -1" ]'  # painted
read -r wl wh < <(rows "#FF0000"); read -r cl ch < <(rows "#6E6E6E"); read -r kl kh < <(rows "#0000A0")
read -r nl nh < <(rows "#636363")  # the gutter's numbers (readable on its grey, apart from the frame's greys)
check "line 0 has a red wave, line 1 is grey, lines 3-4 dark blue ($wl-$wh, $cl-$ch, $kl-$kh)" \
    $([ "$wl" -ge 0 ] && [ "$wh" -lt "$cl" ] && [ "$ch" -lt "$kl" ] && [ "$kh" -gt "$kl" ]; echo $?)
check "the gutter numbers line 0 to the last ($nl-$nh)" $([ "$nl" -ge 0 ] && [ "$nl" -lt "$wl" ] && [ "$nh" -ge $((kh - 2)) ]; echo $?)
keys "typo.torvic - Torvic XP" F5
check "a failing line shows why in the timed window" \
    $(within 20 has "TORVIC - Error de sintaxis:" "Static|Error en linia  0.  La comanda 'wiat(5)' és incorrecte|"; echo $?)
read -r gl gh < <(rows "#78BE78")
check "the gutter marks the line run in green ($gl-$gh)" $([ "$gl" -ge 0 ] && [ "$gh" -ge "$wl" ] && [ "$gh" -lt "$cl" ]; echo $?)
check "with the seconds left" $(has "TORVIC - Error de sintaxis:" "Static|Temps restant:|" &&
    ! has "TORVIC - Error de sintaxis:" "Static|Label3|"; echo $?)
tree click "TORVIC - Error de sintaxis:" "Pausar"  # the walk outlasts its 10 s
within 10 has "TORVIC - Error de sintaxis:" "Button|Continuar|"
tabcheck "TORVIC - Error de sintaxis:" message
tree click "TORVIC - Error de sintaxis:" "Acceptar"
check "Acceptar lets the run go on" $(within 20 test -f "$DIR/typo_out.txt"; echo $?)
# The marker of an encoded script typed by hand: no line has colours or a
# number; undone, they come back.
xdotool mousemove --window "$(xdotool search --onlyvisible --name "typo.torvic - Torvic XP" | head -1)" 80 $((wl - 4)) click 1
numbered=$(pixels "#636363")  # the gutter's numbers (the colour may stand elsewhere too)
keys "typo.torvic - Torvic XP" ctrl+Home dollar percent ampersand space
check "a marker typed by hand takes every line's colours and number" \
    $(within 10 eval '[ "$(rows "#0000A0")" = "-1 -1" ] && [ $(pixels "#636363") -lt $((numbered / 2)) ]'; echo $?)
keys "typo.torvic - Torvic XP" ctrl+z
check "and undone gives them back" $(within 10 eval '[ "$(rows "#0000A0")" != "-1 -1" ]'; echo $?)
keys "typo.torvic - Torvic XP" Escape
within 20 ended $typo

# ---- keys a run in the window sends ------------------------------------------
# Into Notepad (slow to take keys under Wine), with and without the wait
# flag, on either side of a failing line's timed window and right before a
# message box: every key arrives, and the editor's text is as it was.
lines=('exec("notepad.exe",1,1)' 'wait(2500)' 'focu(1)' 'wait(500)'
       'send("abcdefghijklmnopqrstuvwxyz{ENTER}0123456789~")' 'send("segona~",1)' 'wiat(100)' 'send("fi{F5}~")'
       'msg("Fi de la prova",1,"Prova: les tecles enviades a una finestra d'"'"'un altre programa")')
script "$DIR/typing.torvic" "${lines[@]}"
wine "$EXE" "$(win "$DIR/typing.torvic")" >/dev/null 2>&1 &
typing=$!
Y="typing.torvic - Torvic XP"
within 30 shown "$Y"
keys "$Y" F5
within 30 shown "Error de sintaxis"
sleep 1
tree click "TORVIC - Error de sintaxis:" "Acceptar"
within 20 shown "Prova"
got="$(tree dump "Notepad" | grep -m1 '^  Edit|' | cut -d'|' -f2)"
check "every key reached Notepad ($got)" \
    $([[ "$got" == "abcdefghijklmnopqrstuvwxyz  0123456789  segona  fi"*"  " ]]; echo $?)
check "one Notepad: F5 did not reach the editor" $([ "$(tree dump "Notepad" | grep -c '^window|')" -eq 1 ]; echo $?)
text="$(printf '%s  ' "${lines[@]}")"
check "the editor's text is unchanged" $(has "$Y" "TorvicScript|${text%  }|"; echo $?)
check "and not marked as changed" $(tree dump "$Y" | head -1 | grep -q "^window|$Y"; echo $?)
# The box is as wide as its title (at least 5 pixels a character).
width=$(tree dump "Prova" | head -1 | cut -d'|' -f3 | cut -d, -f1)
check "the message box fits its title ($width px)" $([ "${width:-0}" -ge $((5 * 63)) ]; echo $?)
import -window root "$ARTIFACTS/torvic_exe_box_title.png" 2>/dev/null
tree click "Prova" "OK"
wine taskkill /f /im notepad.exe >/dev/null 2>&1
keys "$Y" Escape
within 20 ended $typing

# ---- work never lost ------------------------------------------------------------
# A program with the read-only attribute is not replaced: the reason is shown.
printf 'beep\r\n' > "$DIR/ro.torvic"
wine attrib +r "$(win "$DIR/ro.torvic")" >/dev/null 2>&1
wine "$EXE" "$(win "$DIR/ro.torvic")" >/dev/null 2>&1 &
ro=$!
R="ro.torvic - Torvic XP"
within 30 shown "$R"
keys "$R" ctrl+End Return w a i t
keys "$R" ctrl+s
check "a read-only program is refused with the reason" \
    $(within 10 has "Error en grabar el fitxer" "només de lectura"; echo $?)
tree click "Error en grabar el fitxer" "OK"
check "... and left as it was" $([ "$(cat "$DIR/ro.torvic")" = "$(printf 'beep\r\n')" ]; echo $?)
keys "$R" Escape
within 10 shown "Modificacions sense guardar"
tree click "Modificacions sense guardar" "No guardar"
within 20 ended $ro
# torvicrun.exe: the save fails its line.
script "$DIR/save-ro.torvic" "$OPEN" "save(\"$(win "$DIR/ro.torvic")\")" 'beep'
runit --on-error=stop "$(win "$DIR/save-ro.torvic")"
check "torvicrun.exe: a save over a read-only file stops the run (rc $rc)" \
    $([ $rc -eq 1 ] && grep -qF "només de lectura" <<<"$err" && [ "$(cat "$DIR/ro.torvic")" = "$(printf 'beep\r\n')" ]; echo $?)

# The session ends with unsaved work: the copy is written, and offered at the next start.
printf 'beep\r\n' > "$DIR/session.torvic"
wine "$EXE" "$(win "$DIR/session.torvic")" >/dev/null 2>&1 &
session=$!
S="session.torvic - Torvic XP"
within 30 shown "$S"
keys "$S" ctrl+End Return w a i t
within 10 shown "*session.torvic - Torvic XP"
tree endsession "$S"
copies="$(winepath -u 'C:\users' 2>/dev/null)"
check "WM_ENDSESSION writes the recovery copy" \
    $(within 10 eval 'grep -rqs "^wait" "$copies"/*/AppData/Local/Torvic/'; echo $?)
kill -9 $session 2>/dev/null; wait $session 2>/dev/null  # as the system ends it
wine "$EXE" >/dev/null 2>&1 &
session=$!
check "the next start offers it" $(within 30 shown "Recuperació del programa"; echo $?)
tree click "Recuperació del programa" "Recuperar"
within 10 shown "*session.torvic - Torvic XP"
keys "\*session.torvic - Torvic XP" ctrl+s
check "recovered, it is saved by the program's name" \
    $(within 10 eval '[ "$(cat "$DIR/session.torvic")" = "$(printf "beep\r\nwait\r\n")" ]'; echo $?)
keys "$S" Escape
within 20 ended $session

# ---- drag and drop in the script box ------------------------------------------
# Real pointer drags (OLE's DoDragDrop under Wine, fed by the X server's
# events): the selection is moved, or copied with Ctrl held at the drop, as
# one step Ctrl+Z undoes; a text dragged from another program
# (win_window_tree's drag source, CF_UNICODETEXT) is put where it falls.
printf 'uno dos tres\r\nquatre cinc\r\n' > "$DIR/dnd.torvic"
wine "$EXE" "$(win "$DIR/dnd.torvic")" >/dev/null 2>&1 &
dnd=$!
D="dnd.torvic - Torvic XP"
within 30 has "$D" "TorvicScript|uno dos"
# A drag with the left button from $1,$2 to $3,$4 (screen pixels), the key
# $5 (if any) held at the drop.
drag() {
    xdotool mousemove "$1" "$2" sleep 0.3 mousedown 1 sleep 0.3
    for i in 1 2 3 4 5 6; do xdotool mousemove $(($1 + ($3 - $1) * i / 6)) $(($2 + ($4 - $2) * i / 6)) sleep 0.2; done
    [ -n "${5:-}" ] && xdotool keydown "$5" sleep 0.3 mousemove "$3" $(($4 + 1)) sleep 0.3
    xdotool mouseup 1 sleep 0.3
    [ -n "${5:-}" ] && xdotool keyup "$5"
}
# "uno " (characters 0-3) dragged to before "cinc" (character 21): what the drop leaves.
for row in "moved||dos tres  quatre uno cinc" "copied with Ctrl|ctrl|uno dos tres  quatre uno cinc"; do
    IFS='|' read -r what key want <<<"$row"
    keys "$D" ctrl+Home shift+ctrl+Right
    read -r fx fy < <(tree pos "$D" 1)
    read -r tx ty < <(tree pos "$D" 21)
    drag $((fx + 3)) $((fy + 6)) $((tx + 1)) $((ty + 6)) $key
    check "a selection dragged in the box is $what" $(within 10 has "$D" "TorvicScript|$want|"; echo $?)
    keys "$D" ctrl+z
    check "... and one Ctrl+Z undoes it" $(within 10 has "$D" "TorvicScript|uno dos tres  quatre cinc|"; echo $?)
done
wine "$TREE" dragsource "café àç€ " "$(win "$DIR/effect.txt")" >/dev/null 2>&1 &
origin=$!
within 20 shown Origen
read -r sx sy < <(xdotool search --onlyvisible --name '^Origen$' getwindowgeometry |
    sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
read -r tx ty < <(tree pos "$D" 4)
drag $((sx + 50)) $((sy + 50)) $((tx + 1)) $((ty + 6))
check "a text dragged from another program is put where it falls, accents intact" \
    $(within 10 has "$D" "TorvicScript|uno café àç€ dos tres  quatre cinc|"; echo $?)
check "... as a copy" $(within 10 grep -qx copy "$DIR/effect.txt"; echo $?)
within 30 ended $origin  # the keys are the drag source's until it is gone
keys "$D" Escape
within 10 shown "Modificacions sense guardar"
tree click "Modificacions sense guardar" "No guardar"
within 20 ended $dnd

# ---- the manual ------------------------------------------------------------
wine "$EXE" >/dev/null 2>&1 &
within 30 shown "Torvic XP"
keys "Torvic XP" F1
check "F1 opens the manual torvic.rtf through the shell" $(within 30 shown "torvic.rtf"; echo $?)

wineserver -k 2>/dev/null
finish

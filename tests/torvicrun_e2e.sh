#!/usr/bin/env bash
# End-to-end checks of the console runner: exit status, messages on
# standard error, answers to the syntax-error prompt; copy and xcopy on real
# files, and desktop commands without an X display. Then bad input of every
# kind: odd script sizes, huge lines, binary files, FIFOs and devices,
# folders, missing files, NUL in names, a file-size limit.
# Each must give a clear message and the documented exit status, never hang
# or crash, and leave the files as they were.
set -u
RUN="$1"
EXAMPLES="$(cd "$(dirname "$0")/../examples" && pwd)"
source "$(dirname "$0")/lib.sh"
unset DISPLAY
cd "$DIR"

has() { grep -qF "$1" <<<"$err"; }
script ok.torvic "' a comment" "wait(1)" "wiat(100)" "beep"
runit ok.torvic
check "a run that reaches its end exits 0, reports the bad line and shows the run line (rc $rc)" \
    $([ $rc -eq 0 ] && has "Error en linia  2.  La comanda 'wiat(100)' és incorrecte" && has "[3] beep"; echo $?)

script err.torvic "beep" "wait(-1)" "' after the error"
# option, exit status, whether the line after the error runs (the default asks; no terminal answers No)
for row in "--on-error=stop 1 no" "--on-error=continue 0 yes" "default 1 no"; do
    read -r opt want next <<<"$row"
    runit ${opt#default} err.torvic
    ran=no; has "[2] ' after the error" && ran=yes
    check "$opt exits $want (got $rc), the next line runs: $next" $([ $rc -eq $want ] && [ $ran = $next ]; echo $?)
done
# script, options, exit status, a line that must show, a line that must not
script start.torvic "' zero" "' one" "' two"
script forever.torvic "wait()" "beep"
script loop.torvic "' body" "goto(0,3)" "stop" "' never"
printf "beep\ngoto(0,2)\nstop\n" > lf.torvic
for row in "start.torvic|--start=2|0|[2] ' two|[1]" "forever.torvic||1||" "loop.torvic||0||[3]" \
           "lf.torvic||0|salts de línia es llegeixen com a finals de línia|"; do
    IFS='|' read -r f opt want shows hides <<<"$row"
    runit $opt "$f"
    check "$f $opt exits $want (rc $rc)" $([ $rc -eq $want ] && has "$shows" && { [ -z "$hides" ] || ! has "$hides"; }; echo $?)
done
check "an LF-only script runs line by line" $([ "$(grep -c '\[1\] goto' <<<"$err")" -eq 3 ]; echo $?)

# The demo of the start command processes the shop catalogue it ships with.
mkdir "$DIR/demo"
cp "$EXAMPLES/demo.torvic" "$EXAMPLES/cataleg.txt" "$DIR/demo/"
(cd "$DIR/demo" && timeout 20 "$RUN" --on-error=stop demo.torvic </dev/null >/dev/null 2>&1)
check "the demo ends well" $?
revised="$(tr -d '\r' < "$DIR/demo/cataleg-revisat.txt" 2>/dev/null)"
check "the demo's revised catalogue: retitled, prices in euros, nothing discontinued; its list holds 10, 20, 21, 23" \
    $(grep -q -- '- revisat$' <<<"$revised" && [ "$(grep -c 'euros$' <<<"$revised")" -eq 7 ] && ! grep -q DESCATALOGAT <<<"$revised" &&
      [ "$(cut -c1-5 "$DIR/demo/llista-llums.txt" 2>/dev/null | tr '\n' ' ')" = "ART10 ART20 ART21 ART23 " ]; echo $?)

# ---- copy and xcopy on real files, text commands and mouse: no X display
printf 'new contents' > a.txt
printf 'old contents that were longer' > b.txt
mkdir -p src/sub/deeper src/empty
printf 'one' > src/1.txt; printf 'two' > src/sub/2.txt; printf 'three' > src/sub/deeper/3.txt
script copy.torvic 'copy("a.txt","b.txt")' 'copy("missing.txt","c.txt")' 'xcopy("src","dst","/s /e")' 'xcopy("src","flat","")' \
    'mouse(1,1,1)' 'open("a.txt")' 'repl("new","NEW")' 'save("d.txt")' 'wait(1500)'
runit --on-error=continue copy.torvic
check "the run went to its end (rc $rc)" $([ $rc -eq 0 ]; echo $?)
check "copy replaced the existing file; the missing one went to the prompt and made nothing" \
    $([ "$(cat b.txt)" = "new contents" ] && has "Error de Sintaxi a la línia: 1" && [ ! -e c.txt ]; echo $?)
check "xcopy /s /e copied the tree, without /s the top files only" $(diff -r src dst >/dev/null && [ -f flat/1.txt ] && [ ! -e flat/sub ]; echo $?)
check "mouse without a display names the missing display" $(has "mouse necessita una pantalla X, i DISPLAY no està definida"; echo $?)
check "text commands still work without a display" $([ "$(cat d.txt)" = "NEW contents" ]; echo $?)

# ---- documents as people have them, and names spelled the Windows way
mkdir -p win/dades
printf 'Cat\xc3\xa0leg\nOrxata 1\nCaf\xc3\xa8 2\nOrxata gran 3\n' > win/dades/cat.txt
# What PowerShell's Out-File writes: UTF-16 with its mark.
{ printf '\xff\xfe'; printf 'Orxata\r\nCaf\xc3\xa8\r\n' | iconv -f UTF-8 -t UTF-16LE; } > win/dades/ps.txt
script 'win/dades/s.torvic' 'open("dades\cat.txt")' 'deline("Orxata")' 'save("dades\out.txt")' \
    'copy("dades\out.txt","dades\copy.txt")' 'open("dades\ps.txt")' "$(printf 'repl("Caf\xe8","Te")')" 'save("dades\ps-out.txt")'
cd win; runit 'dades\s.torvic'; cd "$DIR"
check "a script named the Windows way runs, with no message (rc $rc)" $([ $rc -eq 0 ] && ! has "Error"; echo $?)
check "deline on an LF document keeps its other lines, written with LF; copy by Windows names" \
    $([ "$(od -An -c win/dades/out.txt | tr -s ' ')" = "$(printf 'Cat\xc3\xa0leg\nCaf\xc3\xa8 2\n' | od -An -c | tr -s ' ')" ] &&
      cmp -s win/dades/out.txt win/dades/copy.txt; echo $?)
check "a UTF-16 document is searched by its characters and written back in UTF-16 with its mark" \
    $(cmp -s win/dades/ps-out.txt <({ printf '\xff\xfe'; printf 'Orxata\r\nTe\r\n' | iconv -f UTF-8 -t UTF-16LE; }); echo $?)
script 'win/a\b.torvic' 'beep'
cd win; runit 'a\b.torvic'; cd "$DIR"
check "a file whose Linux name holds a backslash runs by that name (rc $rc)" $([ $rc -eq 0 ] && has "[0] beep"; echo $?)
runit 'C:\dades\s.torvic'
check "a script named with a drive exits 2 naming the drive (rc $rc)" $([ $rc -eq 2 ] && has "unitat C:"; echo $?)

# ---- bad input
# No crash (signal), no sanitizer report, no fault of ours.
sound() { [ "$rc" -lt 124 ] && ! grep -qE "error intern|Sanitizer|runtime error" "$DIR/err"; }
snapshot() { find "$DIR/data" -printf '%p %s %m %y\n' | sort; find "$DIR/data" -type f -exec md5sum {} + | sort; }

mkdir -p data/folder
printf 't\r\nART1 a\r\nART2 b\r\n' > data/text.txt
head -c 200000 /dev/urandom > data/binary.bin
mkfifo data/fifo
before="$(snapshot)"

# ---- script sizes and shapes --------------------------------------------
: > empty.torvic
runit empty.torvic
check "an empty script runs to its end (rc $rc)" $([ $rc -eq 0 ] && sound; echo $?)
for n in 300 301; do
    lines=(); for i in $(seq 1 $n); do lines+=("' $i"); done
    script "n$n.torvic" "${lines[@]}"
    runit "n$n.torvic"
    if [ $n -le 300 ]; then want=0; else want=2; fi
    check "a script of $n lines exits $want (rc $rc)" $([ $rc -eq $want ] && sound; echo $?)
done
check "the refusal names the limit" $(has "més de 300 línies no buides"; echo $?)
big="$(head -c 1000000 /dev/zero | tr '\0' 'x')"
script huge.torvic "' $big" "open(\"$DIR/data/text.txt\")" "write(\"$big\")" "search(\"$big\")" "repl(\"$big\",\"y\")"
runit huge.torvic
check "lines of 1 MB run (rc $rc)" $([ $rc -eq 0 ] && sound; echo $?)
cp data/binary.bin binary.torvic
runit --on-error=continue binary.torvic
check "a binary file as a script ends cleanly (rc $rc)" $({ [ $rc -eq 0 ] || [ $rc -eq 2 ]; } && sound; echo $?)
check "control bytes never reach the terminal raw" $(! LC_ALL=C grep -q $'[\x01-\x08\x0b\x0c\x0e-\x1f\x7f]' "$DIR/err"; echo $?)
# A control byte, and the five bytes 1252 leaves unassigned (C1 controls on a terminal), are shown escaped.
script ctl.torvic "' a$(printf '\x1b')[2Jb" "' a$(printf '\x9d')]0;title$(printf '\x07')b$(printf '\x81')"
runit ctl.torvic
check "control bytes are shown escaped, no C1 control reaches the terminal" \
    $(has '\x1B[2Jb' && has '\x9D]0;title\x07b\x81' && ! LC_ALL=C.UTF-8 grep -qP '[\x{80}-\x{9f}]' <<<"$err"; echo $?)

repeats="$(for i in $(seq 100); do printf '{a 99999}'; done)"
script keys.torvic "send(\"$repeats\")"
runit --on-error=continue keys.torvic
check "send of ten million repeated keys without a display names the display at once (rc $rc)" \
    $([ $rc -eq 0 ] && has "send necessita una pantalla X"; echo $?)

printf '$%%& \035beep\r\n' > badheader.torvic
runit badheader.torvic
check "an encoded script without a key length exits 2 with a reason (rc $rc)" $([ $rc -eq 2 ] && has "no diu la llargada de la clau"; echo $?)

# ---- scripts that are not files ------------------------------------------
for target in data/fifo /dev/zero data/folder "$DIR/missing.torvic"; do
    runit "$target"
    check "torvicrun $target exits 2 at once (rc $rc)" $([ $rc -eq 2 ] && sound && { [ "$target" != /dev/zero ] || has "no és un fitxer normal"; }; echo $?)
done
for bad in --on-error=maybe --start=abc --start=-1 --start=3 --start=; do
    runit "$bad" start.torvic
    check "torvicrun $bad is a usage error (rc $rc)" $([ $rc -eq 2 ] && sound; echo $?)
done

# ---- files: folders, devices, FIFOs, missing, unreadable, a size limit ---
script files.torvic "open(\"$DIR/data/folder\")" "open(\"$DIR/data/fifo\")" "open(\"/dev/zero\")" \
    "open(\"$DIR/data/missing.txt\")" "open(\"$DIR/data/binary.bin\")" "repl(\"a\",\"b\")" \
    "save(\"$DIR/data/folder\")" "save(\"$DIR/data/fifo\")" "save(\"/dev/null\")" "save(\"$DIR/data/no/such/x\")" \
    "ref(\"$DIR/data/folder\",\"1\")" "copy(\"$DIR/data/folder\",\"$DIR/data/c\")" \
    "copy(\"$DIR/data/missing.txt\",\"$DIR/data/c\")" "xcopy(\"$DIR/data/missing\",\"$DIR/data/x\",\"/s\")" "beep"
runit --on-error=continue files.torvic
check "bad files end the run cleanly (rc $rc)" $([ $rc -eq 0 ] && sound; echo $?)
check "a FIFO is not waited on; open of a folder and of a device says why; /dev/null is still a device" \
    $(has "[1] open" && has "[14] beep" && has "és una carpeta" && has "no és un fitxer normal" && [ -c /dev/null ]; echo $?)
# A NUL inside a name (a binary script can hold one) is refused, never cut short.
printf '%s\0%s\r\n' "copy(\"$DIR/data/text.txt" "x\",\"$DIR/data/c\")" \
    "exec(\"touch $DIR/data/made" "x\",0)" "xcopy(\"$DIR/data/folder" "x\",\"$DIR/data/c\",\"/s\")" > nul.torvic
runit --on-error=continue nul.torvic
check "names with a NUL are refused" $([ "$(grep -c "el nom conté un caràcter NUL" <<<"$err")" -eq 3 ]; echo $?)
# (Unreadable files, as an ordinary user: safe_save_e2e.sh.)
after="$(snapshot)"
check "the files were left as they were" $([ "$before" = "$after" ]; echo $?)

# A file-size limit (as a cron job may set): save fails with a reason, no
# temporary file is left, and the run goes on.
mkdir -p limit
head -c 20000 /dev/zero | tr '\0' 'y' > limit/in.txt
printf 'previous\r\n' > limit/out.txt
script limit.torvic "open(\"$DIR/limit/in.txt\")" "save(\"$DIR/limit/out.txt\")" "ref(\"$DIR/limit/ref.txt\",\"\")" "beep"
ulimit -S -f 8; runit --on-error=continue limit.torvic; ulimit -S -f "$(ulimit -H -f)"
check "a write past the file-size limit does not kill the run, save says why and the run goes on (rc $rc)" \
    $([ $rc -eq 0 ] && sound && has "El fitxer és massa gran" && has "[3] beep"; echo $?)
check "the previous file is kept, no temporary file is left" \
    $([ "$(cat limit/out.txt)" = "$(printf 'previous\r\n')" ] && [ -z "$(ls -A limit | grep -vxE 'in.txt|ref.txt|out.txt')" ]; echo $?)

# ---- names through the system ----------------------------------------------
# A script spells names in code page 1252; on disk they are the UTF-8 names.
# Each name (as this test writes it, in UTF-8) through copy, open, save, ref,
# xcopy, exec and execdoc; the script is made 1252 with iconv. A double quote
# is written as code 34; exec's command line cannot hold one.
mkdir -p "$DIR/names/bin"
cd "$DIR/names"
# execdoc's opener: writes down each document it is given that exists.
printf '#!/bin/sh\n[ -e "$1" ] && printf "%%s\\n" "$1" >> "%s/opened"\n' "$DIR/names" > bin/xdg-open
chmod +x bin/xdg-open
printf 't\r\nART1 u\r\nART2 d\r\n' > in.txt
names=("café" "Plaça l·l €" "l'arxiu d'en Pere" 'cometes "dobles"')
spell() { local q='"+34+"'; printf '"%s"' "${1//\"/$q}"; }
lines=("def(ART)")
for n in "${names[@]}"; do
    mkdir "$n carpeta" && cp in.txt "$n carpeta/$n.txt"
    lines+=("copy(\"in.txt\",$(spell "$n.txt"))" "open($(spell "$n.txt"))" 'repl("u","U")'
            "save($(spell "$n desat.txt"))" "ref($(spell "$n ref.txt"),\"1\")"
            "copy($(spell "$n.txt"),$(spell "$n còpia.txt"))"
            "xcopy($(spell "$n carpeta"),$(spell "$n còpia carpeta"),\"/s /e /i\")")
    if [[ "$n" == *'"'* ]]; then
        lines+=("execdoc($(spell "$n.txt"),1,1)")
    else
        lines+=("exec(\"cp <$n.txt> <$n exec.txt>\",0)" "execdoc(\"<$n.txt>\",1,1)")
    fi
done
printf '%s\r\n' "${lines[@]}" | iconv -f UTF-8 -t CP1252 > names.torvic
PATH="$DIR/names/bin:$PATH" runit --on-error=continue names.torvic
check "the names script ran without an error (rc $rc)" $([ $rc -eq 0 ] && ! has "Error"; echo $?)
has "Error" && echo "$err" | grep -A3 Error
printf 't\r\nART1 U\r\nART2 d\r\n' > "$DIR/saved.want"; printf 'ART1 U\r\n' > "$DIR/ref.want"
expected=(bin in.txt names.torvic opened)
for n in "${names[@]}"; do
    rows=("in.txt|$n.txt|copy to" "$DIR/saved.want|$n desat.txt|open and save" "$DIR/ref.want|$n ref.txt|ref"
          "in.txt|$n còpia.txt|copy from" "in.txt|$n còpia carpeta/$n.txt|xcopy")
    [[ "$n" == *'"'* ]] || rows+=("in.txt|$n exec.txt|exec")
    for row in "${rows[@]}"; do
        IFS='|' read -r want got what <<<"$row"
        check "$what: '$got'" $(within 10 cmp -s "$want" "$got"; echo $?)
        [ "$what" = xcopy ] || expected+=("$got")
    done
    check "execdoc opened '$n.txt'" $(within 10 grep -qxF "$n.txt" opened 2>/dev/null; echo $?)
    expected+=("$n carpeta" "$n còpia carpeta")
done
listed="$(ls -A | LC_ALL=C sort)" wanted="$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)"
check "the folder holds those names and no other" $([ "$listed" = "$wanted" ]; echo $?)
[ "$listed" = "$wanted" ] || diff <(echo "$listed") <(echo "$wanted")
cd "$DIR"
finish

#!/usr/bin/env bash
# The same 50 MB Catalan text as a code page 1252 document and as a UTF-8
# one: repl in torvicrun against GNU sed on each (sed in the C locale for
# 1252, in C.UTF-8 for UTF-8), open + save alone on each, and a walk of
# searches through each. Each figure is the best of five whole runs (wall
# ms); every output is checked against sed or the other encoding's.
# Usage: bench/document_encodings.sh [path/to/torvicrun]
set -euo pipefail
RUN="${1:-build/app/torvicrun}"
source "$(dirname "$0")/bench_lib.sh"

# About 50 MB: lines of street names, one in four holding "Plaça".
python3 - "$DIR/u8.txt" "$DIR/ansi.txt" <<'PY'
import sys
lines = ["Carrer de l'Església, 12 · Girona\r\n", "Plaça de la Català, 3r 2a · Vic\r\n",
         "Avinguda Diagonal, 640 — Barcelona\r\n", "Passeig de Gràcia, 92 · Barcelona\r\n"]
block = "".join(lines) * 380_000
open(sys.argv[1], "wb").write(block.encode("utf-8"))
open(sys.argv[2], "wb").write(block.encode("cp1252"))
PY

for enc in ansi u8; do
    doc="$DIR/$enc.txt"
    repl=$(script "repl-$enc.torvic" "open(\"$doc\")" "repl(\"Plaça\",\"PLAÇA\")" "save(\"$DIR/out-$enc.txt\")")
    copy=$(script "copy-$enc.torvic" "open(\"$doc\")" "save(\"$DIR/out-$enc.txt\")")
    if [ $enc = ansi ]; then
        locale=C; find=$(printf 'Pla\347a'); repl_by=$(printf 'PLA\307A')
    else
        locale=C.UTF-8; find='Plaça'; repl_by='PLAÇA'
    fi
    sedcmd="LC_ALL=$locale sed 's/$find/$repl_by/g' '$doc' > '$DIR/sed-$enc.txt'"
    "$RUN" --on-error=stop "$repl" 2>/dev/null
    sh -c "$sedcmd"
    cmp -s "$DIR/out-$enc.txt" "$DIR/sed-$enc.txt" || { echo "MISMATCH: repl on $enc differs from sed"; exit 1; }
    "$RUN" --on-error=stop "$copy" 2>/dev/null
    cmp -s "$DIR/out-$enc.txt" "$doc" || { echo "MISMATCH: open + save changed the $enc document"; exit 1; }
    eval "t_repl_$enc=\$(best \"\$RUN\" \"\$repl\")"
    eval "s_repl_$enc=\$(best sh -c \"\$sedcmd\")"
    eval "t_copy_$enc=\$(best \"\$RUN\" \"\$copy\")"
    # 30,000 searches, each going on from the one before: the cursor's
    # place in characters is not counted again from the start of the text.
    walk=$(script "walk-$enc.torvic" "open(\"$doc\")" 'search("Vic")' 'goto(1,29999)' 'write("<")' "save(\"$DIR/walk-$enc.txt\")")
    "$RUN" --on-error=stop "$walk" 2>/dev/null
    eval "t_walk_$enc=\$(best \"\$RUN\" \"\$walk\")"
done
cmp -s <(iconv -f CP1252 -t UTF-8 "$DIR/walk-ansi.txt") "$DIR/walk-u8.txt" || { echo "MISMATCH: the search walk differs"; exit 1; }

ratio() { python3 -c "print(f'{$1/$2:.2f}')"; }
echo "$(du -m "$DIR/u8.txt" | cut -f1) MB UTF-8, $(du -m "$DIR/ansi.txt" | cut -f1) MB 1252 (best of 5, wall ms)"
echo "  repl 1252  : torvicrun $t_repl_ansi ms   sed $s_repl_ansi ms   sed/torvicrun $(ratio $s_repl_ansi $t_repl_ansi)  (goal: at least 1.8)"
echo "  repl UTF-8 : torvicrun $t_repl_u8 ms   sed $s_repl_u8 ms   sed/torvicrun $(ratio $s_repl_u8 $t_repl_u8)  (goal: at least 1.8)"
echo "  open + save: 1252 $t_copy_ansi ms   UTF-8 $t_copy_u8 ms   UTF-8/1252 $(ratio $t_copy_u8 $t_copy_ansi)  (goal: at most 1.5)"
echo "  search walk: 1252 $t_walk_ansi ms   UTF-8 $t_walk_u8 ms   UTF-8/1252 $(ratio $t_walk_u8 $t_walk_ansi)  (as open + save)"

#!/usr/bin/env bash
# Documents with LF line ends (as Linux programs and git write them): repl
# over 50 MB and deline in torvicrun against GNU sed on the same files, in
# one run (sed in C.UTF-8), each output checked against sed's; then open +
# save of the 50 MB text with CR LF, with LF, and in UTF-16 LE with its mark,
# each checked to be written back byte for byte. Each figure is the best of
# five whole runs (wall ms).
# deline cuts the text into at most 1000 pieces of 32,000 characters, so it
# takes at most about 32 MB (a longer text is the run-time error "text massa
# llarg: més de 1000 trossos"), and without a counter it deletes at most
# 32,767 lines: it is timed on 30 MB of the same lines with 30,000 hits.
# Usage: bench/line_ends.sh [path/to/torvicrun]
set -euo pipefail
RUN="${1:-build/app/torvicrun}"
source "$(dirname "$0")/bench_lib.sh"

# About 50 MB: lines of street names, one in four holding "Plaça"; the
# same text with CR LF, and in UTF-16 LE with LF. About 30 MB: one line in 28
# holding "Plaça" (30,000 of them).
python3 - "$DIR/lf.txt" "$DIR/crlf.txt" "$DIR/u16.txt" "$DIR/lf30.txt" <<'PY'
import sys
hit = "Plaça de la Català, 3r 2a · Vic\n"
others = ["Carrer de l'Església, 12 · Girona\n", "Avinguda Diagonal, 640 — Barcelona\n",
          "Passeig de Gràcia, 92 · Barcelona\n"]
block = (others[0] + hit + others[1] + others[2]) * 380_000
open(sys.argv[4], "wb").write(((hit + "".join(others) * 9) * 30_000).encode("utf-8"))
open(sys.argv[1], "wb").write(block.encode("utf-8"))
open(sys.argv[2], "wb").write(block.replace("\n", "\r\n").encode("utf-8"))
open(sys.argv[3], "wb").write(b"\xff\xfe" + block.encode("utf-16-le"))
PY

doc="$DIR/lf.txt"
repl=$(script repl.torvic "open(\"$doc\")" 'repl("Plaça","PLAÇA")' "save(\"$DIR/out.txt\")")
deline=$(script deline.torvic "open(\"$DIR/lf30.txt\")" 'deline("Plaça")' "save(\"$DIR/out.txt\")")
sed_repl="LC_ALL=C.UTF-8 sed 's/Plaça/PLAÇA/g' '$doc' > '$DIR/sed.txt'"
sed_deline="LC_ALL=C.UTF-8 sed '/Plaça/d' '$DIR/lf30.txt' > '$DIR/sed.txt'"
same "$repl" "$sed_repl"
same "$deline" "$sed_deline"
t_repl=$(best "$RUN" "$repl")
s_repl=$(best sh -c "$sed_repl")
t_deline=$(best "$RUN" "$deline")
s_deline=$(best sh -c "$sed_deline")

for form in crlf lf u16; do
    copy=$(script "copy-$form.torvic" "open(\"$DIR/$form.txt\")" "save(\"$DIR/copy-$form.txt\")")
    "$RUN" --on-error=stop "$copy" 2>/dev/null
    cmp -s "$DIR/copy-$form.txt" "$DIR/$form.txt" || { echo "MISMATCH: open + save changed the $form document"; exit 1; }
    eval "t_copy_$form=\$(best \"\$RUN\" \"\$copy\")"
done

ratio() { python3 -c "print(f'{$1/$2:.2f}')"; }
echo "UTF-8 with LF line ends (best of 5, wall ms)"
echo "  repl, $(du -m "$doc" | cut -f1) MB  : torvicrun $t_repl ms   sed $s_repl ms   sed/torvicrun $(ratio $s_repl $t_repl)  (goal: at least 1.8)"
echo "  deline, $(du -m "$DIR/lf30.txt" | cut -f1) MB: torvicrun $t_deline ms   sed '/x/d' $s_deline ms   sed/torvicrun $(ratio $s_deline $t_deline)  (goal: at least 1.0)"
echo "  open + save: CR LF $t_copy_crlf ms   LF $t_copy_lf ms   UTF-16 LE with LF $t_copy_u16 ms"

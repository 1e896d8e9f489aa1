#!/usr/bin/env bash
# Times the text commands in torvicrun against sed on the same files:
#   repl (fast form) on a 100 MB text with one hit per line, del on a 100 MB
#   text with 30,000 hits (a counter of 0 allows at most 32,767 changes),
#   repl ignoring case and deline with 30,000 hits on a 30 MB text.
# Each torvicrun figure is the whole script (open, command, save, synced to
# disk); build/bench/text_bench times the commands alone in memory.
# Usage: bench/text_commands.sh [path/to/torvicrun]
set -euo pipefail
RUN="${1:-build/app/torvicrun}"
BEST_OF=3
source "$(dirname "$0")/bench_lib.sh"

# 100 MB: 1,000,000 lines of 100 bytes, each holding one x.
python3 - "$DIR/big.txt" <<'PY'
import sys
line = ("a" * 40 + "x" + "b" * 57 + "\r\n").encode()
with open(sys.argv[1], "wb") as f:
    f.write(line * 1_000_000)
PY
# 100 MB with 30,000 hits: one line in 33 holds an x (plus a remainder).
python3 - "$DIR/big30k.txt" <<'PY'
import sys
plain = ("a" * 98 + "\r\n").encode()
hit = ("a" * 40 + "x" + "b" * 57 + "\r\n").encode()
with open(sys.argv[1], "wb") as f:
    f.write((hit + plain * 32) * 30_000 + plain * 10_000)
PY
# 30 MB: 300,000 lines, one in ten (30,000) holding KEY.
python3 - "$DIR/mid.txt" <<'PY'
import sys
plain = ("c" * 98 + "\r\n").encode()
hit = ("c" * 40 + "KEY" + "c" * 55 + "\r\n").encode()
with open(sys.argv[1], "wb") as f:
    f.write((hit + plain * 9) * 30_000)
PY

repl=$(script repl.torvic "open(\"$DIR/big.txt\")" "repl(\"x\",\"y\")" "save(\"$DIR/out.txt\")")
del=$(script del.torvic "open(\"$DIR/big30k.txt\")" "del(\"x\")" "save(\"$DIR/out.txt\")")
repli=$(script repli.torvic "open(\"$DIR/mid.txt\")" "repl(\"key\",\"LOCK\",0,1)" "save(\"$DIR/out.txt\")")
deline=$(script deline.torvic "open(\"$DIR/mid.txt\")" "deline(\"KEY\")" "save(\"$DIR/out.txt\")")

t_repl=$(best "$RUN" "$repl")
t_del=$(best "$RUN" "$del")
s_repl=$(best sh -c "sed 's/x/y/g' '$DIR/big.txt' > '$DIR/sed.txt'")
s_del=$(best sh -c "sed 's/x//g' '$DIR/big30k.txt' > '$DIR/sed.txt'")
t_repli=$(best "$RUN" "$repli")
t_deline=$(best "$RUN" "$deline")
s_repli=$(best sh -c "sed 's/key/LOCK/Ig' '$DIR/mid.txt' > '$DIR/sed.txt'")
s_deline=$(best sh -c "sed '/KEY/d' '$DIR/mid.txt' > '$DIR/sed.txt'")

same "$repl" "sed 's/x/y/g' '$DIR/big.txt' > '$DIR/sed.txt'"
same "$del" "sed 's/x//g' '$DIR/big30k.txt' > '$DIR/sed.txt'"
same "$repli" "sed 's/key/LOCK/Ig' '$DIR/mid.txt' > '$DIR/sed.txt'"
same "$deline" "sed '/KEY/d' '$DIR/mid.txt' > '$DIR/sed.txt'"

ratio() { python3 -c "print(f'{$1/$2:.2f}')"; }
echo "100 MB, 1,000,000 hits (best of 3, wall ms)"
echo "  repl fast form : torvicrun $t_repl ms   sed $s_repl ms   torvicrun/sed $(ratio $t_repl $s_repl)"
echo "100 MB, 30,000 hits"
echo "  del            : torvicrun $t_del ms   sed $s_del ms   torvicrun/sed $(ratio $t_del $s_del)"
echo "30 MB, 30,000 hits"
echo "  repl ign. case : torvicrun $t_repli ms   sed $s_repli ms   torvicrun/sed $(ratio $t_repli $s_repli)"
echo "  deline         : torvicrun $t_deline ms   sed $s_deline ms   torvicrun/sed $(ratio $t_deline $s_deline)"

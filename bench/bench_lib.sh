# Sourced by the benchmarks that time torvicrun against sed: a scratch folder
# $DIR removed at exit; ms (a command's wall time), best (the best of
# $BEST_OF runs, 5 unless set), script (a script file of lines, in 1252 as
# scripts are), same (a torvicrun script writes $DIR/out.txt exactly as a
# sed command writes $DIR/sed.txt, or the benchmark stops).
DIR="$(mktemp -d)"
trap 'rm -rf "$DIR"' EXIT
ms() {
    local start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    echo $(( ($(date +%s%N) - start) / 1000000 ))
}
best() {
    local b="" t
    for _ in $(seq "${BEST_OF:-5}"); do
        t=$(ms "$@")
        if [ -z "$b" ] || [ "$t" -lt "$b" ]; then b=$t; fi
    done
    echo "$b"
}
script() {  # name, lines...
    local f="$DIR/$1"; shift
    printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP1252 > "$f"
    echo "$f"
}
same() {  # torvicrun script, sed command
    "$RUN" --on-error=stop "$1" 2>/dev/null
    sh -c "$2"
    cmp -s "$DIR/out.txt" "$DIR/sed.txt" || { echo "MISMATCH: $1 differs from sed"; exit 1; }
}

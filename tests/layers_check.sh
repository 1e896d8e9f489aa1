#!/usr/bin/env bash
# The layers as the build really links them: the link graph CMake writes
# (link_graph.txt) against the one list of allowed edges (layers.txt). Each
# library must link exactly what the list gives it, and the list must name
# each library only after everything it links (lowest first), so no loop
# can hide in it.
set -u
GRAPH="$1"
ALLOWED="$(dirname "$0")/layers.txt"
source "$(dirname "$0")/lib.sh"
sorted() { tr ' ' '\n' | grep -v '^$' | sort | tr '\n' ' '; }
declare -A allowed seen
order=()
while IFS=: read -r lib links; do
    [[ -z "$lib" || "$lib" == \#* ]] && continue
    allowed[$lib]="$(sorted <<<"$links")"
    for l in $links; do
        check "$lib links $l, which the list names later or not at all" $([ -n "${seen[$l]:-}" ]; echo $?)
    done
    seen[$lib]=1
    order+=("$lib")
done < "$ALLOWED"
while IFS=: read -r lib links; do
    [ -z "$lib" ] && continue
    check "$lib is in the list of layers" $([ -n "${seen[$lib]:-}" ]; echo $?)
    got="$(sorted <<<"$links")"
    check "$lib links {$got}, the list allows {${allowed[$lib]:-}}" $([ "$got" = "${allowed[$lib]:-}" ]; echo $?)
done < "$GRAPH"
finish

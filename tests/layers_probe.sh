#!/usr/bin/env bash
# The layers are enforced by the build: a library sees only the headers of
# the libraries it links. Each line compiles one include with the include
# roots a library gets, and checks that it compiles or fails as it must.
set -u
CXX="$1"
ROOTS="$(cd "$2" && pwd)/include"
# Away from the sources: "" includes look beside the includer first.
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT; cd "$tmp" || exit 1
passed=0; failed=0
check() {  # expect(ok|fail) header library-roots...
    local expect="$1" header="$2"; shift 2
    local flags=()
    for lib in "$@"; do flags+=("-I$ROOTS/$lib"); done
    if echo "#include \"$header\"" | "$CXX" -std=c++20 -fsyntax-only "${flags[@]}" -x c++ - 2>/dev/null; then got=ok; else got=fail; fi
    if [ "$got" = "$expect" ]; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL: $header from {$*}: expected $expect, got $got"; fi
}
TEXTCMD=(torvic_textcmd torvic_run torvic_base)
check ok   textcmd/commands.h "${TEXTCMD[@]}"
check fail engine/host.h      "${TEXTCMD[@]}"
check fail engine/engine.h    "${TEXTCMD[@]}"
check fail platform/platform.h "${TEXTCMD[@]}"
check ok   base/text.h        torvic_base
check fail engine/run_context.h torvic_base
check ok   engine/engine.h    torvic_engine torvic_textcmd torvic_run torvic_platform torvic_base
check fail editor/main_window.h torvic_engine torvic_textcmd torvic_run torvic_platform torvic_base
check fail platform/linux/linux_platform.h torvic_engine torvic_textcmd torvic_run torvic_platform torvic_base
check fail tests/support/recording_platform.h torvic_engine torvic_textcmd torvic_run torvic_platform torvic_base
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Script files in UTF-8 (as other editors write them) and in 1252, run by
# torvicrun and by torvic /exec: accented texts and file names arrive whole,
# a line holding a character 1252 cannot hold stops the run with its reason,
# and a script named with such characters runs by its name.
# Usage: script_encoding_e2e.sh TORVICRUN [TORVIC]
set -u
RUN="$1"
TORVIC="${2:-}"
source "$(dirname "$0")/lib.sh"
cd "$DIR"

# The same script three ways: UTF-8 with LF, UTF-8 with its mark and CR LF,
# 1252 with CR LF. It shows an accented message and writes an accented file
# from another one.
body() {
    printf '%s\n' 'msg("Cafè i més",1,"Prova")' "open(\"$DIR/café.txt\")" 'repl("x","ç")' \
        "save(\"$DIR/sortida-à.txt\")"
}
# Writes $1-utf8-lf, $1-utf8-bom and $1-ansi (.torvic) from the lines on input.
three() {
    local lines; lines="$(cat)"
    printf '%s\n' "$lines" > "$1utf8-lf.torvic"
    { printf '\xEF\xBB\xBF'; printf '%s\n' "$lines" | sed 's/$/\r/'; } > "$1utf8-bom.torvic"
    printf '%s\n' "$lines" | sed 's/$/\r/' | iconv -f UTF-8 -t CP1252 > "$1ansi.torvic"
}
written() { [ -s sortida-à.txt ] && ! grep -q '^x' sortida-à.txt; }  # repl ran, save wrote
afresh() { printf 'x\r\n' > café.txt; rm -f sortida-à.txt; }
body | three ""
for s in utf8-lf utf8-bom ansi; do
    afresh
    runit --on-error=stop $s.torvic
    utf8=0; [ $s = ansi ] || utf8=1
    check "$s: runs to its end (rc $rc), msg shows its accents, open and save find their names, says whether it read UTF-8" \
        $([ $rc -eq 0 ] && grep -qF "Cafè i més" <<<"$err" && written &&
          [ "$(grep -c "és text UTF-8; es llegeix com a UTF-8" <<<"$err")" -eq $utf8 ]; echo $?)
done

# A line with a character 1252 cannot hold stops the run there, naming it.
printf 'beep\n\nsend("→ő")\n%s\n' "' after" > outside.torvic
runit --on-error=stop outside.torvic
check "outside 1252, --on-error=stop: exit 1 (rc $rc), the prompt names the line and the characters, the next line did not run" \
    $([ $rc -eq 1 ] && grep -qF "Error de Sintaxi a la línia: 1" <<<"$err" && grep -qF "no són del joc de caràcters 1252: U+2192 U+0151" <<<"$err" &&
      ! grep -qF "[2] ' after" <<<"$err"; echo $?)

# A script named with characters 1252 cannot hold runs by its name.
cp utf8-lf.torvic "prova→ő.torvic"
afresh
runit "prova→ő.torvic"
check "a script named prova→ő.torvic runs (rc $rc)" $([ $rc -eq 0 ] && written; echo $?)

if [ -n "$TORVIC" ]; then
    # torvic /exec, hidden, on the offscreen platform (without the message
    # box: nothing would close it there), from a folder 1252 cannot name.
    export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$DIR"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/no-session-bus"
    mkdir -p "carpeta→ő"
    body | grep -v '^msg' | three "carpeta→ő/exec→"
    for s in utf8-lf utf8-bom ansi; do
        afresh
        timeout 30 "$TORVIC" /exec "$DIR/carpeta→ő/exec→$s.torvic" >/dev/null 2>&1
        rc=$?
        check "torvic /exec carpeta→ő/exec→$s.torvic ends by itself with its file written (rc $rc)" \
            $([ $rc -eq 0 ] && written; echo $?)
    done
fi

finish

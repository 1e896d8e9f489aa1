#!/usr/bin/env bash
# torvic --help and torvicsetup --help print their usage on the console and
# end, without opening a window (so, without a display at all); a file named
# like an option is still a file to edit.
set -u
TORVIC="$1" SETUP="$2"
source "$(dirname "$0")/lib.sh"

for program in "$TORVIC" "$SETUP"; do
    name=$(basename "$program")
    for option in --help -h '/?'; do
        out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$program" "$option" 2>"$DIR/err")
        rc=$?
        check "$name $option ends with status 0 (got $rc: $(head -c 300 "$DIR/err"))" $([ $rc -eq 0 ]; echo $?)
        check "$name $option prints its usage" $([[ "$out" == "Ús: $name "* && "$out" == *"--help"* ]]; echo $?)
    done
    # With anything more, it is not a request for the usage.
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$program" --help x 2>/dev/null)
    check "$name --help x prints no usage" $([[ "$out" != *"Ús:"* ]]; echo $?)
done
finish

#!/usr/bin/env bash
# The editor box on a real X server, at scale factors 1 and 2: clicks, the
# caret and the selection against the characters on the screen.
set -u
TEST="$1"
source "$(dirname "$0")/lib.sh"
need Xvfb
start_xvfb 2600x1200x24
for scale in 1 2; do
    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale "$TEST" >"$DIR/out" 2>&1
    rc=$?
    check "the box at scale factor $scale" $rc
    [ $rc -eq 0 ] || cat "$DIR/out"
done
finish

#!/usr/bin/env bash
# Runs one fuzz target for a while from its seed corpus (left unchanged: new
# inputs go to a temporary folder) and prints what it did. A crash leaves its
# input as crash-* in the current folder and fails.
set -u
TARGET="$1"
SEEDS="$2"
SECONDS_TO_RUN="${3:-12}"
NEW="$(mktemp -d)"
trap 'rm -rf "$NEW"' EXIT
"$TARGET" -max_total_time="$SECONDS_TO_RUN" -rss_limit_mb=2048 -timeout=20 -max_len=4096 \
    -print_final_stats=1 "$NEW" "$SEEDS" 2>"$NEW.log"
rc=$?
grep -E "^#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units|stat::peak_rss_mb|ERROR|SUMMARY" "$NEW.log"
if [ $rc -ne 0 ]; then tail -60 "$NEW.log"; fi
rm -f "$NEW.log"
exit $rc

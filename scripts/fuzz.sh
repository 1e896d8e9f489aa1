#!/usr/bin/env bash
# Runs every fuzz target (or those named) for longer: FUZZ_SECONDS each
# (default 300). New inputs that reach new code are added to the target's
# seed corpus under tests/fuzz/corpus/; a crash leaves crash-* here.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build-sanitized.sh
SECONDS_EACH="${FUZZ_SECONDS:-300}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(script)
for t in "${targets[@]}"; do
    echo "== fuzz_$t for ${SECONDS_EACH} s"
    build-san/tests/fuzz/fuzz_$t -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=20 -max_len=4096 \
        -print_final_stats=1 "tests/fuzz/corpus/$t" 2>&1 |
        grep -E "^#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units|ERROR|SUMMARY" || true
done

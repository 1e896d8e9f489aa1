#!/usr/bin/env bash
# Installs what is needed, builds, and starts the main job: the demo script
# run by the console runner.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
exec build/app/torvicrun --on-error=continue examples/demo.torvic

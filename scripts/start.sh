#!/usr/bin/env bash
# Installs what is needed, builds, and starts the main job: the editor when
# a display is there, otherwise the demo script run by the console runner.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/app/torvic examples/demo.torvic
fi
echo "No display: running examples/demo.torvic with the console runner."
exec build/app/torvicrun --on-error=continue examples/demo.torvic

#!/usr/bin/env bash
# Installs what is needed, builds, and starts the main job: the editor on the
# demo script when a display is there, otherwise the demo run by the console
# runner, and then the files it wrote. The demo works on a copy of
# examples/ (a small shop catalogue), so the tree stays as it was.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
root="$PWD"
work="$(mktemp -d "${TMPDIR:-/tmp}/torvic-demo.XXXXXX")"
cp examples/demo.torvic examples/cataleg.txt "$work/"
cd "$work"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "The demo script is in $work: press F5 in the editor to run it."
    exec "$root/build/app/torvic" "$work/demo.torvic"
fi
echo "No display: running the demo with the console runner in $work."
"$root/build/app/torvicrun" --on-error=continue demo.torvic
for f in cataleg.txt cataleg-revisat.txt llista-llums.txt; do
    echo
    echo "== $f"
    iconv -f CP1252 -t UTF-8 "$f" | tr -d '\r'
done

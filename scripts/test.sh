#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite: first the
# normal build, then the sanitizer build (ASan, UBSan, LeakSanitizer) with
# short runs of the fuzz targets, then the Windows programs under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --windows
bash scripts/build.sh
(cd build && ctest --output-on-failure -j2)
bash scripts/build-sanitized.sh
(cd build-san && ctest --output-on-failure -j2)
bash scripts/test-windows.sh

#!/usr/bin/env bash
# Configures and builds everything into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
# Warnings are errors, as in CI (TORVIC_WERROR=OFF in the environment turns that off).
WERROR="${TORVIC_WERROR:-ON}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVIC_WERROR="$WERROR" >/dev/null
cmake --build build -j2

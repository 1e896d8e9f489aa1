#!/usr/bin/env bash
# Configures and builds everything into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
# CI builds with warnings as errors.
WERROR=OFF
if [ -n "${CI:-}" ]; then WERROR=ON; fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVIC_WERROR="$WERROR" >/dev/null
cmake --build build -j2

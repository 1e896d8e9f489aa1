#!/usr/bin/env bash
# Cross-builds the Windows programs (32-bit, MinGW-w64) into ./build-win:
# torvicrun.exe, the unit tests and the key catcher.
set -euo pipefail
cd "$(dirname "$0")/.."
WERROR=OFF
if [ -n "${CI:-}" ]; then WERROR=ON; fi
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DTORVIC_WERROR="$WERROR" >/dev/null
cmake --build build-win -j2

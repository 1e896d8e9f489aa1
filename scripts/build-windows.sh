#!/usr/bin/env bash
# Cross-builds the Windows programs (32-bit, MinGW-w64) into ./build-win:
# torvic.exe, torvicsetup.exe, torvicrun.exe and the manual (torvic.rtf, torvic.html) beside
# them in build-win/app (what a Windows user copies and installs), the unit
# tests and the test helpers.
set -euo pipefail
cd "$(dirname "$0")/.."
# Warnings are errors, as in CI (TORVIC_WERROR=OFF in the environment turns that off).
WERROR="${TORVIC_WERROR:-ON}"
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DTORVIC_WERROR="$WERROR" >/dev/null
cmake --build build-win -j2
# The manual is written from the keyword table by the host's make_manual.
if [ ! -x build/app/make_manual ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVIC_WERROR="$WERROR" >/dev/null
    cmake --build build -j2 --target make_manual
fi
build/app/make_manual build-win/app

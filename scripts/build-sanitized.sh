#!/usr/bin/env bash
# Configures and builds the sanitizer and fuzzing build into ./build-san:
# clang, ASan + UBSan on the plain-C++ libraries, torvicrun, their tests and
# the libFuzzer targets (no Qt).
set -euo pipefail
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTORVIC_FUZZ=ON -DTORVIC_QT=OFF -DTORVIC_BUILD_BENCH=OFF >/dev/null
cmake --build build-san -j2

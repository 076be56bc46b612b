#!/usr/bin/env bash
# Cross-builds the four Windows x64 DLLs (and the programs the Wine tests run)
# into build-windows/ with MinGW-w64.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VORSA_WINDOWS_BUILD_DIR:-$root/build-windows}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)"

#!/usr/bin/env bash
# Configures and builds every deliverable, the tools, tests and benchmarks.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VORSA_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)"

#!/usr/bin/env bash
# The test command: installs what is missing, builds everything and runs the
# whole test suite. CTest's summary closes the output.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VORSA_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"
VORSA_BUILD_DIR="$build" "$root/scripts/build.sh"
# The Windows DLLs, which the suite checks and runs under Wine.
"$root/scripts/build-windows.sh"
# The two-thread stress test built with ThreadSanitizer, which the suite runs.
"$root/scripts/thread-check.sh"
cd "$build"
ctest --output-on-failure -j "$(nproc)"

#!/usr/bin/env bash
# Builds the two-thread stress test with ThreadSanitizer into build-tsan/ (only
# that test and the libraries it links). CTest's thread_sanitizer_stress runs
# it. GCC expands fixed-size memcpy inline without instrumentation, so that
# is switched off to let the sanitizer see such copies.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-tsan"
flags="-fsanitize=thread -fno-builtin-memcpy -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build "$build" --target thread_stress_tests -j "$(nproc)"

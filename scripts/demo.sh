#!/usr/bin/env bash
# The demo: installs what is missing, builds, and shows both builds of the
# plug-ins as a host sees them: identity, every parameter and every program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VORSA_BUILD_DIR:-$root/build}"
out="${1:-$root/demo-output}"
"$root/scripts/setup.sh"
VORSA_BUILD_DIR="$build" "$root/scripts/build.sh"
mkdir -p "$out"
"$build/tools/vorsa-info" "$build"/plugins/*.so | tee "$out/plugins.txt"
echo "demo: listing written to $out/plugins.txt"

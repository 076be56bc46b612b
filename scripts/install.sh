#!/usr/bin/env bash
# Installs the built plug-ins for the current user: copies them into ~/.vst
# (or the folder given), where Linux VST 2 hosts and vorsa-render look.
#   scripts/install.sh [FOLDER]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VORSA_BUILD_DIR:-$root/build}"
target="${1:-$HOME/.vst}"
shopt -s nullglob
plugins=("$build"/plugins/*.so)
if [ ${#plugins[@]} -eq 0 ]; then
  echo "install: no plug-ins in $build/plugins; build first (scripts/build.sh)" >&2
  exit 1
fi
mkdir -p "$target"
# Through a temporary name and a rename, so that a host scanning the folder
# meanwhile never loads a half-copied plug-in.
for plugin in "${plugins[@]}"; do
  name="$(basename "$plugin")"
  cp "$plugin" "$target/.$name.partial"
  mv -f "$target/.$name.partial" "$target/$name"
  echo "install: $target/$name"
done

#!/usr/bin/env bash
# Installs the built plug-ins for the current user: copies the VST 2 plug-ins
# into ~/.vst (or the folder given), where Linux VST 2 hosts and vorsa-render
# look, and the LV2 bundles into ~/.lv2 (or the second folder given).
#   scripts/install.sh [FOLDER [LV2_FOLDER]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VORSA_BUILD_DIR:-$root/build}"
target="${1:-$HOME/.vst}"
lv2_target="${2:-$HOME/.lv2}"
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

# A bundle is a folder: the new copy is complete before it replaces the old.
bundles=("$build"/lv2/*.lv2)
if [ ${#bundles[@]} -gt 0 ]; then
  mkdir -p "$lv2_target"
  for bundle in "${bundles[@]}"; do
    name="$(basename "$bundle")"
    rm -rf "$lv2_target/.$name.partial"
    cp -r "$bundle" "$lv2_target/.$name.partial"
    rm -rf "$lv2_target/$name"
    mv "$lv2_target/.$name.partial" "$lv2_target/$name"
    echo "install: $lv2_target/$name"
  done
fi

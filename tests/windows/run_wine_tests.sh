#!/usr/bin/env bash
# Runs the Windows test program under Wine in a fresh private prefix, after
# writing the references it compares against from the Linux plug-ins.
# usage: run_wine_tests.sh <reference tool> <Linux plug-in folder> <snapshot tool folder>
#                          <Windows build folder> <work folder> [test program options]
set -euo pipefail
reference_tool="$1" linux_plugins="$2" snapshots="$3" windows_build="$4" work="$5"
shift 5  # the rest goes to the test program (--gtest_filter=...)
deliverables=(Vorsa_Glintor Vorsa_Glintor_Mono Vorsa_RUMBLOR Vorsa_RUMBLOR_Mono)

if ! command -v wine >/dev/null; then
  echo "wine is not installed (scripts/setup.sh installs it): skipped"
  exit 77
fi
if [ ! -f "$windows_build/vorsa_wine_tests.exe" ]; then
  echo "no Windows build in $windows_build (scripts/build-windows.sh makes it): skipped"
  exit 77
fi

rm -rf "$work"
mkdir -p "$work/reference" "$work/home"
"$reference_tool" plugins "$linux_plugins" "$work/reference" "${deliverables[@]}"
# Headless pictures of the editors that exist, for the comparison by region.
while read -r product name build; do
  snapshot="$snapshots/vorsa-snapshot-$product"
  [ -x "$snapshot" ] || continue
  "$snapshot" --out "$work/reference/$name.png" $build
  "$reference_tool" picture "$work/reference/$name.png" "$work/reference/$name.bmp"
done <<'EDITORS'
glintor Vorsa_Glintor
glintor Vorsa_Glintor_Mono --mono
rumblor Vorsa_RUMBLOR
rumblor Vorsa_RUMBLOR_Mono --mono
EDITORS

export HOME="$work/home" WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
# No desktop menu entries, no Mono or Gecko installers in the prefix.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
windows_path() { local p="$1"; echo "Z:${p//\//\\}"; }

cleanup() { timeout 30 wineserver -k >/dev/null 2>&1 || true; }
trap cleanup EXIT

timeout 180 wineboot -i >/dev/null 2>&1
# A crash must fail the test, not wait for someone to close a dialog.
timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

export VORSA_WINE_PLUGINS="$(windows_path "$windows_build")"
export VORSA_WINE_REFERENCE="$(windows_path "$work/reference")"
timeout 600 wine "$windows_build/vorsa_wine_tests.exe" "$@" 2>&1 | tr -d '\r'
exit "${PIPESTATUS[0]}"

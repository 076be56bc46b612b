#!/usr/bin/env bash
# Installs the way users do, all inside one throwaway folder: `cmake --install`
# to a prefix, scripts/install.sh into a private ~/.vst, and the Debian package
# into a fresh dpkg root; each time a plug-in is loaded from where it landed.
#   package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1"
source="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# The LV2 bundles (built when the LV2 headers are installed) must be found by
# lilv where they landed: all four plug-ins, with their presets, and the
# editors' UI libraries where they were built.
lv2_found() {
  [ -d "$build/lv2/vorsa-glintor.lv2" ] || return 0
  for bundle in vorsa-glintor.lv2 vorsa-rumblor.lv2; do
    [ -f "$1/$bundle/manifest.ttl" ] || fail "$2 did not put $bundle into $1"
    ui="${bundle%.lv2}-ui.so"
    [ ! -f "$build/lv2/$bundle/$ui" ] || [ -f "$1/$bundle/$ui" ] || fail "$2 did not put $ui into $1/$bundle"
  done
  command -v lv2ls >/dev/null || return 0
  [ "$(LV2_PATH="$1" lv2ls | grep -c '^https://vorsa-audio.example/plugins/')" = 4 ] ||
    fail "lv2ls does not list the four LV2 plug-ins installed by $2 into $1"
}

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for plugin in Vorsa_Glintor Vorsa_Glintor_Mono Vorsa_RUMBLOR Vorsa_RUMBLOR_Mono; do
  [ -f "$work/prefix/lib/vst/$plugin.so" ] || fail "cmake --install did not put $plugin.so into lib/vst"
done
"$work/prefix/bin/vorsa-info" --identity "$work/prefix/lib/vst/Vorsa_RUMBLOR.so" > "$work/identity"
grep -q "Vorsa Rumblor" "$work/identity" || fail "the installed vorsa-info cannot load the installed plug-in"
lv2_found "$work/prefix/lib/lv2" "cmake --install"

mkdir "$work/home"
HOME="$work/home" VORSA_BUILD_DIR="$build" "$source/scripts/install.sh" >/dev/null
HOME="$work/home" "$build/tools/vorsa-info" --identity Vorsa_Glintor_Mono > "$work/identity"
grep -q "inputs 1, outputs 1" "$work/identity" || fail "a bare plug-in name is not found in the ~/.vst that scripts/install.sh filled"
lv2_found "$work/home/.lv2" "scripts/install.sh"

if ! command -v dpkg-shlibdeps >/dev/null || ! command -v dpkg >/dev/null; then
  echo "SKIP: dpkg-dev is not installed (scripts/setup.sh installs it)"
  exit 77
fi
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null) || fail "cpack could not build the package"
deb="$(ls "$work"/package/*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "package $(basename "$deb"), depends: $depends"
for library in libc6 libstdc++6 libsndfile1 libcairo2 libfftw3-single3 libfftw3-double3 libx11-6 libfontconfig1 fonts-; do
  [[ "$depends" == *"$library"* ]] || fail "the package does not depend on $library"
done
# A fresh root with an empty package database. The libraries the package
# depends on are those of this machine, so dependencies are not checked here.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
if dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -i "$deb" > "$work/dpkg.log" 2>&1; then
  dpkg --root="$root" -s vorsa-plugins | grep -q "Status: install ok installed" || fail "dpkg does not list the package"
  echo "installed with dpkg --root into a fresh package database"
else
  cat "$work/dpkg.log"
  dpkg -x "$deb" "$root"
  echo "dpkg --root refused (above); unpacked with dpkg -x instead"
fi
dpkg-deb -c "$deb" > "$work/contents"
grep -q "./usr/lib/vst/Vorsa_Glintor.so" "$work/contents" || fail "the package does not hold usr/lib/vst/Vorsa_Glintor.so"
for file in usr/share/man/man1/vorsa-render.1.gz usr/share/man/man1/vorsa-info.1.gz \
            usr/share/doc/vorsa-plugins/copyright usr/share/doc/vorsa-plugins/changelog.gz; do
  grep -q "\./$file\$" "$work/contents" || fail "the package does not hold $file"
done
for page in vorsa-render vorsa-info; do
  zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH $(echo "$page" | tr a-z A-Z) 1" ||
    fail "$page.1.gz is not a manual page"
done
zcat "$root/usr/share/doc/vorsa-plugins/changelog.gz" | head -1 | grep -q "^vorsa-plugins (1.0.0)" ||
  fail "changelog.gz does not start with the package's version"
"$root/usr/bin/vorsa-info" --identity "$root/usr/lib/vst/Vorsa_Glintor.so" > "$work/identity"
grep -q "Effect:   Vorsa Glintor" "$work/identity" ||
  fail "vorsa-info from the package cannot load Vorsa_Glintor.so from usr/lib/vst"
lv2_found "$root/usr/lib/lv2" "the Debian package"
"$root/usr/bin/vorsa-render" --version > "$work/version"
grep -q "vorsa-render" "$work/version" || fail "vorsa-render from the package does not run"
echo "PASS: installed by cmake --install, scripts/install.sh and the Debian package; plug-ins load from each; manual pages, copyright and changelog in the package"

#!/usr/bin/env bash
# The demo: installs what is missing, builds, and renders the built-in demo
# music through both products, writing the processed WAV files, before/after
# pictures, screenshots of both editors and a listing of every plug-in into one folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VORSA_BUILD_DIR:-$root/build}"
out="${1:-$root/demo-output}"
"$root/scripts/setup.sh" --demo
VORSA_BUILD_DIR="$build" "$root/scripts/build.sh"
mkdir -p "$out"
render="$build/tools/vorsa-render"
plugins="$build/plugins"

# The demo input itself, for listening side by side: rendered through the
# treble plug-in with its Process switch off, which passes the input through.
# --demo: a second run replaces the files of the first.
"$render" "$plugins/Vorsa_Glintor.so" --demo "$out/demo_input.wav" --set Process=0 --quiet

echo "== Glintor (stereo), program \"acc guitar2\": hiss reduction, harmonic exciter and stereo widener"
"$render" "$plugins/Vorsa_Glintor.so" --demo "$out/glintor_acc_guitar2.wav" --program "acc guitar2" \
  --plot "$out/glintor_acc_guitar2.png"
# Its editor as the program leaves it after the music (indicators hold what happened).
"$build/tools/vorsa_snapshot/vorsa-snapshot-glintor" --out "$out/glintor_editor.png" --program "acc guitar2" --audio 10
echo
echo "== Rumblor (stereo), program \"psychoacoustic\": upward compression and harmonics of the low band"
"$render" "$plugins/Vorsa_RUMBLOR.so" --demo "$out/rumblor_psychoacoustic.wav" --program psychoacoustic \
  --plot "$out/rumblor_psychoacoustic.png"
# Its editor after the music: the needle shows the gain of the last block.
"$build/tools/vorsa_snapshot/vorsa-snapshot-rumblor" --out "$out/rumblor_editor.png" --program psychoacoustic --audio 10
echo

"$build/tools/vorsa-info" "$plugins"/*.so > "$out/plugins.txt"
echo "demo: files in $out:"
ls -1 "$out"

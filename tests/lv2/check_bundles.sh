#!/usr/bin/env bash
# The LV2 bundles as the lilv tools and the schema validators see them:
# nothing for sord_validate or lv2_validate to report (both exit 0 even when
# they find errors, so their "Found N errors" line decides), the four
# plug-ins listed, every port and preset shown, and one lv2apply smoke render.
#   check_bundles.sh LV2_DIR WORK_DIR
set -uo pipefail
lv2dir="$1"
work="$2"
for tool in sord_validate lv2_validate lv2ls lv2info lv2apply python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done
mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

ours=("$lv2dir"/vorsa-glintor.lv2/*.ttl "$lv2dir"/vorsa-rumblor.lv2/*.ttl)
schemas=()
for spec in core units port-props presets ui options schemas; do
  schemas+=(/usr/lib/lv2/$spec.lv2/*.ttl)
done
for validator in sord_validate lv2_validate; do
  if [ "$validator" = sord_validate ]; then
    report="$(sord_validate "${schemas[@]}" "${ours[@]}" 2>&1)"
  else
    report="$(lv2_validate "${ours[@]}" 2>&1)"
  fi
  summary="$(grep -o 'Found [0-9]* errors' <<<"$report")"
  [ "$summary" = "Found 0 errors" ] || fail "$validator: ${summary:-no summary}"$'\n'"$report"
done

export LV2_PATH="$lv2dir"
base=https://vorsa-audio.example/plugins
expected="$(printf '%s\n' $base/glintor $base/glintor-mono $base/rumblor $base/rumblor-mono)"
listed="$(lv2ls 2>/dev/null | sort)"
[ "$listed" = "$expected" ] || fail "lv2ls lists:"$'\n'"$listed"

# uri ports presets: audio + one per parameter + latency + two meters; the
# editor offered as an X11 UI whose library is in the bundle.
while read -r uri ports presets; do
  info="$(lv2info "$uri" 2>/dev/null)"
  shown_ports="$(grep -c '^	Port [0-9]*:' <<<"$info")"
  [ "$shown_ports" = "$ports" ] || fail "$uri: lv2info shows $shown_ports ports, not $ports"
  shown_presets="$(sed -n '/Presets:/,/^	[A-Z]/p' <<<"$info" | grep -c '^	         ')"
  [ "$shown_presets" = "$presets" ] || fail "$uri: lv2info shows $shown_presets presets, not $presets"
  grep -q 'Has latency:       yes' <<<"$info" || fail "$uri: no latency port"
  grep -A1 "^		$uri/ui\$" <<<"$info" | grep -q 'Class:  http://lv2plug.in/ns/extensions/ui#X11UI' ||
    fail "$uri: no X11 UI"
  ui_binary="$(grep -A2 "^		$uri/ui\$" <<<"$info" | sed -n 's|^.*Binary: file://||p')"
  [ -f "$ui_binary" ] || fail "$uri: UI library ${ui_binary:-unnamed} missing"
done <<EOF2
$base/glintor 31 48
$base/glintor-mono 29 48
$base/rumblor 16 32
$base/rumblor-mono 14 32
EOF2

# lv2apply: no host features, one frame at a time; the processed audio differs
# from its input and is not silent.
python3 - "$work/in.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2); w.setsampwidth(2); w.setframerate(48000)
    w.writeframes(b"".join(struct.pack("<hh", int(8000 * math.sin(i * 0.05)), int(8000 * math.sin(i * 0.7)))
                           for i in range(24000)))
PY
for plugin in glintor rumblor; do
  rm -f "$work/$plugin.wav"
  lv2apply -i "$work/in.wav" -o "$work/$plugin.wav" "$base/$plugin" >"$work/$plugin.log" 2>&1 ||
    fail "lv2apply $plugin: $(cat "$work/$plugin.log")"
  python3 - "$work/in.wav" "$work/$plugin.wav" <<'PY' || fail "lv2apply $plugin: output unchanged or silent"
import sys, wave
a = wave.open(sys.argv[1]).readframes(24000)
b = wave.open(sys.argv[2]).readframes(24000)
sys.exit(0 if b != a and any(b) else 1)
PY
done

# A bundle copied without its UI library: the plug-in is described and runs as
# before (hosts that try the UI fail to load it and fall back to their own).
rm -rf "$work/no-ui" && mkdir -p "$work/no-ui" && cp -r "$lv2dir/vorsa-rumblor.lv2" "$work/no-ui/"
rm -f "$work/no-ui/vorsa-rumblor.lv2/vorsa-rumblor-ui.so"
info="$(LV2_PATH="$work/no-ui" lv2info "$base/rumblor" 2>/dev/null)"
[ "$(grep -c '^	Port [0-9]*:' <<<"$info")" = 16 ] || fail "without the UI library lv2info shows:"$'\n'"$info"
rm -f "$work/no-ui.wav"
LV2_PATH="$work/no-ui" lv2apply -i "$work/in.wav" -o "$work/no-ui.wav" "$base/rumblor" >"$work/no-ui.log" 2>&1 &&
  cmp -s "$work/no-ui.wav" "$work/rumblor.wav" || fail "without the UI library the plug-in renders differently"

[ "$failures" -eq 0 ] && echo "LV2 bundles: valid, listed, described"
exit $((failures > 0))

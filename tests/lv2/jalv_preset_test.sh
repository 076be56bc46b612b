#!/usr/bin/env bash
# A preset of each product loaded by jalv, a host we did not write: jalv.gtk3
# --preset restores it and prints every control it then holds, which must be
# the preset's values. jalv needs a JACK server (a private dummy one here) and,
# for its window, a display (a private Xvfb).
#   jalv_preset_test.sh LV2_DIR
set -uo pipefail
lv2dir="$1"
for tool in jalv.gtk3 jackd Xvfb python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed (scripts/setup.sh installs it)"; exit 77; }
done
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 800x600x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"
export JACK_DEFAULT_SERVER="vorsa-lv2-test-$$"
jackd -n "$JACK_DEFAULT_SERVER" --no-realtime -d dummy -r 48000 -p 512 > "$work/jackd.log" 2>&1 &
pids+=($!)
sleep 1
export LV2_PATH="$lv2dir"

failures=0
base=https://vorsa-audio.example/plugins
for case in "rumblor 13" "glintor-mono 05" "glintor 22"; do
  set -- $case
  plugin="$base/$1"
  preset="$plugin/preset-$2"
  timeout 4 jalv.gtk3 --print-controls --preset "$preset" "$plugin" > "$work/jalv.out" 2>&1
  # jalv prints "symbol = value" for every control input after loading.
  python3 - "$lv2dir" "$preset" "$work/jalv.out" <<'PY' || failures=$((failures + 1))
import glob, re, sys
lv2dir, preset, out = sys.argv[1:]
text = "".join(open(f).read() for f in glob.glob(lv2dir + "/*/presets.ttl"))
block = text[text.index("<%s>" % preset):]
block = block[:block.index(" .\n")]
expected = {s: float(v) for s, v in re.findall(r'lv2:symbol "(\w+)" ; pset:value ([-0-9.e]+)', block)}
shown = {}
for line in open(out):
    m = re.match(r"^(\w+) = ([-0-9.e]+)$", line.strip())
    if m and m.group(1) not in shown:
        shown[m.group(1)] = float(m.group(2))
wrong = [(s, v, shown.get(s)) for s, v in expected.items()
         if shown.get(s) is None or abs(shown[s] - v) > 1e-5 * max(1.0, abs(v))]
if not expected or wrong:
    print("FAIL: %s: jalv holds %s" % (preset, wrong or "no preset values"))
    print(open(out).read()[-2000:])
    sys.exit(1)
print("jalv loaded %s: %d controls as in the preset" % (preset, len(expected)))
PY
done
[ "$failures" -eq 0 ] && echo "PASS: jalv loads the presets"
exit $((failures > 0))

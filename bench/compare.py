#!/usr/bin/env python3
"""CPU per instance of our four deliverables against the two open LV2 peers,
measured in one run on this machine.

Ours run through the host library (the built treble_bench and bass_bench:
512-frame blocks, every Glintor stage on, music-like input); the peers run in
lv2bench with the same block size, and so do our LV2 plug-ins from the build's
lv2 folder (lv2bench: 48 kHz, every control at its default, silent input), like
for like with the peers. A second table sets our LV2 path against our VST 2
path in lv2bench's conditions (the built lv2_bench). Both sides are timed in CPU time of the
process. The machine may be shared, so every measurement is repeated,
interleaved with the others, and the table shows medians. Builds nothing:
run scripts/build.sh first.

usage: bench/compare.py [--build DIR] [--rounds N] [--no-install]
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BLOCK = 512
PEER_FRAMES = 4_000_000
CALF = "http://calf.sourceforge.net/plugins/"

# (row, our benchmark binary, its benchmark name, peer row)
OURS = [
    ("Glintor stereo", "treble_bench", "BM_GlintorStereoMusic", "Calf Exciter"),
    ("Glintor mono", "treble_bench", "BM_GlintorMonoMusic", "Calf Exciter"),
    ("Rumblor stereo", "bass_bench", "BM_RumblorStereoMusic", "Calf Bass Enhancer"),
    ("Rumblor mono", "bass_bench", "BM_RumblorMonoMusic", "Calf Bass Enhancer"),
]
PEERS = {"Calf Exciter": CALF + "Exciter", "Calf Bass Enhancer": CALF + "BassEnhancer"}
VORSA = "https://vorsa-audio.example/plugins/"
# (row, URI, peer row): our LV2 plug-ins in lv2bench.
OURS_LV2 = [
    ("Glintor stereo, LV2 in lv2bench", VORSA + "glintor", "Calf Exciter"),
    ("Glintor mono, LV2 in lv2bench", VORSA + "glintor-mono", "Calf Exciter"),
    ("Rumblor stereo, LV2 in lv2bench", VORSA + "rumblor", "Calf Bass Enhancer"),
    ("Rumblor mono, LV2 in lv2bench", VORSA + "rumblor-mono", "Calf Bass Enhancer"),
]
# (row, lv2_bench capture): the VST 2 and the LV2 path in lv2bench's conditions.
PATHS = [("Glintor stereo", "GlintorStereo"), ("Glintor mono", "GlintorMono"),
         ("Rumblor stereo", "RumblorStereo"), ("Rumblor mono", "RumblorMono")]


def ours_ns_per_frame(build, binary, name):
    """CPU ns per frame of one of our benchmarks."""
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run([os.path.join(build, "bench", binary), "--benchmark_filter=^%s$" % name,
                        "--benchmark_min_time=0.3", "--benchmark_out=" + out.name,
                        "--benchmark_out_format=json"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        run = json.load(open(out.name))["benchmarks"][0]
    assert run["time_unit"] == "ns"
    return run["cpu_time"] / BLOCK


def path_ns_per_frame(build, name):
    """CPU ns per frame of one lv2_bench benchmark."""
    return ours_ns_per_frame(build, "lv2_bench", name)


def cpu_seconds(command):
    """User and system CPU time of a child process."""
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        raise RuntimeError("%s failed" % " ".join(command))
    return usage.ru_utime + usage.ru_stime


def peer_ns_per_frame(uri):
    """CPU ns per frame of a peer in lv2bench: the difference between a long
    and a short run, so that loading the LV2 world and the plug-in cancels
    out. CPU time rather than lv2bench's wall clock, as for our side: on a
    shared machine the wall clock also counts other processes."""
    short, long_ = PEER_FRAMES // 4, PEER_FRAMES
    run = lambda frames: cpu_seconds(["lv2bench", "-b", str(BLOCK), "-n", str(frames), uri])
    return (run(long_) - run(short)) * 1e9 / (long_ - short)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.environ.get("VORSA_BUILD_DIR", os.path.join(ROOT, "build")))
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--no-install", action="store_true", help="do not install lilv-utils and calf-plugins")
    args = parser.parse_args()

    for binary in ("treble_bench", "bass_bench"):
        if not os.access(os.path.join(args.build, "bench", binary), os.X_OK):
            sys.exit("compare: %s/bench/%s is missing; run scripts/build.sh first" % (args.build, binary))
    if not args.no_install:
        subprocess.run([os.path.join(ROOT, "scripts", "setup.sh"), "lilv-utils", "calf-plugins"], check=True,
                       stdout=subprocess.DEVNULL)
    # Our bundles from the build, the peers from where Debian installs them.
    os.environ["LV2_PATH"] = ":".join([os.path.join(args.build, "lv2"), os.path.expanduser("~/.lv2"),
                                       "/usr/local/lib/lv2", "/usr/lib/lv2"])
    have_peers = shutil.which("lv2bench") is not None
    peers, ours_lv2 = {}, []
    if have_peers:
        listed = subprocess.run(["lv2ls"], capture_output=True, text=True).stdout.split()
        peers = {name: uri for name, uri in PEERS.items() if uri in listed}
        ours_lv2 = [row for row in OURS_LV2 if row[1] in listed]
    have_paths = os.access(os.path.join(args.build, "bench", "lv2_bench"), os.X_OK)

    samples = {row: [] for row, _, _, _ in OURS}
    samples.update({name: [] for name in peers})
    samples.update({row: [] for row, _, _ in ours_lv2})
    paths = {}
    if have_paths:
        for row, capture in PATHS:
            paths[row] = {"VST 2": "BM_Vst2Path/" + capture, "LV2": "BM_Lv2Path/" + capture}
            samples.update({(row, kind): [] for kind in paths[row]})
    for _ in range(args.rounds):
        for name, uri in peers.items():
            samples[name].append(peer_ns_per_frame(uri))
        for row, uri, _ in ours_lv2:
            samples[row].append(peer_ns_per_frame(uri))
        for row, binary, bench, _ in OURS:
            samples[row].append(ours_ns_per_frame(args.build, binary, bench))
        for row, kinds in paths.items():
            for kind, bench in kinds.items():
                samples[(row, kind)].append(path_ns_per_frame(args.build, bench))
    median = {row: statistics.median(values) for row, values in samples.items()}

    cpu = subprocess.run(["sh", "-c", "grep -m1 'model name' /proc/cpuinfo | cut -d: -f2"],
                         capture_output=True, text=True).stdout.strip()
    print("%s, %d cores; %d-frame blocks; medians of %d rounds" % (cpu or "unknown CPU", os.cpu_count(), BLOCK,
                                                                     args.rounds))
    print()
    print("| plug-in | ns per frame | one core at 48 kHz | peer | faster than peer |")
    print("|---|---:|---:|---|---:|")
    for name in peers:
        print("| %s | %.1f | %.2f %% | | |" % (name, median[name], median[name] * 48000 * 1e-7))
    for row, _, _, peer in OURS:
        ns = median[row]
        ratio = "%.1fx" % (median[peer] / ns) if peer in median else "n/a"
        print("| %s | %.1f | %.2f %% | %s | %s |" % (row, ns, ns * 48000 * 1e-7, peer if peer in median else "-",
                                                     ratio))
    for row, _, peer in ours_lv2:
        ns = median[row]
        ratio = "%.1fx" % (median[peer] / ns) if peer in median else "n/a"
        print("| %s | %.1f | %.2f %% | %s | %s |" % (row, ns, ns * 48000 * 1e-7, peer if peer in median else "-",
                                                     ratio))
    if not peers:
        print("\n(no peers: lv2bench or the Calf plug-ins are not installed)")
    if paths:
        print()
        print("LV2 path against VST 2 path, lv2bench's conditions (defaults, silence, 48 kHz):")
        print()
        print("| plug-in | VST 2 ns per frame | LV2 ns per frame | LV2 costs |")
        print("|---|---:|---:|---:|")
        for row in paths:
            vst2, lv2 = median[(row, "VST 2")], median[(row, "LV2")]
            print("| %s | %.2f | %.2f | %+.1f %% |" % (row, vst2, lv2, (lv2 / vst2 - 1.0) * 100.0))


if __name__ == "__main__":
    main()

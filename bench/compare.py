#!/usr/bin/env python3
"""CPU per instance of our four deliverables against the two open LV2 peers,
measured in one run on this machine.

Ours run through the host library (the built treble_bench and bass_bench:
512-frame blocks, every Glintor stage on, music-like input); the peers run in
lv2bench with the same block size. Both sides are timed in CPU time of the
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
    have_peers = shutil.which("lv2bench") is not None
    peers = {}
    if have_peers:
        listed = subprocess.run(["lv2ls"], capture_output=True, text=True).stdout.split()
        peers = {name: uri for name, uri in PEERS.items() if uri in listed}

    samples = {row: [] for row, _, _, _ in OURS}
    samples.update({name: [] for name in peers})
    for _ in range(args.rounds):
        for name, uri in peers.items():
            samples[name].append(peer_ns_per_frame(uri))
        for row, binary, bench, _ in OURS:
            samples[row].append(ours_ns_per_frame(args.build, binary, bench))
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
    if not peers:
        print("\n(no peers: lv2bench or the Calf plug-ins are not installed)")


if __name__ == "__main__":
    main()

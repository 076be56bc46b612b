#!/usr/bin/env python3
"""Renders audio through a Linux VST 2 plug-in inside Ardour 7 and compares it,
sample by sample, with vorsa-render on the same input, program and block size.

    ardour_render_test.py --plugin P.so --render vorsa-render --work DIR --programs A B
                          [--lv2-bundle DIR --lv2-uri URI]

With --lv2-bundle, Ardour runs the LV2 plug-in URI from that bundle with the
preset of each program instead, and the reference is still the VST 2 plug-in
P.so in vorsa-render, aligned by its measured delay (--align): Ardour
compensates the delay the LV2 plug-in reports, which is the real one.

For each of the two programs: a session with one stereo track running the
plug-in is built by ardour7-lua, the input file is added to it, ardour7-export
renders it, and the result must match vorsa-render's output to within the
tolerance. The two Ardour renders must differ from each other: Ardour quietly
exports dry audio when it cannot load a plug-in, so matching alone would not
show that the plug-in ran.

Both hosts process in blocks of 1024 frames from the first input frame, and the
plug-ins' outputs do not depend on where blocks split, so the renders agree
bit for bit once the reference has the same history as the plug-in in Ardour
(see PREROLL below).

Exit codes: 0 pass, 1 fail, 77 skip (Ardour 7 is not installed)."""

import argparse
import os
import shutil
import subprocess
import sys
import time
import xml.etree.ElementTree as ET
from array import array

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_signal import make_test_signal  # noqa: E402
from wav_io import Audio, read_wav, write_wav  # noqa: E402

SKIP = 77
ARDOUR_LUA = "/usr/bin/ardour7-lua"
ARDOUR_EXPORT = "/usr/bin/ardour7-export"
ARDOUR_LIBS = "/usr/lib/ardour7"
VST_SCANNER = ARDOUR_LIBS + "/ardour-vst-scanner"
SUPERCLOCK_RATE = 282240000  # Ardour 7 timeline units per second
BLOCK = 1024  # Ardour's processing cycle with its dummy backend
PREROLL = 32 * BLOCK  # silence before the reference input; the plug-ins settle well within it
EXPORT_ATTEMPTS = 6
EXPORT_TIMEOUT = 30  # seconds; a normal export of the test signal takes 2 to 5
SHIFTED_ATTEMPTS = 3  # exports of one session that may come out moved in time
HERE = os.path.dirname(os.path.abspath(__file__))


class Failure(Exception):
    pass


def log(message):
    print(message, flush=True)


def run(cmd, env=None, timeout=300):
    return subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          errors="replace", timeout=timeout)


def tail(text, lines=25):
    return "\n".join(text.strip().splitlines()[-lines:])


class ArdourHost:
    """Ardour with a private configuration whose only plug-in folders hold a copy
    of the VST 2 plug-in and of the LV2 bundle, each when given."""

    def __init__(self, work, plugin=None, lv2_bundle=None):
        self.work = work
        vst_dir = os.path.join(work, "vst")
        os.makedirs(vst_dir)
        self.plugin = None
        if plugin:
            self.plugin = os.path.join(vst_dir, os.path.basename(plugin))
            shutil.copy2(plugin, self.plugin)
            # Ardour trusts a scan-cache entry only when it is strictly newer than the module.
            old = time.mktime((2001, 1, 1, 0, 0, 0, 0, 0, -1))
            os.utime(self.plugin, (old, old))
        self.env = dict(os.environ)
        for var, sub in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"), ("XDG_CACHE_HOME", "cache")):
            self.env[var] = os.path.join(work, sub)
            os.makedirs(self.env[var])
        self.env["LXVST_PATH"] = vst_dir
        self.env.pop("VST_PATH", None)
        self.lv2 = lv2_bundle is not None
        if self.lv2:
            lv2_dir = os.path.join(work, "lv2")
            shutil.copytree(lv2_bundle, os.path.join(lv2_dir, os.path.basename(lv2_bundle.rstrip("/"))))
            self.env["LV2_PATH"] = lv2_dir
        self.env.pop("DISPLAY", None)

    def scan(self):
        env = dict(self.env, LD_LIBRARY_PATH=ARDOUR_LIBS)
        result = run([VST_SCANNER, "-f", self.plugin], env=env, timeout=60)
        if result.returncode != 0 or "Found Plugin" not in result.stdout:
            raise Failure(f"Ardour's VST scanner rejected {self.plugin}:\n{tail(result.stdout)}")

    def make_session(self, session_dir, name, rate, program, lv2_uri=None):
        script = os.path.join(HERE, "make_session.lua")
        plugin = [lv2_uri] if lv2_uri else [self.plugin]
        result = run([ARDOUR_LUA, script, session_dir, name] + plugin + [str(rate), str(program)]
                     + (["LV2"] if lv2_uri else []), env=self.env, timeout=120)
        if result.returncode != 0 or "session-ready" not in result.stdout:
            raise Failure(f"ardour7-lua could not build the session:\n{tail(result.stdout)}")
        latency = 0
        for line in result.stdout.splitlines():
            if line.startswith("plug-in "):
                log("  ardour: " + line)
                latency = int(line.rsplit(" ", 1)[1])
        return latency

    def export(self, session_dir, name, output):
        """Renders the session; ardour7-export aborts now and then, so a few attempts are allowed."""
        for attempt in range(1, EXPORT_ATTEMPTS + 1):
            if os.path.exists(output):
                os.remove(output)
            try:
                # A stuck export is killed and counts as a failed attempt.
                result = run([ARDOUR_EXPORT, "-b", "float", "-o", output, session_dir, name],
                             env=self.env, timeout=EXPORT_TIMEOUT)
                ok = result.returncode == 0 and os.path.exists(output)
                detail = f"exit code {result.returncode}"
            except subprocess.TimeoutExpired:
                ok, detail, result = False, "timed out", None
            if ok:
                return attempt
            log(f"  ardour7-export attempt {attempt} of {EXPORT_ATTEMPTS} failed ({detail})")
        raise Failure(f"ardour7-export failed {EXPORT_ATTEMPTS} times; last output:\n"
                      f"{tail(result.stdout) if result else detail}")


def add_audio_to_session(session_dir, name, input_path, audio, length):
    """Places the input file in the session and writes its sources, a whole-file
    region, the track's playlist entry and the session range into the session file:
    what an import would have done."""
    audiofiles = os.path.join(session_dir, "interchange", name, "audiofiles")
    os.makedirs(audiofiles, exist_ok=True)
    file_name = "input.wav"
    shutil.copyfile(input_path, os.path.join(audiofiles, file_name))

    state_file = os.path.join(session_dir, name + ".ardour")
    tree = ET.parse(state_file)
    root = tree.getroot()
    next_id = int(root.get("id-counter"))

    def new_id():
        nonlocal next_id
        next_id += 1
        return str(next_id)

    if SUPERCLOCK_RATE % audio.rate:
        raise Failure(f"sample rate {audio.rate} does not divide Ardour's time unit")
    per_frame = SUPERCLOCK_RATE // audio.rate

    def when(frames):
        return f"a{frames * per_frame}"

    def duration(frames):
        # A length is a distance and the position it is measured from.
        return f"{when(frames)}@{when(0)}"

    sources = root.find("Sources")
    source_ids = []
    for channel in range(audio.channels):
        source_ids.append(new_id())
        ET.SubElement(sources, "Source", {
            "name": file_name, "type": "audio", "flags": "", "id": source_ids[-1], "captured-for": "",
            "take-id": "", "channel": str(channel), "origin": "", "gain": "1"})

    # The region's fades are off: by default Ardour fades its first and last 64 frames.
    def region(whole_file):
        attrs = {
            "name": "input", "muted": "0", "opaque": "1", "locked": "0", "video-locked": "0",
            "automatic": "0", "whole-file": "1" if whole_file else "0", "import": "0", "external": "0",
            "sync-marked": "0", "left-of-split": "0", "right-of-split": "0", "hidden": "0",
            "position-locked": "0", "valid-transients": "0", "start": when(0), "length": duration(audio.frames),
            "position": when(0), "sync-position": when(0), "ancestral-start": when(0),
            "ancestral-length": duration(0), "stretch": "1", "shift": "1", "layering-index": "0", "tags": "",
            "contents": "0", "envelope-active": "0", "default-fade-in": "0", "default-fade-out": "0",
            "fade-in-active": "0", "fade-out-active": "0", "scale-amplitude": "1", "id": new_id(),
            "type": "audio", "first-edit": "nothing", "channels": str(audio.channels)}
        for channel, source in enumerate(source_ids):
            attrs[f"source-{channel}"] = source
            attrs[f"master-source-{channel}"] = source
        return attrs

    ET.SubElement(root.find("Regions"), "Region", region(True))

    routes = root.find("Routes")
    track = next(r for r in routes if "AudioTrack" in r.find("PresentationInfo").get("flags"))
    master = next(r for r in routes if "MasterOut" in r.find("PresentationInfo").get("flags"))
    wire(track, master)

    playlist_id = track.get("audio-playlist")
    playlist = next(p for p in root.find("Playlists") if p.get("id") == playlist_id)
    ET.SubElement(playlist, "Region", region(False))

    locations = root.find("Locations")
    ET.SubElement(locations, "Location", {
        "id": new_id(), "name": "session", "start": when(0), "end": when(length),
        "flags": "IsSessionRange", "locked": "0", "timestamp": str(int(time.time())), "cue": "0"})

    root.set("id-counter", str(next_id + 1))
    with open(state_file, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        f.write(ET.tostring(root, encoding="unicode"))


def wire(track, master):
    """Connects the track straight to the master bus and its input to nothing.
    Ardour makes these connections from a background thread, which may not have
    run when the script saves the session: the track would then play into nothing
    and the export be silent."""
    def ports(route, direction):
        io = next(io for io in route.findall("IO") if io.get("direction") == direction)
        found = io.findall("Port")
        for port in found:
            for connection in port.findall("Connection"):
                port.remove(connection)
        return found

    ports(track, "Input")
    outs, ins = ports(track, "Output"), ports(master, "Input")
    if len(outs) != len(ins):
        raise Failure(f"the track has {len(outs)} outputs, the master bus {len(ins)} inputs")
    for out, into in zip(outs, ins):
        ET.SubElement(out, "Connection", {"other": into.get("name")})
        ET.SubElement(into, "Connection", {"other": out.get("name")})


class Mismatch(Failure):
    def __init__(self, message, shift=None):
        super().__init__(message)
        self.shift = shift  # frames, when Ardour's output is the reference moved in time as a whole


def compare(ardour, reference, tolerance, label):
    """Returns the largest difference; raises Mismatch with a diagnosis when they do not agree."""
    if ardour.channels != reference.channels or ardour.rate != reference.rate:
        raise Failure(f"{label}: Ardour wrote {ardour.channels} channel(s) at {ardour.rate} Hz, "
                      f"vorsa-render {reference.channels} at {reference.rate} Hz")
    if ardour.frames != reference.frames:
        raise Failure(f"{label}: Ardour rendered {ardour.frames} frames, vorsa-render {reference.frames}")
    a, r, channels = ardour.samples, reference.samples, reference.channels
    worst, worst_at = 0.0, 0
    bad = []
    for i in range(len(r)):
        d = abs(a[i] - r[i])
        if d > worst:
            worst, worst_at = d, i
        if d > tolerance and len(bad) < 6:
            bad.append(i)
    if worst <= tolerance:
        return worst
    details = ", ".join(f"frame {i // channels} ch{i % channels + 1} (cycle offset {i // channels % BLOCK}): "
                        f"{a[i]:.7f} vs {r[i]:.7f}" for i in bad)
    shift = whole_shift(a, r, channels, tolerance)
    raise Mismatch(f"{label}: largest difference {worst:.3g} at frame {worst_at // channels} "
                   f"(tolerance {tolerance:g}); first differences: {details}"
                   + (f"; Ardour's output is vorsa-render's moved by {shift} frames (negative: earlier)" if shift else ""), shift)


def whole_shift(a, r, channels, tolerance, reach=2 * BLOCK):
    """The lag k, if any, with Ardour's frame i + k equal to the reference's frame i
    on every channel wherever both exist: an alignment fault, not a processing one."""
    frames = min(len(a), len(r)) // channels
    probe = range(reach, min(frames - reach, reach + 4096), 4)
    best, best_error = 0, None
    for lag in range(-reach, reach + 1):
        error = sum(abs(a[(i + lag) * channels] - r[i * channels]) for i in probe)
        if best_error is None or error < best_error:
            best, best_error = lag, error
    if best == 0:
        return None
    overlap = range(max(0, -best), min(frames, frames - best))
    if all(abs(a[(i + best) * channels + c] - r[i * channels + c]) <= tolerance
           for i in overlap for c in range(channels)):
        return best
    return None


def differs(x, y, threshold=1e-4):
    return x.frames != y.frames or any(abs(p - q) > threshold for p, q in zip(x.samples, y.samples))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--plugin", required=True)
    parser.add_argument("--render", required=True, help="path of vorsa-render")
    parser.add_argument("--work", required=True, help="scratch folder, emptied first")
    parser.add_argument("--programs", nargs=2, required=True, metavar=("A", "B"), help="two program indices")
    parser.add_argument("--seconds", type=float, default=4.0)
    parser.add_argument("--tolerance", type=float, default=1e-5)
    parser.add_argument("--lv2-bundle", help="render the LV2 plug-in --lv2-uri of this bundle in Ardour")
    parser.add_argument("--lv2-uri")
    args = parser.parse_args()
    if bool(args.lv2_bundle) != bool(args.lv2_uri):
        parser.error("--lv2-bundle and --lv2-uri go together")

    missing = [p for p in (ARDOUR_LUA, ARDOUR_EXPORT, VST_SCANNER) if not os.access(p, os.X_OK)]
    if missing:
        log(f"SKIP: Ardour 7 is not installed (missing {', '.join(missing)}); scripts/setup.sh installs it")
        return SKIP
    if not os.path.isfile(args.plugin):
        log(f"FAIL: the plug-in {args.plugin} was not built")
        return 1

    started = time.monotonic()
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    try:
        host = ArdourHost(work, args.plugin, args.lv2_bundle)
        if not args.lv2_bundle:
            host.scan()

        audio = make_test_signal(seconds=args.seconds)
        input_path = os.path.join(work, "input.wav")
        write_wav(input_path, audio)

        # By the time Ardour exports, the plug-in has been running on silence since
        # the session was loaded, so its smoothed parameters and envelopes have
        # settled. The reference is given the same history: whole blocks of silence
        # before the input, cut from its output again.
        renders = []
        for program in args.programs:
            name = f"render{program}"
            session_dir = os.path.join(work, name)
            latency = host.make_session(session_dir, name, audio.rate, program, args.lv2_uri)

            # Ardour compensates an LV2 plug-in's reported delay by feeding it the
            # input that many frames early in its cycles; Glintor's anti-denormal
            # offset follows the position in the block, so the reference's input
            # starts as far into its blocks (see "Block sizes" in the README).
            preroll = PREROLL - latency if args.lv2_bundle else PREROLL
            preroll_path = os.path.join(work, "input-with-preroll.wav")
            write_wav(preroll_path, Audio(audio.rate, audio.channels,
                                          array("f", bytes(4 * audio.channels * preroll)) + audio.samples))
            reference_path = os.path.join(work, f"reference-{program}.wav")
            result = run([args.render, args.plugin, preroll_path, reference_path, "--program", str(program),
                          "--block", str(BLOCK), "--quiet"] + (["--align"] if args.lv2_bundle else []), timeout=300)
            if result.returncode != 0:
                raise Failure(f"vorsa-render failed on program {program}:\n{tail(result.stdout)}")
            reference = read_wav(reference_path)
            reference.samples = reference.samples[preroll * reference.channels:]
            # The session range covers the whole reference: the input and the tail
            # vorsa-render lets ring on after it, delay already compensated.
            add_audio_to_session(session_dir, name, input_path, audio, reference.frames)
            output_path = os.path.join(work, f"ardour-{program}.wav")
            for render_attempt in range(1, SHIFTED_ATTEMPTS + 1):
                t0 = time.monotonic()
                attempts = host.export(session_dir, name, output_path)
                seconds = time.monotonic() - t0
                rendered = read_wav(output_path)
                try:
                    worst = compare(rendered, reference, args.tolerance, f"program {program}")
                    break
                except Mismatch as mismatch:
                    # Under load, ardour7-export now and then writes the whole render a
                    # few frames early or late; exporting the same session again gives
                    # the right alignment. Any other difference fails at once.
                    if mismatch.shift is None or render_attempt == SHIFTED_ATTEMPTS:
                        raise
                    log(f"  ardour7-export wrote program {program} moved by {mismatch.shift} frames; exporting again")
            log(f"  program {program}: {rendered.frames} frames match vorsa-render, largest difference "
                f"{worst:.3g} (export {seconds:.1f} s, {attempts} attempt(s), {render_attempt} render(s))")
            renders.append(rendered)

        if not differs(renders[0], renders[1]):
            raise Failure(f"programs {args.programs[0]} and {args.programs[1]} rendered the same audio in Ardour: "
                          "the plug-in did not run, or the programs did not reach it")
    except (Failure, ValueError) as failure:  # ValueError: an unreadable WAV file
        log(f"FAIL: {os.path.basename(args.plugin)}: {failure}")
        return 1
    log(f"PASS: {os.path.basename(args.plugin)} renders in Ardour as in vorsa-render "
        f"({time.monotonic() - started:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

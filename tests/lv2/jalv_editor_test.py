"""Opens a product's editor as an LV2 UI in jalv.gtk3 on a private Xvfb display
with a private dummy JACK server, compares the embedded window's pixels with
the snapshot tool's picture of the same program, drags a knob with real
pointer events and checks that the knob's value field follows and, where the
plug-in shows the change on an output jalv prints (jalv prints control
outputs only, not the inputs a UI writes), that the plug-in got it. Exits 77
(skip) when a program it needs is missing."""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "host_editor"))
import images  # noqa: E402
import processes  # noqa: E402
from x_display import Display  # noqa: E402

URI_BASE = "https://vorsa-audio.example/plugins/"


def editor_window(display):
    """The editor's own child window, which the X11 backend names "Window"."""
    for top in display.windows():
        for window in top.descendants():
            if window.name == "Window":
                return window
    return None


def printed(log_path, symbol):
    """Every value jalv printed for a control, "symbol = value" per line, in order."""
    values = []
    with open(log_path, errors="replace") as f:
        for line in f:
            m = re.match(r"^(\w+) = ([-0-9.e+]+)$", line.strip())
            if m and m.group(1) == symbol:
                values.append(float(m.group(2)))
    return values


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lv2-dir", required=True)
    parser.add_argument("--plugin", required=True, help="URI path after the base, e.g. glintor-mono")
    parser.add_argument("--program", type=int, required=True)
    parser.add_argument("--snapshot", required=True)
    parser.add_argument("--size", type=int, nargs=2, required=True)
    parser.add_argument("--meters", type=int, nargs=4, action="append", default=[],
                        help="a box (left top right bottom) whose pixels may differ")
    parser.add_argument("--knob", type=int, nargs=2, required=True, help="centre of the knob to drag")
    parser.add_argument("--drag-by", type=int, default=-30, help="pixels to drag down (negative: up)")
    parser.add_argument("--field", type=int, nargs=4, required=True, help="the knob's value field (l t r b)")
    parser.add_argument("--output", help="a control output the drag must change in the plug-in")
    parser.add_argument("--work")
    parser.add_argument("--time-limit", type=float, default=90)
    args = parser.parse_args()

    for tool in ("jalv.gtk3", "jackd", "Xvfb", "xwd", "xwininfo", "xdotool"):
        if not shutil.which(tool):
            print(f"SKIP: {tool} not installed (scripts/setup.sh installs it)")
            return 77

    work = args.work or tempfile.mkdtemp(prefix="vorsa-jalv-editor-")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    deadline = processes.Deadline(args.time_limit)
    processes.adopt_orphans()
    display = jack = jalv = None
    try:
        display = Display(work, deadline)
        env = dict(display.env, LV2_PATH=args.lv2_dir, JACK_DEFAULT_SERVER=f"vorsa-jalv-editor-{os.getpid()}",
                   HOME=os.path.join(work, "home"), XDG_CONFIG_HOME=os.path.join(work, "config"),
                   XDG_DATA_HOME=os.path.join(work, "data"), XDG_CACHE_HOME=os.path.join(work, "cache"),
                   XDG_RUNTIME_DIR=os.path.join(work, "runtime"))
        for var in ("HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
            os.makedirs(env[var], mode=0o700, exist_ok=True)
        jack = processes.start(["jackd", "-n", env["JACK_DEFAULT_SERVER"], "--no-realtime", "-d", "dummy",
                                "-r", "48000", "-p", "512"], os.path.join(work, "jackd.log"), env=env)
        display.env = env
        display.run(["jack_wait", "-w", "-t", "20"], timeout=30)

        reference_png = os.path.join(work, "snapshot.png")
        display.run([args.snapshot, "--out", reference_png, "--program", str(args.program)]
                    + (["--mono"] if args.plugin.endswith("-mono") else []))
        reference = images.read_png(reference_png)

        plugin = URI_BASE + args.plugin
        log = os.path.join(work, "jalv.log")
        # Line-buffered, so that what jalv printed can be read while it runs.
        jalv = processes.start(["stdbuf", "-oL", "jalv.gtk3", "--print-controls",
                                "--preset", f"{plugin}/preset-{args.program:02d}", plugin], log, env=env)
        width, height = args.size
        window = deadline.wait_for("waiting for the editor in jalv",
                                   lambda: jalv.poll() is None and editor_window(display) or
                                   (jalv.poll() is not None and "exited"), interval=0.3)
        if window == "exited":
            print(f"FAIL: jalv exited before its editor showed\n{open(log, errors='replace').read()[-2000:]}")
            return 1
        print(f"editor window {window}")
        failures = []
        if (window.width, window.height) != (width, height):
            failures.append(f"editor is {window.width} x {window.height}, not {width} x {height}")

        def in_meter(x, y):
            return any(l <= x < r and t <= y < b for l, t, r, b in args.meters)

        # Port events and idle calls (about 30 a second) bring the preset's
        # values into the views: the picture settles within a few idles.
        def settled():
            shot = display.capture(window)
            differing = images.differing(shot, reference, 0)
            outside = [p for p in differing if not in_meter(*p)]
            return shot, differing, outside

        end = time.monotonic() + 10
        shot, differing, outside = settled()
        while outside and time.monotonic() < end:
            time.sleep(0.3)
            shot, differing, outside = settled()
        shot.write_png(os.path.join(work, "editor.png"))
        print(f"{len(differing)} pixels differ from the snapshot of program {args.program}, "
              f"{len(outside)} outside the meters")
        if outside:
            failures.append(f"{len(outside)} pixels differ outside the meters, within {images.bounds(outside)}")

        outputs_before = printed(log, args.output) if args.output else []
        x, y = display.position(window)
        kx, ky = x + args.knob[0], y + args.knob[1]
        display.pointer_drag([(kx, ky), (kx, ky + args.drag_by)])
        field = args.field
        end = time.monotonic() + 5
        while True:
            dragged = display.capture(window)
            changed = images.differing(shot.crop(*field), dragged.crop(*field), 0)
            if changed or time.monotonic() > end:
                break
            time.sleep(0.3)
        dragged.write_png(os.path.join(work, "editor-dragged.png"))
        print(f"the knob's value field: {len(changed)} pixels changed by the drag")
        if not changed:
            failures.append("the knob's value field did not change with the drag")
        if args.output:
            last = outputs_before[-1] if outputs_before else None

            def moved():
                return [v for v in printed(log, args.output)[len(outputs_before):] if v != last]
            end = time.monotonic() + 5
            while last is not None and not moved() and time.monotonic() < end:
                time.sleep(0.3)
            print(f"{args.output}: {last} before the drag, {moved()[-1:] or 'unchanged'} after")
            if last is None or not moved():
                failures.append(f"the drag did not change {args.output} in the plug-in")
        if jalv.poll() is not None:
            failures.append(f"jalv exited with {jalv.returncode}")

        for failure in failures:
            print("FAIL: " + failure)
        if failures:
            print(open(log, errors="replace").read()[-1500:])
            return 1
        print(f"PASS: {args.plugin} editor in jalv, program {args.program}")
        return 0
    except (processes.TimeLimit, RuntimeError, subprocess.TimeoutExpired) as error:
        print(f"FAIL: {error}")
        return 1
    finally:
        processes.stop(jalv)
        processes.stop(jack)
        if display:
            display.close()
        processes.reap_orphans()


if __name__ == "__main__":
    sys.exit(main())

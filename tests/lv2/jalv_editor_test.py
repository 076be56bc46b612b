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
import time

import editor_checks as checks  # also puts the host editor harness on the path
import processes
from editor_checks import URI_BASE
from x_display import Display


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
    checks.add_arguments(parser)
    parser.add_argument("--output", help="a control output the drag must change in the plug-in")
    args = parser.parse_args()

    tool = checks.missing_tool(("jalv.gtk3", "jackd", "Xvfb", "xwd", "xwininfo", "xdotool"))
    if tool:
        print(f"SKIP: {tool} not installed (scripts/setup.sh installs it)")
        return 77

    work = args.work
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
        reference = checks.reference_picture(display, args)

        log = os.path.join(work, "jalv.log")
        # Line-buffered, so that what jalv printed can be read while it runs.
        jalv = processes.start(["stdbuf", "-oL", "jalv.gtk3", "--print-controls", "--preset",
                                checks.preset_uri(args), URI_BASE + args.plugin], log, env=env)
        window = deadline.wait_for("waiting for the editor in jalv",
                                   lambda: jalv.poll() is None and checks.editor_window(display) or
                                   (jalv.poll() is not None and "exited"), interval=0.3)
        if window == "exited":
            print(f"FAIL: jalv exited before its editor showed\n{open(log, errors='replace').read()[-2000:]}")
            return 1
        print(f"editor window {window}")
        failures = []
        shot = checks.check_pixels(display, window, reference, args, failures)
        outputs_before = printed(log, args.output) if args.output else []
        checks.drag_knob(display, window, shot, args, failures)
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

        return checks.verdict(failures, f"{args.plugin} editor in jalv, program {args.program}", log)
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

"""What the LV2 editor tests check in any host: the editor's own window, its
pixels against the snapshot tool's picture of the same program, and a knob
dragged with real pointer events."""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "host_editor"))
import images  # noqa: E402

URI_BASE = "https://vorsa-audio.example/plugins/"


def add_arguments(parser):
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
    parser.add_argument("--work", required=True)
    parser.add_argument("--time-limit", type=float, default=90)


def missing_tool(tools):
    """The first of the programs not installed, or None."""
    return next((tool for tool in tools if not shutil.which(tool)), None)


def preset_uri(args):
    return f"{URI_BASE}{args.plugin}/preset-{args.program:02d}"


def editor_window(display):
    """The editor's own child window, which the X11 backend names "Window"."""
    for top in display.windows():
        for window in top.descendants():
            if window.name == "Window":
                return window
    return None


def reference_picture(display, args):
    path = os.path.join(args.work, "snapshot.png")
    display.run([args.snapshot, "--out", path, "--program", str(args.program)]
                + (["--mono"] if args.plugin.endswith("-mono") else []))
    return images.read_png(path)


def check_pixels(display, window, reference, args, failures, settle=10):
    """The editor's size, and its pixels against the reference apart from the
    meters. The host brings the preset's values in as port events, which the
    editor shows at its next idles: the picture is given a few seconds to
    settle. Returns the last capture."""
    width, height = args.size
    if (window.width, window.height) != (width, height):
        failures.append(f"editor is {window.width} x {window.height}, not {width} x {height}")

    def in_meter(x, y):
        return any(l <= x < r and t <= y < b for l, t, r, b in args.meters)

    end = time.monotonic() + settle
    while True:
        shot = display.capture(window)
        differing = images.differing(shot, reference, 0)
        outside = [p for p in differing if not in_meter(*p)]
        if not outside or time.monotonic() > end:
            break
        time.sleep(0.3)
    shot.write_png(os.path.join(args.work, "editor.png"))
    print(f"{len(differing)} pixels differ from the snapshot of program {args.program}, "
          f"{len(outside)} outside the meters")
    if outside:
        failures.append(f"{len(outside)} pixels differ outside the meters, within {images.bounds(outside)}")
    return shot


def drag_knob(display, window, shot, args, failures):
    """Drags the knob and waits for its value field to show a new value."""
    x, y = display.position(window)
    kx, ky = x + args.knob[0], y + args.knob[1]
    display.pointer_drag([(kx, ky), (kx, ky + args.drag_by)])
    end = time.monotonic() + 5
    while True:
        dragged = display.capture(window)
        changed = images.differing(shot.crop(*args.field), dragged.crop(*args.field), 0)
        if changed or time.monotonic() > end:
            break
        time.sleep(0.3)
    dragged.write_png(os.path.join(args.work, "editor-dragged.png"))
    print(f"the knob's value field: {len(changed)} pixels changed by the drag")
    if not changed:
        failures.append("the knob's value field did not change with the drag")


def verdict(failures, passed, log):
    """Prints the failures with the end of the host's log, or the pass; returns the exit code."""
    for failure in failures:
        print("FAIL: " + failure)
    if failures:
        print(open(log, errors="replace").read()[-1500:])
        return 1
    print("PASS: " + passed)
    return 0

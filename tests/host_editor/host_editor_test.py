#!/usr/bin/env python3
"""Opens a Linux VST 2 plug-in's editor inside Audacity 3.2 on a private Xvfb
display and checks what the screen shows.

    host_editor_test.py --plugin P.so --work DIR [--knob X Y L T R B [--parameter NAME]]
                        [--snapshot TOOL ARGS...]

Audacity registers the plug-in, gets a track with a second of noise selected
and opens the plug-in's effect dialog. The editor is the window inside that
dialog that belongs to another X client than Audacity: the plug-in's own
connection. Its pixels, read back from the X server once they stop changing,
must match the reference picture (the same editor drawn by our headless
backend through the snapshot tool) apart from small differences such as text
rendering. With --knob, a real pointer drag over the knob at (X, Y) of the
editor must then redraw the knob and its value field (L, T)-(R, B), and
nothing else. Last the dialog's Apply button runs the plug-in over the noise;
with --parameter, the settings Audacity then stores must show that parameter
raised by the drag. Captures are written to DIR for a look.

Exit codes: 0 pass, 1 fail, 77 skip (Audacity 3.2 is not installed)."""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import audacity_host  # noqa: E402
import images  # noqa: E402
import processes  # noqa: E402
from x_display import Display  # noqa: E402

SKIP = 77
TOOLS = ("Xvfb", "xwininfo", "xwd", "xdotool")
# A pixel matches the reference when no channel differs by more than this.
# The budget of other pixels leaves room for a value text or two drawn with
# other glyph edges, and none for a control in another state: the stereo/mono
# button alone changes three times as many.
TOLERANCE = 48
MISMATCH_BUDGET = 0.001


class Failure(Exception):
    pass


def log(message):
    print(message, flush=True)


def find_editor(display, host):
    """The plug-in's window in Audacity's effect dialog, once it is mapped: the
    one window made by another client inside a window of Audacity's."""
    tops = display.windows()
    host.check_alive(tops)
    for top in tops:
        for window in top.descendants():
            if window.client != window.parent.client:
                return top, window
    return None


def stable_capture(display, window, deadline, doing):
    """Captures until two captures in a row agree: the editor has drawn."""
    previous = None

    def settled():
        nonlocal previous
        time.sleep(0.5)
        image = display.capture(window)
        if previous and image.rows == previous.rows and image.colours() > 1:
            return image
        previous = image
        return None

    return deadline.wait_for(doing, settled, interval=0, at_most=30)


def compare_with_reference(capture, reference):
    if (capture.width, capture.height) != (reference.width, reference.height):
        raise Failure(f"the editor window is {capture.width} x {capture.height}, "
                      f"the reference {reference.width} x {reference.height}")
    bad = images.differing(capture, reference, TOLERANCE)
    share = len(bad) / (capture.width * capture.height)
    log(f"  {len(bad)} of {capture.width * capture.height} pixels ({share:.2%}) differ from the reference "
        f"by more than {TOLERANCE}" + (f", within {images.bounds(bad)}" if bad else ""))
    if share > MISMATCH_BUDGET:
        raise Failure(f"the editor on screen differs from the reference in {share:.1%} of its pixels "
                      f"(budget {MISMATCH_BUDGET:.1%}); compare capture.png with reference.png")


def drag_knob(display, editor, before, knob, field, deadline, work):
    """Turns the knob with the pointer along an arc over its top, which raises the
    value in both knob modes (by angle, or by distance right and up). The knob
    and its value field must show the change; nothing far from them may change."""
    left, top = display.position(editor)
    x, y = left + knob[0], top + knob[1]
    r = 12
    display.pointer_drag([(x - r, y), (x - r * 7 // 10, y - r * 7 // 10), (x, y - r),
                          (x + r * 7 // 10, y - r * 7 // 10), (x + r, y)])
    after = stable_capture(display, editor, deadline, "the editor redraws after the drag")
    after.write_png(os.path.join(work, "after-drag.png"))
    changed = images.differing(before, after, 0)
    knob_area = (knob[0] - 20, knob[1] - 20, knob[0] + 21, knob[1] + 21)
    on_knob = [p for p in changed if inside(p, knob_area)]
    in_field = [p for p in changed if inside(p, field)]
    elsewhere = [p for p in changed if not inside(p, knob_area) and not inside(p, field)]
    log(f"  the drag changed {len(on_knob)} pixels on the knob, {len(in_field)} in its value field "
        f"and {len(elsewhere)} elsewhere" + (f" (within {images.bounds(elsewhere)})" if elsewhere else ""))
    if not on_knob:
        raise Failure(f"a pointer drag over the knob at {knob} did not turn it on screen")
    if not in_field:
        raise Failure(f"the knob turned but its value field {field} still shows the old value")
    if elsewhere:
        raise Failure(f"the drag changed the editor away from the knob and its field, within {images.bounds(elsewhere)}")


def apply_effect(display, host, dialog, effect):
    """Presses the dialog's default button, Apply: Audacity runs the plug-in over
    the noise, stores its settings and answers the effect command at last."""
    display.run(["xdotool", "windowfocus", "--sync", hex(dialog.id), "key", "Return"])
    host.answer(effect, timeout=60)


def check_parameter_raised(host, name, deadline):
    """The knob's drag reached the host: Audacity's stored settings of the
    plug-in show the parameter above its value at registration."""
    before = host.effect_parameters("FactoryDefaults") or {}
    after = deadline.wait_for("Audacity stores the plug-in's settings", lambda: host.effect_parameters("CurrentSettings"),
                              at_most=10)
    if name not in after or name not in before:
        raise Failure(f"Audacity stored no parameter {name!r}; it has {sorted(after)}")
    log(f"  Audacity's settings after the drag: {name} {before[name]:g} -> {after[name]:g}")
    if not after[name] > before[name]:
        raise Failure(f"the drag did not reach the host: {name} is {after[name]:g}, was {before[name]:g}")


def inside(point, box):
    return box[0] <= point[0] < box[2] and box[1] <= point[1] < box[3]


def run(args, work, deadline):
    display = host = None
    reference = os.path.join(work, "reference.png")
    if args.snapshot:
        result = subprocess.run(args.snapshot + ["--out", reference], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                timeout=60)
        if result.returncode != 0:
            raise Failure(f"the snapshot tool failed: {result.stdout.decode(errors='replace').strip()}")
    try:
        display = Display(work, deadline)
        host = audacity_host.Audacity(work, display, deadline)
        link = host.add_plugin(args.plugin)
        t0 = time.monotonic()
        host.register(link)
        log(f"  Audacity registered the plug-in ({time.monotonic() - t0:.1f} s)")
        host.start_scripted()
        for command in ("NewMonoTrack:", "Select: Start=0 End=1 Mode=Set", "Noise: Amplitude=0.1"):
            host.command(command)
        # The effect command answers only when its dialog closes.
        effect = host.effect_command(link) + ":"
        host.send(effect)
        dialog, editor = deadline.wait_for("Audacity opens the plug-in's editor", lambda: find_editor(display, host),
                                           at_most=60)
        log(f"  editor window 0x{editor.id:x} ({editor.width} x {editor.height}) in the dialog {dialog.name!r}")
        capture = stable_capture(display, editor, deadline, "the editor draws")
        capture.write_png(os.path.join(work, "capture.png"))
        if capture.colours() < 16:
            raise Failure(f"the editor window shows only {capture.colours()} colours: no artwork on screen")
        if args.snapshot:
            compare_with_reference(capture, images.read_png(reference))
        if args.knob:
            drag_knob(display, editor, capture, args.knob[:2], args.knob[2:], deadline, work)
        apply_effect(display, host, dialog, effect)
        if args.parameter:
            check_parameter_raised(host, args.parameter, deadline)
        host.check_alive(display.windows())
    except Exception:
        if display:
            display.capture().write_png(os.path.join(work, "screen.png"))  # for the post-mortem
        raise
    finally:
        if host:
            host.stop()
        if display:
            display.close()
        processes.reap_orphans()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--plugin", required=True)
    parser.add_argument("--work", required=True, help="scratch folder, emptied first")
    parser.add_argument("--snapshot", nargs=argparse.REMAINDER, help="last: the command (and its arguments) "
                        "that writes the same editor, drawn headless, to the PNG file named by a further --out")
    parser.add_argument("--knob", nargs=6, type=int, metavar=("X", "Y", "LEFT", "TOP", "RIGHT", "BOTTOM"),
                        help="centre of a knob in the editor and the rectangle of its value field")
    parser.add_argument("--parameter", help="name of the knob's parameter, which the drag must raise in the host")
    parser.add_argument("--time-limit", type=float, default=240, help="seconds for the whole test")
    args = parser.parse_args()

    if not audacity_host.installed():
        log(f"SKIP: Audacity 3.2 is not installed ({audacity_host.AUDACITY}); scripts/setup.sh installs it")
        return SKIP
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        log(f"FAIL: missing {', '.join(missing)}; scripts/setup.sh installs them")
        return 1
    if not os.path.isfile(args.plugin):
        log(f"FAIL: the plug-in {args.plugin} was not built")
        return 1

    # Ended from outside (CTest's time-out, Ctrl-C): clean up on the way out.
    def interrupted(number, _):
        raise processes.TimeLimit(f"stopped by signal {number}")

    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGINT, interrupted)
    processes.adopt_orphans()

    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    started = time.monotonic()
    name = os.path.basename(args.plugin)
    try:
        run(args, work, processes.Deadline(args.time_limit))
    except (Failure, audacity_host.HostError, processes.TimeLimit, RuntimeError, ValueError, OSError,
            subprocess.TimeoutExpired) as failure:
        log(f"FAIL: {name}: {failure} (work folder {work})")
        return 1
    log(f"PASS: {name}'s editor is on screen in Audacity ({time.monotonic() - started:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

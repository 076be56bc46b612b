"""Opens a product's editor as an LV2 UI in Ardour 7 on a private Xvfb display,
compares the editor's window with the snapshot tool's picture of the same
program, drags a knob with real pointer events, and checks that the value
field follows and that Ardour got the new value: the session Ardour saves
afterwards holds it for the knob's port. Exits 77 (skip) when a program it
needs is missing.

The session is built headless by the render test's Lua script, with the
program's preset loaded, and is marked as having the plug-in's window open,
as Ardour records it when a user leaves it open: Ardour opens it again when
it loads the session. A private configuration skips Ardour's first-run
wizard and starts its engine on the dummy backend without asking."""

import argparse
import os
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

import editor_checks as checks  # also puts the host editor harness on the path
import processes
from editor_checks import URI_BASE
from x_display import Display

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ardour"))
from ardour_render_test import ARDOUR_LUA, ArdourHost, Failure  # noqa: E402

ARDOUR = "/usr/bin/ardour"
RATE = 48000

# Ardour's own settings: the file that marks its first run as done, and an
# engine set-up on the dummy backend (which Ardour hides unless told), started
# at launch instead of the Audio/MIDI Setup dialog.
CONFIG = f"""<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="" output-device=""
               sample-rate="{RATE}" buffer-size="1024" n-periods="2" input-latency="0" output-latency="0"
               input-channels="0" output-channels="0" active="1" use-buffered-io="0" midi-option="" lru="1"/>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
"""


def write_config(config_home):
    folder = os.path.join(config_home, "ardour7")
    os.makedirs(folder, exist_ok=True)
    open(os.path.join(folder, ".a7"), "w").close()
    with open(os.path.join(folder, "config"), "w") as f:
        f.write(CONFIG)


def plugin_insert(root):
    """The track and the LV2 insert on it."""
    for route in root.find("Routes"):
        for processor in route.findall("Processor"):
            if processor.get("type") == "lv2":
                return route, processor
    raise Failure("the session holds no LV2 plug-in")


def mark_window_open(session_file):
    tree = ET.parse(session_file)
    root = tree.getroot()
    route, processor = plugin_insert(root)
    ui = ET.SubElement(ET.SubElement(root, "Extra"), "UI")
    ET.SubElement(ui, "Window", {"name": f"P-{route.get('id')}-{processor.get('id')}", "visible": "1",
                                 "x-off": "40", "y-off": "40", "x-size": "0", "y-size": "0"})
    tree.write(session_file, encoding="UTF-8", xml_declaration=True)


def control_values(session_file):
    _, processor = plugin_insert(ET.parse(session_file).getroot())
    return {c.get("symbol"): float(c.get("value")) for c in processor.findall("Controllable") if c.get("symbol")}


def save_session(display, session_file, deadline):
    """Ctrl+S in Ardour's main window; returns once the session file was rewritten."""
    before = os.stat(session_file).st_mtime_ns
    main = next((w for w in display.windows() if w.name.endswith(" - Ardour")), None)
    if not main:
        raise Failure("Ardour's main window is not on the display")
    display.run(["xdotool", "windowfocus", "--sync", hex(main.id), "key", "ctrl+s"])
    deadline.wait_for("waiting for Ardour to save the session",
                      lambda: os.stat(session_file).st_mtime_ns != before, interval=0.3, at_most=20)


def main():
    parser = argparse.ArgumentParser()
    checks.add_arguments(parser)
    parser.add_argument("--control", required=True, help="the symbol of the dragged knob's port")
    args = parser.parse_args()

    tool = checks.missing_tool((ARDOUR, ARDOUR_LUA, "Xvfb", "xwd", "xwininfo", "xdotool"))
    if tool:
        print(f"SKIP: {tool} not installed (scripts/setup.sh installs it)")
        return 77

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    deadline = processes.Deadline(args.time_limit)
    processes.adopt_orphans()
    display = ardour = None
    log = os.path.join(args.work, "ardour.log")
    try:
        bundle = os.path.join(args.lv2_dir, f"vorsa-{args.plugin.split('-')[0]}.lv2")
        host = ArdourHost(args.work, lv2_bundle=bundle)
        name = "editor"
        session_dir = os.path.join(args.work, name)
        host.make_session(session_dir, name, RATE, args.program, URI_BASE + args.plugin)
        session_file = os.path.join(session_dir, name + ".ardour")
        mark_window_open(session_file)
        write_config(host.env["XDG_CONFIG_HOME"])
        before = control_values(session_file)

        display = Display(args.work, deadline)
        display.env.update({var: host.env[var] for var in ("HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                                           "LV2_PATH", "LXVST_PATH")})
        reference = checks.reference_picture(display, args)
        ardour = processes.start([ARDOUR, "--no-splash", "--no-announcements", session_file], log,
                                 env=display.env)
        window = deadline.wait_for("waiting for the editor in Ardour",
                                   lambda: ardour.poll() is None and checks.editor_window(display) or
                                   (ardour.poll() is not None and "exited"), interval=0.5)
        if window == "exited":
            raise Failure(f"Ardour exited before the editor showed\n{open(log, errors='replace').read()[-2000:]}")
        print(f"editor window {window}")
        failures = []
        shot = checks.check_pixels(display, window, reference, args, failures)
        # The whole plug-in window as a user sees it, for whoever looks into a failure.
        top = window
        while top.parent:
            top = top.parent
        display.capture(top).write_png(os.path.join(args.work, "plugin-window.png"))
        checks.drag_knob(display, window, shot, args, failures)

        save_session(display, session_file, deadline)
        after = control_values(session_file)
        print(f"{args.control}: {before.get(args.control)} before the drag, {after.get(args.control)} "
              "in the session Ardour saved after it")
        if args.control not in before or before[args.control] == after.get(args.control):
            failures.append(f"Ardour did not get a new value of {args.control} from the editor")
        if ardour.poll() is not None:
            failures.append(f"Ardour exited with {ardour.returncode}")

        return checks.verdict(failures, f"{args.plugin} editor in Ardour, program {args.program}", log)
    except (Failure, processes.TimeLimit, RuntimeError, subprocess.TimeoutExpired) as error:
        print(f"FAIL: {error}")
        return 1
    finally:
        processes.stop(ardour)
        if display:
            display.close()
        processes.reap_orphans()


if __name__ == "__main__":
    sys.exit(main())

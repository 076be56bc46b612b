"""A private Xvfb display and what the test does on it: list windows, capture
one, drive the pointer."""

import os
import re
import struct
import subprocess
import time

import processes
from images import Image

# With the server's default of 256 clients, the bits above these name the
# client that created a resource.
CLIENT_SHIFT = 21


class Window:
    def __init__(self, wid, name, width, height, x, y):
        self.id, self.name = wid, name
        self.width, self.height, self.x, self.y = width, height, x, y  # x, y: on the screen
        self.parent = None
        self.children = []

    @property
    def client(self):
        return self.id >> CLIENT_SHIFT

    def descendants(self):
        for child in self.children:
            yield child
            yield from child.descendants()

    def __repr__(self):
        return f"{self.name!r} 0x{self.id:x} {self.width}x{self.height}+{self.x}+{self.y}"


_TREE_CHANGED = re.compile(r"Bad Window|Bad Drawable|Can't query window tree")
_TREE_LINE = re.compile(r'^(\s*)(0x[0-9a-f]+) (\(has no name\)|".*?"):.*?(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$')


class Display:
    def __init__(self, work, deadline):
        read_end, write_end = os.pipe()
        self.server = processes.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                                       "-nolisten", "tcp"], os.path.join(work, "xvfb.log"), pass_fds=[write_end])
        os.close(write_end)
        os.set_blocking(read_end, False)

        def number():
            try:
                text = os.read(read_end, 32).decode()
            except BlockingIOError:
                text = ""
            if not text and self.server.poll() is not None:
                raise RuntimeError("Xvfb did not start; see xvfb.log")
            return text.strip()

        self.name = ":" + deadline.wait_for("starting Xvfb", number, at_most=30)
        os.close(read_end)
        # Clients of this display only: no Wayland, no session bus of the user's.
        self.env = dict(os.environ, DISPLAY=self.name, GDK_BACKEND="x11", NO_AT_BRIDGE="1")
        for var in ("WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS"):
            self.env.pop(var, None)

    def close(self):
        processes.stop(self.server)

    def run(self, cmd, timeout=20):
        result = subprocess.run(cmd, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
        if result.returncode != 0:
            raise RuntimeError(f"{cmd[0]} failed: {result.stderr.decode(errors='replace').strip()}")
        return result.stdout

    def windows(self, attempts=10):
        """The top-level windows with their subtrees, from xwininfo -tree."""
        for attempt in range(attempts):
            try:
                text = self.run(["xwininfo", "-root", "-tree"]).decode(errors="replace")
                break
            except RuntimeError as error:
                # xwininfo walks the tree one request at a time; a window that a
                # client destroys meanwhile (a dialog closing) fails the walk.
                # The next walk no longer meets it.
                if attempt + 1 == attempts or not _TREE_CHANGED.search(str(error)):
                    raise
                time.sleep(0.1)
        tops, stack = [], []  # stack: (indent, window)
        for line in text.splitlines():
            m = _TREE_LINE.match(line)
            if not m:
                continue
            indent = len(m.group(1))
            name = m.group(3)[1:-1] if m.group(3).startswith('"') else ""
            window = Window(int(m.group(2), 16), name, int(m.group(4)), int(m.group(5)), int(m.group(6)),
                            int(m.group(7)))
            while stack and stack[-1][0] >= indent:
                stack.pop()
            if stack:
                window.parent = stack[-1][1]
                window.parent.children.append(window)
            else:
                tops.append(window)
            stack.append((indent, window))
        return tops

    def position(self, window):
        """Where the window is on the screen now (its dialog may have moved since it was listed)."""
        text = self.run(["xwininfo", "-id", hex(window.id)]).decode(errors="replace")
        x = re.search(r"Absolute upper-left X:\s+(-?\d+)", text)
        y = re.search(r"Absolute upper-left Y:\s+(-?\d+)", text)
        return int(x.group(1)), int(y.group(1))

    def capture(self, window=None):
        """The window's pixels as the screen shows them; the whole screen without one."""
        return read_xwd(self.run(["xwd", "-silent"] + (["-id", hex(window.id)] if window else ["-root"])))

    def pointer_drag(self, points, steps=8):
        """Presses the left button at the first point, moves through the others in
        small steps and releases it: real pointer events, as a hand would make."""
        cmd = ["xdotool", "mousemove", "--sync", str(points[0][0]), str(points[0][1]), "sleep", "0.3",
               "mousedown", "1", "sleep", "0.3"]
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            for i in range(1, steps + 1):
                cmd += ["mousemove", str(round(x0 + (x1 - x0) * i / steps)), str(round(y0 + (y1 - y0) * i / steps)),
                        "sleep", "0.05"]
        cmd += ["sleep", "0.3", "mouseup", "1", "sleep", "0.3"]
        self.run(cmd, timeout=60)


def read_xwd(data):
    """Decodes xwd's output for the 24- and 32-bit TrueColor visuals Xvfb offers."""
    fields = struct.unpack(">25I", data[:100])
    header_size, version, pixmap_format, _, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line, ncolors = fields[7], fields[11], fields[12], fields[19]
    red_mask, green_mask, blue_mask = fields[14:17]
    if version != 7 or pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise ValueError(f"unexpected xwd image: version {version}, format {pixmap_format}, {bits_per_pixel} bpp")
    if (red_mask, green_mask, blue_mask) != (0xff0000, 0xff00, 0xff):
        raise ValueError("unexpected colour masks in the xwd image")
    pixels = data[header_size + 12 * ncolors:]
    step = bits_per_pixel // 8
    # Byte positions of red, green and blue within a pixel.
    red, green, blue = (2, 1, 0) if byte_order == 0 else (step - 3, step - 2, step - 1)
    rows = []
    for y in range(height):
        line = pixels[y * bytes_per_line:y * bytes_per_line + width * step]
        rows.append(list(zip(line[red::step], line[green::step], line[blue::step])))
    return Image(width, height, rows)

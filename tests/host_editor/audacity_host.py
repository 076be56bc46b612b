"""Audacity 3.2 with a private configuration, driven through its scripting
pipe (mod-script-pipe).

The module's pipes have fixed names in /tmp, one pair per user, so only one
scripted Audacity may run per user at a time: a lock file next to them keeps
concurrent test runs apart.

The child process with which Audacity validates a new plug-in also loads the
module and leaves the pipes dead. So a first start, with the module off,
registers the plug-in; the second start, with the module on, is the one that
is scripted."""

import base64
import datetime
import fcntl
import os
import re
import select
import shutil
import time

import processes

AUDACITY = "/usr/bin/audacity"
MODULE = "/usr/lib/audacity/modules/mod-script-pipe.so"
MODULE_OFF, MODULE_ON = 0, 1  # the values of [Module] entries in audacity.cfg
PIPE_BASE = "/tmp/audacity_script_pipe"
LOCK_PATIENCE = 600  # seconds
# Sections of audacity.cfg the test owns; Audacity's own entries are kept.
OWNED_SECTIONS = ("Directories", "GUI", "Update", "Module", "ModulePath", "ModuleDateTime", "ActiveProjects")


class HostError(Exception):
    pass


def installed():
    return os.access(AUDACITY, os.X_OK) and os.path.isfile(MODULE)


class Audacity:
    def __init__(self, work, display, deadline):
        self.work, self.display, self.deadline = work, display, deadline
        self.process = None
        self.lock = None
        self.to_pipe = self.from_pipe = None
        self.pending = b""
        uid = os.getuid()
        self.pipe_paths = (f"{PIPE_BASE}.to.{uid}", f"{PIPE_BASE}.from.{uid}")
        self.plugin_dir = os.path.join(work, "vst")
        self.temp_dir = os.path.join(work, "audacity-temp")
        self.config = os.path.join(work, "config", "audacity", "audacity.cfg")
        self.registry = os.path.join(work, "config", "audacity", "pluginregistry.cfg")
        for folder in (self.plugin_dir, self.temp_dir, os.path.dirname(self.config)):
            os.makedirs(folder, exist_ok=True)
        self.env = dict(display.env, HOME=os.path.join(work, "home"), XDG_CONFIG_HOME=os.path.join(work, "config"),
                        XDG_DATA_HOME=os.path.join(work, "data"), XDG_CACHE_HOME=os.path.join(work, "cache"),
                        TMPDIR=os.path.join(work, "tmp"), VST_PATH=self.plugin_dir, TZ="UTC")
        for var in ("HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"):
            os.makedirs(self.env[var], exist_ok=True)

    # -- set-up -----------------------------------------------------------

    def add_plugin(self, path):
        """Offers the plug-in through a link in the private plug-in folder (VST_PATH)."""
        link = os.path.join(self.plugin_dir, os.path.basename(path))
        os.symlink(os.path.abspath(path), link)
        return link

    def write_config(self, module):
        """audacity.cfg with a private temporary folder, no start-up dialogs and the
        scripting module on or off. Without PrefsVersion Audacity would reset it."""
        kept, owned = [], False
        if os.path.exists(self.config):
            with open(self.config, encoding="utf-8", errors="replace") as f:
                for line in f.read().splitlines():
                    if line.startswith("["):
                        owned = line.strip("[] ") in OWNED_SECTIONS
                    if not owned and not line.startswith("PrefsVersion="):
                        kept.append(line)
        stamp = datetime.datetime.fromtimestamp(os.stat(MODULE).st_mtime, datetime.timezone.utc)
        lines = ["PrefsVersion=1.1.1r1"] + kept + [
            "[Directories]", f"TempDir={self.temp_dir}",
            "[GUI]", "ShowSplashScreen=0",
            "[Update]", "DefaultUpdatesChecking=0", "UpdateNoticeShown=1",
            "[Module]", f"mod-script-pipe={module}",
            "[ModulePath]", f"mod-script-pipe={MODULE}",
            "[ModuleDateTime]", f"mod-script-pipe={stamp.strftime('%Y-%m-%dT%H:%M:%S')}"]
        with open(self.config, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")

    def registration(self, plugin_link):
        """The plug-in's entry in Audacity's registry, None while there is none."""
        if not os.path.exists(self.registry):
            return None
        with open(self.registry, encoding="utf-8", errors="replace") as f:
            for section in f.read().split("\n["):
                if f"Path={plugin_link};" in section:
                    return section
        return None

    # -- running ----------------------------------------------------------

    def start(self):
        # A project left behind in the temporary folder would bring up crash recovery.
        shutil.rmtree(self.temp_dir, ignore_errors=True)
        os.makedirs(self.temp_dir)
        self.process = processes.start([AUDACITY], os.path.join(self.work, "audacity.log"), env=self.env)

    def stop(self):
        # The pipes and the lock are given up only once this Audacity is gone:
        # on its way out it deletes the pipe files, which by then could be the
        # next run's.
        self.close_pipes()
        processes.stop(self.process)
        self.process = None
        self.release_pipes()

    def check_alive(self, windows):
        if self.process.poll() is not None:
            raise HostError(f"Audacity exited with code {self.process.returncode}; see audacity.log")
        for window in windows:
            if "Debug report" in window.name:
                raise HostError("Audacity crashed: it shows its debug report window")

    def register(self, plugin_link):
        self.write_config(MODULE_OFF)
        self.start()

        def done():
            self.check_alive([])
            entry = self.registration(plugin_link)
            if entry and not ("Valid=1" in entry and "Enabled=1" in entry):
                raise HostError(f"Audacity registered the plug-in as unusable:\n{entry}")
            return entry

        self.deadline.wait_for("Audacity registers the plug-in", done, interval=0.5, at_most=120)
        self.stop()

    def start_scripted(self):
        self.acquire_pipes()
        self.write_config(MODULE_ON)
        self.start()

        def open_pipe():
            self.check_alive([])
            try:
                # Opening for writing without a reader fails with ENXIO: not ready yet.
                return os.open(self.pipe_paths[0], os.O_WRONLY | os.O_NONBLOCK)
            except (FileNotFoundError, OSError):
                return None

        self.to_pipe = self.deadline.wait_for("Audacity opens its scripting pipe", open_pipe, at_most=120)
        os.set_blocking(self.to_pipe, True)
        self.from_pipe = self.deadline.wait_for(
            "Audacity makes its answer pipe",
            lambda: os.path.exists(self.pipe_paths[1]) and os.open(self.pipe_paths[1], os.O_RDONLY | os.O_NONBLOCK),
            at_most=30)

        # Commands sent before the project window exists get an empty answer.
        def project_window():
            windows = self.display.windows()
            self.check_alive(windows)
            return any(w.name == "Audacity" and w.width >= 400 for w in windows)

        self.deadline.wait_for("Audacity opens its project window", project_window, at_most=60)

    def acquire_pipes(self):
        """Waits for other scripted Audacity runs of this user, then clears stale pipes."""
        self.lock = open(PIPE_BASE + f".lock.{os.getuid()}", "w")

        def locked():
            try:
                fcntl.flock(self.lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
                return True
            except BlockingIOError:
                return False

        # Time spent queueing behind other runs is not this run's: it extends the
        # time limit, up to LOCK_PATIENCE.
        started = time.monotonic()
        while not locked():
            if time.monotonic() - started > LOCK_PATIENCE:
                raise HostError(f"another scripted Audacity held the pipes for over {LOCK_PATIENCE} s")
            time.sleep(1)
        self.deadline.extend(time.monotonic() - started)
        self.remove_pipes()

    def remove_pipes(self):
        for path in self.pipe_paths:
            if os.path.exists(path):
                os.remove(path)

    def close_pipes(self):
        for fd in (self.to_pipe, self.from_pipe):
            if fd is not None:
                os.close(fd)
        self.to_pipe = self.from_pipe = None

    def release_pipes(self):
        if self.lock:
            self.remove_pipes()
            self.lock.close()  # releases the lock
            self.lock = None

    def send(self, command):
        os.write(self.to_pipe, (command + "\n").encode())

    def command(self, command, timeout=30):
        self.send(command)
        return self.answer(command, timeout)

    def answer(self, command, timeout=30):
        """The answer to a command sent, which ends with a "BatchCommand
        finished" line and an empty line."""
        end = time.monotonic() + timeout
        while b"BatchCommand finished" not in self.pending or not self.pending.rstrip(b" ").endswith(b"\n\n"):
            self.deadline.check(f"waiting for Audacity's answer to {command!r}")
            if time.monotonic() > end:
                raise HostError(f"no answer from Audacity to {command!r} within {timeout} s (got {self.pending!r})")
            self.check_alive([])
            if select.select([self.from_pipe], [], [], 0.2)[0]:
                self.pending += os.read(self.from_pipe, 65536)
        answer, self.pending = self.pending.decode(errors="replace"), b""
        if "BatchCommand finished: OK" not in answer:
            raise HostError(f"Audacity could not run {command!r}:\n{answer.strip()}")
        return answer

    def effect_command(self, plugin_link):
        """The menu command id of the plug-in's effect; ids escape underscores."""
        wanted = plugin_link.replace("_", "\\_")
        menus = self.command("GetInfo: Type=Menus Format=Brief")
        for line in menus.splitlines():
            fields = line.rsplit('"', 2)
            if len(fields) == 3 and fields[1].startswith("Effect_VST_") and wanted in fields[1]:
                return fields[1]
        raise HostError(f"Audacity's menus list no effect for {plugin_link}")

    def effect_parameters(self, which):
        """The plug-in's parameters as Audacity stored them, by name: which is
        "FactoryDefaults" (read at registration) or "CurrentSettings" (saved when
        its dialog closes). None while they are not stored."""
        path = os.path.join(os.path.dirname(self.config), "pluginsettings.cfg")
        if not os.path.exists(path):
            return None
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for section in text.split("\n["):
            header, _, body = section.partition("]")
            m = re.match(r"pluginsettings/base64\\:(\S+)/private/(\w+)$", header)
            if not m or m.group(2) != which:
                continue
            plugin_id = base64.b64decode(m.group(1).replace("\\", "")).decode(errors="replace")
            line = re.search(r"^Parameters=(.*)$", body, re.M)
            if plugin_id.startswith("Effect_VST_") and line:
                return {name: float(value) for name, value in re.findall(r'\s*([^=]+?)="([^"]*)"', line.group(1))}
        return None

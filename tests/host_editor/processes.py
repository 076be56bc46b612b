"""Child processes that cannot outlive the test: each runs in its own process
group, is ended by its id, and gets SIGKILL from the kernel if the driver dies
first (a CTest time-out, a crash of the driver itself)."""

import ctypes
import os
import signal
import subprocess
import time

PR_SET_PDEATHSIG = 1
PR_SET_CHILD_SUBREAPER = 36
_libc = ctypes.CDLL(None, use_errno=True)


class TimeLimit(Exception):
    pass


class Deadline:
    """The hard time limit of the whole test."""

    def __init__(self, seconds):
        self.end = time.monotonic() + seconds
        self.seconds = seconds

    def extend(self, seconds):
        self.end += seconds

    def left(self):
        return self.end - time.monotonic()

    def check(self, doing):
        if self.left() <= 0:
            raise TimeLimit(f"time limit of {self.seconds:.0f} s reached while {doing}")

    def wait_for(self, doing, probe, interval=0.2, at_most=None):
        """Polls probe() until it returns something true, which is returned."""
        end = time.monotonic() + at_most if at_most else None
        while True:
            found = probe()
            if found:
                return found
            self.check(doing)
            if end and time.monotonic() > end:
                raise TimeLimit(f"gave up after {at_most:.0f} s while {doing}")
            time.sleep(interval)


def _die_with_parent():
    os.setsid()
    _libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def start(cmd, log_path=None, env=None, pass_fds=()):
    log = open(log_path, "ab") if log_path else subprocess.DEVNULL
    try:
        return subprocess.Popen(cmd, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                pass_fds=pass_fds, preexec_fn=_die_with_parent)
    finally:
        if log_path:
            log.close()


def stop(process, grace=5.0):
    """Ends the process and everything it started in its group: SIGTERM, then SIGKILL."""
    if process is None or process.returncode is not None:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 10.0)):
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            break
        try:
            process.wait(wait)
            break
        except subprocess.TimeoutExpired:
            continue
    # The group may hold children after its leader exited (a plug-in validator).
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


def adopt_orphans():
    """Makes processes orphaned by our children (the host's helpers) ours, so
    that reap_orphans can collect them instead of leaving them to init."""
    _libc.prctl(PR_SET_CHILD_SUBREAPER, 1)


def reap_orphans(patience=5.0):
    """Collects every child left, after all of them were ended."""
    end = time.monotonic() + patience
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            if time.monotonic() > end:
                return
            time.sleep(0.05)

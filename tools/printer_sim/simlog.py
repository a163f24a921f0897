"""Helpers for tests that drive the printer simulator: start/stop it and follow its event log.

    sim = start_simulator(["--bind", "127.0.0.1", "--listen-port", "41781", "--printer", "..."])
    ...
    ev = sim.wait_for(lambda e: e["event"] == "udp_out", timeout=2)
    sim.stop()

Or with a private network namespace: start_simulator([...], netns=os.environ["KVR_PRINTER_NS"]).
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SIM_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "printer_sim.py")


def _parse_lines(text):
    """Complete lines only: a line still being written (no newline yet) is left for later."""
    events = []
    for line in text.splitlines(keepends=True):
        if line.endswith("\n") and line.strip():
            events.append(json.loads(line))
    return events


def read_events(path, event=None):
    """All events in the log so far; only those named `event` if given."""
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except FileNotFoundError:
        return []
    return [e for e in _parse_lines(text) if event is None or e["event"] == event]


def wait_for(path, predicate, timeout=5.0, count=1, interval=0.01):
    """Waits until `count` events satisfy `predicate`; returns the first (count=1) or the list.
    Raises TimeoutError with what was found so far."""
    deadline = time.monotonic() + timeout
    offset, found = 0, []
    while True:
        try:
            with open(path, "rb") as f:
                f.seek(offset)
                chunk = f.read()
        except FileNotFoundError:
            chunk = b""
        end = chunk.rfind(b"\n") + 1
        offset += end
        found += [e for e in _parse_lines(chunk[:end].decode("utf-8")) if predicate(e)]
        if len(found) >= count:
            return found[0] if count == 1 else found[:count]
        if time.monotonic() >= deadline:
            raise TimeoutError(f"{len(found)} of {count} matching events after {timeout} s")
        time.sleep(interval)


class SimHandle:
    def __init__(self, proc, log_path, ready_path, workdir):
        self.proc, self.log_path, self.ready_path = proc, log_path, ready_path
        self._workdir = workdir

    def events(self, event=None):
        return read_events(self.log_path, event)

    def wait_for(self, predicate, timeout=5.0, count=1):
        return wait_for(self.log_path, predicate, timeout, count)

    def stop(self, timeout=5.0):
        """SIGTERM, then SIGKILL if it does not end in time. Returns the exit code."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        return self.proc.returncode

    def stderr(self):
        with open(os.path.join(self._workdir, "stderr"), errors="replace") as f:
            return f.read()

    def cleanup(self):
        """Stops the simulator and removes its working directory (log included, unless the
        caller chose the log path)."""
        self.stop()
        shutil.rmtree(self._workdir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def start_simulator(args, netns=None, log_path=None, ready_timeout=30.0, python=None):
    """Starts printer_sim.py with `args` (plus --log/--ready-file), optionally inside network
    namespace `netns`, and returns once all its sockets are bound."""
    workdir = tempfile.mkdtemp(prefix="printer_sim_")
    log_path = log_path or os.path.join(workdir, "events.jsonl")
    ready_path = os.path.join(workdir, "ready")
    cmd = [python or sys.executable, SIM_PATH, *args, "--log", log_path,
           "--ready-file", ready_path]
    if netns:
        cmd = ["ip", "netns", "exec", netns, *cmd]
    with open(os.path.join(workdir, "stderr"), "wb") as err:
        proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=err)
    handle = SimHandle(proc, log_path, ready_path, workdir)
    deadline = time.monotonic() + ready_timeout
    while not os.path.exists(ready_path):
        if proc.poll() is not None:
            err = handle.stderr().strip()
            handle.cleanup()
            raise RuntimeError(f"printer_sim exited with {proc.returncode}: {err}")
        if time.monotonic() > deadline:
            handle.cleanup()
            raise TimeoutError("printer_sim did not become ready")
        time.sleep(0.01)
    return handle

"""Starts tools/com_bridge/com_bridge.py for a test or the demo and follows its event log.

    bridge = start_bridge()            # every port of the driver package, in $WINEPREFIX
    bridge.wait_for(lambda e: e["event"] == "map" and e["port"] == "COM3")
    bridge.cleanup()

Runs on the tool side of the private network with KVR_WINE and WINEPREFIX set. The store query
program is KVR_STORE_QUERY_EXE, or the one built beside KVRDRIVE_EXE.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

_tools = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
BRIDGE_PATH = os.path.join(_tools, "com_bridge", "com_bridge.py")
sys.path.insert(0, os.path.join(_tools, "printer_sim"))
import simlog  # noqa: E402  (reads any JSON-lines event log)


def store_query_exe():
    if os.environ.get("KVR_STORE_QUERY_EXE"):
        return os.environ["KVR_STORE_QUERY_EXE"]
    tools_build = os.path.dirname(os.path.dirname(os.environ["KVRDRIVE_EXE"]))
    return os.path.join(tools_build, "com_bridge", "kvrstorequery.exe")


class BridgeHandle:
    def __init__(self, args=(), log_path=None, timeout=30.0):
        self._dir = tempfile.mkdtemp(prefix="com_bridge_")
        self.log_path = log_path or os.path.join(self._dir, "bridge.jsonl")
        ready = os.path.join(self._dir, "ready")
        self._err_path = os.path.join(self._dir, "stderr")
        with open(self._err_path, "wb") as err:
            self.proc = subprocess.Popen(
                [sys.executable, BRIDGE_PATH, "--store-query", store_query_exe(), "--log", self.log_path,
                 "--ready-file", ready, *args], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err)
        deadline = time.monotonic() + timeout
        while not os.path.exists(ready):
            if self.proc.poll() is not None or time.monotonic() > deadline:
                with open(self._err_path, errors="replace") as f:
                    err = f.read().strip()
                self.cleanup()
                raise RuntimeError(f"com_bridge did not start: {err}")
            time.sleep(0.02)

    def events(self, event=None):
        return simlog.read_events(self.log_path, event)

    def wait_for(self, predicate, timeout=5.0, count=1):
        return simlog.wait_for(self.log_path, predicate, timeout, count)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    def cleanup(self):
        self.stop()
        shutil.rmtree(self._dir, ignore_errors=True)


def start_bridge(args=(), log_path=None):
    return BridgeHandle(args, log_path)

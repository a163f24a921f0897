"""Fixture of the end-to-end tests: simulated printers on the printer side of the private network,
kvrconfig.exe under Wine on the tool side, and a window driver to work its windows.

    class T(E2ETestCase):
        def test_x(self):
            s = self.start_session(printers=["mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,port=515"])
            rows = s.search()

Runs inside tools/netns-run.sh and tools/wine/with-prefix.sh (the environment gives
KVR_PRINTER_NS, KVR_PRINTER_IF, KVR_WINE and WINEPREFIX). The programs come from KVRCONFIG_EXE and
KVRDRIVE_EXE. Everything a session starts is ended by close(), also when the test fails.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from driver import Driver, DriverError
from udp_capture import UdpCapture

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "printer_sim"))
import simlog  # noqa: E402  (the simulator's own helpers)

MAIN_TITLE = "KvrLanCom Configuration Tool V1.0.3 "
SEARCH_TITLE = "Searching..."
PROGRAM_NAME = "kvrconfig"

# Controls of the main window (dialog 102) and the search dialog (130).
IDC_SEARCH, IDC_CONFIGURE, IDC_FIRMWARE_UPLOAD, IDC_TEST_PRINT = 1001, 1002, 1003, 1004
IDC_PRINTER_LIST, IDC_PORT_MANAGE, IDC_DETACH_PORT = 1005, 1006, 1007
IDC_SEARCH_STATUS, IDC_FOUND_COUNT = 1010, 1012


def require_environment():
    """Names the missing environment variables, or None when the harness set everything."""
    missing = [v for v in ("KVR_PRINTER_NS", "KVR_PRINTER_IF", "KVR_WINE", "WINEPREFIX",
                           "KVRCONFIG_EXE", "KVRDRIVE_EXE") if not os.environ.get(v)]
    return ", ".join(missing) or None


def start_simulator(printers=(), extra_args=()):
    """Printer simulator in the printer namespace; printers are "key=value,..." descriptions."""
    args = ["--add-addresses", os.environ["KVR_PRINTER_IF"]]
    for p in printers:
        args += ["--printer", p]
    return simlog.start_simulator(args + list(extra_args), netns=os.environ["KVR_PRINTER_NS"])


class KvrconfigSession:
    def __init__(self, printers=(), sim_args=(), cwd=None, exe=None, capture=False):
        self.sim = None
        self.capture = None
        self.program = None
        self.driver = None
        self.main = None
        self.pid = None
        self._own_cwd = cwd is None
        self.cwd = cwd or tempfile.mkdtemp(prefix="kvrconfig_cwd_")
        self._log_path = os.path.join(tempfile.gettempdir(), f"kvrconfig_{os.getpid()}_{id(self)}.log")
        try:
            if capture:
                self.capture = UdpCapture(os.environ["KVR_PRINTER_NS"], os.environ["KVR_PRINTER_IF"])
            if printers or sim_args:
                self.sim = start_simulator(printers, sim_args)
            self.driver = Driver()
            if self.driver.find_window(MAIN_TITLE):
                raise RuntimeError("a main window is already open: an earlier test left it behind")
            exe = exe or os.environ["KVRCONFIG_EXE"]
            with open(self._log_path, "wb") as log:
                self.program = subprocess.Popen([os.environ["KVR_WINE"], exe], cwd=self.cwd,
                                                stdin=subprocess.DEVNULL, stdout=log, stderr=log)
            try:
                self.main, self.pid = self.driver.wait_started(self.program, MAIN_TITLE)
            except DriverError as e:
                raise RuntimeError(f"kvrconfig.exe showed no main window ({e}); exit code "
                                   f"{self.program.poll()}, output: {self.program_output()!r}") from None
        except BaseException:
            self.close()
            raise

    # ----- what the tests do most -------------------------------------------------------------

    def open_search(self):
        """Presses "STEP 1 - Printer Search"; the search dialog's window once it shows."""
        self.driver.click(self.main, IDC_SEARCH)
        dialog, _ = self.driver.wait_window(SEARCH_TITLE, 5, self.pid)
        return dialog

    def search(self, timeout=10.0):
        """One whole search; the list's rows afterwards."""
        dialog = self.open_search()
        self.driver.wait_gone(dialog, timeout)
        return self.rows()

    def rows(self):
        return self.driver.lv_cells(self.main, IDC_PRINTER_LIST)

    def message_box(self, timeout=5.0):
        return self.driver.wait_message_box(self.pid, timeout)

    def no_message_box(self, within=0.5):
        return self.driver.message_box_or_none(self.pid, within) is None

    def running(self):
        return self.program is not None and self.program.poll() is None

    def wait_exit(self, timeout=10.0):
        """The program's exit, after its main window is gone; False when it is still running."""
        try:
            self.program.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop_simulator(self):
        """No printer answers from now on."""
        if self.sim is not None:
            self.sim.cleanup()
            self.sim = None

    def sim_events(self, event=None):
        return self.sim.events(event) if self.sim else []

    def program_output(self):
        try:
            with open(self._log_path, "rb") as f:
                return f.read().decode("latin-1")
        except OSError:
            return ""

    # ----- teardown ---------------------------------------------------------------------------

    def close(self):
        """Ends the program, the driver and the simulator; safe to call more than once."""
        try:
            if self.program is not None and self.program.poll() is None:
                self.program.send_signal(signal.SIGKILL)
                self.program.wait(10)
            if self.driver is not None and self.pid is not None:
                self._wait_windows_gone()
        finally:
            if self.driver is not None:
                self.driver.close()
                self.driver = None
            self.stop_simulator()
            if self.capture is not None:
                self.capture.cleanup()
                self.capture = None
            if self._own_cwd:
                shutil.rmtree(self.cwd, ignore_errors=True)
            try:
                os.unlink(self._log_path)
            except OSError:
                pass

    def _wait_windows_gone(self, timeout=5.0):
        deadline = time.monotonic() + timeout
        while self.driver.windows(self.pid):
            if time.monotonic() > deadline:
                raise RuntimeError(f"windows of process {self.pid} remain after it ended")
            time.sleep(0.05)


class E2ETestCase(unittest.TestCase):
    """Skips when not run by the harness; every session started is closed after the test."""

    def setUp(self):
        missing = require_environment()
        if missing:
            self.skipTest(f"needs the end-to-end harness (missing {missing})")

    def start_session(self, printers=(), **kwargs):
        session = KvrconfigSession(printers, **kwargs)
        self.addCleanup(session.close)
        return session

    def assertMessageBox(self, box, text, caption=PROGRAM_NAME, icon="exclamation", buttons=((1, "OK"),)):
        self.assertEqual((box.caption, box.text, box.icon, [tuple(b) for b in box.buttons]),
                         (caption, text, icon, list(buttons)))

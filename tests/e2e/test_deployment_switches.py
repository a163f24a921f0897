"""kvrconfig.exe's switches run from a batch file, in a prefix of their own where
kvrlancom-setup.exe /S installed the package (port COM3): /bind writes what Save writes, /list shows
it, the main window's row shows COM3 after a search, the test page reaches the printer through the
COM bridge, /unbind removes it. Refusals write nothing; no switch opens a window or sends a datagram.
The steps run with --inside and report what they saw as one JSON line."""

import json
import os
import re
import subprocess
import sys
import threading
import time
import unittest

from deployment import batch_run, prefix_path, report_from_own_prefix, setup_package

TOOL = "C:\\windows\\KELVARO\\KVRLANCOM\\kvrconfig.exe"
STORE = r"HKEY_LOCAL_MACHINE\SOFTWARE\KELVARO\TCPSIO"
MAC, PRINTER = "00:1a:2b:3d:4e:5f", "192.168.250.10"


def switch(arguments):
    # Not through `start`: Wine's is a program of its own that hands the tool no output to write to.
    return batch_run(f'"{TOOL}" {arguments}')


def store(key=""):
    """What `reg query /s` shows of the store or one binding; None when the key does not exist."""
    code, text = batch_run(f'reg query "{STORE}{key}" /s')
    return text if code == 0 else None


def inside():
    from bridge import start_bridge
    from driver import Driver
    from registry import import_reg, ip_dword
    from session import KvrconfigSession
    from typical_run import TEST_PAGE_SIZE, TypicalRun, expected_test_page
    from udp_capture import UdpCapture

    seen = {"setup_exit": subprocess.run([os.environ["KVR_WINE"], setup_package(), "/S"],
                                         capture_output=True).returncode}
    # A leftover in COM3's key, which Save's replacement drops; COM5 binds the printer on a port
    # the package no longer has.
    import_reg([(f"{STORE}\\COM3", {"Leftover": 1}),
                (f"{STORE}\\COM5", {"IPAddress": ip_dword(PRINTER), "Port_": 9100, "Port": 0x8C23})])
    capture = UdpCapture(os.environ["KVR_PRINTER_NS"], os.environ["KVR_PRINTER_IF"])
    windows, done = set(), threading.Event()
    with Driver() as driver:
        def watch():   # every visible top-level window while the switches run
            while not done.wait(0.02):
                windows.update(title for _, title, visible in driver.windows(0) if visible)
        watcher = threading.Thread(target=watch)
        watcher.start()
        seen["bind"] = switch(f"/bind COM3 {PRINTER} 9100")
        seen["com3"], seen["list"] = store("\\COM3"), switch("/list")
        before = store()
        seen["refused"] = [switch(a) for a in ("/bind COM3 192.168.250 9100", f"/bind COM3 {PRINTER} 0", "/bind COM3",
                                               f"/bind COM9 {PRINTER} 9100")]
        seen["refusals_wrote"] = store() != before
        done.set()
        watcher.join()
    seen["windows"], switched = sorted(windows), time.monotonic()

    bridge = start_bridge()
    session = KvrconfigSession([f"mac={MAC},ip={PRINTER},port=9100"], cwd=os.path.dirname(prefix_path(TOOL)),
                               exe=prefix_path(TOOL))
    try:
        run = TypicalRun(session.driver, session.main, session.pid, session.sim.log_path, bridge.log_path)
        run.wait_bridged("COM3")
        seen["rows"] = [row[1:] for row in run.search()]
        seen["print"], clicked = run.test_print(MAC)
        page, _ = run.printer_received(f"{PRINTER}:9100", clicked, TEST_PAGE_SIZE)
        seen["page_received"] = page == expected_test_page("COM3")
    finally:
        session.close()
        bridge.cleanup()

    unbinding = time.monotonic()
    seen["unbind"] = [switch("/unbind COM3"), switch("/unbind com5"), store("\\COM3"), switch("/list")]
    # The search between the two rounds of switches broadcasts; nothing else may send.
    seen["datagrams"] = [d for d in capture.datagrams() if not switched < d["t"] < unbinding]
    capture.cleanup()
    print(json.dumps(seen), flush=True)


class DeploymentSwitches(unittest.TestCase):
    def setUp(self):
        missing = [v for v in ("KVR_WINE", "WINEPREFIX", "KVR_SETUP_DIR", "KVRDRIVE_EXE", "KVR_PRINTER_NS")
                   if not os.environ.get(v)]
        if missing:
            self.skipTest(f"needs the end-to-end harness (missing {', '.join(missing)})")

    def test_bind_list_print_unbind_in_a_prefix_set_up_silently(self):
        seen = report_from_own_prefix(__file__)
        self.assertEqual(seen["setup_exit"], 0)
        self.assertEqual(seen["bind"], [0, f"COM3 bound to {PRINTER} 9100\r\n"])
        # Exactly Save's three values (reg lists them by name) in the replaced key.
        self.assertEqual(re.findall(r"^\s+(\S+)\s+(REG_\w+)\s+(\S+)", seen["com3"], re.M),
                         [("IPAddress", "REG_DWORD", "0xafaa8c0"), ("Port", "REG_DWORD", "0x8c23"),
                          ("Port_", "REG_DWORD", "0x238c")])
        self.assertEqual(seen["list"], [0, f"COM3      {PRINTER} 9100\r\n"
                                           f"COM5      {PRINTER} 9100 (port no longer exists)\r\n"])
        self.assertEqual([code for code, _ in seen["refused"]], [87, 87, 87, 2], seen["refused"])
        self.assertIn("Usage: kvrconfig.exe", seen["refused"][2][1])
        self.assertIn("COM9 is not a port of the package (its ports: COM3)", seen["refused"][3][1])
        self.assertFalse(seen["refusals_wrote"])
        self.assertEqual(seen["windows"], [], "a switch opens no window")

        self.assertIn([MAC, PRINTER, "9100", "COM3"], seen["rows"])
        self.assertEqual(seen["print"], "Printer Test Success!!!")
        self.assertTrue(seen["page_received"], "the test page reached the printer through the bridge")
        self.assertEqual(seen["unbind"], [[0, "COM3 unbound\r\n"], [0, "COM5 unbound\r\n"], None,
                                          [0, "COM3      Not Assigned\r\n"]])
        self.assertEqual(seen["datagrams"], [], "no switch sends anything")


if __name__ == "__main__":
    if "--inside" in sys.argv:
        inside()
    else:
        unittest.main()

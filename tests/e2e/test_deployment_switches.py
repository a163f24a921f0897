"""kvrconfig.exe's switches for deployment scripts, in a prefix where kvrlancom-setup.exe /S has
installed the package (port COM3): /bind writes what the configuration dialog's Save writes, /list
shows it, the tool's window then shows COM3 in the printer's row and the test page reaches the
printer through the COM bridge; /unbind removes it. Refusals write nothing, and no switch opens a
window or sends a datagram.

Runs itself with --inside in a throwaway prefix of its own (tools/wine/with-prefix.sh, nested in
the test's one) and reports what it saw there as one JSON line."""

import json
import os
import re
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from deployment import prefix_path, report_from_own_prefix, setup_package

TOOL = "C:\\windows\\KELVARO\\KVRLANCOM\\kvrconfig.exe"
STORE = r"HKEY_LOCAL_MACHINE\SOFTWARE\KELVARO\TCPSIO"
MAC, PRINTER = "00:1a:2b:3d:4e:5f", "192.168.250.10"


def reg_query(*args):
    with tempfile.TemporaryDirectory(prefix="kvr_reg_") as folder:   # no reg.exe of ours in the way
        run = subprocess.run([os.environ["KVR_WINE"], "reg", "query", *args], cwd=folder,
                             stdin=subprocess.DEVNULL, capture_output=True)
    return run.stdout.decode("latin-1") if run.returncode == 0 else None


def switch(arguments):
    """Runs the tool as a deployment script does: (whole exit code, what it printed)."""
    with tempfile.TemporaryDirectory(prefix="kvr_run_", dir=prefix_path("C:\\")) as folder:
        with open(os.path.join(folder, "run.bat"), "w", newline="\r\n") as f:
            # A batch file waits for a windowed program it runs; Wine's start.exe would hand the
            # program no output to write to.
            f.write(f'@echo off\n"{TOOL}" {arguments}\necho exit=%errorlevel%\n')
        run = subprocess.run([os.environ["KVR_WINE"], "cmd", "/c", "C:\\" + os.path.basename(folder) + "\\run.bat"],
                             cwd=folder, stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
    text = run.stdout.decode("latin-1")
    code = re.search(r"^exit=(\d+)", text, re.M)
    return (int(code.group(1)), text[:code.start()]) if code else (None, text)


def watch_windows(driver, seen, stop):
    """Every visible top-level window that shows up while the switches run."""
    while not stop.is_set():
        seen.update(title for _, title, visible in driver.windows(0) if visible)
        time.sleep(0.02)


def inside():
    from bridge import start_bridge
    from driver import Driver
    from registry import import_reg, ip_dword
    from session import KvrconfigSession
    from typical_run import TEST_PAGE_SIZE, TypicalRun, expected_test_page
    from udp_capture import UdpCapture

    seen = {"setup_exit": subprocess.run([os.environ["KVR_WINE"], setup_package(), "/S"],
                                         stdin=subprocess.DEVNULL, capture_output=True).returncode}
    printer = {"IPAddress": ip_dword(PRINTER), "Port_": 9100, "Port": 0x8C23}
    # COM3's key holds a leftover that Save's replacement drops; COM5 binds the same printer on a
    # port the package no longer has.
    import_reg([(f"{STORE}\\COM3", {"Leftover": 1}), (f"{STORE}\\COM5", printer)])
    capture = UdpCapture(os.environ["KVR_PRINTER_NS"], os.environ["KVR_PRINTER_IF"])
    windows, stop = set(), threading.Event()
    with Driver() as driver:
        watcher = threading.Thread(target=watch_windows, args=(driver, windows, stop))
        watcher.start()
        try:
            seen["bind"] = switch(f"/bind COM3 {PRINTER} 9100")
            seen["com3"] = reg_query(f"{STORE}\\COM3", "/s")
            seen["list"] = switch("/list")
            before = reg_query(STORE, "/s")
            seen["refused"] = {a: switch(a) for a in ("/bind COM3 192.168.250 9100", f"/bind COM3 {PRINTER} 0",
                                                      "/bind COM3", f"/bind COM9 {PRINTER} 9100")}
            seen["refusals_wrote"] = reg_query(STORE, "/s") != before
        finally:
            stop.set()
            watcher.join()
    switched = time.monotonic()
    seen["windows"] = sorted(windows)

    bridge = start_bridge()
    session = KvrconfigSession([f"mac={MAC},ip={PRINTER},port=9100"], cwd=os.path.dirname(prefix_path(TOOL)),
                               exe=prefix_path(TOOL))
    try:
        typical = TypicalRun(session.driver, session.main, session.pid, session.sim.log_path, bridge.log_path)
        typical.wait_bridged("COM3")
        seen["rows"] = [row[1:] for row in typical.search()]
        seen["print"], clicked = typical.test_print(MAC)
        received, _ = typical.printer_received(f"{PRINTER}:9100", clicked, TEST_PAGE_SIZE)
        seen["page_received"] = received == expected_test_page("COM3")
    finally:
        session.close()
        bridge.cleanup()

    unbinding = time.monotonic()
    seen["unbind"] = [switch("/unbind COM3"), switch("/unbind com5")]
    seen["after"] = [reg_query(f"{STORE}\\COM3") is not None, switch("/list")]
    # The search between the two rounds of switches broadcasts; nothing else may.
    seen["datagrams"] = [d for d in capture.datagrams() if d["t"] <= switched or d["t"] >= unbinding]
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
        # Exactly Save's three values (reg lists them by name), in the replaced key.
        self.assertEqual(re.findall(r"^\s+(\S+)\s+(REG_\w+)\s+(\S+)", seen["com3"], re.M),
                         [("IPAddress", "REG_DWORD", "0xafaa8c0"), ("Port", "REG_DWORD", "0x8c23"),
                          ("Port_", "REG_DWORD", "0x238c")])
        self.assertEqual(seen["list"], [0, f"COM3      {PRINTER} 9100\r\n"
                                               f"COM5      {PRINTER} 9100 (port no longer exists)\r\n"])
        refused = seen["refused"]
        for arguments, code in ((f"/bind COM3 192.168.250 9100", 87), (f"/bind COM3 {PRINTER} 0", 87),
                                ("/bind COM3", 87), (f"/bind COM9 {PRINTER} 9100", 2)):
            self.assertEqual(refused[arguments][0], code, refused[arguments])
        self.assertIn("Usage: kvrconfig.exe", refused["/bind COM3"][1])
        self.assertIn("COM9 is not a port of the package (its ports: COM3)", refused[f"/bind COM9 {PRINTER} 9100"][1])
        self.assertFalse(seen["refusals_wrote"])
        self.assertEqual(seen["windows"], [], "a switch opens no window")

        self.assertIn([MAC, PRINTER, "9100", "COM3"], seen["rows"])
        self.assertEqual(seen["print"], "Printer Test Success!!!")
        self.assertTrue(seen["page_received"], "the test page reached the printer through the bridge")

        self.assertEqual(seen["unbind"], [[0, "COM3 unbound\r\n"], [0, "COM5 unbound\r\n"]])
        self.assertEqual(seen["after"], [False, [0, "COM3      Not Assigned\r\n"]])
        self.assertEqual(seen["datagrams"], [], "no switch sends anything")


if __name__ == "__main__":
    if "--inside" in sys.argv:
        inside()
    else:
        unittest.main()

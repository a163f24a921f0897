"""The user's typical run end to end through the COM bridge, the stand-in for the driver's data
path: a port from the driver package, search, configure the printer on COM3, the row shows COM3,
the test page reaches the simulated printer bound in the store; after detach nothing more does.
The same steps as the headless demo (tools/e2e/typical_run.py)."""

import os
import shutil
import tempfile
import time
import unittest

from bridge import start_bridge
from registry import PortBindings, delete_key, subkeys
from session import E2ETestCase
from typical_run import TEST_PAGE_SIZE, TypicalRun, expected_test_page

PORTS = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\Root\PORTS"
MAC = "00:1a:2b:3d:4e:5f"
PRINTERS = [f"mac={MAC},ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,port=515,baud=9600,fw=1.10",
            "mac=00:1a:2b:3d:4e:60,ip=192.168.0.11,mask=255.255.255.0,gw=192.168.0.1,port=9100,baud=115200,fw=1.10",
            "mac=00:1a:2b:3d:4e:61,ip=0.0.0.0,port=9100,baud=19200,fw=1.9,dhcp=1"]
PACKAGE_FILES = ("kvrlancom.INF", "kvrlancom_portname.dll")


class TypicalRunThroughTheBridge(E2ETestCase):
    def setUp(self):
        super().setUp()
        store = PortBindings()
        self.addCleanup(store.restore)
        devices = set(subkeys(PORTS))
        self.addCleanup(lambda: [delete_key(f"{PORTS}\\{d}") for d in set(subkeys(PORTS)) - devices])
        self.folder = tempfile.mkdtemp(prefix="kvr_package_")
        self.addCleanup(shutil.rmtree, self.folder, True)
        package = os.path.join(os.path.dirname(os.path.dirname(os.environ["KVRCONFIG_EXE"])), "driver_package")
        for name in PACKAGE_FILES:
            shutil.copy(os.path.join(package, name), self.folder)
        self.bridge = start_bridge()
        self.addCleanup(self.bridge.cleanup)

    def test_the_test_page_reaches_the_bound_printer_and_after_detach_nothing_does(self):
        s = self.start_session(PRINTERS, cwd=self.folder)
        run = TypicalRun(s.driver, s.main, s.pid, s.sim.log_path, self.bridge.log_path)
        self.assertEqual(run.ensure_port(), (["COM3"], "Add port Success!"))
        run.wait_bridged("COM3")

        rows = run.search()
        self.assertIn([MAC, "192.168.0.10", "515", "Not Assigned"], [r[1:] for r in rows])
        self.assertEqual(len(rows), 3)
        text, rows = run.configure(MAC, "COM3")
        self.assertEqual(text, "Succeeded to save information!")
        self.assertIn([MAC, "192.168.0.10", "515", "COM3"], [r[1:] for r in rows])

        text, clicked = run.test_print(MAC)
        self.assertEqual(text, "Printer Test Success!!!")
        received, receipt = run.printer_received("192.168.0.10:515", clicked, TEST_PAGE_SIZE)
        self.assertEqual(received, expected_test_page("COM3"))
        accepted = [e["local"] for e in s.sim_events("tcp_accept") if e["t"] >= clicked]
        self.assertEqual(accepted, ["192.168.0.10:515"], "one connection, to the bound printer only")
        closed = s.sim.wait_for(lambda e: e["event"] == "tcp_close" and e["t"] >= clicked, timeout=2)
        self.assertEqual(closed["total"], TEST_PAGE_SIZE, "the job ends when the tool closes the port")
        first, sent, lookup, connect = run.bridge_timing("COM3", clicked)
        print(f"click to receipt {(receipt - clicked) * 1000:.1f} ms; bridge {(sent - first) * 1000:.1f} ms "
              f"(lookup {lookup} ms, connect {connect} ms)")
        self.assertLess(receipt - clicked, 1.0, "the bridge forwards at once, not when the store is saved")

        self.assertEqual(run.detach(MAC)[4], "Not Assigned")
        detached = time.monotonic()
        text, _ = run.test_print(MAC)
        self.assertEqual(text, "Not assigned!!!")
        time.sleep(0.5)
        self.assertEqual([e for e in s.sim_events() if e["event"].startswith("tcp_") and e["t"] >= detached], [])
        self.assertEqual([e for e in self.bridge.events("data") if e["t"] >= detached], [])


if __name__ == "__main__":
    unittest.main()

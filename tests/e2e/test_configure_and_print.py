"""STEP 2 and STEP 3 end to end, as a user goes through them: search, choose the printer, configure
it and bind COM3, see the automatic second search list it on COM3 with its new settings, print the
test page through COM3, detach the port.

There is no serial driver under Wine: COM3 is a pseudo-terminal whose far end is captured, which
shows exactly what the tool wrote to the port."""

import os
import subprocess
import tempfile
import time
import unittest

from registry import PortBindings, STORE, key_exists
from typical_run import expected_test_page
from session import E2ETestCase, IDC_CONFIGURE, IDC_DETACH_PORT, IDC_PRINTER_LIST, IDC_TEST_PRINT, SEARCH_TITLE

CONFIG_TITLE = "Printer Configuration Setup"
IDOK = 1
IDC_PORT_LIST, IDC_IP_ADDRESS, IDC_LOCAL_PORT, IDC_BAUD_RATE, IDC_FIRMWARE_VERSION = 1014, 1015, 1018, 1021, 1022
PORTS = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\Root\PORTS"
INSTANCE = "KVRE2E03"
PRINTER = "mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,port=515,baud=0x10,fw=1.10"


def _reg(*args):
    # From an empty folder: a reg.exe in the current folder would be taken instead of Wine's.
    with tempfile.TemporaryDirectory(prefix="kvr_reg_") as folder:
        return subprocess.run([os.environ["KVR_WINE"], "reg", *args], cwd=folder,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


class CapturedComPort:
    """The prefix's COMn on a pseudo-terminal; what reaches it is read by captured()."""

    def __init__(self, name):
        self.folder = tempfile.mkdtemp(prefix="kvr_com_")
        self.link = os.path.join(os.environ["WINEPREFIX"], "dosdevices", name.lower())
        self.saved = os.readlink(self.link) if os.path.islink(self.link) else None
        pty = os.path.join(self.folder, "pty")
        # Not "comN.bin": the tool never opens it, but a name whose stem is a device name is that device.
        self.file = os.path.join(self.folder, "captured.bin")
        self.socat = subprocess.Popen(["socat", "-u", f"PTY,link={pty},raw,echo=0", f"CREATE:{self.file}"],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 5
        while not os.path.exists(pty):
            if time.monotonic() > deadline:
                self.close()
                raise RuntimeError("socat made no pseudo-terminal")
            time.sleep(0.01)
        if os.path.lexists(self.link):
            os.unlink(self.link)
        os.symlink(pty, self.link)

    def captured(self, size, timeout=3.0):
        deadline = time.monotonic() + timeout
        while os.path.getsize(self.file) < size and time.monotonic() < deadline:
            time.sleep(0.01)
        time.sleep(0.1)
        with open(self.file, "rb") as f:
            return f.read()

    def close(self):
        if os.path.lexists(self.link):
            os.unlink(self.link)
        if self.saved is not None:
            os.symlink(self.saved, self.link)
        self.socat.terminate()
        self.socat.wait(5)
        subprocess.run(["rm", "-rf", self.folder])


class ConfigureAndPrint(E2ETestCase):
    def setUp(self):
        super().setUp()
        store = PortBindings()
        self.addCleanup(store.restore)
        self.addCleanup(_reg, "delete", f"{STORE}\\COM3", "/f")
        self.assertEqual(_reg("add", f"{PORTS}\\{INSTANCE}\\Device Parameters", "/v", "PortName", "/d", "COM3", "/f"), 0)
        self.addCleanup(_reg, "delete", f"{PORTS}\\{INSTANCE}", "/f")
        com3 = CapturedComPort("COM3")
        self.addCleanup(com3.close)
        self.com3 = com3

    def test_configure_bind_print_and_detach(self):
        s = self.start_session([PRINTER])
        d = s.driver
        self.assertEqual(s.search(), [["1", "00:1a:2b:3d:4e:5f", "192.168.0.10", "515", "Not Assigned"]])
        d.lv_select(s.main, IDC_PRINTER_LIST, 0)

        # STEP 2: the dialog shows what the printer reported; bind COM3 and move it to port 9100.
        d.click(s.main, IDC_CONFIGURE)
        dialog, _ = d.wait_window(CONFIG_TITLE, 5, s.pid)
        self.assertEqual(d.ip_get(dialog, IDC_IP_ADDRESS), ("192.168.0.10", 4))
        self.assertEqual(d.text(dialog, IDC_LOCAL_PORT), "515")
        self.assertEqual(d.text(dialog, IDC_FIRMWARE_VERSION), "1.10")
        self.assertEqual(d.combo_selection(dialog, IDC_BAUD_RATE), -1, "code 0x10 selects no rate")
        d.combo_select(dialog, IDC_PORT_LIST, d.combo_items(dialog, IDC_PORT_LIST).index("COM3"))
        d.set_text(dialog, IDC_LOCAL_PORT, "9100")
        d.click(dialog, IDOK)

        box = s.message_box()
        self.assertMessageBox(box, "Succeeded to save information!", caption="Success", icon="none")
        d.press(box)
        answered = time.monotonic()
        d.wait_gone(dialog, 5)
        sett = [e["hex"] for e in s.sim_events("udp_in") if e["hex"].startswith("53455454")]
        self.assertEqual(sett, ["53455454" "001a2b3d4e5f" "c0a8000a" "ffffff00" "c0a80001" "238c" "a0" "010a" "00" "0000"])

        # Two seconds later the tool searches again by itself; the row shows the new port and COM3.
        search, _ = d.wait_window(SEARCH_TITLE, 6, s.pid)
        self.assertGreaterEqual(time.monotonic() - answered, 1.8)
        d.wait_gone(search, 10)
        self.assertEqual(s.rows(), [["1", "00:1a:2b:3d:4e:5f", "192.168.0.10", "9100", "COM3"]])

        # STEP 3: the test page through COM3, byte for byte.
        d.lv_select(s.main, IDC_PRINTER_LIST, 0)
        d.click(s.main, IDC_TEST_PRINT)
        box = s.message_box()
        self.assertMessageBox(box, "Printer Test Success!!!")
        d.press(box)
        self.assertEqual(self.com3.captured(195), expected_test_page("COM3"))

        # Detach: silently, the cell and the binding go; a test print then has no port.
        d.click(s.main, IDC_DETACH_PORT)
        self.assertTrue(s.no_message_box(0.5))
        self.assertEqual(s.rows()[0][4], "Not Assigned")
        self.assertFalse(key_exists(f"{STORE}\\COM3"))
        d.click(s.main, IDC_TEST_PRINT)
        box = s.message_box()
        self.assertMessageBox(box, "Not assigned!!!")
        d.press(box)
        self.assertEqual(len(self.com3.captured(196, timeout=0.3)), 195)


if __name__ == "__main__":
    unittest.main()

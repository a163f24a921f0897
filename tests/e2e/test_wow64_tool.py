"""The 32-bit (i686) tool in a 64-bit prefix, as on 64-bit Windows: "Add Port" says which program
to run instead of failing silently, and a binding it saves lands where the 64-bit tool (and the
driver) read it. Only where this machine runs 32-bit code and the prefix is 64-bit; the i686 tool is
worked by the i686 window driver, whose list-view messages match its structures."""

import os
import re
import subprocess
import tempfile
import time
import unittest

from deployment import machine_runs_32bit_code
from registry import PortBindings, STORE
from session import E2ETestCase, IDC_CONFIGURE, IDC_PORT_MANAGE, IDC_PRINTER_LIST, PROGRAM_NAME

PORT_MANAGE_TITLE = "KVR Virtual Port for ethernet Management"
CONFIG_TITLE = "Printer Configuration Setup"
IDOK, IDC_ADD_PORT, IDC_PORT_LIST = 1, 1024, 1014
PORTS = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\Root\PORTS"
INSTANCE = "KVRE2E64"
PRINTER = "mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,port=515,baud=0x10,fw=1.10"


def _reg(*args):
    with tempfile.TemporaryDirectory(prefix="kvr_reg_") as folder:   # no reg.exe of ours in the way
        run = subprocess.run([os.environ["KVR_WINE"], "reg", *args], cwd=folder, capture_output=True)
    return run.returncode, run.stdout.decode("latin-1")


def package_devices():
    return len(re.findall(r"HardwareId\s+REG_MULTI_SZ\s+kelvaro\\tcpsio", _reg("query", PORTS, "/s")[1]))


class Wow64Tool(E2ETestCase):
    def setUp(self):
        super().setUp()
        if os.environ.get("WINEARCH") != "win64" or not machine_runs_32bit_code():
            self.skipTest("needs a 64-bit prefix on a machine that runs 32-bit code")
        build = os.environ.get("KVR_I686_BUILD", "")
        self.tool = os.path.join(build, "config_tool", "kvrconfig.exe")
        self.window_driver = os.path.join(build, "tools", "windrive", "kvrdrive.exe")
        self.package = os.path.join(build, "driver_package")
        if not (os.path.exists(self.tool) and os.path.exists(self.window_driver)):
            self.skipTest(f"no i686 build at {build!r}")
        store = PortBindings()
        self.addCleanup(store.restore)
        self.addCleanup(_reg, "delete", f"{STORE}\\COM3", "/f")
        self.assertEqual(_reg("add", f"{PORTS}\\{INSTANCE}\\Device Parameters", "/v", "PortName", "/d", "COM3",
                              "/f")[0], 0)
        self.addCleanup(_reg, "delete", f"{PORTS}\\{INSTANCE}", "/f")

    def start_i686(self, printers=()):
        default_driver = os.environ["KVRDRIVE_EXE"]
        os.environ["KVRDRIVE_EXE"] = self.window_driver
        try:
            return self.start_session(printers, exe=self.tool, cwd=self.package)
        finally:
            os.environ["KVRDRIVE_EXE"] = default_driver

    def test_add_port_names_the_64_bit_tool_and_adds_nothing(self):
        s = self.start_i686()
        d = s.driver
        before = package_devices()
        d.click(s.main, IDC_PORT_MANAGE)
        dialog, _ = d.wait_window(PORT_MANAGE_TITLE, 5, s.pid)
        d.click(dialog, IDC_ADD_PORT)
        box = s.message_box()
        self.assertEqual(box.caption, PROGRAM_NAME)
        self.assertIn("64-bit kvrconfig.exe", box.text)
        d.press(box)
        self.assertEqual(package_devices(), before)

    def test_a_binding_the_32_bit_tool_saves_is_what_the_64_bit_tool_reads(self):
        s = self.start_i686([PRINTER])
        d = s.driver
        self.assertEqual(s.search()[0][4], "Not Assigned")
        d.lv_select(s.main, IDC_PRINTER_LIST, 0)
        d.click(s.main, IDC_CONFIGURE)
        dialog, _ = d.wait_window(CONFIG_TITLE, 5, s.pid)
        d.combo_select(dialog, IDC_PORT_LIST, d.combo_items(dialog, IDC_PORT_LIST).index("COM3"))
        d.click(dialog, IDOK)
        d.press(s.message_box())   # "Succeeded to save information!"
        d.wait_gone(dialog, 5)
        time.sleep(3)              # the tool's own second search, then it is closed
        s.close()

        # The 64-bit registry view holds it; the 32-bit programs' own view does not.
        self.assertEqual(_reg("query", f"{STORE}\\COM3")[0], 0)
        self.assertNotEqual(_reg("query", r"HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\KELVARO\TCPSIO\COM3")[0], 0)
        other = self.start_session([PRINTER])
        self.assertEqual(other.search()[0][4], "COM3")


if __name__ == "__main__":
    unittest.main()

"""The main window's "Port Management": the port management dialog of the real kvrconfig.exe adds a
virtual port from the stand-in driver package in the program's current directory, lists it, and
deletes all of them again."""

import os
import re
import shutil
import tempfile
import unittest

from driver import IDOK
from session import E2ETestCase, IDC_PORT_MANAGE

PORT_TITLE = "KVR Virtual Port for ethernet Management"
IDC_PORT_LIST, IDC_ADD_PORT, IDC_DELETE_ALL_PORT = 1014, 1024, 1025
PACKAGE_FILES = ("kvrlancom.INF", "kvrlancom_portname.dll")


def package_folder():
    """The build assembles the stand-in package in <build>/driver_package, beside config_tool/."""
    return os.path.join(os.path.dirname(os.path.dirname(os.environ["KVRCONFIG_EXE"])), "driver_package")


class PortManagement(E2ETestCase):
    def start_in(self, with_package):
        folder = tempfile.mkdtemp(prefix="kvr_port_mgmt_")
        self.addCleanup(shutil.rmtree, folder, True)
        if with_package:
            for name in PACKAGE_FILES:
                shutil.copy(os.path.join(package_folder(), name), folder)
        s = self.start_session(cwd=folder)
        s.driver.click(s.main, IDC_PORT_MANAGE)
        dialog, _ = s.driver.wait_window(PORT_TITLE, 10, s.pid)
        return s, dialog

    def ports(self, s, dialog):
        return s.driver.combo_items(dialog, IDC_PORT_LIST)

    def test_add_port_lists_the_new_port_and_delete_all_port_takes_it_away(self):
        s, dialog = self.start_in(with_package=True)
        before = self.ports(s, dialog)
        s.driver.click(dialog, IDC_ADD_PORT)
        box = s.message_box(timeout=60)
        self.assertMessageBox(box, "Add port Success!")
        s.driver.press(box)
        added = [name for name in self.ports(s, dialog) if name not in before]
        self.assertEqual(len(added), 1, self.ports(s, dialog))
        self.assertRegex(added[0], r"^COM\d+$")
        self.assertEqual(s.driver.combo_selection(dialog, IDC_PORT_LIST), 0)

        s.driver.click(dialog, IDC_DELETE_ALL_PORT)
        self.assertTrue(s.no_message_box(within=2.0))
        self.assertNotIn(added[0], self.ports(s, dialog))

        s.driver.click(dialog, IDOK)  # "Exit"
        s.driver.wait_gone(dialog, 5)
        self.assertTrue(s.running())

    def test_without_the_inf_in_the_current_directory_add_port_does_nothing(self):
        s, dialog = self.start_in(with_package=False)
        before = self.ports(s, dialog)
        s.driver.click(dialog, IDC_ADD_PORT)
        self.assertTrue(s.no_message_box(within=2.0))
        self.assertEqual(self.ports(s, dialog), before)


if __name__ == "__main__":
    unittest.main()

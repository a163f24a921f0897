"""The "Assign Info" column: the COM port that the port assignment store binds to each listed
printer's address, looked up when the list is filled."""

import unittest

from registry import PortBindings
from session import E2ETestCase

PRINTERS = ["mac=00:1a:2b:3d:4e:5f,ip=192.168.0.100,port=9100,delay_ms=0",
            "mac=00:1a:2b:3d:4e:60,ip=0.0.0.0,port=9100,delay_ms=100",
            "mac=00:1a:2b:3d:4e:61,ip=192.168.0.12,port=515,delay_ms=200",
            "mac=00:1a:2b:3d:4e:62,ip=192.168.0.13,port=515,delay_ms=300"]


class AssignInfo(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.store = PortBindings()
        self.addCleanup(self.store.restore)
        self.store.bind("COM4", "192.168.0.100")
        self.store.bind("COM5", "192.168.0.12")
        self.store.bind("COM6", "192.168.0.12")   # same address: the first enumerated wins
        self.store.bind("COM7", "0.0.0.0")        # looked up even for an unconfigured printer

    def assign_info(self):
        s = self.start_session(PRINTERS)
        rows = s.search()
        self.assertEqual([r[2] for r in rows], ["192.168.0.100", "Not Configuration", "192.168.0.12", "192.168.0.13"])
        return [r[4] for r in rows]

    def test_each_printer_shows_its_bound_port(self):
        self.assertEqual(self.assign_info(), ["COM4", "COM7", "COM5", "Not Assigned"])

    def test_a_binding_without_address_does_not_hide_later_ones(self):
        # COM1 comes first and has no "IPAddress": it binds nothing, and the later subkeys still count.
        self.store.bind("COM1")
        self.assertEqual(self.assign_info(), ["COM4", "COM7", "COM5", "Not Assigned"])


if __name__ == "__main__":
    unittest.main()

"""A search while another socket of the machine holds the tool's UDP port 48780."""

import socket
import unittest

from session import E2ETestCase, IDC_SEARCH, SEARCH_TITLE

PORT_IN_USE = ("Error : UDP port 48780 is in use by another program!\r\n"
               "Replies from the printers cannot be received.")


class PortInUse(E2ETestCase):
    def test_search_reports_the_port_and_still_ends(self):
        holder = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.addCleanup(holder.close)
        holder.bind(("0.0.0.0", 48780))  # this test runs in the tool's namespace, like the program
        s = self.start_session(["mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,port=515"])
        s.driver.click(s.main, IDC_SEARCH)
        box = s.message_box()
        self.assertMessageBox(box, PORT_IN_USE)
        s.driver.press(box)
        dialog, _ = s.driver.wait_window(SEARCH_TITLE, 5, s.pid)
        s.driver.wait_gone(dialog, 10)
        self.assertEqual(s.rows(), [])
        self.assertTrue(s.no_message_box(0.2), "told once")
        # The request still went out; the reply went to the port's holder.
        self.assertEqual([e["hex"] for e in s.sim_events("udp_in")], ["46494e44"])
        holder.settimeout(2)
        reply, _ = holder.recvfrom(512)
        self.assertEqual(reply[:4], b"IMIN")


if __name__ == "__main__":
    unittest.main()

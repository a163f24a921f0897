"""A host on the printers' side streams printer replies at the tool's port for 10 s, faster than
the tool can take them. The search still ends 3.1 s after it starts, and Esc and a click on
Cancel (real input, which queues behind the socket's notifications) end it at once."""

import os
import subprocess
import sys
import time

from session import E2ETestCase, IDC_FOUND_COUNT, SEARCH_TITLE

IDCANCEL, VK_ESCAPE = 2, 0x1B

# Replies of 1,000 different printers, over and over, 20,000 a second, for as long as asked.
FLOOD = """
import socket, struct, sys, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
replies = [b"IMIN" + struct.pack(">6s4s", bytes([2, 0, 0, 9, i >> 8, i & 255]), bytes([192, 168, 9, 1]))
           + bytes(16) for i in range(1000)]
end = time.monotonic() + float(sys.argv[1])
sent = 0
while time.monotonic() < end:
    for _ in range(200):
        s.sendto(replies[sent % 1000], ("10.77.0.1", 48780))
        sent += 1
    time.sleep(0.01)
print(sent)
"""


class Flood(E2ETestCase):
    def test_search_ends_on_time_and_cancels_during_a_flood(self):
        s = self.start_session()
        flood = subprocess.Popen(["ip", "netns", "exec", os.environ["KVR_PRINTER_NS"], sys.executable, "-c",
                                  FLOOD, "10"], stdout=subprocess.PIPE, text=True)
        self.addCleanup(flood.wait)
        self.addCleanup(flood.kill)
        time.sleep(0.3)
        d = s.driver

        clicked = time.monotonic()
        dialog = s.open_search()
        counter = d.sample_text(dialog, IDC_FOUND_COUNT, 50, 8)
        lasted = time.monotonic() - clicked
        self.assertTrue(counter.closed)
        self.assertLess(lasted, 3.7, "the search ends 3.1 s after it starts")
        self.assertGreater(int(counter.values[-1][1]), 1000, "replies were taken meanwhile")

        ways_out = {"Esc": lambda dlg: d.key(dlg, VK_ESCAPE),
                    "Cancel": lambda dlg: d.mouse_click(dlg, IDCANCEL, 5, 5)}
        for name, press in ways_out.items():
            with self.subTest(name):
                d.send_timeout(60)  # the list of the search before may take a moment to fill
                dialog = s.open_search()
                time.sleep(0.5)
                pressed = time.monotonic()
                press(dialog)
                d.wait_gone(dialog, 5)
                self.assertLess(time.monotonic() - pressed, 0.5, "the dialog ends at once")
        self.assertIsNone(flood.poll(), "the flood went on all along")

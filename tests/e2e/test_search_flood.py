"""A host on the printers' side streams printer replies at the tool's port, faster than the tool
can take them. The search still ends 3.1 s after it starts, and Esc and a click on Cancel (real
input, which queues behind the socket's notifications) end it at once. The configuration dialog
shows at once and its Save still ends on the printer's "SETC"; a firmware upload keeps its pacing."""

import os
import subprocess
import sys
import time

from firmware_upload import choose_file, firs_datagrams, image, open_upload, stream_pieces, write_file
from session import E2ETestCase, IDC_CONFIGURE, IDC_FOUND_COUNT, IDC_PRINTER_LIST, SEARCH_TITLE

IDOK, IDCANCEL, VK_ESCAPE = 1, 2, 0x1B
P1 = "mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,port=515,baud=0x10,fw=1.10"

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
    def flood(self, seconds):
        flood = subprocess.Popen(["ip", "netns", "exec", os.environ["KVR_PRINTER_NS"], sys.executable, "-c",
                                  FLOOD, str(seconds)], stdout=subprocess.PIPE, text=True)
        self.addCleanup(flood.wait)
        self.addCleanup(flood.kill)
        time.sleep(0.3)
        return flood

    def flooded_printer(self):
        """A session with the printer found and chosen, then the flood (30 s)."""
        s = self.start_session([P1])
        s.search()
        s.driver.lv_select(s.main, IDC_PRINTER_LIST, 0)
        return s, self.flood(30)

    def test_search_ends_on_time_and_cancels_during_a_flood(self):
        s = self.start_session()
        flood = self.flood(10)
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

    def test_configuration_shows_at_once_and_saves(self):
        s, flood = self.flooded_printer()
        clicked = time.monotonic()
        s.driver.click(s.main, IDC_CONFIGURE)
        dialog, _ = s.driver.wait_window("Printer Configuration Setup", 10, s.pid)
        self.assertLess(time.monotonic() - clicked, 0.5, "the dialog appears at once")
        s.driver.click(dialog, IDOK)
        s.driver.press(s.message_box(5))  # no virtual port: said, and the settings go out all the same
        self.assertMessageBox(s.message_box(5), "Succeeded to save information!", caption="Success", icon="none")
        self.assertIsNone(flood.poll(), "the flood went on all along")

    def test_firmware_upload_keeps_its_pacing(self):
        s, flood = self.flooded_printer()
        open_upload(s)
        choose_file(s, write_file(s.cwd, "fw8.bin", image(8 * 1024)))
        self.assertEqual(s.message_box(30).text, "Upload Completed!\r\n Wait 30~60 seconds until printer is reset.")
        pieces = stream_pieces(s)
        self.assertEqual(b"".join(p for _, p in pieces)[4:], image(8 * 1024))
        # The minimum: 1.6 s after "FIRS", 0.6 s after the length and between blocks.
        self.assertLess((pieces[-1][0] - firs_datagrams(s)[0]["t"]) / (1.6 + 0.6 * 8), 1.05)
        self.assertIsNone(flood.poll(), "the flood went on all along")

"""Firmware upload end to end: the main window's system menu opens it, the file dialog is answered
from outside, and the simulated printer records the "FIRS" datagram and the paced TCP stream, each
piece with its arrival time. Uploads use small files: the pacing is real (0.6 s per block)."""

import os
import time
import unittest

from driver import VK_ESCAPE
from firmware_upload import (IDC_PERCENT, UPLOAD_TITLE, answer_file_dialog, firs_datagrams, image, open_upload,
                             stream_pieces, windows_path, write_file)
from session import E2ETestCase, IDC_PRINTER_LIST, MAIN_TITLE

IDC_WINSOCK, IDC_PROGRESS = 1000, 1009
PBM_GETPOS, WS_VISIBLE = 0x0408, 0x10000000
GENERIC_READ, FILE_SHARE_READ = 0x80000000, 1

P1 = "mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,port=515,baud=0xF4,fw=1.10"
P1_RECORD = "001a2b3d4e5f" "c0a8000a" "ffffff00" "c0a80001" "0203" "f4" "010a" "00" "0000"
CONNECTION_FAILED = ("Error : Fail to connected \r\nPlease, check IP port configuration in printer control "
                     "pannel \"PORT\"")
TRANSFER_FAILED = "Error : fail to transfer data!"
CANNOT_OPEN = "Error : Fail to open file Error!"
EMPTY_FILE = "Error : The firmware file is empty!\r\nNothing was sent to the printer."
COMPLETED = "Upload Completed!\r\n Wait 30~60 seconds until printer is reset."

# Dialog 135's visible controls: (id, class, text); the statics without an id have -1.
CONTROLS = {(-1, "Static", "F/W Uploading......."), (IDC_PERCENT, "Static", ": 0"), (-1, "Static", "%"),
            (IDC_PROGRESS, "msctls_progress32", "")}


class FirmwareUpload(E2ETestCase):
    def start(self, printers):
        s = self.start_session(printers)
        self.addCleanup(s.driver.release_files)
        return s

    def choose_printer(self, s, mac):
        row = next(i for i, r in enumerate(s.rows()) if r[1] == mac)
        s.driver.lv_select(s.main, IDC_PRINTER_LIST, row)

    def answer_file_dialog(self, s, path):
        """The file dialog comes before the upload dialog shows, with the firmware filter."""
        file_type, shown = answer_file_dialog(s, path)
        self.assertEqual(file_type, "Ethernet Card Firmware Files(*.bin)")
        self.assertNotIn(UPLOAD_TITLE, shown)

    def upload(self, s, path):
        """Opens the upload for the chosen row; the upload dialog once it shows."""
        open_upload(s)
        self.answer_file_dialog(s, path)
        return s.driver.wait_window(UPLOAD_TITLE, 5, s.pid)[0]

    def assertNothingSent(self, s):
        self.assertEqual(firs_datagrams(s), [])
        self.assertEqual([e for e in s.sim_events("tcp_accept") if e["kind"] == "firmware"], [])

    def assertOnlyMainWindow(self, s):
        self.assertEqual([w[1] for w in s.driver.windows(s.pid) if w[2]], [MAIN_TITLE])

    def test_paced_stream_progress_and_completion(self):
        s = self.start([P1])
        d = s.driver
        s.search()
        self.choose_printer(s, "00:1a:2b:3d:4e:5f")
        data = image(3000)
        window = self.upload(s, write_file(s.cwd, "fw3000.bin", data))

        # The dialog as laid out: caption, texts, the endpoint as a hidden control 1000.
        self.assertEqual(d.title(window), UPLOAD_TITLE)
        children = d.children(window)
        self.assertEqual({(c.id, c.cls, c.text) for c in children if c.style & WS_VISIBLE}, CONTROLS)
        self.assertEqual([c.style & WS_VISIBLE for c in children if c.id == IDC_WINSOCK], [0])

        # Read from outside while it runs: the percentage before each block, the progress bar with it,
        # and the window answering at once throughout.
        sample = d.sample_text(window, IDC_PERCENT, 10, 6)
        self.assertEqual([v for _, v in sample.values], [": 0", ": 34", ": 68"])
        self.assertLess(sample.slowest_ms, 500, "the window kept answering")
        box = s.message_box(5)
        self.assertMessageBox(box, COMPLETED, caption="upload Completed", icon="none")
        self.assertEqual(d.send(window, IDC_PROGRESS, PBM_GETPOS), 68)
        d.press(box)
        d.wait_gone(window, 5)

        # "FIRS" once with the record as held, the connection ~1.6 s later, then the length and the
        # blocks 600 ms apart.
        [firs] = firs_datagrams(s)
        self.assertEqual(firs["hex"], "46495253" + P1_RECORD)
        [accept] = [e for e in s.sim_events("tcp_accept") if e["kind"] == "firmware"]
        self.assertEqual(accept["local"], "192.168.0.10:48783")
        self.assertAlmostEqual(accept["t"] - firs["t"], 1.6, delta=0.25)
        pieces = stream_pieces(s)
        self.assertEqual([len(p) for _, p in pieces], [4, 1024, 1024, 952])
        self.assertEqual(b"".join(p for _, p in pieces), bytes.fromhex("00000BB8") + data)
        gaps = [b[0] - a[0] for a, b in zip(pieces, pieces[1:])]
        for gap in gaps:
            self.assertAlmostEqual(gap, 0.6, delta=0.15)
        [close] = s.sim_events("tcp_close")
        self.assertEqual((close["declared_len"], close["complete"], close["reason"]), (3000, True, "peer closed"))
        # Closed right after the last block: no pause follows it.
        self.assertLess(close["t"] - pieces[-1][0], 0.3)

        # A second upload of one block: ": 0" throughout; Esc and the close box do not end it.
        started = pieces[-1][0]
        window = self.upload(s, write_file(s.cwd, "fw1024.bin", image(1024)))
        s.sim.wait_for(lambda e: e["event"] == "udp_in" and e["hex"].startswith("46495253"), count=2)
        d.close_window(window)
        d.key(window, VK_ESCAPE)
        sample = d.sample_text(window, IDC_PERCENT, 10, 4)
        self.assertEqual([v for _, v in sample.values], [": 0"])
        self.assertEqual(d.send(window, IDC_PROGRESS, PBM_GETPOS), 0)
        d.press(s.message_box(5))
        self.assertEqual([len(p) for _, p in stream_pieces(s, started)], [4, 1024])
        self.assertEqual(len(firs_datagrams(s)), 2, "one datagram per upload")
        self.assertOnlyMainWindow(s)

    def test_nothing_sent_without_a_usable_file(self):
        s = self.start([P1])
        d = s.driver
        # No row chosen: the guard, no file dialog.
        open_upload(s)
        box = s.message_box()
        self.assertMessageBox(box, "Select mac address at list")
        d.press(box)
        self.assertOnlyMainWindow(s)

        s.search()
        self.choose_printer(s, "00:1a:2b:3d:4e:5f")
        held = write_file(s.cwd, "held.bin", b"\x01" * 10)
        d.hold_file(windows_path(held), GENERIC_READ, 0)  # another program, sharing nothing
        cases = [("cancelled", None, None), ("empty", write_file(s.cwd, "empty.bin", b""), EMPTY_FILE),
                 ("missing", os.path.join(s.cwd, "missing.bin"), CANNOT_OPEN), ("unreadable", held, CANNOT_OPEN)]
        for name, path, message in cases:
            with self.subTest(name):
                open_upload(s)
                self.answer_file_dialog(s, path)
                if message:
                    box = s.message_box()
                    self.assertMessageBox(box, message)
                    d.press(box)
                self.assertTrue(s.no_message_box(0.3))
                self.assertOnlyMainWindow(s)
        time.sleep(0.3)
        self.assertNothingSent(s)

        # A read-only file that another program reads at the same time uploads whole. (Run as root,
        # Wine lets a 0444 file be opened for writing; the other program's sharing is what would
        # refuse an open for update.)
        d.release_files()
        data = image(700)
        path = write_file(s.cwd, "readonly.bin", data)
        os.chmod(path, 0o444)
        d.hold_file(windows_path(path), GENERIC_READ, FILE_SHARE_READ)
        window = self.upload(s, path)
        box = s.message_box(5)
        self.assertMessageBox(box, COMPLETED, caption="upload Completed", icon="none")
        d.press(box)
        d.wait_gone(window, 5)
        self.assertEqual(b"".join(p for _, p in stream_pieces(s)), bytes.fromhex("000002BC") + data)

        # The chosen printer gone (a later search found nothing): nothing is chosen any more, the
        # guard speaks, and no file dialog.
        s.stop_simulator()
        self.assertEqual(s.search(), [])
        open_upload(s)
        box = s.message_box()
        self.assertMessageBox(box, "Select mac address at list")
        d.press(box)
        self.assertOnlyMainWindow(s)

    def test_connection_refused_and_reset(self):
        s = self.start(["mac=02:00:00:00:00:01,ip=0.0.0.0",
                        "mac=02:00:00:00:00:02,ip=192.168.0.12,fw_listen=0",
                        "mac=02:00:00:00:00:03,ip=192.168.0.13,fw_reset_after=1500"])
        d = s.driver
        s.search()
        # Nobody listening: the connection message, then the dialog stays open until closed.
        for mac in ("02:00:00:00:00:01", "02:00:00:00:00:02"):
            with self.subTest(mac):
                self.choose_printer(s, mac)
                window = self.upload(s, write_file(s.cwd, "fw.bin", image(3000)))
                box = s.message_box(5)
                self.assertMessageBox(box, CONNECTION_FAILED)
                d.press(box)
                self.assertTrue(s.no_message_box(0.3))
                self.assertTrue(d.visible(window, IDC_PROGRESS))
                d.close_window(window)
                d.wait_gone(window, 5)
        self.assertEqual([f["hex"][8:20] for f in firs_datagrams(s)], ["020000000001", "020000000002"])

        # Reset after 1500 bytes: the transfer fails, the dialog closes, the main window works on.
        self.choose_printer(s, "02:00:00:00:00:03")
        window = self.upload(s, write_file(s.cwd, "fw.bin", image(3000)))
        box = s.message_box(5)
        self.assertMessageBox(box, TRANSFER_FAILED)
        d.press(box)
        d.wait_gone(window, 5)
        [close] = [e for e in s.sim_events("tcp_close") if e["kind"] == "firmware"]
        self.assertEqual((close["reason"], close["total"]), ("reset", 1500))
        self.assertEqual(len(s.search()), 3)

    def test_stalled_printer_times_out(self):
        s = self.start(["mac=02:00:00:00:00:04,ip=192.168.0.14,fw_stall_after=0"])
        d = s.driver
        s.search()
        self.choose_printer(s, "02:00:00:00:00:04")
        window = self.upload(s, write_file(s.cwd, "fw.bin", image(40 * 1024)))
        # The printer's buffers fill within a few blocks; the percentage stops, the dialog keeps
        # answering, and 30 s later the send has failed.
        begun = time.monotonic()
        sample = d.sample_text(window, IDC_PERCENT, 20, 16)
        self.assertFalse(sample.closed)
        self.assertLess(sample.slowest_ms, 500)
        stalled_at = begun + sample.values[-1][0] / 1000
        self.assertLess(sample.values[-1][0], 14000, "the printer's buffers filled")
        box = s.message_box(35)
        self.assertGreater(time.monotonic() - stalled_at, 29.5, "30 s without progress")
        self.assertMessageBox(box, TRANSFER_FAILED)
        d.press(box)
        d.wait_gone(window, 5)
        self.assertOnlyMainWindow(s)


if __name__ == "__main__":
    unittest.main()

"""The COM bridge without Wine: the store's byte order, and the data path from a program's writes to
the port to the printer's connection (a socket pair stands in for TCP, a folder for dosdevices)."""

import io
import os
import socket
import tempfile
import threading
import time
import unittest

from com_bridge import Bridge, decode_binding

PAGE = b"=" * 31 + b"\n\0" + b"  Assinged Port :COM3" + b"\0" * 14  # line feeds and zero bytes


class DecodeBinding(unittest.TestCase):
    def test_store_values_as_the_tool_writes_them(self):
        # 192.168.0.10 port 515: IPAddress bytes C0 A8 00 0A, Port bytes 02 03 00 00, Port_ 03 02 00 00.
        self.assertEqual(decode_binding("OK 0a00a8c0 00000302 00000203"), (("192.168.0.10", 515), None))
        self.assertEqual(decode_binding("OK 0a00a8c0 - 00000203"), (("192.168.0.10", 515), None))

    def test_what_cannot_be_used(self):
        for answer, reason in [("NONE", "not bound"), ("OK - 00000302 00000203", "no IPAddress"),
                               ("OK 0a00a8c0 - -", "no Port"),
                               ("OK 00000000 00000302 00000203", "unusable binding 0.0.0.0:515")]:
            self.assertEqual(decode_binding(answer), (None, reason), answer)


def wait_until(predicate, timeout=3.0):
    deadline = time.monotonic() + timeout
    while not predicate() and time.monotonic() < deadline:
        time.sleep(0.01)


class FakeStore:
    def __init__(self, binding):
        self.binding, self.asked = binding, []

    def ask(self, request):
        self.asked.append(request)
        return self.binding if request.startswith("binding ") else "OK COM3"


class DataPath(unittest.TestCase):
    def run_bridge(self, binding, program):
        """Runs the bridge on COM3 while `program(path)` writes to the port; returns what the printer
        received (None without a connection), the addresses asked for, and the store's requests."""
        folder = tempfile.mkdtemp(prefix="com_bridge_test_")
        self.addCleanup(os.rmdir, folder)
        self.addCleanup(os.unlink, os.path.join(folder, "com3"))
        os.symlink("/dev/null", os.path.join(folder, "com3"))
        addresses, printer_ends = [], []

        def connect(address):
            addresses.append(address)
            ours, theirs = socket.socketpair()
            printer_ends.append(theirs)
            return ours

        store = FakeStore(binding)
        bridge = Bridge(store, folder, io.StringIO(), connect)
        done = threading.Event()
        runner = threading.Thread(target=bridge.run, args=(0.05, ["COM3"], None, done.is_set))
        runner.start()
        try:
            wait_until(lambda: os.readlink(os.path.join(folder, "com3")) != "/dev/null")
            program(os.path.join(folder, "com3"))
            wait_until(lambda: printer_ends if binding != "NONE" else store.asked)
            received = None
            if binding != "NONE":
                printer_ends[0].settimeout(3)
                received = b""
                while chunk := printer_ends[0].recv(4096):  # ends when the bridge closes
                    received += chunk
        finally:
            done.set()
            runner.join(5)
            bridge.shutdown()
            for end in printer_ends:
                end.close()
        self.assertEqual(os.readlink(os.path.join(folder, "com3")), "/dev/null", "the earlier link is back")
        return received, addresses, store.asked

    def write_and_close(self, data):
        def program(path):
            fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
            for block in data:
                os.write(fd, block)
            os.close(fd)
        return program

    def test_one_connection_per_open_carries_the_bytes_unchanged_and_ends_with_the_close(self):
        received, addresses, asked = self.run_bridge("OK 0a00a8c0 00000302 00000203",
                                                     self.write_and_close([PAGE[:33], PAGE[33:]]))
        self.assertEqual(received, PAGE)
        self.assertEqual((addresses, asked), ([("192.168.0.10", 515)], ["binding COM3"]))

    def test_an_unbound_port_connects_nowhere(self):
        _, addresses, asked = self.run_bridge("NONE", self.write_and_close([PAGE]))
        self.assertEqual((addresses, asked), ([], ["binding COM3"]))


if __name__ == "__main__":
    unittest.main()

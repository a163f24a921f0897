"""The search reaches printers behind every network adapter: the tool's namespace gets a second
adapter (a veth pair to a namespace of its own, made here), with printers behind each, one of them
unconfigured (0.0.0.0), which hears only a limited broadcast. With one adapter, test_search shows
exactly one FIND leaving the tool."""

import os
import subprocess

from session import E2ETestCase
from udp_capture import UdpCapture

import simlog  # on the path once session is imported

FIND_HEX = "46494e44"


def ip(*args):
    subprocess.run(["ip", *args], check=True, capture_output=True)


class SecondAdapter(E2ETestCase):
    def setUp(self):
        super().setUp()
        if os.geteuid() != 0:
            self.skipTest("needs root inside the tool's namespace")
        tag = os.getpid()
        self.ns = f"kvrprn2{tag}"
        ip("netns", "add", self.ns)
        self.addCleanup(subprocess.run, ["ip", "netns", "del", self.ns], capture_output=True)
        ip("link", "add", f"kt2{tag}", "type", "veth", "peer", "name", f"kp2{tag}")
        ip("link", "set", f"kp2{tag}", "netns", self.ns)
        ip("addr", "add", "10.78.0.1/24", "dev", f"kt2{tag}")
        ip("link", "set", f"kt2{tag}", "up")
        ip("-n", self.ns, "link", "set", "lo", "up")
        ip("-n", self.ns, "link", "set", f"kp2{tag}", "name", "vp2")
        ip("-n", self.ns, "addr", "add", "10.78.0.2/24", "dev", "vp2")
        ip("-n", self.ns, "link", "set", "vp2", "up")

    def test_one_search_lists_the_printers_behind_both_adapters(self):
        capture = UdpCapture(self.ns, "vp2")
        self.addCleanup(capture.cleanup)
        behind_second = simlog.start_simulator(
            ["--add-addresses", "vp2",
             "--printer", "mac=02:00:00:00:02:01,ip=0.0.0.0,port=9100",
             "--printer", "mac=02:00:00:00:02:02,ip=192.168.20.10,port=9100"], netns=self.ns)
        self.addCleanup(behind_second.cleanup)
        s = self.start_session(["mac=02:00:00:00:01:01,ip=192.168.0.10,port=515"], capture=True)
        by_mac = {r[1]: r for r in s.search()}
        self.assertEqual(sorted(by_mac), ["02:00:00:00:01:01", "02:00:00:00:02:01", "02:00:00:00:02:02"])
        self.assertEqual(by_mac["02:00:00:00:02:01"][2], "Not Configuration")
        first = [(d["src"], d["dst"]) for d in s.capture.datagrams("in") if d["hex"] == FIND_HEX]
        second = [(d["src"], d["dst"]) for d in capture.datagrams("in") if d["hex"] == FIND_HEX]
        self.assertEqual(first, [("10.77.0.1:48780", "255.255.255.255:48781")])
        self.assertEqual(second, [("10.78.0.1:48780", "255.255.255.255:48781")],
                         "the second adapter's copy is a limited broadcast too")

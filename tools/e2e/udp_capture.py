#!/usr/bin/env python3
"""Records the UDP datagrams that cross one network interface, with the addresses of their IP
headers, which a receiving socket does not show (the destination of a broadcast, for one).

    udp_capture.py --iface vp --log capture.jsonl --ready-file capture.ready

Runs as root inside the namespace of the interface; a packet socket only listens, so it changes
nothing on the wire. One JSON object per datagram and line, flushed at once:
{"t": monotonic time, "direction": "in"|"out", "src": "ip:port", "dst": "ip:port", "hex": payload}.
From Python: UdpCapture(netns, iface) starts it and reads its log.
"""

import argparse
import json
import os
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

ETH_P_ALL, ETH_P_IP = 0x0003, 0x0800
PACKET_OUTGOING = 4


def parse_udp(packet):
    """(src, dst, payload) of an IPv4 UDP packet, or None."""
    if len(packet) < 20 or packet[0] >> 4 != 4 or packet[9] != socket.IPPROTO_UDP:
        return None
    header = (packet[0] & 0x0F) * 4
    if len(packet) < header + 8:
        return None
    sport, dport, length = struct.unpack(">HHH", packet[header:header + 6])
    src, dst = socket.inet_ntoa(packet[12:16]), socket.inet_ntoa(packet[16:20])
    return f"{src}:{sport}", f"{dst}:{dport}", packet[header + 8:header + length]


def capture(iface, log_path, ready_path):
    # Bound to every protocol: a socket bound to IP alone does not see the packets sent out.
    sock = socket.socket(socket.AF_PACKET, socket.SOCK_DGRAM, socket.htons(ETH_P_ALL))
    sock.bind((iface, ETH_P_ALL))
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    with open(log_path, "w", encoding="utf-8") as log:
        if ready_path:
            with open(ready_path, "w"):
                pass
        while True:
            packet, address = sock.recvfrom(65535)
            if address[1] != ETH_P_IP:
                continue
            parsed = parse_udp(packet)
            if parsed is None:
                continue
            src, dst, payload = parsed
            direction = "out" if address[2] == PACKET_OUTGOING else "in"
            log.write(json.dumps({"t": time.monotonic(), "direction": direction, "src": src,
                                  "dst": dst, "hex": payload.hex()}) + "\n")
            log.flush()


class UdpCapture:
    """udp_capture.py running in network namespace netns on iface, until stop()."""

    def __init__(self, netns, iface, timeout=10.0):
        self._dir = tempfile.mkdtemp(prefix="udp_capture_")
        self.log_path = os.path.join(self._dir, "capture.jsonl")
        ready = os.path.join(self._dir, "ready")
        self._proc = subprocess.Popen(
            ["ip", "netns", "exec", netns, sys.executable, os.path.abspath(__file__),
             "--iface", iface, "--log", self.log_path, "--ready-file", ready],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        deadline = time.monotonic() + timeout
        while not os.path.exists(ready):
            if self._proc.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise RuntimeError("udp_capture did not start")
            time.sleep(0.01)

    def datagrams(self, direction=None):
        try:
            with open(self.log_path, encoding="utf-8") as f:
                lines = [json.loads(line) for line in f if line.endswith("\n")]
        except FileNotFoundError:
            return []
        return [d for d in lines if direction is None or d["direction"] == direction]

    def stop(self):
        if self._proc.poll() is None:
            self._proc.terminate()
            try:
                self._proc.wait(5)
            except subprocess.TimeoutExpired:
                self._proc.kill()
                self._proc.wait()
        self._proc.stderr.close()

    def cleanup(self):
        self.stop()
        for name in os.listdir(self._dir):
            os.unlink(os.path.join(self._dir, name))
        os.rmdir(self._dir)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--iface", required=True)
    ap.add_argument("--log", required=True)
    ap.add_argument("--ready-file")
    opts = ap.parse_args()
    capture(opts.iface, opts.log, opts.ready_file)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The driver's data path, stood in for under Wine: every virtual COM port of the driver package
becomes a pseudo-terminal in the prefix (dosdevices/comN), and what a program writes to COMn goes
over TCP to the printer that the port assignment store binds COMn to, as the driver would carry it.

    com_bridge.py --store-query build/win-x86_64/tools/com_bridge/kvrstorequery.exe \\
                  --log bridge.jsonl --ready-file bridge.ready &

Runs on the tool side of tools/netns-run.sh, in the prefix of tools/wine/with-prefix.sh (needs
WINEPREFIX and KVR_WINE): its TCP connections leave through the tool side's route to the printers.

- Ports: every PortName of a root-enumerated Ports device with the driver's hardware ID, looked
  at every --scan-ms; a port added later is bridged from then on, a deleted one is unlinked.
  --port COMn (repeatable) bridges exactly those names instead.
- Data: when bytes arrive on a port without an open connection, the bridge asks the store for
  the port's binding (IPAddress and Port, Port_ when Port is missing), connects and sends. The
  connection carries every later byte, and the printer's answers back to the port, until the
  program closes the port (seen through inotify on the terminal); the next data after that read
  the binding afresh. Bytes for a port without a usable binding, or whose printer refuses the
  connection, are dropped (and logged), as a write to a driver port with nowhere to go.
- The store is read through kvrstorequery.exe inside the prefix (see store_query.cpp for why).

Log: one JSON object per line, flushed at once, t = time.monotonic():
  start, map (port, pty), unmap (port), data (port, n: bytes read from the port),
  lookup (port, ms, address or null, reason), connect (port, address, ms), connect_error,
  sent (port, n, total), reply (port, n), dropped (port, n, reason), close (port, total, reason),
  stop.
SIGTERM/SIGINT end it; the prefix's links are put back as they were.
"""

import argparse
import ctypes
import errno
import json
import os
import selectors
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import tty


# ----- the store's values -------------------------------------------------------------------------

def decode_binding(answer):
    """(ip, port) from the store query's answer for one port, or (None, reason).

    "IPAddress" holds the address in network byte order (first byte in memory = leftmost octet);
    "Port" holds htons(port) in its low 16 bits; "Port_" the plain port."""
    fields = answer.split()
    if not fields or fields[0] == "NONE":
        return None, "not bound"
    if fields[0] != "OK" or len(fields) != 4:
        return None, f"store query answered {answer!r}"
    ip_hex, port_hex, plain_hex = fields[1:]
    if ip_hex == "-":
        return None, "no IPAddress"
    ip = socket.inet_ntoa(struct.pack("<I", int(ip_hex, 16)))
    if port_hex != "-":
        net = int(port_hex, 16) & 0xFFFF
        port = ((net & 0xFF) << 8) | (net >> 8)
    elif plain_hex != "-":
        port = int(plain_hex, 16)
    else:
        return None, "no Port"
    if ip == "0.0.0.0" or not 0 < port < 65536:
        return None, f"unusable binding {ip}:{port}"
    return (ip, port), None


class StoreQuery:
    """kvrstorequery.exe running in the prefix; one request, one answer line."""

    def __init__(self, wine, exe):
        # From an empty folder: Wine looks for a program in the current folder first.
        self._folder = tempfile.mkdtemp(prefix="kvr_store_query_")
        self._proc = subprocess.Popen([wine, exe], cwd=self._folder, stdin=subprocess.PIPE,
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.ask("ports")  # the first answer also tells that it runs

    def ask(self, request):
        self._proc.stdin.write(request.encode("ascii") + b"\n")
        self._proc.stdin.flush()
        line = self._proc.stdout.readline()
        if not line:
            raise RuntimeError(f"kvrstorequery ended (exit code {self._proc.poll()})")
        return line.decode("latin-1").strip()

    def close(self):
        try:
            self.ask("quit")
            self._proc.wait(5)
        except (OSError, RuntimeError, subprocess.TimeoutExpired):
            self._proc.kill()
            self._proc.wait()
        os.rmdir(self._folder)


# ----- a program closing a port --------------------------------------------------------------------

class CloseWatch:
    """inotify on the ports' terminals: which of them a program has just closed."""

    IN_CLOSE = 0x08 | 0x10  # IN_CLOSE_WRITE | IN_CLOSE_NOWRITE

    def __init__(self):
        self._libc = ctypes.CDLL(None, use_errno=True)
        self.fd = self._libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        if self.fd < 0:
            raise OSError(ctypes.get_errno(), "inotify_init1")

    def add(self, path):
        wd = self._libc.inotify_add_watch(self.fd, path.encode(), self.IN_CLOSE)
        if wd < 0:
            raise OSError(ctypes.get_errno(), f"inotify_add_watch {path}")
        return wd

    def remove(self, wd):
        self._libc.inotify_rm_watch(self.fd, wd)

    def closed(self):
        """Watch descriptors with a close event since the last call."""
        found = set()
        try:
            data = os.read(self.fd, 65536)
        except BlockingIOError:
            return found
        offset = 0
        while offset < len(data):
            wd, mask, _, length = struct.unpack_from("iIII", data, offset)
            if mask & self.IN_CLOSE:
                found.add(wd)
            offset += 16 + length
        return found


# ----- the bridge ---------------------------------------------------------------------------------

class Port:
    def __init__(self, name, master, slave, link, saved, wd):
        self.name, self.master, self.slave, self.link, self.saved, self.wd = name, master, slave, link, saved, wd
        self.conn = None
        self.total = 0


def relink(link, target):
    """Points `link` at `target` in one step: a program opening the port never finds it missing."""
    temporary = link + ".bridge"
    if os.path.lexists(temporary):
        os.unlink(temporary)
    os.symlink(target, temporary)
    os.replace(temporary, link)


def tcp_connect(address):
    conn = socket.create_connection(address, timeout=2.0)
    conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    return conn


class Bridge:
    def __init__(self, store, dosdevices, log, connect=tcp_connect):
        self.store, self.dosdevices, self._log, self._connect = store, dosdevices, log, connect
        self.ports = {}
        self.sel = selectors.DefaultSelector()
        self.watch = CloseWatch()
        self.sel.register(self.watch.fd, selectors.EVENT_READ, ("watch", None))

    def log(self, event, **fields):
        self._log.write(json.dumps({"t": time.monotonic(), "event": event, **fields}) + "\n")
        self._log.flush()

    # ports

    def map(self, name):
        master, slave = os.openpty()
        tty.setraw(slave)  # bytes as written: no line-end translation, no echo
        os.set_blocking(master, False)
        link = os.path.join(self.dosdevices, name.lower())
        saved = os.readlink(link) if os.path.islink(link) else None
        # The bridge keeps the terminal's own end open too, so that the port does not hang up
        # each time a program closes it; a program's close shows as an inotify event instead
        # (the bridge's own open came before the watch, and its close comes after).
        relink(link, os.ttyname(slave))
        port = Port(name, master, slave, link, saved, self.watch.add(os.ttyname(slave)))
        self.ports[name] = port
        self.sel.register(master, selectors.EVENT_READ, ("port", port))
        self.log("map", port=name, pty=os.ttyname(slave))

    def unmap(self, port):
        self.close_conn(port, "port removed")
        self.watch.remove(port.wd)
        self.sel.unregister(port.master)
        os.close(port.master)
        os.close(port.slave)
        if port.saved is not None:
            relink(port.link, port.saved)
        elif os.path.lexists(port.link):
            os.unlink(port.link)
        del self.ports[port.name]
        self.log("unmap", port=port.name)

    def scan(self):
        names = set(self.store.ask("ports").split()[1:])
        for name in sorted(names - set(self.ports)):
            self.map(name)
        for name in sorted(set(self.ports) - names):
            self.unmap(self.ports[name])

    # data

    def on_port(self, port):
        """Forwards what the port holds; False when it held nothing."""
        try:
            data = os.read(port.master, 65536)
        except OSError as e:
            if e.errno in (errno.EAGAIN, errno.EIO):
                return False
            raise
        if not data:
            return False
        self.log("data", port=port.name, n=len(data))
        if port.conn is None and not self.connect(port, len(data)):
            return True
        try:
            port.conn.sendall(data)
        except OSError as e:
            self.log("dropped", port=port.name, n=len(data), reason=f"send: {e}")
            self.close_conn(port, "send failed")
            return True
        port.total += len(data)
        self.log("sent", port=port.name, n=len(data), total=port.total)
        return True

    def on_close(self):
        """A program closed ports: what they wrote before goes out, then their connections end."""
        closed = self.watch.closed()
        for port in list(self.ports.values()):
            if port.wd in closed:
                while self.on_port(port):
                    pass
                self.close_conn(port, "port closed")

    def connect(self, port, n):
        start = time.monotonic()
        address, reason = decode_binding(self.store.ask(f"binding {port.name}"))
        looked_up = time.monotonic()
        self.log("lookup", port=port.name, ms=round((looked_up - start) * 1000, 3),
                 address=f"{address[0]}:{address[1]}" if address else None, reason=reason)
        if address is None:
            self.log("dropped", port=port.name, n=n, reason=reason)
            return False
        try:
            conn = self._connect(address)
        except OSError as e:
            self.log("connect_error", port=port.name, address=f"{address[0]}:{address[1]}", error=str(e))
            self.log("dropped", port=port.name, n=n, reason="connect failed")
            return False
        conn.settimeout(5.0)  # sends wait for a slow printer; replies are read only when they came
        port.conn, port.total = conn, 0
        self.sel.register(conn, selectors.EVENT_READ, ("conn", port))
        self.log("connect", port=port.name, address=f"{address[0]}:{address[1]}",
                 ms=round((time.monotonic() - looked_up) * 1000, 3))
        return True

    def on_conn(self, port):
        try:
            data = port.conn.recv(65536)
        except OSError:
            data = b""
        if not data:
            self.close_conn(port, "printer closed")
            return
        self.log("reply", port=port.name, n=len(data))
        try:
            os.write(port.master, data)
        except OSError:
            pass

    def close_conn(self, port, reason):
        if port.conn is None:
            return
        self.sel.unregister(port.conn)
        port.conn.close()
        port.conn = None
        self.log("close", port=port.name, total=port.total, reason=reason)

    def run(self, scan_s, fixed, ready_path, stop):
        if fixed:
            for name in fixed:
                self.map(name)
        else:
            self.scan()
        next_scan = time.monotonic() + scan_s
        if ready_path:
            open(ready_path, "w").close()
        while not stop():
            timeout = min(1.0, max(0.0, next_scan - time.monotonic())) if not fixed else 1.0
            events = self.sel.select(timeout)
            # Data first: a close event must not end a connection before the port's last bytes.
            events.sort(key=lambda e: e[0].data[0] == "watch")
            for key, _ in events:
                kind, port = key.data
                if kind == "watch":
                    self.on_close()
                elif port.name in self.ports:
                    (self.on_port if kind == "port" else self.on_conn)(port)
            now = time.monotonic()
            if not fixed and now >= next_scan:
                self.scan()
                next_scan = now + scan_s

    def shutdown(self):
        for port in list(self.ports.values()):
            self.unmap(port)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--store-query", required=True, help="kvrstorequery.exe")
    ap.add_argument("--port", action="append", default=[], help="bridge exactly this COMn (repeatable)")
    ap.add_argument("--log", default="-", help="JSON-lines event log (- = stdout)")
    ap.add_argument("--ready-file", help="created once the ports are bridged, removed on exit")
    ap.add_argument("--scan-ms", type=int, default=500, help="look for added or deleted ports this often")
    opts = ap.parse_args()

    prefix = os.environ.get("WINEPREFIX")
    if not prefix or os.path.realpath(prefix) == os.path.realpath(os.path.expanduser("~/.wine")):
        sys.exit("com_bridge: needs a throwaway WINEPREFIX (never ~/.wine)")
    stopping = []
    signal.signal(signal.SIGTERM, lambda *_: stopping.append(1))
    signal.signal(signal.SIGINT, lambda *_: stopping.append(1))

    log = sys.stdout if opts.log == "-" else open(opts.log, "a", encoding="utf-8")
    store = StoreQuery(os.environ.get("KVR_WINE", "wine"), opts.store_query)
    bridge = Bridge(store, os.path.join(prefix, "dosdevices"), log)
    bridge.log("start", pid=os.getpid(), fixed=opts.port)
    try:
        bridge.run(opts.scan_ms / 1000, opts.port, opts.ready_file, lambda: bool(stopping))
    finally:
        bridge.shutdown()
        store.close()
        bridge.log("stop")
        if opts.ready_file and os.path.exists(opts.ready_file):
            os.unlink(opts.ready_file)


if __name__ == "__main__":
    main()

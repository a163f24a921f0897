#!/usr/bin/env python3
"""Printer simulator: plays any number of network receipt/label printers for the configuration
tool's tests.

Every printer answers the tool's UDP commands (FIND, SETT, FIRS) on one shared UDP socket and
accepts TCP connections on its own address: print data on its Local Port, firmware images on the
firmware port. Everything that happens is written to a JSON-lines log (see README.md).

Run it inside a private network namespace (tools/netns-run.sh); on the host it only accepts
loopback addresses unless --unsafe-host-network is given.
"""

import argparse
import heapq
import itertools
import json
import os
import random
import selectors
import signal
import socket
import struct
import subprocess
import sys
import time

from printer_config import (DEFAULT_BASE_MAC, build_all, load_config_file, parse_compact)
from record import RECORD_LEN, Record, format_mac

FIND, IMIN, SETT, SETC, FIRS = b"FIND", b"IMIN", b"SETT", b"SETC", b"FIRS"
DEFAULT_LISTEN_PORT = 48781
DEFAULT_REPLY_PORT = 48780
DEFAULT_FIRMWARE_PORT = 48783
IP_PKTINFO = getattr(socket, "IP_PKTINFO", 8)
IP_FREEBIND = getattr(socket, "IP_FREEBIND", 15)


class EventLog:
    """One JSON object per line, flushed at once so tests can follow the file."""

    def __init__(self, path):
        if path is None:
            self._f = None
        elif path == "-":
            self._f = sys.stdout
        else:
            self._f = open(path, "w", encoding="utf-8")

    def write(self, event, **fields):
        if self._f is None:
            return
        try:
            self._f.write(json.dumps({"t": time.monotonic(), "event": event, **fields}) + "\n")
            self._f.flush()
        except BrokenPipeError:  # --log - piped into a reader that has gone
            self._f = None

    def close(self):
        if self._f not in (None, sys.stdout):
            self._f.close()


def endpoint(addr):
    return f"{addr[0]}:{addr[1]}"


class Printer:
    def __init__(self, config):
        self.config = config
        self.record = config.record
        self.mac = format_mac(config.record.mac)
        self.listeners = {}  # kind ("print"/"firmware") -> Listener


class Listener:
    def __init__(self, sock, printer, kind, local=None):
        self.sock, self.printer, self.kind = sock, printer, kind
        self.local = local or endpoint(sock.getsockname())


# Past this many printers with an address, one listening socket per TCP port serves them all
# (connections are told apart by the address they were made to): a socket per printer and port
# would run out of file descriptors with thousands of printers.
SHARED_LISTENERS_ABOVE = 256


class Connection:
    def __init__(self, sock, listener, peer, number):
        self.sock, self.listener, self.number = sock, listener, number
        self.local, self.peer = listener.local, endpoint(peer)
        self.data = bytearray()
        self.stalled = False


class Simulator:
    def __init__(self, printers, opts, log):
        self.printers = [Printer(p) for p in printers]
        self.opts = opts
        self.log = log
        self.jitter_s = 0.0 if opts.burst else opts.jitter_ms / 1000.0
        self.rng = random.Random(opts.seed)
        self.sel = selectors.DefaultSelector()
        self.timers = []  # heap of (when, seq, printer, payload, dest)
        self.seq = itertools.count()
        self.conn_numbers = itertools.count(1)
        self.connections = set()
        self.stopping = False
        self.udp = None
        configured = sum(1 for p in self.printers if p.record.ip_configured)
        # Shared sockets listen on every address of the namespace, never on the host's own network.
        self.shared = configured > SHARED_LISTENERS_ABOVE and not opts.bind.startswith("127.")
        self.port_sockets = {}  # shared mode: port -> listening socket
        self.routes = {}        # shared mode: (ip, port) -> (printer, kind)

    # ----- start-up and shutdown -------------------------------------------------------------

    def start(self):
        self.udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.udp.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.udp.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        self.udp.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 1 << 20)
        self.udp.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1 << 20)
        self.udp.bind((self.opts.bind, self.opts.listen_port))
        # Blocking for sends (a burst waits for buffer space instead of dropping replies);
        # reads use MSG_DONTWAIT.
        self.sel.register(self.udp, selectors.EVENT_READ, self._on_udp)

        self._wake_r, self._wake_w = socket.socketpair()
        for s in (self._wake_r, self._wake_w):
            s.setblocking(False)
        signal.set_wakeup_fd(self._wake_w.fileno(), warn_on_full_buffer=False)
        self.sel.register(self._wake_r, selectors.EVENT_READ, self._on_wakeup)
        for sig in (signal.SIGTERM, signal.SIGINT):
            signal.signal(sig, self._on_signal)

        self.log.write("start", pid=os.getpid(), udp=endpoint(self.udp.getsockname()),
                       reply_port=self.opts.reply_port, printers=len(self.printers))
        for p in self.printers:
            self.log.write("printer", mac=p.mac, ip=p.record.ip, record=p.record.pack().hex())
        if self.opts.add_addresses:
            self._add_addresses([p.record.ip for p in self.printers if p.record.ip_configured])
        for p in self.printers:
            self._open_listeners(p)

    def shutdown(self):
        for conn in list(self.connections):
            self._close_connection(conn, "shutdown")
        for p in self.printers:
            self._close_listeners(p)
        for sock in self.port_sockets.values():
            self.sel.unregister(sock)
            sock.close()
        signal.set_wakeup_fd(-1)
        for sock in (self.udp, self._wake_r):
            self.sel.unregister(sock)
            sock.close()
        self._wake_w.close()
        self.sel.close()
        self.log.write("stop")

    def _on_signal(self, signum, frame):
        self.stopping = True

    def _on_wakeup(self, _mask):
        try:
            while self._wake_r.recv(512):
                pass
        except BlockingIOError:
            pass

    def run(self):
        while not self.stopping:
            timeout = None
            if self.timers:
                timeout = max(0.0, self.timers[0][0] - time.monotonic())
            for key, mask in self.sel.select(timeout):
                key.data(mask)
                if self.stopping:
                    break
            self._send_due()

    # ----- addresses and TCP listeners -------------------------------------------------------

    def _add_addresses(self, ips):
        """Adds each address as a /32 on the --add-addresses interface; 'exists' is fine."""
        if not ips:
            return
        iface = self.opts.add_addresses
        script = "".join(f"addr add {ip}/32 dev {iface}\n" for ip in dict.fromkeys(ips))
        try:
            result = subprocess.run(["ip", "-force", "-batch", "-"], input=script, text=True,
                                    capture_output=True)
        except OSError as e:
            result = subprocess.CompletedProcess([], 1, "", f"cannot run ip: {e}")
        benign = ("File exists", "already assigned", "Command failed")
        errors = [line for line in result.stderr.splitlines()
                  if line.strip() and not any(b in line for b in benign)]
        self.log.write("addresses_added", iface=iface, count=len(set(ips)), errors=errors)
        for line in errors:
            print(f"printer_sim: ip addr add: {line}", file=sys.stderr)

    def _open_listeners(self, printer):
        if not printer.record.ip_configured:
            return
        wanted = {"print": printer.record.port}
        if printer.config.fw_listen:
            wanted["firmware"] = self.opts.firmware_port
        for kind, port in wanted.items():
            if kind in printer.listeners or port == 0:
                continue
            if self.shared:
                self._route(printer, kind, port)
                continue
            addr = (printer.record.ip, port)
            sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            try:
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
                try:
                    # Lets the socket bind before its address exists on an interface.
                    sock.setsockopt(socket.IPPROTO_IP, IP_FREEBIND, 1)
                except OSError:
                    pass
                if kind == "firmware" and printer.config.fw_stall_after is not None:
                    # Inherited by accepted connections: a small window fills soon once reading stops.
                    sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
                sock.bind(addr)
                sock.listen(16)
                sock.setblocking(False)
            except OSError as e:
                sock.close()
                self.log.write("listen_error", mac=printer.mac, kind=kind, local=endpoint(addr),
                               error=str(e))
                continue
            listener = Listener(sock, printer, kind)
            printer.listeners[kind] = listener
            self.sel.register(sock, selectors.EVENT_READ,
                              lambda _m, lst=listener: self._on_accept(lst))
            self.log.write("listen", mac=printer.mac, kind=kind, local=listener.local)

    def _route(self, printer, kind, port):
        """Shared mode: connections to the printer's address and this port are the printer's."""
        sock = self.port_sockets.get(port)
        if sock is None:
            sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            try:
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
                sock.bind((self.opts.bind, port))
                sock.listen(1024)
                sock.setblocking(False)
            except OSError as e:
                sock.close()
                self.log.write("listen_error", mac=printer.mac, kind=kind,
                               local=endpoint((printer.record.ip, port)), error=str(e))
                return
            self.port_sockets[port] = sock
            self.sel.register(sock, selectors.EVENT_READ, lambda _m, s=sock: self._on_shared_accept(s))
        local = endpoint((printer.record.ip, port))
        self.routes[(printer.record.ip, port)] = (printer, kind)
        printer.listeners[kind] = Listener(sock, printer, kind, local)
        self.log.write("listen", mac=printer.mac, kind=kind, local=local)

    def _on_shared_accept(self, sock):
        try:
            conn_sock, peer = sock.accept()
        except (BlockingIOError, InterruptedError):
            return
        local = conn_sock.getsockname()
        printer, kind = self.routes.get((local[0], local[1]), (None, None))
        if printer is None:
            # No printer listens there: refused, as near as an accepted connection can come.
            conn_sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            conn_sock.close()
            return
        if kind == "firmware" and printer.config.fw_stall_after is not None:
            conn_sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        self._accepted(conn_sock, peer, printer.listeners[kind])

    def _close_listeners(self, printer, kinds=("print", "firmware")):
        for kind in kinds:
            listener = printer.listeners.pop(kind, None)
            if not listener:
                continue
            if self.shared:
                ip, port = listener.local.rsplit(":", 1)
                self.routes.pop((ip, int(port)), None)
            else:
                self.sel.unregister(listener.sock)
                listener.sock.close()
            self.log.write("unlisten", mac=printer.mac, kind=kind, local=listener.local)

    # ----- TCP connections -------------------------------------------------------------------

    def _on_accept(self, listener):
        try:
            sock, peer = listener.sock.accept()
        except (BlockingIOError, InterruptedError):
            return
        self._accepted(sock, peer, listener)

    def _accepted(self, sock, peer, listener):
        sock.setblocking(False)
        conn = Connection(sock, listener, peer, next(self.conn_numbers))
        self.connections.add(conn)
        self.sel.register(sock, selectors.EVENT_READ, lambda _m: self._on_readable(conn))
        self.log.write("tcp_accept", conn=conn.number, mac=listener.printer.mac,
                       kind=listener.kind, local=conn.local, peer=conn.peer)
        left, fault = self._firmware_limit(conn)
        if left == 0:
            self._apply_fault(conn, fault)

    def _firmware_limit(self, conn):
        """(bytes still to read before the printer's fault, "reset"/"stall") or (None, None)."""
        if conn.listener.kind != "firmware":
            return None, None
        cfg = conn.listener.printer.config
        for limit, fault in ((cfg.fw_reset_after, "reset"), (cfg.fw_stall_after, "stall")):
            if limit is not None:
                return max(0, limit - len(conn.data)), fault
        return None, None

    def _apply_fault(self, conn, fault):
        if fault == "reset":
            # Linger 0: close() sends a RST instead of a FIN.
            conn.sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self._close_connection(conn, "reset")
        else:
            self.sel.unregister(conn.sock)
            conn.stalled = True
            self.log.write("tcp_stall", conn=conn.number, kind=conn.listener.kind, total=len(conn.data))

    def _on_readable(self, conn):
        left, fault = self._firmware_limit(conn)
        if left == 0:
            self._apply_fault(conn, fault)
            return
        try:
            chunk = conn.sock.recv(min(left or (1 << 16), 1 << 16))
        except (BlockingIOError, InterruptedError):
            return
        except OSError as e:
            self._close_connection(conn, f"error: {e}")
            return
        if not chunk:
            self._close_connection(conn, "peer closed")
            return
        conn.data += chunk
        self.log.write("tcp_data", conn=conn.number, kind=conn.listener.kind, local=conn.local,
                       peer=conn.peer, n=len(chunk), hex=chunk.hex())
        if left is not None and len(chunk) == left:
            self._apply_fault(conn, fault)

    def _close_connection(self, conn, reason):
        self.connections.discard(conn)
        if not conn.stalled:
            self.sel.unregister(conn.sock)
        conn.sock.close()
        extra = {}
        if conn.listener.kind == "firmware":
            # A firmware image comes as a 4-byte big-endian length, then that many bytes.
            declared = struct.unpack(">I", conn.data[:4])[0] if len(conn.data) >= 4 else None
            extra = {"declared_len": declared,
                     "complete": declared is not None and len(conn.data) == 4 + declared}
        self.log.write("tcp_close", conn=conn.number, mac=conn.listener.printer.mac,
                       kind=conn.listener.kind, local=conn.local, peer=conn.peer, reason=reason,
                       total=len(conn.data), hex=conn.data.hex(), **extra)

    # ----- UDP commands ----------------------------------------------------------------------

    def _on_udp(self, _mask):
        while True:
            try:
                data, sender = self.udp.recvfrom(65535, socket.MSG_DONTWAIT)
            except (BlockingIOError, InterruptedError):
                return
            except OSError as e:  # e.g. ICMP port unreachable reported on a later read
                self.log.write("udp_error", error=str(e))
                continue
            self.log.write("udp_in", **{"from": endpoint(sender)}, hex=data.hex())
            self._handle_datagram(data, sender)

    def _handle_datagram(self, data, sender):
        command = data[:4]
        dest = (sender[0], self.opts.reply_port)
        if command == FIND:
            self._answer_find(dest)
        elif command in (SETT, FIRS):
            if len(data) < 4 + RECORD_LEN:
                self.log.write("udp_ignored", reason="short", command=command.decode())
                return
            target = data[4:4 + RECORD_LEN]
            matches = [p for p in self.printers if p.record.mac == target[:6]]
            if not matches:
                self.log.write("no_match", command=command.decode(), mac=format_mac(target[:6]))
            for p in matches:
                if command == SETT:
                    self._apply_sett(p, Record.unpack(target), dest)
                else:
                    self._arm_firmware(p)
        else:
            self.log.write("udp_ignored", reason="unknown command",
                           command=command.decode("ascii", "replace"))

    def _answer_find(self, dest):
        now = time.monotonic()
        for p in self.printers:
            cfg = p.config
            if cfg.silent:
                continue
            payload = cfg.raw_reply if cfg.raw_reply is not None else IMIN + p.record.pack()
            first = now + cfg.delay_ms / 1000.0
            if self.jitter_s:
                first += self.rng.uniform(0.0, self.jitter_s)
            for i in range(cfg.repeat):
                when = first + i * cfg.repeat_gap_ms / 1000.0
                heapq.heappush(self.timers, (when, next(self.seq), p, payload, dest))
        self._send_due()

    def _send_due(self):
        """Sends every reply whose time has come, back-to-back, and logs them afterwards."""
        now = time.monotonic()
        sent = []
        while self.timers and self.timers[0][0] <= now:
            _, _, printer, payload, dest = heapq.heappop(self.timers)
            sent.append((printer, payload, dest, self._send(printer, payload, dest)))
        for printer, payload, dest, result in sent:
            self._log_send(printer, payload, dest, result)

    def _send(self, printer, payload, dest):
        """Sends from the printer's own address where it is local; otherwise from the default.
        Returns (source used, error or None)."""
        if printer.record.ip_configured:
            pktinfo = struct.pack("=i4s4s", 0, socket.inet_aton(printer.record.ip), bytes(4))
            try:
                self.udp.sendmsg([payload], [(socket.IPPROTO_IP, IP_PKTINFO, pktinfo)], 0, dest)
                return printer.record.ip, None
            except OSError:
                pass
        try:
            self.udp.sendto(payload, dest)
            return None, None
        except OSError as e:
            return None, str(e)

    def _log_send(self, printer, payload, dest, result):
        src, error = result
        if error:
            self.log.write("udp_send_error", mac=printer.mac, to=endpoint(dest), error=error)
        else:
            self.log.write("udp_out", mac=printer.mac, src=src, to=endpoint(dest),
                           hex=payload.hex())

    def _apply_sett(self, printer, requested, dest):
        old = printer.record
        printer.record = old.with_settings_from(requested)
        self.log.write("sett_applied", mac=printer.mac, record=printer.record.pack().hex(),
                       old=old.pack().hex())
        if printer.record.ip != old.ip:
            self._close_listeners(printer)
            if self.opts.add_addresses and printer.record.ip_configured:
                self._add_addresses([printer.record.ip])
        elif printer.record.port != old.port:
            self._close_listeners(printer, ("print",))
        self._open_listeners(printer)
        if printer.config.ack_sett:
            payload = SETC + printer.record.pack()
            self._log_send(printer, payload, dest, self._send(printer, payload, dest))

    def _arm_firmware(self, printer):
        self._open_listeners(printer)  # normally open since start-up; retried in case it failed
        listener = printer.listeners.get("firmware")
        self.log.write("firmware_armed", mac=printer.mac,
                       local=listener.local if listener else None)


# ----- command line --------------------------------------------------------------------------

def in_private_netns():
    """True inside a network namespace other than the one PID 1 (the machine) uses."""
    try:
        mine = os.stat("/proc/self/ns/net").st_ino
    except OSError:
        return False
    try:
        if os.stat("/proc/1/ns/net").st_ino != mine:
            return True
    except OSError:
        pass
    try:
        return any(os.stat(os.path.join("/run/netns", n)).st_ino == mine
                   for n in os.listdir("/run/netns"))
    except OSError:
        return False


def parse_args(argv):
    ap = argparse.ArgumentParser(description="Simulates network receipt/label printers.")
    ap.add_argument("--config", help="JSON file: list of printers or {defaults, printers}")
    ap.add_argument("--printer", action="append", default=[], metavar="KEYS",
                    help="key=value,... e.g. mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,port=9100")
    ap.add_argument("--defaults", default="", metavar="KEYS",
                    help="key=value,... applied to every printer before its own keys")
    ap.add_argument("--count", type=int, default=0, help="add N printers with consecutive IPs")
    ap.add_argument("--base-ip", help="first IP for --count (last bytes .0/.255 are skipped)")
    ap.add_argument("--base-mac", default=DEFAULT_BASE_MAC,
                    help="printers without a MAC get the MACs after this one")
    ap.add_argument("--bind", default="0.0.0.0", help="UDP bind address")
    ap.add_argument("--listen-port", type=int, default=DEFAULT_LISTEN_PORT)
    ap.add_argument("--reply-port", type=int, default=DEFAULT_REPLY_PORT)
    ap.add_argument("--firmware-port", type=int, default=DEFAULT_FIRMWARE_PORT)
    ap.add_argument("--burst", action="store_true",
                    help="no jitter: all FIND answers go out back-to-back")
    ap.add_argument("--jitter-ms", type=float, default=5.0,
                    help="each printer answers FIND after a random 0..N ms (default 5)")
    ap.add_argument("--seed", type=int, help="seed for the jitter")
    ap.add_argument("--add-addresses", metavar="IFACE",
                    help="add every printer IP as a /32 on IFACE (private namespace only)")
    ap.add_argument("--unsafe-host-network", action="store_true",
                    help="allow a non-loopback bind or --add-addresses outside a private namespace")
    ap.add_argument("--log", help="JSON-lines event log ('-' = stdout)")
    ap.add_argument("--ready-file", help="created once all sockets are bound")
    return ap.parse_args(argv)


def load_printers(opts):
    defaults, descs = {}, []
    if opts.config:
        defaults, descs = load_config_file(opts.config)
    defaults = {**defaults, **parse_compact(opts.defaults)}
    descs = list(descs) + [parse_compact(s) for s in opts.printer]
    return build_all(descs, defaults, opts.count, opts.base_ip, opts.base_mac)


def raise_fd_limit():
    try:
        import resource
        soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
        if soft != hard:
            resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    except (ImportError, ValueError, OSError):
        pass


def main(argv=None):
    opts = parse_args(sys.argv[1:] if argv is None else argv)
    try:
        printers = load_printers(opts)
    except (ValueError, OSError) as e:
        sys.exit(f"printer_sim: {e}")
    if not printers:
        sys.exit("printer_sim: no printers (use --printer, --config or --count)")
    risky = opts.add_addresses or not opts.bind.startswith("127.")
    if risky and not opts.unsafe_host_network and not in_private_netns():
        sys.exit("printer_sim: not in a private network namespace; run it via tools/netns-run.sh "
                 "(or bind 127.0.0.1 without --add-addresses)")

    if opts.ready_file and os.path.exists(opts.ready_file):
        os.unlink(opts.ready_file)
    raise_fd_limit()
    log = EventLog(opts.log)
    sim = Simulator(printers, opts, log)
    try:
        sim.start()
    except OSError as e:
        sys.exit(f"printer_sim: {e}")
    if opts.ready_file:
        with open(opts.ready_file + ".tmp", "w") as f:
            json.dump({"pid": os.getpid()}, f)
        os.replace(opts.ready_file + ".tmp", opts.ready_file)
    try:
        sim.run()
    finally:
        sim.shutdown()
        log.close()
        if opts.ready_file and os.path.exists(opts.ready_file):
            os.unlink(opts.ready_file)


if __name__ == "__main__":
    main()

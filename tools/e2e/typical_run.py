#!/usr/bin/env python3
"""The user's typical run with the driver package, as steps on a running kvrconfig.exe: make sure
the package has a port (Port Management, Add Port when there is none), search, configure a printer
on that port, see the row show the port, print the test page, detach. The test page goes through
the COM bridge (tools/com_bridge) to the simulated printer bound in the store.

tests/e2e/test_typical_run.py runs these steps as a test. tools/demo/session.sh runs them as the
headless demo (`typical_run.py demo`): a screenshot after each step and a short report.
"""

import os
import subprocess
import sys
import time

from driver import IDOK, Driver
from session import (IDC_CONFIGURE, IDC_DETACH_PORT, IDC_PORT_MANAGE, IDC_PRINTER_LIST, IDC_SEARCH,
                     IDC_TEST_PRINT, MAIN_TITLE, SEARCH_TITLE)

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "printer_sim"))
import simlog  # noqa: E402

CONFIG_TITLE = "Printer Configuration Setup"
PORT_TITLE = "KVR Virtual Port for ethernet Management"
IDC_PORT_LIST = 1014          # the configuration dialog's PORT list and the port management list
IDC_ADD_PORT = 1024
TEST_PAGE_SIZE = 195          # for a four-character port name


def expected_test_page(port):
    """The bytes that STEP 3 writes to `port`, zero bytes included."""
    rule = b"=" * 31 + b"\n\0"
    port_line = b"      Assinged Port :" + port.encode()
    return (rule + b"  Virtual COM for USB Test   \n\0" + b"         Test is OK          \n\0"
            + port_line + b"\0" * (35 - len(port_line))
            + b"\n KELVARO KVRLANCOM Test Page \n\0" + rule)


class TypicalRun:
    """The steps on the main window `main` of process `pid`. `printer_log` and `bridge_log` are the
    simulator's and the bridge's event logs; shot(name) is called where the demo saves a screenshot."""

    def __init__(self, driver, main, pid, printer_log, bridge_log, shot=None):
        self.d, self.main, self.pid = driver, main, pid
        self.printer_log, self.bridge_log = printer_log, bridge_log
        self.shot = shot or (lambda name: None)

    def message_box(self, timeout=5.0):
        return self.d.wait_message_box(self.pid, timeout)

    def ensure_port(self):
        """The package's ports; adds one through "Port Management" when there is none.
        Returns (ports, the "Add Port" box's text or None)."""
        self.d.click(self.main, IDC_PORT_MANAGE)
        dialog, _ = self.d.wait_window(PORT_TITLE, 10, self.pid)
        added = None
        if not self.d.combo_items(dialog, IDC_PORT_LIST):
            self.d.click(dialog, IDC_ADD_PORT)
            box = self.message_box(timeout=60)
            added = box.text
            self.d.press(box)
        ports = self.d.combo_items(dialog, IDC_PORT_LIST)
        self.d.click(dialog, IDOK)  # "Exit"
        self.d.wait_gone(dialog, 5)
        return ports, added

    def wait_bridged(self, port, timeout=5.0):
        simlog.wait_for(self.bridge_log, lambda e: e["event"] == "map" and e["port"] == port, timeout)

    def search(self):
        self.d.click(self.main, IDC_SEARCH)
        dialog, _ = self.d.wait_window(SEARCH_TITLE, 10, self.pid)
        self.d.wait_gone(dialog, 20)
        return self.rows()

    def rows(self):
        return self.d.lv_cells(self.main, IDC_PRINTER_LIST)

    def select(self, mac):
        row = [r[1] for r in self.rows()].index(mac)
        self.d.lv_select(self.main, IDC_PRINTER_LIST, row)
        return row

    def configure(self, mac, port):
        """STEP 2 on the printer: bind `port`, save. Returns (the box's text, the rows after the
        tool's own second search)."""
        self.select(mac)
        self.d.click(self.main, IDC_CONFIGURE)
        dialog, _ = self.d.wait_window(CONFIG_TITLE, 5, self.pid)
        self.d.combo_select(dialog, IDC_PORT_LIST, self.d.combo_items(dialog, IDC_PORT_LIST).index(port))
        self.shot("2-configuration")
        self.d.click(dialog, IDOK)
        box = self.message_box()
        self.d.press(box)
        self.d.wait_gone(dialog, 5)
        search, _ = self.d.wait_window(SEARCH_TITLE, 6, self.pid)
        self.d.wait_gone(search, 20)
        return box.text, self.rows()

    def test_print(self, mac, shot=None):
        """STEP 3 on the printer; (the box's text, the click's time.monotonic())."""
        self.select(mac)
        clicked = time.monotonic()
        self.d.click(self.main, IDC_TEST_PRINT)
        box = self.message_box()
        if shot:
            self.shot(shot)
        self.d.press(box)
        return box.text, clicked

    def detach(self, mac):
        row = self.select(mac)
        self.d.click(self.main, IDC_DETACH_PORT)
        return self.rows()[row]

    def printer_received(self, local, since, size, timeout=5.0):
        """The bytes that the printer's listener `local` ("ip:port") received after `since`, once
        `size` have come or the time is up; and the time the last of them came."""
        received, last = b"", None
        deadline = time.monotonic() + timeout
        while True:
            chunks = [e for e in simlog.read_events(self.printer_log, "tcp_data")
                      if e["local"] == local and e["t"] >= since]
            received = b"".join(bytes.fromhex(e["hex"]) for e in chunks)
            last = chunks[-1]["t"] if chunks else None
            if len(received) >= size or time.monotonic() > deadline:
                return received, last
            time.sleep(0.01)

    def bridge_timing(self, port, since):
        """The bridge's part in the data that came on `port` after `since`: first data read, last
        byte sent, lookup and connect times (ms)."""
        events = [e for e in simlog.read_events(self.bridge_log) if e.get("port") == port and e["t"] >= since]
        first = next((e["t"] for e in events if e["event"] == "data"), None)
        sent = [e["t"] for e in events if e["event"] == "sent"]
        lookup = next((e["ms"] for e in events if e["event"] == "lookup"), None)
        connect = next((e["ms"] for e in events if e["event"] == "connect"), None)
        return first, (sent[-1] if sent else None), lookup, connect


# ----- the demo -----------------------------------------------------------------------------------

def _ms(a, b):
    return f"{(b - a) * 1000:.1f} ms" if a is not None and b is not None else "n/a"


def demo(shots_dir, mac, printer_log, bridge_log):
    os.makedirs(shots_dir, exist_ok=True)
    saved = []
    report = []
    with Driver() as d:
        main, pid = d.wait_window(MAIN_TITLE, 30)
        d.send_timeout(30)

        def shot(name):
            # A window that has just shown paints its controls only once the rest of its queue is
            # handled: wait for every window of the tool to be drawn, then take the picture.
            d.wait_painted(pid)
            path = os.path.join(shots_dir, name + ".png")
            subprocess.run(["import", "-window", "root", path], check=True)
            saved.append(path)

        run = TypicalRun(d, main, pid, printer_log, bridge_log, shot)
        ports, added = run.ensure_port()
        port = ports[0]
        run.wait_bridged(port)
        report.append(f"port: {port}" + (f" (Add Port: {added})" if added else " (installed with the package)"))
        rows = run.search()
        shot("1-search")
        report.append(f"search: {len(rows)} printer(s): " + "; ".join(" | ".join(r[1:]) for r in rows))
        text, rows = run.configure(mac, port)
        shot("3-bound")
        row = next(r for r in rows if r[1] == mac)
        report.append(f"configure {mac} on {port}: {text!r}; row now: {' | '.join(row[1:])}")
        local = f"{row[2]}:{row[3]}"
        text, clicked = run.test_print(mac, "4-test-print")
        received, receipt = run.printer_received(local, clicked, TEST_PAGE_SIZE)
        ok = received == expected_test_page(port)
        report.append(f"test print: {text!r}; printer {local} received {len(received)} bytes"
                      + (", the test page exactly" if ok else ", NOT the expected test page"))
        first, sent, lookup, connect = run.bridge_timing(port, clicked)
        report.append(f"click to printer's receipt: {_ms(clicked, receipt)} (tool and Wine to the port "
                      f"{_ms(clicked, first)}, bridge {_ms(first, sent)} with store lookup {lookup} ms "
                      f"and connect {connect} ms, network and printer {_ms(sent, receipt)})")
        row = run.detach(mac)
        detached = time.monotonic()
        text, _ = run.test_print(mac)
        time.sleep(1.0)
        after, _ = run.printer_received(local, detached, 1, timeout=0)
        report.append(f"detach: row reads {row[4]!r}; test print: {text!r}; printer received "
                      f"{len(after)} more bytes")
        saved.sort()
        d.click(main, IDOK)
        d.wait_gone(main, 10)
    print("== typical run")
    for line in report:
        print("  " + line)
    print("  screenshots: " + ", ".join(saved))
    return 0 if ok and not after else 1


def main():
    if len(sys.argv) != 6 or sys.argv[1] != "demo":
        sys.exit("usage: typical_run.py demo SHOTS_DIR MAC PRINTER_LOG BRIDGE_LOG")
    sys.exit(demo(*sys.argv[2:]))


if __name__ == "__main__":
    main()

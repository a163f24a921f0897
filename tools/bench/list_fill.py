#!/usr/bin/env python3
"""Benchmark: how long the main window stays blocked after a search that 1000 simulated printers
answered at once, with an empty port assignment store and with 256 bindings (none of them to these
printers) in it. Blocked time: from the search dialog's disappearance until the main window
answers a list-view message from this process, less what the same answer costs when the window is
idle. Prints both figures; fails unless every printer is listed.

Runs inside the harness (ctest -L bench inside tools/netns-run.sh and tools/wine/with-prefix.sh,
as tools/bench/run.sh does) with KVRCONFIG_EXE and KVRDRIVE_EXE set.
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import registry  # noqa: E402
from session import IDC_PRINTER_LIST, KvrconfigSession, require_environment  # noqa: E402

COUNT = int(os.environ.get("KVR_BENCH_PRINTERS", "1000"))
BINDINGS = 256
GOAL_MS = 500


def blocked_ms(bindings):
    store = registry.PortBindings()
    if bindings:
        # Addresses on another network: none of the simulated printers is bound.
        registry.import_reg([(f"{registry.STORE}\\COM{n}", {"IPAddress": registry.ip_dword(f"10.99.{n // 250}.{n % 250 + 1}")})
                             for n in range(1, bindings + 1)])
        store._created = [f"COM{n}" for n in range(1, bindings + 1)]
    session = KvrconfigSession(sim_args=["--count", str(COUNT), "--burst", "--base-ip", "192.168.10.1"])
    try:
        d = session.driver
        d.send_timeout(300)
        dialog = session.open_search()
        d.wait_gone(dialog, 30)
        gone = time.monotonic()
        listed = d.lv_count(session.main, IDC_PRINTER_LIST)  # answered once the window is free
        answered = time.monotonic()
        idle = min(_timed(lambda: d.lv_count(session.main, IDC_PRINTER_LIST)) for _ in range(5))
        if listed != COUNT:
            raise SystemExit(f"list_fill: {listed} rows listed of {COUNT}")
        return (answered - gone) * 1000 - idle * 1000
    finally:
        session.close()
        store.restore()


def _timed(call):
    start = time.monotonic()
    call()
    return time.monotonic() - start


def main():
    missing = require_environment()
    if missing:
        print(f"skipped: list_fill needs the end-to-end harness (missing {missing})")
        return 77  # SKIP_RETURN_CODE: reported as skipped
    empty = blocked_ms(0)
    full = blocked_ms(BINDINGS)
    print(f"window blocked after a {COUNT}-printer search, empty store:     {empty:6.0f} ms")
    print(f"window blocked after a {COUNT}-printer search, {BINDINGS} bindings:   {full:6.0f} ms")
    ok = empty < GOAL_MS and full < GOAL_MS
    print(f"goal under {GOAL_MS} ms: " + ("met" if ok else "MISSED"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())

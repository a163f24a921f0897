#!/usr/bin/env python3
"""Benchmark: one search answered by 1000 simulated printers in one burst. Prints how many rows
kvrconfig listed and how long filling the list took; fails unless every printer is listed.

Runs inside the harness (tools/bench/run.sh search_burst sets it up, or ctest -L bench inside
tools/netns-run.sh and tools/wine/with-prefix.sh) with KVRCONFIG_EXE and KVRDRIVE_EXE set.
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from session import IDC_FOUND_COUNT, IDC_PRINTER_LIST, KvrconfigSession, require_environment  # noqa: E402

COUNT = int(os.environ.get("KVR_BENCH_PRINTERS", "1000"))


def main():
    missing = require_environment()
    if missing:
        print(f"skipped: search_burst needs the end-to-end harness (missing {missing})")
        return 77  # SKIP_RETURN_CODE: reported as skipped
    session = KvrconfigSession(sim_args=["--count", str(COUNT), "--burst", "--base-ip", "192.168.10.1"])
    try:
        d = session.driver
        dialog = session.open_search()
        counter = d.sample_text(dialog, IDC_FOUND_COUNT, 20, 15)
        closed = time.monotonic()
        d.send_timeout(300)
        listed = d.lv_count(session.main, IDC_PRINTER_LIST)  # answered once the list is filled
        filled = time.monotonic()
        rows = session.rows()
        sent = session.sim_events("udp_out")
        find = session.sim_events("udp_in")
        burst_ms = (sent[-1]["t"] - sent[0]["t"]) * 1000 if sent else 0
        counted = [(ms, int(v)) for ms, v in counter.values]
        all_in = next((ms for ms, v in counted if v >= len(sent)), None)
        print(f"printers answering:        {COUNT} (replies sent: {len(sent)} in {burst_ms:.0f} ms)")
        print(f"search counter at close:   {counted[-1][1] if counted else '?'}"
              + (f" (all counted {all_in} ms after the dialog showed)" if all_in is not None else ""))
        print(f"rows listed:               {listed} ({len({r[1] for r in rows})} distinct MACs)")
        print(f"filling the list took:     {(filled - closed) * 1000:.0f} ms (dialog closed -> list ready)")
        print(f"first reply after FIND:    {(sent[0]['t'] - find[0]['t']) * 1000:.1f} ms" if sent and find else "")
        ok = listed == COUNT and len({r[1] for r in rows}) == COUNT
        print("result:                    " + ("all listed" if ok else "MISSING ROWS"))
        return 0 if ok else 1
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main())

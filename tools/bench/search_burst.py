#!/usr/bin/env python3
"""Benchmark: one search answered by 1,000, 4,000 and 10,000 simulated printers in one burst.

For each burst it prints the rows kvrconfig listed, the seconds from the click on "STEP 1" to the
search dialog's end, the milliseconds from the click to the dialog on screen (shown, nothing left
to paint), the cost per reply of kvrconfig and of two receivers in the same prefix (kvrrecvbench:
the minimal WSAAsyncSelect receiver, which is the limit, and kvrconfig's own endpoint with a
window that only counts), and kvrconfig's peak working set.

Cost per reply: the time from the first reply taken to the last, over the replies between. The
simulator sends a burst faster than any receiver here takes it (its send time is printed), so
the replies queue up and the figure is the receiver's own.

Runs inside the harness (tools/bench/run.sh search_burst sets it up, or ctest -L bench inside
tools/netns-run.sh and tools/wine/with-prefix.sh) with KVRCONFIG_EXE, KVRDRIVE_EXE and
KVRRECVBENCH_EXE set. KVR_BENCH_PRINTERS="1000,4000,10000" chooses the bursts.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from driver import DriverError  # noqa: E402
from session import IDC_FOUND_COUNT, IDC_PRINTER_LIST, IDC_SEARCH, SEARCH_TITLE, KvrconfigSession, \
    require_environment  # noqa: E402

BURSTS = [int(n) for n in os.environ.get("KVR_BENCH_PRINTERS", "1000,4000,10000").split(",")]


def linux_pids_of(image):
    pids = []
    for name in os.listdir("/proc"):
        if name.isdigit():
            try:
                with open(f"/proc/{name}/cmdline", "rb") as f:
                    if image.encode() in f.read():
                        pids.append(int(name))
            except OSError:
                pass
    return pids


def memory_kb(pid, field):
    """A /proc/PID/status figure in kB; 0 for a process that has gone (Wine's short-lived helpers)."""
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def receiver_cost(mode, count):
    """(replies taken, ms per reply) of kvrrecvbench in this mode."""
    out = subprocess.run([os.environ["KVR_WINE"], os.environ["KVRRECVBENCH_EXE"], mode, str(count), "8000"],
                         capture_output=True, text=True, timeout=60).stdout
    line = next((ln for ln in out.splitlines() if ln.startswith("received")), None)
    if line is None:
        return 0, float("nan")
    taken, first, last = int(line.split()[1]), float(line.split()[2]), float(line.split()[3])
    return taken, (last - first) / (taken - 1) if taken > 1 else float("nan")


def burst_after(session, since):
    """Seconds the simulator took to send the replies of the request after `since`."""
    sent = [e["t"] for e in session.sim_events("udp_out") if e["t"] >= since]
    return (sent[-1] - sent[0]) if len(sent) > 1 else 0.0


def measure(count):
    session = KvrconfigSession(sim_args=["--count", str(count), "--burst", "--base-ip", "192.168.10.1"])
    try:
        d = session.driver
        row = {"printers": count}
        for mode in ("minimal", "endpoint"):
            since = time.monotonic()
            taken, cost = receiver_cost(mode, count)
            row[mode] = (taken, cost)
            row[mode + "_send"] = burst_after(session, since)
            time.sleep(0.5)
        pids = linux_pids_of(os.path.basename(os.environ["KVRCONFIG_EXE"])) or [0]
        before_kb = max(memory_kb(p, "VmRSS") for p in pids)

        clicked = time.monotonic()
        d.click(session.main, IDC_SEARCH)
        dialog, _ = d.wait_window(SEARCH_TITLE, 30, session.pid)
        try:
            d.wait_shown(dialog, 30)
            row["shown_ms"] = (time.monotonic() - clicked) * 1000
        except DriverError:  # closed before it was ever painted whole
            row["shown_ms"] = float("nan")
        sampled = time.monotonic()
        counter = d.sample_text(dialog, IDC_FOUND_COUNT, 20, 20)
        row["end_s"] = sampled + counter.elapsed_ms / 1000 - clicked
        row["tool_send"] = burst_after(session, clicked)
        d.send_timeout(300)
        row["rows"] = d.lv_count(session.main, IDC_PRINTER_LIST)
        counted = [(ms, int(v)) for ms, v in counter.values if v.isdigit()]
        first = next(((ms, v) for ms, v in counted if v > 0), None)
        last = next(((ms, v) for ms, v in counted if v == counted[-1][1]), None) if counted else None
        row["tool"] = ((last[0] - first[0]) / (last[1] - first[1])
                       if first and last and last[1] > first[1] else float("nan"))
        row["peak_mb"] = max(memory_kb(p, "VmHWM") for p in pids) / 1024
        row["before_mb"] = before_kb / 1024
        return row
    finally:
        session.close()


def main():
    missing = require_environment() or (None if os.environ.get("KVRRECVBENCH_EXE") else "KVRRECVBENCH_EXE")
    if missing:
        print(f"skipped: search_burst needs the end-to-end harness (missing {missing})")
        return 77  # SKIP_RETURN_CODE: reported as skipped
    rows = [measure(n) for n in BURSTS]
    print()
    print("| printers | rows listed | click to end (s) | click to shown (ms) | kvrconfig ms/reply "
          "| endpoint alone ms/reply | minimal receiver ms/reply (taken) | simulator send (s) "
          "| peak working set (MB; before the search) |")
    print("|---|---|---|---|---|---|---|---|---|")
    for r in rows:
        print(f"| {r['printers']} | {r['rows']} | {r['end_s']:.2f} | {r['shown_ms']:.0f} | {r['tool']:.3f} "
              f"| {r['endpoint'][1]:.3f} | {r['minimal'][1]:.3f} ({r['minimal'][0]}) | {r['tool_send']:.2f} "
              f"| {r['peak_mb']:.1f} ({r['before_mb']:.1f}) |")
    if len(rows) > 1 and rows[-1]["printers"] > rows[0]["printers"]:
        per = ((rows[-1]["peak_mb"] - rows[0]["peak_mb"]) * 1024 * 1024
               / (rows[-1]["printers"] - rows[0]["printers"]))
        print(f"peak working set per listed printer: {per:.0f} bytes (table and list together)")
    for r in rows:
        ratio = r["tool"] / r["minimal"][1] if r["minimal"][1] == r["minimal"][1] and r["minimal"][1] else float("nan")
        ok = r["rows"] == r["printers"] and r["end_s"] < 3.6 and r["shown_ms"] <= 100
        print(f"{r['printers']}: kvrconfig / minimal receiver = {ratio:.2f}; "
              + ("all listed, on time, shown at once" if ok else "GOAL MISSED"))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Benchmark: one 256 KB firmware upload to a simulated printer. Prints the wall time from the "FIRS"
datagram to the last byte against the pacing's minimum, and the slowest answer of the upload window
to another process's message during the transfer (read every 10 ms). Fails unless the image arrived
whole, the ratio is at most 1.02 and the slowest answer at most 100 ms.

Runs inside the harness (tools/bench/run.sh firmware_upload sets it up, or ctest -L bench inside
tools/netns-run.sh and tools/wine/with-prefix.sh) with KVRCONFIG_EXE and KVRDRIVE_EXE set.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from firmware_upload import (IDC_PERCENT, choose_file, firs_datagrams, image, open_upload,  # noqa: E402
                             stream_pieces, write_file)
from session import IDC_PRINTER_LIST, KvrconfigSession, require_environment  # noqa: E402

SIZE = int(os.environ.get("KVR_BENCH_IMAGE_BYTES", str(256 * 1024)))
BLOCKS = -(-SIZE // 1024)
# FIRS, 100 ms tick, 1500 ms pause, 100 ms tick, connect, length, 600 ms, then a block every 600 ms.
MINIMUM_S = 1.6 + 0.6 * BLOCKS


def main():
    missing = require_environment()
    if missing:
        print(f"skipped: firmware_upload needs the end-to-end harness (missing {missing})")
        return 77  # SKIP_RETURN_CODE: reported as skipped
    session = KvrconfigSession(["mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,port=515"])
    try:
        d = session.driver
        session.search()
        d.lv_select(session.main, IDC_PRINTER_LIST, 0)
        data = image(SIZE)
        open_upload(session)
        window = choose_file(session, write_file(session.cwd, "bench.bin", data))
        sample = d.sample_text(window, IDC_PERCENT, 10, MINIMUM_S + 60)
        box = session.message_box(5)
        d.press(box)
        [firs] = firs_datagrams(session)
        pieces = stream_pieces(session)
        received = b"".join(p for _, p in pieces)
        whole = received == SIZE.to_bytes(4, "big") + data
        wall = pieces[-1][0] - firs["t"]
        ratio = wall / MINIMUM_S
        print(f"image:                     {SIZE} bytes, {BLOCKS} blocks, arrived {'whole' if whole else 'DAMAGED'}")
        print(f"FIRS -> last byte:         {wall:.3f} s")
        print(f"pacing minimum:            {MINIMUM_S:.1f} s (1.6 s + 0.6 s x {BLOCKS}: after the length and"
              f" between blocks)")
        print(f"ratio:                     {ratio:.4f} (goal <= 1.02)")
        print(f"percentages seen:          {len(sample.values)} distinct, last {sample.values[-1][1]!r}")
        print(f"slowest answer to a read:  {sample.slowest_ms} ms (goal <= 100 ms)")
        ok = whole and ratio <= 1.02 and sample.slowest_ms <= 100
        print("result:                    " + ("within the goals" if ok else "GOAL MISSED"))
        return 0 if ok else 1
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main())

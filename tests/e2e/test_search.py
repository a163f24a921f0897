"""The printer search end to end: "STEP 1 - Printer Search" against simulated printers on the
private network, seen through the search dialog and the main window's list."""

import time
import unittest

from session import E2ETestCase, IDC_FOUND_COUNT, IDC_PRINTER_LIST, IDC_SEARCH_STATUS

IDCANCEL = 2
FIND_HEX = "46494e44"
TOOL = "10.77.0.1:48780"


def ticks_of(values):
    """Tick numbers of the distinct status texts seen: "" before the first tick, then
    "Now Searching." with k mod 10 more dots after tick k. Consecutive values differ, so the dots
    tell how many ticks passed, provided fewer than ten in a row went unseen."""
    prefix = "Now Searching."
    ticks, tick, dots = [], 0, 0
    for value in values:
        if value == "":
            if ticks:
                raise AssertionError(f"status line empty again after tick {tick}: {values}")
            ticks.append(0)
            continue
        if not value.startswith(prefix) or set(value[len(prefix):]) - {"."}:
            raise AssertionError(f"unexpected status text {value!r}")
        now = len(value) - len(prefix)
        tick += (now - dots) % 10 or 10
        dots = now
        ticks.append(tick)
    return ticks


class Search(E2ETestCase):
    def test_three_printers_listed_in_reply_order(self):
        s = self.start_session([
            "mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,port=515,delay_ms=300",
            "mac=00:1a:2b:3d:4e:60,ip=192.168.0.11,port=443,delay_ms=0",
            "mac=00:1a:2b:3d:4e:61,ip=0.0.0.0,port=9100,delay_ms=150",
        ])
        dialog = s.open_search()
        counter = s.driver.sample_text(dialog, IDC_FOUND_COUNT, 10, 10)
        self.assertTrue(counter.closed)
        counts = [int(v) for _, v in counter.values]
        self.assertEqual(counts[-1], 3)
        self.assertEqual(counts, sorted(set(counts)), "the counter only grows")
        self.assertEqual(s.rows(), [
            ["1", "00:1a:2b:3d:4e:60", "192.168.0.11", "443", "Not Assigned"],
            ["2", "00:1a:2b:3d:4e:61", "Not Configuration", "9100", "Not Assigned"],
            ["3", "00:1a:2b:3d:4e:5f", "192.168.0.10", "515", "Not Assigned"],
        ])
        sent = [e["mac"] for e in s.sim_events("udp_out")]
        self.assertEqual(sent, ["00:1a:2b:3d:4e:60", "00:1a:2b:3d:4e:61", "00:1a:2b:3d:4e:5f"])

    def test_printer_answering_twice_is_listed_twice(self):
        s = self.start_session(["mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,port=515,repeat=2,repeat_gap_ms=200"])
        dialog = s.open_search()
        counter = s.driver.sample_text(dialog, IDC_FOUND_COUNT, 10, 10)
        self.assertEqual(counter.values[-1][1], "2")
        self.assertEqual(s.rows(), [["1", "00:1a:2b:3d:4e:5f", "192.168.0.10", "515", "Not Assigned"],
                                    ["2", "00:1a:2b:3d:4e:5f", "192.168.0.10", "515", "Not Assigned"]])

    def test_cancel_at_once_leaves_an_empty_list(self):
        s = self.start_session(["mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,port=515,delay_ms=800"])
        self.assertEqual(len(s.search()), 1)
        dialog = s.open_search()
        s.driver.click(dialog, IDCANCEL)
        self.assertLess(s.driver.wait_gone(dialog, 5), 700)
        self.assertEqual(s.rows(), [], "the table was emptied when the dialog opened")
        s.sim.wait_for(lambda e: e["event"] == "udp_out", count=2, timeout=3)
        time.sleep(0.2)  # the late reply reaches no search: nothing changes
        self.assertEqual(s.rows(), [])
        self.assertTrue(s.no_message_box(0.1))

    def test_reply_before_the_last_tick_counts_and_after_closing_does_not(self):
        s = self.start_session(["mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,port=515,delay_ms=3050",
                                "mac=00:1a:2b:3d:4e:60,ip=192.168.0.11,port=515,delay_ms=4200"])
        dialog = s.open_search()
        s.driver.wait_gone(dialog, 10)
        closed = time.monotonic()
        rows = s.rows()
        late = s.sim.wait_for(lambda e: e["event"] == "udp_out" and e["mac"] == "00:1a:2b:3d:4e:60", timeout=3)
        find = s.sim_events("udp_in")[0]
        on_time = s.sim_events("udp_out")[0]
        self.assertGreaterEqual(on_time["t"] - find["t"], 3.0, "the first reply comes after tick 30")
        self.assertGreater(late["t"], closed, "precondition: the second reply comes after the dialog closed")
        self.assertEqual(rows, [["1", "00:1a:2b:3d:4e:5f", "192.168.0.10", "515", "Not Assigned"]])
        time.sleep(0.2)
        self.assertEqual(len(s.rows()), 1)

    def test_status_line_and_duration(self):
        s = self.start_session()
        dialog = s.open_search()
        sample = s.driver.sample_text(dialog, IDC_SEARCH_STATUS, 10, 10)
        self.assertTrue(sample.closed)
        self.assertTrue(2800 <= sample.elapsed_ms <= 4500, f"search lasted {sample.elapsed_ms} ms")
        texts = [v for _, v in sample.values]
        ticks = ticks_of(texts)
        self.assertEqual(ticks[0], 0, "the status line is empty before the first tick")
        self.assertLess(sample.values[1][0], 250, "the first tick comes about 100 ms after opening")
        self.assertIn(ticks[-1], (30, 31), "the dialog closes at tick 31")
        for tick, text in [(1, "Now Searching.."), (9, "Now Searching.........."),
                           (10, "Now Searching."), (11, "Now Searching.."), (30, "Now Searching.")]:
            with self.subTest(tick=tick):
                self.assertIn(tick, ticks, f"tick {tick} not seen: {texts}")
                self.assertEqual(texts[ticks.index(tick)], text)
        self.assertLessEqual(30 - len([t for t in ticks if 1 <= t <= 30]), 3, "status samples missed")
        self.assertEqual(s.rows(), [])

    def test_find_request_is_one_broadcast_from_the_tool_port(self):
        s = self.start_session(["mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,port=515"], capture=True)
        self.assertEqual(len(s.search()), 1)
        requests = s.sim_events("udp_in")
        self.assertEqual([(e["from"], e["hex"]) for e in requests], [(TOOL, FIND_HEX)])
        on_wire = [(d["src"], d["dst"], d["hex"]) for d in s.capture.datagrams("in")]
        self.assertEqual(on_wire, [(TOOL, "255.255.255.255:48781", FIND_HEX)])
        replies = [(d["src"], d["dst"]) for d in s.capture.datagrams("out")]
        self.assertEqual(replies, [("192.168.0.10:48781", TOOL)])


if __name__ == "__main__":
    unittest.main()

"""Which datagrams the search takes as printer replies: "IMIN" and at least one more byte, the
record cut out of bytes 4-29, everything else dropped without a word and not counted."""

import socket
import struct
import unittest

from session import E2ETestCase, IDC_FOUND_COUNT

IMIN = b"IMIN".hex()


def record_hex(mac, ip, port, mask="255.255.255.0", gw="192.168.0.1", baud=0xF4, fw=(1, 10), dhcp=0,
               inactivity=0):
    """The 26-byte settings block as a printer sends it."""
    return (bytes.fromhex(mac.replace(":", "")) + socket.inet_aton(ip) + socket.inet_aton(mask)
            + socket.inet_aton(gw) + struct.pack(">HBBBBH", port, baud, fw[0], fw[1], dhcp, inactivity)).hex()


FIRST = record_hex("00:1a:2b:3d:4e:5f", "192.168.0.10", 515)
SECOND = record_hex("00:1a:2b:3d:4e:60", "192.168.0.11", 9100, baud=0xFF, dhcp=1, inactivity=300)

# (description, datagram, accepted), answered 100 ms apart in this order.
REPLIES = [
    ("30-byte reply", IMIN + FIRST, True),
    ("IMIN alone", IMIN, False),
    ("IMIN and one zero byte", IMIN + "00", True),
    ("lower-case imin", b"imin".hex() + FIRST, False),
    ("40-byte reply", IMIN + FIRST + "ee" * 10, True),
    ("SETC", b"SETC".hex() + SECOND, False),
    ("600-byte reply", IMIN + SECOND + "ab" * 570, True),
    ("1 byte", b"I".hex(), False),
    ("2 bytes", b"IM".hex(), False),
    ("3 bytes", b"IMI".hex(), False),
    ("empty", "", False),
]


class SearchReplies(E2ETestCase):
    def test_replies_accepted_and_dropped(self):
        printers = [f"mac=02:00:00:00:01:{i:02x},raw_reply_hex={data},delay_ms={100 * i}"
                    for i, (_, data, _) in enumerate(REPLIES)]
        s = self.start_session(printers)
        dialog = s.open_search()
        counter = s.driver.sample_text(dialog, IDC_FOUND_COUNT, 10, 10)
        self.assertEqual([e["hex"] for e in s.sim_events("udp_out")], [r[1] for r in REPLIES],
                         "every datagram went out, in order")
        self.assertEqual(counter.values[-1][1], "4", "only the accepted replies count")
        self.assertEqual(s.rows(), [
            ["1", "00:1a:2b:3d:4e:5f", "192.168.0.10", "515", "Not Assigned"],
            ["2", "00:00:00:00:00:00", "Not Configuration", "0", "Not Assigned"],  # the rest reads as zeros
            ["3", "00:1a:2b:3d:4e:5f", "192.168.0.10", "515", "Not Assigned"],  # bytes after 29 ignored
            ["4", "00:1a:2b:3d:4e:60", "192.168.0.11", "9100", "Not Assigned"],  # longer than the buffer
        ])
        self.assertTrue(s.running())
        self.assertTrue(s.no_message_box(0.1))


if __name__ == "__main__":
    unittest.main()

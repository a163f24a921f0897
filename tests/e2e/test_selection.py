"""Which printer the main window hands to its functions: the "No" of the list row whose state
changed last, whether by a click on a row, a click into empty space or a row losing its selection.

The configuration dialog shows the handed-over printer's IP address, so it tells which row counts.
"""

import unittest

from driver import VK_RETURN
from session import E2ETestCase, IDC_CONFIGURE, IDC_PRINTER_LIST

CONFIG_TITLE = "Printer Configuration Setup"
IDC_IP_ADDRESS = 1015
IDCANCEL = 2

# Five printers answering 100 ms apart, so row n is the printer at 192.168.0.(10 + n).
PRINTERS = [f"mac=00:1a:2b:3d:4e:{0x60 + n:02x},ip=192.168.0.{10 + n},port={9100 + n},delay_ms={100 * n}"
            for n in range(1, 6)]


def row_ip(n):
    return f"192.168.0.{10 + n}"


class Selection(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.s = self.start_session(PRINTERS)
        self.d = self.s.driver
        rows = self.s.search()
        self.assertEqual([(r[0], r[2]) for r in rows], [(str(n), row_ip(n)) for n in range(1, 6)])

    def click_row(self, n):
        left, top, right, bottom = self.d.lv_item_rect(self.s.main, IDC_PRINTER_LIST, n - 1)
        self.d.mouse_click(self.s.main, IDC_PRINTER_LIST, (left + right) // 2, (top + bottom) // 2)

    def selected_rows(self):
        count = self.d.lv_count(self.s.main, IDC_PRINTER_LIST)
        return [n for n in range(1, count + 1) if self.d.lv_state(self.s.main, IDC_PRINTER_LIST, n - 1)[0]]

    def handed_over_ip(self):
        """Opens the configuration dialog and reads the printer it shows, then cancels it."""
        self.d.click(self.s.main, IDC_CONFIGURE)
        dialog, _ = self.d.wait_window(CONFIG_TITLE, 5, self.s.pid)
        address, _ = self.d.ip_get(dialog, IDC_IP_ADDRESS)
        self.d.click(dialog, IDCANCEL)
        self.d.wait_gone(dialog, 5)
        return address

    def test_filling_the_list_chooses_nothing(self):
        # Only a user's choice counts: right after a search the guard still asks for a row.
        self.d.click(self.s.main, IDC_CONFIGURE)
        self.assertEqual(self.s.message_box().text, "Select mac address at list")

    def test_clicking_row_two_then_row_five_hands_over_five(self):
        self.click_row(2)
        self.click_row(5)
        self.assertEqual(self.selected_rows(), [5])
        self.assertEqual(self.handed_over_ip(), row_ip(5))

    def test_click_into_empty_space_after_row_three_keeps_three(self):
        self.click_row(3)
        _, _, _, last_bottom = self.d.lv_item_rect(self.s.main, IDC_PRINTER_LIST, 4)
        self.d.mouse_click(self.s.main, IDC_PRINTER_LIST, 60, last_bottom + 40)
        self.assertEqual(self.selected_rows(), [], "the click into empty space deselects row 3")
        self.assertEqual(self.handed_over_ip(), row_ip(3))

    def test_a_row_losing_its_selection_counts_like_one_gaining_it(self):
        self.d.lv_select(self.s.main, IDC_PRINTER_LIST, 1, True)   # row 2
        self.d.lv_select(self.s.main, IDC_PRINTER_LIST, 3, True)   # row 4
        self.assertEqual(self.handed_over_ip(), row_ip(4))
        self.d.lv_select(self.s.main, IDC_PRINTER_LIST, 1, False)  # row 2 loses it
        self.assertEqual(self.selected_rows(), [4])
        self.assertEqual(self.handed_over_ip(), row_ip(2))

    def test_a_search_that_finds_nothing_leaves_no_printer_chosen(self):
        self.click_row(4)
        self.s.stop_simulator()
        self.assertEqual(self.s.search(), [])
        # The chosen printer is gone: no position is handed over, and the guard speaks.
        self.d.click(self.s.main, IDC_CONFIGURE)
        box = self.s.message_box()
        self.assertMessageBox(box, "Select mac address at list")
        self.d.press(box)
        self.assertIsNone(self.d.find_window(CONFIG_TITLE, self.s.pid))

    def test_enter_after_choosing_a_row_ends_the_program(self):
        self.click_row(1)
        self.assertEqual(self.d.focus(self.s.main)[0], IDC_PRINTER_LIST)
        self.d.key(self.s.main, VK_RETURN)
        self.assertTrue(self.s.wait_exit(10))


if __name__ == "__main__":
    unittest.main()

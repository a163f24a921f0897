"""kvrconfig's main window as a user meets it: title, controls, list headers, the guard of the
functions that need a chosen printer, and the ways to end the program."""

import unittest

from driver import IDOK, VK_ESCAPE, VK_RETURN
from session import (E2ETestCase, IDC_CONFIGURE, IDC_DETACH_PORT, IDC_FIRMWARE_UPLOAD,
                     IDC_PORT_MANAGE, IDC_PRINTER_LIST, IDC_SEARCH, IDC_TEST_PRINT, MAIN_TITLE)

WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00C00000, 0x00080000, 0x00020000, 0x00010000
WS_BORDER, WS_TABSTOP, WS_DISABLED = 0x00800000, 0x00010000, 0x08000000
DS_MODALFRAME, WS_EX_APPWINDOW, WS_EX_CLIENTEDGE = 0x80, 0x00040000, 0x200
BS_TYPEMASK, BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_GROUPBOX = 0x0F, 0, 1, 7
LVS_TYPEMASK, LVS_REPORT, LVS_SINGLESEL = 0x3, 0x1, 0x4
LVM_GETCOLUMNWIDTH, LVM_GETEXTENDEDLISTVIEWSTYLE = 0x101D, 0x1037
LVS_EX_GRIDLINES, LVS_EX_FULLROWSELECT = 0x1, 0x20

# Dialog 102: (id, caption, x, y, width, height in dialog units, button type).
BUTTONS = [
    (IDC_SEARCH, "STEP 1 - Printer Search         ", 272, 7, 105, 15, BS_PUSHBUTTON),
    (IDC_CONFIGURE, "STEP 2 - Printer Configuration", 272, 28, 105, 15, BS_PUSHBUTTON),
    (IDC_TEST_PRINT, "STEP 3 - Test Print                 ", 272, 49, 105, 15, BS_PUSHBUTTON),
    (IDC_DETACH_PORT, "Detach the assigned port", 272, 70, 105, 15, BS_PUSHBUTTON),
    (IDC_PORT_MANAGE, "Port Management", 280, 109, 90, 15, BS_PUSHBUTTON),
    (IDOK, "EXIT", 271, 140, 105, 20, BS_DEFPUSHBUTTON),
]
LIST_RECT = (7, 7, 257, 153)
GROUP_RECT = (271, 94, 106, 36)
COLUMNS = [("No", 25), ("Mac Address", 110), ("IP Address", 110), ("Port", 57), ("Assign Info", 80)]
GUARD_TEXT = "Select mac address at list"


def mul_div(a, b, c):
    return (a * b + c // 2) // c


class MainWindowLayout(E2ETestCase):
    def test_window_controls_and_list(self):
        s = self.start_session()
        d = s.driver
        self.assertEqual(d.title(s.main), MAIN_TITLE)
        style, exstyle = d.style(s.main)
        self.assertEqual(style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME), WS_CAPTION | WS_SYSMENU | DS_MODALFRAME)
        self.assertFalse(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), "no minimise or maximise box")
        self.assertTrue(exstyle & WS_EX_APPWINDOW, "shown in the task bar")

        children = {c.id: c for c in d.children(s.main)}
        self.assertNotIn(IDC_FIRMWARE_UPLOAD, children, "command 1003 has no control")
        groups = [c for c in children.values() if c.cls == "Button" and c.style & BS_TYPEMASK == BS_GROUPBOX]
        self.assertEqual([g.text for g in groups], ["Tool"])
        expected_ids = {IDC_PRINTER_LIST} | {b[0] for b in BUTTONS}
        self.assertEqual(set(children) - {groups[0].id}, expected_ids)

        listview = children[IDC_PRINTER_LIST]
        self.assertEqual(listview.cls, "SysListView32")
        self.assertEqual(listview.style & LVS_TYPEMASK, LVS_REPORT)
        self.assertFalse(listview.style & LVS_SINGLESEL, "several rows can be selected")
        self.assertTrue(listview.style & WS_TABSTOP)
        # The border: WS_BORDER, or the client edge a list view may turn it into when created.
        self.assertTrue(listview.style & WS_BORDER or d.style(s.main, IDC_PRINTER_LIST)[1] & WS_EX_CLIENTEDGE)
        self.assertEqual(d.send(s.main, IDC_PRINTER_LIST, LVM_GETEXTENDEDLISTVIEWSTYLE)
                         & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT)
        self.assertEqual(d.lv_columns(s.main, IDC_PRINTER_LIST), [c[0] for c in COLUMNS])
        self.assertEqual([d.send(s.main, IDC_PRINTER_LIST, LVM_GETCOLUMNWIDTH, i) for i in range(5)],
                         [c[1] for c in COLUMNS])
        self.assertEqual(d.lv_count(s.main, IDC_PRINTER_LIST), 0, "empty until the first search")

        for ident, caption, *_, kind in BUTTONS:
            with self.subTest(button=ident):
                self.assertEqual(children[ident].text, caption)
                self.assertEqual(children[ident].style & BS_TYPEMASK, kind)
                self.assertTrue(d.enabled(s.main, ident) and d.visible(s.main, ident))

        # Positions: the dialog's base units, taken from the list's size, map every other control.
        left, top, right, bottom = listview.rect
        base_x = round((right - left) * 4 / LIST_RECT[2])
        base_y = round((bottom - top) * 8 / LIST_RECT[3])
        layout = [(ident, rect) for ident, _, *rect, _ in BUTTONS] + [(IDC_PRINTER_LIST, LIST_RECT),
                                                                        (groups[0].id, GROUP_RECT)]
        for ident, (x, y, w, h) in layout:
            with self.subTest(position=ident):
                expected = (mul_div(x, base_x, 4), mul_div(y, base_y, 8),
                            mul_div(x + w, base_x, 4), mul_div(y + h, base_y, 8))
                for got, want in zip(children[ident].rect, expected):
                    self.assertLessEqual(abs(got - want), 1, (children[ident].rect, expected))


class Guard(E2ETestCase):
    def test_functions_before_any_choice_ask_for_a_row(self):
        s = self.start_session()
        d = s.driver
        actions = [("STEP 2", lambda: d.click(s.main, IDC_CONFIGURE)),
                   ("STEP 3", lambda: d.click(s.main, IDC_TEST_PRINT)),
                   ("Detach", lambda: d.click(s.main, IDC_DETACH_PORT)),
                   ("command 1003", lambda: d.command(s.main, IDC_FIRMWARE_UPLOAD))]
        for name, act in actions:
            with self.subTest(name):
                act()
                box = s.message_box()
                self.assertMessageBox(box, GUARD_TEXT)
                self.assertTrue(d.style(s.main)[0] & WS_DISABLED, "the box is modal to the main window")
                d.press(box)
                self.assertFalse(d.style(s.main)[0] & WS_DISABLED)
                self.assertTrue(s.no_message_box(0.3), "one box only")
                # Nothing else opened: the main window is the program's only visible window.
                visible = [w for w in d.windows(s.pid) if w[2]]
                self.assertEqual([w[1] for w in visible], [MAIN_TITLE])


class Exit(E2ETestCase):
    def assertEnds(self, s):
        self.assertTrue(s.wait_exit(10), "the program ends with its main window")
        self.assertEqual(s.driver.windows(s.pid), [])

    def test_exit_button(self):
        s = self.start_session()
        s.driver.click(s.main, IDOK)
        self.assertEnds(s)

    def test_escape(self):
        s = self.start_session()
        s.driver.key(s.main, VK_ESCAPE)
        self.assertEnds(s)

    def test_close_box(self):
        s = self.start_session()
        s.driver.close_window(s.main)
        self.assertEnds(s)

    def test_enter_while_the_list_has_focus(self):
        s = self.start_session()
        self.assertEqual(s.driver.focus(s.main), (IDC_PRINTER_LIST, "SysListView32"))
        s.driver.key(s.main, VK_RETURN)
        self.assertEnds(s)


if __name__ == "__main__":
    unittest.main()

"""The uninstaller's restart prompt answered for real. Yes asks the system for a restart; under Wine
that ends the programs of the prefix the uninstaller runs in, so the uninstaller runs in a prefix
of its own (tools/wine/with-prefix.sh, nested inside the test's one). No leaves that prefix's
programs running, Yes ends them, and nothing outside that prefix is touched: a windowed program
and the window driver in the test's prefix keep running.

Run by ctest like the other end-to-end modules; by hand see tools/e2e/README.md. The module runs
itself with --inside in the throwaway prefix and reports what it saw there as one JSON line."""

import json
import os
import subprocess
import sys
import time
import unittest

from deployment import report_from_own_prefix
from driver import Driver, DriverError, IDOK

DIALOG_TITLE = " Uninstall - KVRLANCOM Drvier"
NOTEPAD_TITLE = "Untitled - Notepad"
IDYES, IDNO = 6, 7


def uninstaller_exe():
    """KVRLANCOM_UNINSTALLER_EXE, else the build tree's, beside config_tool/."""
    if os.environ.get("KVRLANCOM_UNINSTALLER_EXE"):
        return os.environ["KVRLANCOM_UNINSTALLER_EXE"]
    build = os.path.dirname(os.path.dirname(os.environ["KVRCONFIG_EXE"]))
    return os.path.join(build, "uninstaller", "kvrlancom_uninstaller.exe")


def start_wine(*args):
    return subprocess.Popen([os.environ["KVR_WINE"], *args], stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def ended_within(process, seconds):
    try:
        process.wait(seconds)
        return True
    except subprocess.TimeoutExpired:
        return False


def answer_restart_prompt(driver, button):
    """Runs the uninstaller, presses OK and answers the restart prompt; what was seen."""
    program = start_wine(uninstaller_exe())
    dialog, pid = driver.wait_started(program, DIALOG_TITLE)
    driver.click(dialog, IDOK)
    deadline = time.monotonic() + 60
    box = driver.wait_message_box(pid, 60)
    while box.hwnd == dialog and time.monotonic() < deadline:  # the dialog looks like a box too
        time.sleep(0.05)
        box = driver.wait_message_box(pid, 60)
    driver.call("press-msgbox", box.hwnd, button)
    return {"caption": box.caption, "buttons": [b[0] for b in box.buttons],
            "uninstaller_ended": ended_within(program, 20)}


def inside():
    """In the throwaway prefix: No, then Yes, with a windowed program running beside."""
    report = {}
    notepad = start_wine("notepad")
    with Driver() as driver:
        driver.wait_started(notepad, NOTEPAD_TITLE)
        report["no"] = answer_restart_prompt(driver, IDNO)
        report["no"]["notepad_running"] = not ended_within(notepad, 2)
        report["yes"] = answer_restart_prompt(driver, IDYES)
        report["yes"]["notepad_ended"] = ended_within(notepad, 20)
    if notepad.poll() is None:
        notepad.kill()
    print(json.dumps(report), flush=True)


class UninstallerRestart(unittest.TestCase):
    def setUp(self):
        missing = [v for v in ("KVR_WINE", "WINEPREFIX", "KVRCONFIG_EXE", "KVRDRIVE_EXE") if not os.environ.get(v)]
        if missing:
            self.skipTest(f"needs the end-to-end harness (missing {', '.join(missing)})")

    def test_no_keeps_the_prefix_running_and_yes_ends_only_its_own_prefixs_programs(self):
        outside = start_wine("notepad")
        self.addCleanup(lambda: outside.poll() is None and (outside.kill(), outside.wait()))
        driver = Driver()
        self.addCleanup(driver.close)
        driver.wait_started(outside, NOTEPAD_TITLE)

        seen = report_from_own_prefix(__file__, timeout=240)

        for answer in ("no", "yes"):
            self.assertEqual(seen[answer]["caption"], "kvrlancom_uninstaller")
            self.assertEqual(seen[answer]["buttons"], [IDYES, IDNO])
            self.assertTrue(seen[answer]["uninstaller_ended"], answer)
        self.assertTrue(seen["no"]["notepad_running"])
        self.assertTrue(seen["yes"]["notepad_ended"])

        # The test's own prefix: its windowed program and the driver are still there.
        self.assertIsNone(outside.poll())
        self.assertIsNotNone(driver.find_window(NOTEPAD_TITLE))


if __name__ == "__main__":
    if "--inside" in sys.argv:
        inside()
    else:
        unittest.main()

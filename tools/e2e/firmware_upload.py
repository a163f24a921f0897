"""The firmware upload as a user reaches it, for the end-to-end tests and the benchmark: the main
window's system menu item, the file dialog answered from outside, the simulator's record of what
arrived.

    open_upload(session)                       # system menu -> "Firmware Upload..."
    window = choose_file(session, "/tmp/fw.bin")  # the upload dialog, once it shows
"""

import os
import time

from driver import IDCANCEL, IDOK

UPLOAD_TITLE = "Firmware upload "
OPEN_TITLE = "Open"
IDC_PERCENT, IDC_FILE_TYPE, IDC_FILE_NAME = 1027, 1136, 1148
WM_SYSCOMMAND, WM_KEYDOWN, WM_KEYUP, SC_KEYMENU, VK_UP, VK_RETURN = 0x0112, 0x0100, 0x0101, 0xF100, 0x26, 0x0D
FIRS_HEX = "46495253"


def windows_path(path):
    """The Wine path of a host file (drive Z: is the host's root)."""
    return "Z:" + path.replace("/", "\\")


def open_upload(session):
    """Opens the main window's system menu by keyboard and takes its last item, the upload."""
    d = session.driver
    d.post(session.main, WM_SYSCOMMAND, SC_KEYMENU, ord(" "))
    time.sleep(0.3)
    for vk in (VK_UP, VK_RETURN):
        d.post(session.main, WM_KEYDOWN, vk)
        d.post(session.main, WM_KEYUP, vk)


def answer_file_dialog(session, path, timeout=10.0):
    """Types the path into the file dialog and presses Open (path None: Cancel). Returns the dialog's
    file type text and the titles of the program's visible windows while the dialog showed."""
    d = session.driver
    dialog, _ = d.wait_window(OPEN_TITLE, timeout, session.pid)
    shown = [w[1] for w in d.windows(session.pid) if w[2] and w[1]]
    file_type = d.text(dialog, IDC_FILE_TYPE)
    if path is None:
        d.click(dialog, IDCANCEL)
    else:
        d.set_text(dialog, IDC_FILE_NAME, windows_path(path))
        d.click(dialog, IDOK)
    d.wait_gone(dialog, 5)
    return file_type, shown


def choose_file(session, path):
    """Answers the file dialog with path; the upload dialog once it shows."""
    answer_file_dialog(session, path)
    window, _ = session.driver.wait_window(UPLOAD_TITLE, 5, session.pid)
    return window


def image(size):
    """Firmware bytes whose content differs from block to block."""
    return bytes((i * 7 + 3) % 251 for i in range(size))


def write_file(folder, name, data):
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(data)
    return path


def firs_datagrams(session):
    return [e for e in session.sim_events("udp_in") if e["hex"].startswith(FIRS_HEX)]


def stream_pieces(session, since=0.0):
    """[(arrival time, bytes)] of every firmware piece the simulator received after `since`."""
    return [(e["t"], bytes.fromhex(e["hex"])) for e in session.sim_events("tcp_data")
            if e["kind"] == "firmware" and e["t"] > since]

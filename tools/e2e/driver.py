"""Client of kvrdrive.exe, the window driver: one driver process per test, one request line and one
answer line per call. Every method raises DriverError when the driver answers ERR.

    with Driver(kvrdrive_exe) as d:
        main, pid = d.wait_window("KvrLanCom Configuration Tool V1.0.3 ")
        d.click(main, 1001)
"""

import os
import select
import subprocess
import time
from collections import namedtuple

Child = namedtuple("Child", "id cls text style rect")
MessageBox = namedtuple("MessageBox", "hwnd caption text icon buttons")  # buttons: [(id, text)]
# values: [(ms, text)] distinct, in order; slowest_ms: the longest the program took to answer a read
Sample = namedtuple("Sample", "elapsed_ms closed values slowest_ms")

VK_RETURN, VK_ESCAPE = 0x0D, 0x1B
IDOK, IDCANCEL = 1, 2

_ESCAPES = {"\\": "\\", "s": " ", "t": "\t", "r": "\r", "n": "\n"}


class DriverError(Exception):
    """The driver answered ERR (or died, or did not answer in time)."""


def escape(text):
    if text == "":
        return "\\e"
    out = []
    for ch in text:
        code = ord(ch)
        if ch == "\\":
            out.append("\\\\")
        elif ch == " ":
            out.append("\\s")
        elif ch in "\t\r\n":
            out.append({"\t": "\\t", "\r": "\\r", "\n": "\\n"}[ch])
        elif code < 0x20 or code >= 0x7F:
            out.append("".join(f"\\x{b:02X}" for b in ch.encode("latin-1")))
        else:
            out.append(ch)
    return "".join(out)


def unescape(token):
    if token == "\\e":
        return ""
    out, i = bytearray(), 0
    while i < len(token):
        ch = token[i]
        if ch != "\\":
            out += ch.encode("latin-1")
            i += 1
        elif token[i + 1] == "x":
            out.append(int(token[i + 2:i + 4], 16))
            i += 4
        else:
            out += _ESCAPES[token[i + 1]].encode("latin-1")
            i += 2
    return out.decode("latin-1")


def _hwnd(value):
    return value if isinstance(value, str) else hex(value)


class Driver:
    def __init__(self, exe=None, wine=None, env=None):
        self._command = [wine or os.environ.get("KVR_WINE", "wine"), exe or os.environ["KVRDRIVE_EXE"]]
        self._env = env
        self._send_timeout = 5.0
        self._start()

    def _start(self):
        self._proc = subprocess.Popen(self._command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                      stderr=subprocess.DEVNULL, env=self._env)
        self._buffer = b""
        self.call("ping", timeout=30)
        if self._send_timeout != 5.0:
            self.send_timeout(self._send_timeout)

    # ----- protocol ---------------------------------------------------------------------------

    def call(self, command, *args, timeout=None):
        """Sends one request; returns the answer's fields, unescaped. A driver that does not answer
        in time is replaced by a new one, so that the next request gets its own answer."""
        if timeout is None:
            timeout = self._send_timeout + 10
        line = " ".join([command, *(escape(str(a)) for a in args)])
        try:
            self._proc.stdin.write(line.encode("latin-1") + b"\n")
            self._proc.stdin.flush()
        except (BrokenPipeError, OSError) as e:
            raise DriverError(f"driver gone: {e}") from None
        answer = self._read_line(timeout)
        tokens = answer.split(" ")
        if tokens[0] == "OK":
            return [unescape(t) for t in tokens[1:] if t]
        reason = unescape(tokens[1]) if len(tokens) > 1 else answer
        raise DriverError(f"{command}: {reason}")

    def _read_line(self, timeout):
        deadline = time.monotonic() + timeout
        fd = self._proc.stdout.fileno()
        while b"\n" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                self.close()
                self._start()
                raise DriverError("driver did not answer in time")
            ready, _, _ = select.select([fd], [], [], left)
            if ready:
                chunk = os.read(fd, 65536)
                if not chunk:
                    raise DriverError("driver ended")
                self._buffer += chunk
        line, _, self._buffer = self._buffer.partition(b"\n")
        return line.decode("latin-1").rstrip("\r")

    def close(self):
        if self._proc.poll() is None:
            try:
                self._proc.stdin.write(b"quit\n")
                self._proc.stdin.flush()
                self._proc.wait(5)
            except (OSError, subprocess.TimeoutExpired):
                self._proc.kill()
                self._proc.wait()
        for f in (self._proc.stdin, self._proc.stdout):
            try:
                f.close()
            except OSError:
                pass

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def send_timeout(self, seconds):
        """How long one message to the program may take before the driver gives up (5 s at start)."""
        self.call("send-timeout", int(seconds * 1000))
        self._send_timeout = seconds

    # ----- windows ----------------------------------------------------------------------------

    def wait_window(self, title, timeout=10.0, pid=None):
        """The visible top-level window with exactly this title: (hwnd, pid)."""
        args = [int(timeout * 1000), title] + ([pid] if pid else [])
        hwnd, owner = self.call("wait-window", *args, timeout=timeout + 10)
        return hwnd, int(owner)

    def wait_started(self, program, title, timeout=120.0):
        """The window with this title of a program just started (a subprocess.Popen): (hwnd, pid).
        Waits while the program runs and fails as soon as it has ended without one; timeout only
        bounds a program that runs on without ever showing it."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                return self.wait_window(title, min(1.0, max(deadline - time.monotonic(), 0.0)))
            except DriverError:
                if program.poll() is not None:
                    raise DriverError(f"wait-window: the program ended (exit code {program.returncode}) "
                                      f"without showing {title!r}") from None
                if time.monotonic() >= deadline:
                    raise

    def find_window(self, title, pid=None):
        """Like wait_window without waiting; None when there is none."""
        try:
            return self.wait_window(title, 0, pid)
        except DriverError:
            return None

    def windows(self, pid):
        """Top-level windows of process pid, hidden ones included: [(hwnd, title, visible)]."""
        fields = self.call("windows", pid)
        return [(fields[i], fields[i + 1], fields[i + 2] == "1") for i in range(1, len(fields), 3)]

    def wait_gone(self, hwnd, timeout=10.0):
        """Milliseconds until the window was gone."""
        return int(self.call("wait-gone", _hwnd(hwnd), int(timeout * 1000), timeout=timeout + 10)[0])

    def wait_painted(self, pid, timeout=10.0):
        """Milliseconds until every visible window of process pid was drawn and the process idle."""
        return int(self.call("wait-painted", pid, int(timeout * 1000), timeout=timeout + self._send_timeout + 10)[0])

    def wait_shown(self, hwnd, timeout=10.0):
        """Milliseconds until the window was shown with nothing left to paint, itself and its children
        (no message is sent to it, so this measures a window whose thread is busy too)."""
        return int(self.call("wait-shown", _hwnd(hwnd), int(timeout * 1000), timeout=timeout + 10)[0])

    def title(self, hwnd):
        return self.call("title", _hwnd(hwnd))[0]

    def style(self, hwnd, control=None):
        """(style, extended style) of the window or of one of its controls."""
        fields = self.call("style", _hwnd(hwnd), *([control] if control is not None else []))
        return int(fields[0], 16), int(fields[1], 16)

    def children(self, hwnd):
        fields = self.call("children", _hwnd(hwnd))
        n, rest = int(fields[0]), fields[1:]
        return [Child(int(rest[i]), rest[i + 1], rest[i + 2], int(rest[i + 3], 16),
                      tuple(int(v) for v in rest[i + 4:i + 8])) for i in range(0, 8 * n, 8)]

    def focus(self, hwnd):
        """(control id, class) of the window that has the keyboard focus in hwnd's thread."""
        ident, cls, _ = self.call("focus", _hwnd(hwnd))
        return int(ident), cls

    def close_window(self, hwnd):
        """The close box."""
        self.call("close", _hwnd(hwnd))

    # ----- controls ---------------------------------------------------------------------------

    def click(self, hwnd, control):
        self.call("click", _hwnd(hwnd), control)

    def command(self, hwnd, ident):
        self.call("command", _hwnd(hwnd), ident)

    def text(self, hwnd, control):
        return self.call("text", _hwnd(hwnd), control)[0]

    def set_text(self, hwnd, control, text):
        self.call("set-text", _hwnd(hwnd), control, text)

    def enabled(self, hwnd, control):
        return self.call("enabled", _hwnd(hwnd), control)[0] == "1"

    def visible(self, hwnd, control):
        return self.call("visible", _hwnd(hwnd), control)[0] == "1"

    def sample_text(self, hwnd, control, interval_ms=10, timeout=10.0):
        """Reads the control's text every interval_ms until hwnd closes (hidden or gone) or timeout."""
        fields = self.call("sample-text", _hwnd(hwnd), control, interval_ms, int(timeout * 1000),
                           timeout=timeout + self._send_timeout + 10)
        n = int(fields[2])
        values = [(int(fields[3 + 2 * i]), fields[4 + 2 * i]) for i in range(n)]
        return Sample(int(fields[0]), fields[1] == "1", values, int(fields[3 + 2 * n]))

    def send(self, hwnd, control, message, wparam=0, lparam=0):
        """A message without pointers to the control (0: to hwnd); its result."""
        return int(self.call("send", _hwnd(hwnd), control, message, wparam, lparam)[0])

    def post(self, hwnd, message, wparam=0, lparam=0):
        """A message posted to the window; returns at once."""
        self.call("post", _hwnd(hwnd), message, wparam, lparam)

    def hold_file(self, path, access, share):
        """Opens a file (Windows path) in the driver's process with these CreateFile access and
        share flags and keeps it open until release_files()."""
        self.call("hold-file", path, access, share)

    def release_files(self):
        self.call("release-files")

    def combo_items(self, hwnd, control):
        return self.call("combo-items", _hwnd(hwnd), control)[1:]

    def combo_selection(self, hwnd, control):
        return int(self.call("combo-selection", _hwnd(hwnd), control)[0])

    def combo_select(self, hwnd, control, index):
        self.call("combo-select", _hwnd(hwnd), control, index)

    def ip_get(self, hwnd, control):
        """(dotted address, number of fields filled in)."""
        address, filled = self.call("ip-get", _hwnd(hwnd), control)
        return address, int(filled)

    # ----- list views -------------------------------------------------------------------------

    def lv_count(self, hwnd, control):
        return int(self.call("lv-count", _hwnd(hwnd), control)[0])

    def lv_columns(self, hwnd, control):
        return self.call("lv-columns", _hwnd(hwnd), control)[1:]

    def lv_cells(self, hwnd, control):
        """All rows, each a list of its cell texts."""
        fields = self.call("lv-cells", _hwnd(hwnd), control, timeout=self._send_timeout + 60)
        rows, cols, cells = int(fields[0]), int(fields[1]), fields[2:]
        return [cells[r * cols:(r + 1) * cols] for r in range(rows)]

    def lv_select(self, hwnd, control, row, selected=True):
        """Sets the row's selected state; the list notifies its parent as for a click."""
        self.call("lv-select", _hwnd(hwnd), control, row, 1 if selected else 0)

    def lv_state(self, hwnd, control, row):
        """(selected, focused)."""
        sel, foc = self.call("lv-state", _hwnd(hwnd), control, row)
        return sel == "1", foc == "1"

    def lv_item_rect(self, hwnd, control, row):
        return tuple(int(v) for v in self.call("lv-item-rect", _hwnd(hwnd), control, row))

    # ----- real input -------------------------------------------------------------------------

    def mouse_click(self, hwnd, control, x, y):
        """A left click at a client point of the control (control 0: of hwnd)."""
        self.call("mouse-click", _hwnd(hwnd), control, x, y)

    def key(self, hwnd, vk):
        """Presses and releases a key while hwnd is in front."""
        self.call("key", _hwnd(hwnd), vk)

    # ----- message boxes ----------------------------------------------------------------------

    def wait_message_box(self, pid, timeout=5.0):
        """The next message box of process pid, read."""
        hwnd = self.call("wait-msgbox", pid, int(timeout * 1000), timeout=timeout + 10)[0]
        return self.read_message_box(hwnd)

    def read_message_box(self, hwnd):
        fields = self.call("read-msgbox", _hwnd(hwnd))
        caption, text, icon, n = fields[0], fields[1], fields[2], int(fields[3])
        buttons = [(int(fields[4 + 2 * i]), fields[5 + 2 * i]) for i in range(n)]
        return MessageBox(hwnd, caption, text, icon, buttons)

    def message_box_or_none(self, pid, within=0.5):
        try:
            return self.wait_message_box(pid, within)
        except DriverError:
            return None

    def press(self, box, button=IDOK):
        """Presses a message box button and waits for the box to go."""
        hwnd = box.hwnd if isinstance(box, MessageBox) else box
        self.call("press-msgbox", _hwnd(hwnd), button)
        self.wait_gone(hwnd, 5)

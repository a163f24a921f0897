"""What the deployment tests need: programs run for their full exit code, the prefix's files by
their Windows paths, shortcuts read, program files' architecture, whether this machine runs 32-bit
code, where the setup package and the builds of both architectures are, and a test's steps run in
a throwaway prefix of their own."""

import json
import os
import re
import struct
import subprocess
import sys
import tempfile

PE_MACHINE = {0x014C: "i686", 0x8664: "x86_64"}
WITH_PREFIX = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "wine", "with-prefix.sh")


def report_from_own_prefix(script, mode="--inside", timeout=280):
    """Runs `script mode` in a throwaway prefix of its own (tools/wine/with-prefix.sh, nested in the
    caller's) and returns the report it printed there as its last line of JSON."""
    run = subprocess.run(["bash", WITH_PREFIX, sys.executable, os.path.abspath(script), mode],
                         stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
    lines = [line for line in run.stdout.decode("latin-1").splitlines() if line.startswith("{")]
    if not lines:
        raise AssertionError(f"no report from the throwaway prefix: {run.stderr.decode('latin-1')[-3000:]}")
    return json.loads(lines[-1])


def machine_runs_32bit_code():
    try:
        return subprocess.run(["/usr/lib/wine/wine", "--version"], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=20).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False


def setup_package():
    """The setup to run here: kvrlancom-setup.exe, or its 64-bit twin where no 32-bit code runs."""
    folder = os.environ["KVR_SETUP_DIR"]
    name = "kvrlancom-setup.exe" if machine_runs_32bit_code() else "kvrlancom-setup-x64.exe"
    return os.path.join(folder, name)


def prefix_path(windows_path):
    """The Unix path of C:\\... in the prefix, each part matched regardless of case (as Windows
    does); parts that do not exist are kept as given."""
    drive, rest = windows_path.split(":", 1)
    assert drive.upper() == "C", windows_path
    path = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    for part in [p for p in rest.split("\\") if p]:
        found = [n for n in os.listdir(path) if n.lower() == part.lower()] if os.path.isdir(path) else []
        path = os.path.join(path, found[0] if found else part)
    return path


def batch_run(line):
    """Runs one line in a batch file in the prefix, as a deployment script does: (%errorlevel%
    after it, what the batch printed before that). A batch file waits for a windowed program it
    runs, and its %errorlevel% holds the whole exit code, where wine's own holds the low 8 bits."""
    with tempfile.TemporaryDirectory(prefix="kvr_run_", dir=prefix_path("C:\\")) as folder:
        with open(os.path.join(folder, "run.bat"), "w", newline="\r\n") as f:
            f.write(f"@echo off\n{line}\necho exit=%errorlevel%\n")
        batch = "C:\\" + os.path.basename(folder) + "\\run.bat"
        run = subprocess.run([os.environ["KVR_WINE"], "cmd", "/c", batch], cwd=folder, stdin=subprocess.DEVNULL,
                             capture_output=True, timeout=240)
    text = run.stdout.decode("latin-1")
    found = re.search(r"^exit=(-?\d+)\r?$", text, re.M)
    if not found:
        raise RuntimeError(f"no exit code from {line}: {run.stdout!r} {run.stderr[-1000:]!r}")
    return int(found.group(1)), text[:found.start()]


def exit_code(windows_program, *args):
    """The program's whole exit code, started as `start /wait` starts it."""
    return batch_run(f'start /wait "" "{windows_program}" {" ".join(args)}')[0]


def pe_architecture(path):
    with open(path, "rb") as f:
        data = f.read(4096)
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    return PE_MACHINE.get(struct.unpack_from("<H", data, offset + 4)[0], "other")


def read_shortcut(path):
    """Target and working directory of a shell link (.lnk)."""
    with open(path, "rb") as f:
        data = f.read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    pos = 0x4C
    if flags & 0x01:                                  # HasLinkTargetIDList
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    target = None
    if flags & 0x02:                                  # HasLinkInfo: the local base path
        size = struct.unpack_from("<I", data, pos)[0]
        info_flags, _, base_offset = struct.unpack_from("<III", data, pos + 8)
        if info_flags & 0x01:
            end = data.index(b"\0", pos + base_offset)
            target = data[pos + base_offset:end].decode("latin-1")
        pos += size
    unicode = bool(flags & 0x80)
    strings = {}
    for bit, name in ((0x04, "name"), (0x08, "relative_path"), (0x10, "working_dir"), (0x20, "arguments"),
                      (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            pos += 2
            width = 2 if unicode else 1
            raw = data[pos:pos + count * width]
            # Wine counts the terminating NUL in; Windows does not.
            strings[name] = raw.decode("utf-16-le" if unicode else "latin-1").rstrip("\0")
            pos += count * width
    return {"target": target, **strings}

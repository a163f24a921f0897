"""kvrlancom-setup.exe /S in a fresh prefix, as a deployment tool runs it: the package folder with
the build that matches the prefix's Windows, the shortcut starting the tool in the package folder,
one device (another product's root port is not the package's), the entry; run again (/D= ignored)
with the entry deleted: one device, the entry back; with kvrconfig.exe held, 1603 and the file in
the log; then the entry's quiet uninstall removes it all, asking for no restart (0); a setup whose
installer fails ends as it does (1603) and logs why. Without /S the installer's dialog shows.

Runs itself with --inside in a throwaway prefix of its own (tools/wine/with-prefix.sh, nested in
the test's one) and reports what it saw there as one JSON line."""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

from deployment import (exit_code, machine_runs_32bit_code, pe_architecture, prefix_path, read_shortcut,
                        report_from_own_prefix, setup_package)

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
PACKAGE = "C:\\windows\\KELVARO\\KVRLANCOM"
ENTRY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KELVARO KVRLANCOM Driver"
STORE = r"HKEY_LOCAL_MACHINE\SOFTWARE\KELVARO\TCPSIO"
PORTS = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\Root\PORTS"
PROGRAMS = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"
LOG = "C:\\windows\\Temp\\kvrlancom-setup.log"
FOREIGN_PORT = PORTS + "\\9999"


def reg(*args):
    with tempfile.TemporaryDirectory(prefix="kvr_reg_") as folder:   # no reg.exe of ours in the way
        run = subprocess.run([os.environ["KVR_WINE"], "reg", *args], cwd=folder, stdin=subprocess.DEVNULL,
                             capture_output=True)
    return run.returncode, run.stdout.decode("latin-1")


def string_values(key):
    code, text = reg("query", key)
    if code != 0:
        return None
    return dict(re.findall(r"^\s+(\S+)\s+REG_SZ\s+(.*?)\r?$", text, re.M))


def package_version():
    with open(os.path.join(ROOT, "cmake", "version.cmake")) as f:
        return re.search(r'set\(KVR_VERSION "([0-9.]+)"', f.read()).group(1)


def read_log():
    path = prefix_path(LOG)
    if not os.path.exists(path):
        return ""
    with open(path, encoding="latin-1") as f:
        return f.read()


def package_devices():
    _, text = reg("query", PORTS, "/s")
    return len(re.findall(r"HardwareId\s+REG_MULTI_SZ\s+kelvaro\\tcpsio\s*$", text, re.M))


def listing(windows_folder):
    path = prefix_path(windows_folder)
    return sorted(os.listdir(path)) if os.path.isdir(path) else None


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def setup_without_inf(folder):
    """The setup package rebuilt from its staged builds without the INF: its installer fails."""
    stage = os.path.join(folder, "stage")
    shutil.copytree(os.path.join(os.environ["KVR_SETUP_DIR"], "stage"), stage)
    for arch in [name for name in os.listdir(stage) if os.path.isdir(os.path.join(stage, name))]:
        os.remove(os.path.join(stage, arch, "kvrlancom.INF"))
        with open(os.path.join(stage, arch + ".nsh")) as f:
            kept = [line for line in f if '"kvrlancom.INF"' not in line]
        with open(os.path.join(stage, arch + ".nsh"), "w") as f:
            f.writelines(kept)
    out = os.path.join(folder, "broken-setup.exe")
    amd64 = ["-DSETUP_AMD64"] if setup_package().endswith("-x64.exe") else []
    subprocess.run(["makensis", "-V1", f"-DSTAGE={stage}", f"-DVERSION={package_version()}", f"-DOUTFILE={out}", *amd64,
                    os.path.join(ROOT, "setup", "kvrlancom.nsi")], check=True, stdin=subprocess.DEVNULL)
    return out


def inside():
    from driver import Driver
    setup = windows_path(setup_package())
    # Another product's root-enumerated port: not the package's, so the first run installs one.
    reg("add", FOREIGN_PORT, "/v", "HardwareID", "/t", "REG_MULTI_SZ", "/d", "otherco\\serial", "/f")
    seen = {"setup_exits": [exit_code(setup, "/S")]}
    reg("delete", FOREIGN_PORT, "/f")
    seen["devices_first"] = package_devices()
    seen["entry_first"] = string_values(ENTRY) or {}
    # The entry deleted, and a package folder asked for elsewhere: the re-run writes the entry again
    # and keeps to the one folder.
    reg("delete", ENTRY, "/f")
    seen["setup_exits"].append(exit_code(setup, "/S", "/D=C:\\elsewhere"))
    seen["elsewhere"] = listing("C:\\elsewhere")
    seen["entry_again"] = string_values(ENTRY)
    # An earlier install's tool still open: its file cannot be replaced.
    with Driver() as d:
        d.hold_file(PACKAGE + "\\kvrconfig.exe", 0x80000000, 0)
        seen["held_exit"] = exit_code(setup, "/S")
        d.release_files()
    seen["entry_after_held"] = string_values(ENTRY) or {}
    seen["log_after_held"] = read_log()
    seen["files"] = listing(PACKAGE)
    seen["architectures"] = sorted({pe_architecture(os.path.join(prefix_path(PACKAGE), name))
                                    for name in seen["files"] or [] if name.lower().endswith(".exe")})
    seen["shortcuts"] = listing(PROGRAMS + "\\KELVARO\\KvrLanCom")
    link = prefix_path(PROGRAMS + "\\KELVARO\\KvrLanCom\\Configuration Tool.lnk")
    seen["shortcut"] = read_shortcut(link) if os.path.exists(link) else None
    seen["devices"] = package_devices()
    entry = string_values(ENTRY) or {}
    seen["entry"] = entry
    uninstaller = entry.get("UninstallString", "")
    seen["uninstaller_exists"] = bool(uninstaller) and os.path.isfile(prefix_path(uninstaller))

    # A binding of the tool's, which the uninstaller removes with the store.
    reg("add", STORE + "\\COM3", "/v", "IPAddress", "/t", "REG_DWORD", "/d", "167815360", "/f")
    seen["uninstall_exit"] = exit_code(uninstaller, "/quiet") if uninstaller else None
    seen["after"] = {"files": listing(PACKAGE), "shortcuts": listing(PROGRAMS + "\\KELVARO\\KvrLanCom"),
                     "programs_kelvaro": listing(PROGRAMS + "\\KELVARO"), "devices": package_devices(),
                     "entry": reg("query", ENTRY)[0] == 0, "store": reg("query", STORE)[0] == 0,
                     "kelvaro_key": reg("query", r"HKEY_LOCAL_MACHINE\SOFTWARE\KELVARO")[0] == 0}
    with tempfile.TemporaryDirectory(prefix="kvr_setup_") as folder:
        seen["failing_setup_exit"] = exit_code(windows_path(setup_without_inf(folder)), "/S")
    seen["log"] = read_log()
    print(json.dumps(seen), flush=True)


def inside_interactive():
    """Without /S: the setup's progress page, the installer's own completion dialog, then Close."""
    from driver import Driver
    seen = {}
    setup = subprocess.Popen([os.environ["KVR_WINE"], setup_package()], cwd=tempfile.gettempdir(),
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with Driver() as d:
        done, _ = d.wait_started(setup, "Install Completed!")
        seen["status"] = d.text(done, 1000)
        d.click(done, 1)
        finished, _ = d.wait_window("KELVARO Virtual Com for ethernet Driver Setup: Completed", 30)
        d.click(finished, 1)   # Close
        seen["setup_exit"] = setup.wait(30)
    seen["devices"] = package_devices()
    seen["entry"] = string_values(ENTRY) is not None
    print(json.dumps(seen), flush=True)


class SetupPackage(unittest.TestCase):
    def setUp(self):
        missing = [v for v in ("KVR_WINE", "WINEPREFIX", "KVR_SETUP_DIR", "KVRDRIVE_EXE") if not os.environ.get(v)]
        if missing:
            self.skipTest(f"needs the end-to-end harness (missing {', '.join(missing)})")

    def test_silent_setup_then_quiet_uninstall_in_a_fresh_prefix(self):
        seen = report_from_own_prefix(__file__, "--inside")

        # Run twice: the second run replaces the files and adds no port.
        self.assertEqual(seen["setup_exits"], [0, 0])
        self.assertEqual(seen["devices_first"], 1)
        self.assertEqual(seen["entry_first"].get("DisplayVersion"), package_version())
        self.assertIsNone(seen["elsewhere"])
        self.assertEqual(seen["entry_again"].get("DisplayVersion"), package_version())
        self.assertEqual(seen["held_exit"], 1603)
        self.assertIn("kvrconfig.exe failed", seen["log_after_held"])
        self.assertNotIn("DisplayVersion", seen["entry_after_held"])
        programs = ["KVRLANCOM_INSTALLER.exe", "kvrconfig.exe", "kvrctl.exe", "kvrlancom_uninstaller.exe"]
        # The stand-in driver package: the INF and the co-installer it copies from beside it; and
        # the list of what the setup laid down, which the uninstaller removes.
        self.assertEqual(seen["files"], sorted(programs + ["kvrlancom.INF", "kvrlancom_portname.dll",
                                                          "kvrlancom_setup_files.txt"]))
        win64 = os.environ.get("WINEARCH", "win32") == "win64"
        self.assertEqual(seen["architectures"], ["x86_64" if win64 else "i686"])
        self.assertEqual(seen["shortcuts"], ["Configuration Tool.lnk"])   # no quick references to link
        self.assertEqual(seen["shortcut"]["target"].lower(), (PACKAGE + "\\kvrconfig.exe").lower())
        self.assertEqual(seen["shortcut"]["working_dir"].lower(), PACKAGE.lower())
        self.assertEqual(seen["devices"], 1)
        self.assertEqual(seen["entry"]["DisplayName"], "KELVARO Virtual Com for ethernet Driver")
        self.assertTrue(seen["uninstaller_exists"], seen["entry"])

        self.assertEqual(seen["uninstall_exit"], 0)
        after = seen["after"]
        # What the uninstaller keeps: its own file.
        self.assertEqual(after["files"], ["kvrlancom_uninstaller.exe"])
        self.assertIsNone(after["shortcuts"])
        self.assertEqual(after["programs_kelvaro"], [])
        self.assertEqual(after["devices"], 0)
        self.assertFalse(after["entry"])
        self.assertFalse(after["store"])
        self.assertTrue(after["kelvaro_key"])
        self.assertEqual(seen["failing_setup_exit"], 1603)
        # Each run's installer exit code, and the failed run's reason.
        self.assertIn("KVRLANCOM_INSTALLER.exe ended with 1603.", seen["log"])
        self.assertRegex(seen["log"], r"Finding .*kvrlancom\.INF failed: error 2")

    def test_without_arguments_the_installer_shows_its_dialog_within_the_setup(self):
        seen = report_from_own_prefix(__file__, "--inside-interactive")
        self.assertEqual(seen["status"], "Install Success!")
        self.assertEqual(seen["setup_exit"], 0)
        self.assertEqual(seen["devices"], 1)
        self.assertTrue(seen["entry"])


if __name__ == "__main__":
    if "--inside" in sys.argv:
        inside()
    elif "--inside-interactive" in sys.argv:
        inside_interactive()
    else:
        unittest.main()

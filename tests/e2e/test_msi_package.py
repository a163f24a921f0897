"""kvrlancom-x64.msi as a deployment tool runs it, in a fresh 64-bit prefix (the steps run with
--inside in a throwaway prefix of their own and report one JSON line): install, one port, one
Programs and Features entry; a binding survives a higher version over it; removal leaves nothing;
a failing installer program fails the install, with its lines in the verbose log."""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import uuid

from deployment import batch_run, prefix_path, read_shortcut, report_from_own_prefix
from test_setup_package import PACKAGE, PROGRAMS, STORE, listing, package_devices, reg, windows_path

UNINSTALL = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
NAME = "KELVARO Virtual Com for ethernet Driver"
TOOL = PACKAGE + "\\kvrconfig.exe"
PRINTER = "192.168.1.50"


def package_file(name):
    return os.path.join(os.environ["KVR_SETUP_DIR"], name)


def msi_table(msi, table):
    with tempfile.TemporaryDirectory(prefix="kvr_msiinfo_") as folder:   # it writes binary columns as files there
        text = subprocess.run(["msiinfo", "export", msi, table], cwd=folder, check=True,
                              capture_output=True).stdout.decode()
    return [line.split("\t") for line in text.splitlines()[3:]]


def rebuilt_package(folder, name, version=None, without=None):
    """kvrlancom-x64.msi rebuilt from its own source as a new product: with another version, or
    without one of the staged files."""
    with open(package_file("kvrlancom-x64.wxs"), encoding="utf-8") as f:
        source = f.read()
    source = re.sub(r'(<Product Id=")[^"]+(")', rf"\g<1>{str(uuid.uuid4()).upper()}\g<2>", source, count=1)
    if version:
        source = re.sub(r'(<Product [^>]*?Version=")[^"]+(")', rf"\g<1>{version}\g<2>", source, count=1, flags=re.S)
    if without:
        component = re.search(rf'<Component Id="([^"]+)"[^>]*>\s*<File [^>]*Name="{re.escape(without)}"[^>]*/>\s*</Component>',
                              source)
        source = source.replace(component.group(0), "").replace(f'<ComponentRef Id="{component.group(1)}"/>', "")
    # wixl takes the files' paths relative to the source's folder only.
    source = re.sub(r'(Source(?:File)?=")([^"]+)"',
                    lambda m: m.group(1) + os.path.relpath(os.path.join(package_file(""), m.group(2)), folder) + '"',
                    source)
    wxs, msi = os.path.join(folder, name + ".wxs"), os.path.join(folder, name + ".msi")
    with open(wxs, "w", encoding="utf-8") as f:
        f.write(source)
    subprocess.run(["wixl", "-a", "x64", "-o", msi, wxs], check=True, capture_output=True)
    return msi


def programs_and_features():
    """The entries Programs and Features lists with the package's name: {key: values}. An entry
    marked as a system component is not listed."""
    _, text = reg("query", UNINSTALL, "/s")
    entries, key = {}, None
    for line in text.splitlines():
        if line.startswith("HKEY_"):
            key = line.strip().rsplit("\\", 1)[-1]
            entries[key] = {}
        elif key:
            value = re.match(r"^\s+(\S+)\s+REG_\w+\s*(.*?)\r?$", line)
            if value:
                entries[key][value.group(1)] = value.group(2)
    return {key: values for key, values in entries.items()
            if values.get("DisplayName") == NAME and values.get("SystemComponent") != "0x1"}


def msiexec(arguments, log):
    """msiexec's exit code, the log's lines of the package's programs and actions, and the start
    menu's Programs folder it used."""
    code, _ = batch_run(f"msiexec {arguments} /qn /norestart /l*v \"{log}\"")
    with open(prefix_path(log), "rb") as f:
        raw = f.read()
    text = raw.decode("utf-16") if raw[:2] == b"\xff\xfe" else raw.decode("latin-1")
    lines = [line for line in text.splitlines()
             if re.search(r"KVRLANCOM_INSTALLER\.exe[: ]|kvrlancom_uninstaller\.exe[: ]|of the package|This package is for",
                          line)]
    menu = re.search(r"^Property\(S\): ProgramMenuFolder = (.*?)\\?$", text, re.M)
    return code, lines, menu.group(1) if menu else PROGRAMS


def binding():
    code, text = reg("query", STORE + "\\COM3")
    return text.replace("\r", "") if code == 0 else None


def state(programs):
    """What the package left: devices, package folder, shortcuts under the start menu's Programs
    folder that msiexec used (Wine's msiexec takes the user's one even for a per-machine package,
    where Windows takes the all-users one), entries, store."""
    link = prefix_path(programs + "\\KELVARO\\KvrLanCom\\Configuration Tool.lnk")
    return {"devices": package_devices(), "files": listing(PACKAGE),
            "shortcuts": listing(programs + "\\KELVARO\\KvrLanCom"), "menu_kelvaro": listing(programs + "\\KELVARO"),
            "shortcut": read_shortcut(link) if os.path.exists(link) else None,
            "entries": programs_and_features(), "store": reg("query", STORE)[0] == 0,
            "installer_entry": reg("query", UNINSTALL + "\\KELVARO KVRLANCOM Driver")[0] == 0}


def inside():
    seen = {}
    with tempfile.TemporaryDirectory(prefix="kvr_msi_") as folder:
        with open(package_file("kvrlancom-x64.wxs"), encoding="utf-8") as f:
            version = re.search(r'<Product [^>]*?Version="(\d+)\.(\d+)\.(\d+)', f.read()).groups()
        seen["higher_version"] = f"{version[0]}.{version[1]}.{int(version[2]) + 1}.0"   # the first three count
        higher = rebuilt_package(folder, "higher", version=seen["higher_version"])
        without_inf = rebuilt_package(folder, "without-inf", without="kvrlancom.INF")
        seen["x86_package"] = msiexec(f'/i "{windows_path(package_file("kvrlancom.msi"))}"', "C:\\x86.log")[0]
        seen["x86_package_files"] = listing(PACKAGE)
        code, lines, programs = msiexec(f'/i "{windows_path(package_file("kvrlancom-x64.msi"))}"', "C:\\install.log")
        seen["install"] = code, lines
        seen["installed"] = state(programs)
        seen["bind"] = batch_run(f'"{TOOL}" /bind COM3 {PRINTER} 9100')[0]
        seen["binding"] = binding()

        code, lines, programs = msiexec(f'/i "{windows_path(higher)}"', "C:\\upgrade.log")
        seen["upgrade"] = code, lines
        seen["upgraded"] = state(programs)
        seen["binding_after_upgrade"] = binding()

        code, lines, programs = msiexec(f'/x "{windows_path(higher)}"', "C:\\remove.log")
        seen["remove"] = code, lines
        seen["removed"] = state(programs)

        # The installer program fails (no INF): the install fails and is rolled back.
        code, lines, programs = msiexec(f'/i "{windows_path(without_inf)}"', "C:\\failed.log")
        seen["failed"] = code, lines
        seen["failed_state"] = state(programs)
    print(json.dumps(seen), flush=True)


class MsiPackage(unittest.TestCase):
    def setUp(self):
        missing = [v for v in ("KVR_WINE", "WINEPREFIX", "KVR_SETUP_DIR") if not os.environ.get(v)]
        if missing:
            self.skipTest(f"needs the end-to-end harness (missing {', '.join(missing)})")
        if os.environ.get("WINEARCH", "win32") != "win64":
            self.skipTest("kvrlancom-x64.msi needs a 64-bit prefix")
        if not shutil.which("wixl") or not shutil.which("msiinfo"):
            self.skipTest("needs wixl and msiinfo (Debian packages wixl, msitools)")

    def test_tables_per_machine_deferred_actions_platform_conditions(self):
        for name in ("kvrlancom-x64.msi", "kvrlancom.msi"):
            msi = package_file(name)
            actions = {row[0]: int(row[1]) for row in msi_table(msi, "CustomAction")}
            for action in ("RunPackageInstaller", "RunPackageUninstaller"):
                self.assertEqual(actions[action] & 0xC00, 0xC00, f"{name} {action} {actions[action]}")   # deferred, no impersonation
            properties = msi_table(msi, "Property")
            self.assertIn(["ALLUSERS", "1"], properties, name)
            # The entry's icon: Windows publishes it as DisplayIcon, Wine's msiexec does not.
            self.assertIn(["ARPPRODUCTICON", "kvrconfig.ico"], properties, name)
            self.assertEqual([row[0] for row in msi_table(msi, "Icon")], ["kvrconfig.ico"], name)
        conditions = {name: dict(msi_table(package_file(name), "LaunchCondition"))
                      for name in ("kvrlancom-x64.msi", "kvrlancom.msi")}
        self.assertEqual(conditions["kvrlancom.msi"]["NOT VersionNT64"],
                         "This package is for 32-bit Windows. On 64-bit Windows install kvrlancom-x64.msi.")
        self.assertIn("VersionNT64", conditions["kvrlancom-x64.msi"])

    def test_install_bind_upgrade_remove_in_a_fresh_prefix(self):
        seen = report_from_own_prefix(__file__, "--inside")
        staged = sorted(os.listdir(os.path.join(os.environ["KVR_SETUP_DIR"], "stage", "x86_64")))

        # The 32-bit package refuses 64-bit Windows (its message: the tables' test).
        self.assertEqual(seen["x86_package"], 1603)
        self.assertIsNone(seen["x86_package_files"])

        code, log = seen["install"]
        self.assertEqual(code, 0, log)
        self.assertIn("KVRLANCOM_INSTALLER.exe /quiet ended with 0", "\n".join(log))
        installed = seen["installed"]
        self.assertEqual(installed["devices"], 1)
        self.assertEqual(installed["files"], staged)
        self.assertEqual(installed["shortcuts"], ["Configuration Tool.lnk"])
        self.assertEqual(installed["shortcut"]["target"].lower(), TOOL.lower())
        self.assertEqual(installed["shortcut"]["working_dir"].lower().rstrip("\\"), PACKAGE.lower())
        # One entry: the package's own (under its product code), the installer's hidden.
        self.assertTrue(installed["installer_entry"])
        [entry] = installed["entries"].values()
        self.assertEqual(entry["Publisher"], "KELVARO")
        self.assertRegex(entry["DisplayVersion"], r"^\d+\.\d+\.\d+")

        self.assertEqual(seen["bind"], 0)
        self.assertIn("IPAddress", seen["binding"] or "")

        code, log = seen["upgrade"]
        self.assertEqual(code, 0, log)
        self.assertTrue(any("virtual port of the package is present" in line for line in log), log)
        upgraded = seen["upgraded"]
        self.assertEqual(upgraded["devices"], 1)
        self.assertEqual(upgraded["files"], staged)
        [entry] = upgraded["entries"].values()
        self.assertTrue(entry["DisplayVersion"].startswith(seen["higher_version"].rsplit(".", 1)[0]), entry)
        self.assertEqual(seen["binding_after_upgrade"], seen["binding"])

        code, log = seen["remove"]
        self.assertIn(code, (0, 3010), log)
        # 3010 exactly when the uninstaller asked for a restart.
        [ended] = [line for line in log if "kvrlancom_uninstaller.exe /quiet ended with" in line]
        self.assertEqual(code == 3010, ended.endswith(" 3010"), log)
        removed = seen["removed"]
        self.assertEqual(removed["devices"], 0)
        self.assertIn(removed["files"], (None, []))
        self.assertIsNone(removed["shortcuts"])
        self.assertIsNone(removed["menu_kelvaro"])
        self.assertEqual(removed["entries"], {})
        self.assertFalse(removed["installer_entry"])
        self.assertFalse(removed["store"])

        code, log = seen["failed"]
        self.assertEqual(code, 1603, log)
        self.assertTrue(any(re.search(r"KVRLANCOM_INSTALLER\.exe: .* failed: error \d+", line) for line in log), log)
        self.assertIn("KVRLANCOM_INSTALLER.exe /quiet ended with 1603", "\n".join(log))
        failed = seen["failed_state"]
        self.assertEqual(failed["devices"], 0)
        self.assertIn(failed["files"], (None, []))
        self.assertEqual(failed["entries"], {})


if __name__ == "__main__":
    if "--inside" in sys.argv:
        inside()
    else:
        unittest.main()

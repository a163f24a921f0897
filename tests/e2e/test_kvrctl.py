"""kvrctl.exe, the console command, in a prefix of its own where kvrlancom-setup.exe /S installed
the package (port COM3): a console program that runs as invoked, its CSV listing, "*" for the only
port, a port added and one removed, the search of simulated printers and a binding by MAC, results
on standard output and refusals on standard error only; its export imported in a second prefix.
The steps run with --inside (and --import) and report what they saw as one JSON line."""

import json
import os
import re
import struct
import subprocess
import sys
import unittest

from deployment import batch_run, prefix_path, report_from_own_prefix, setup_package

FOLDER = "C:\\windows\\KELVARO\\KVRLANCOM"
CTL = FOLDER + "\\kvrctl.exe"
STORE = r"HKEY_LOCAL_MACHINE\SOFTWARE\KELVARO\TCPSIO"
PRINTERS = [("00:1a:2b:3d:4e:5f", "192.168.250.10", 9100), ("00:1a:2b:3d:4e:60", "192.168.250.11", 515)]
UNCONFIGURED = "00:1a:2b:3d:4e:61"


def ctl(arguments):
    """kvrctl run from a batch file: [exit code, standard output, standard error]."""
    out, err = prefix_path("C:\\kvrctl_out.txt"), prefix_path("C:\\kvrctl_err.txt")
    code, _ = batch_run(f'"{CTL}" {arguments} >C:\\kvrctl_out.txt 2>C:\\kvrctl_err.txt')
    texts = []
    for path in (out, err):
        with open(path, "rb") as f:
            texts.append(f.read().decode("latin-1"))
        os.remove(path)
    return [code, *texts]


def binding(port):
    """The values of one binding as `reg query` shows them, sorted by name; None when it is missing."""
    code, text = batch_run(f'reg query "{STORE}\\{port}"')
    return re.findall(r"^\s+(\S+)\s+(REG_\w+)\s+(\S+)", text, re.M) if code == 0 else None


def store():
    """What `reg query /s` shows of the whole store; None when there is none."""
    code, text = batch_run(f'reg query "{STORE}" /s')
    return text if code == 0 else None


def pe_facts(path):
    with open(path, "rb") as f:
        data = f.read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    return {"subsystem": struct.unpack_from("<H", data, pe + 24 + 68)[0],
            "as_invoker": b'level="asInvoker"' in data, "asks_admin": b"requireAdministrator" in data}


def inside():
    from session import start_simulator

    seen = {"setup_exit": subprocess.run([os.environ["KVR_WINE"], setup_package(), "/S"],
                                         capture_output=True).returncode}
    seen["pe"] = pe_facts(prefix_path(CTL))
    seen["list_csv"] = ctl("/list /csv")
    seen["bind_star"] = ctl("/bind * 192.168.250.10 9100")
    seen["com3"] = binding("COM3")
    seen["add_port"] = ctl("/add-port")
    seen["bind_star_two"] = ctl("/bind * 192.168.250.11 515")
    seen["usage"] = ctl("/?")
    seen["bad"] = ctl("/bind COM3 192.168.250 9100")
    sim = start_simulator([f"mac={mac},ip={ip},port={port}" for mac, ip, port in PRINTERS] +
                          [f"mac={UNCONFIGURED},ip=0.0.0.0,port=9100"])
    try:
        seen["find"] = ctl("/find /csv")
        seen["bind_mac"] = ctl(f"-bind \\\\.\\COM4 {PRINTERS[1][0].replace(':', '-')}")
        seen["com4"] = binding("COM4")
        seen["bind_unknown"] = ctl("/bind COM4 00:00:00:00:00:99")
        seen["bind_unconfigured"] = ctl(f"/bind COM4 {UNCONFIGURED}")
        seen["com4_after"] = binding("COM4")
    finally:
        sim.cleanup()
    seen["remove_port"] = ctl("/remove-port com4")
    seen["list_after_remove"] = ctl("/list /csv")
    seen["remove_again"] = ctl("/remove-port COM4")
    os.makedirs(prefix_path("C:\\kvr export"), exist_ok=True)
    seen["export"] = ctl('/export "C:\\kvr export\\ports.csv"')
    with open(prefix_path("C:\\kvr export\\ports.csv"), "rb") as f:
        seen["exported"] = f.read().decode("latin-1")
    seen["store"] = store()
    print(json.dumps(seen), flush=True)


def inside_import():
    """Another PC: the package with two ports, an import file with one bad line, then the file
    exported on the first (KVR_CTL_EXPORTED)."""
    seen = {"setup_exit": subprocess.run([os.environ["KVR_WINE"], setup_package(), "/S"],
                                         capture_output=True).returncode}
    seen["add_port"] = ctl("/add-port")
    exported = os.environ["KVR_CTL_EXPORTED"]
    with open(prefix_path("C:\\bad.csv"), "w", newline="") as f:
        f.write(exported.replace("192.168.250.11", "192.168.250.256"))
    seen["bad"] = ctl("/import C:\\bad.csv")
    seen["store_after_bad"] = store()
    with open(prefix_path("C:\\ports.csv"), "w", newline="") as f:
        f.write(exported)
    seen["import"] = ctl("/import C:\\ports.csv")
    seen["store"] = store()
    print(json.dumps(seen), flush=True)


class Kvrctl(unittest.TestCase):
    def setUp(self):
        missing = [v for v in ("KVR_WINE", "WINEPREFIX", "KVR_SETUP_DIR", "KVR_PRINTER_NS") if not os.environ.get(v)]
        if missing:
            self.skipTest(f"needs the end-to-end harness (missing {', '.join(missing)})")

    def test_console_command_after_a_silent_setup(self):
        seen = report_from_own_prefix(__file__)
        self.assertEqual(seen["setup_exit"], 0)
        self.assertEqual(seen["pe"], {"subsystem": 3, "as_invoker": True, "asks_admin": False})
        self.assertEqual(seen["list_csv"], [0, "port,address,tcpport,state\r\nCOM3,,,unbound\r\n", ""])
        self.assertEqual(seen["bind_star"], [0, "COM3 bound to 192.168.250.10 9100\r\n", ""])
        self.assertEqual(seen["com3"], [["IPAddress", "REG_DWORD", "0xafaa8c0"], ["Port", "REG_DWORD", "0x8c23"],
                                        ["Port_", "REG_DWORD", "0x238c"]])
        self.assertIn(seen["add_port"][0], (0, 3010))
        self.assertEqual(seen["add_port"][1:], ["COM4\r\n", ""])
        code, out, err = seen["bind_star_two"]
        self.assertEqual((code, out), (2, ""))
        self.assertIn("it has several: COM3, COM4", err)
        self.assertEqual(seen["usage"][0], 0)
        self.assertTrue(seen["usage"][1].startswith("Usage: kvrctl.exe"))
        self.assertEqual(seen["usage"][2], "")
        self.assertEqual(seen["bad"][:2], [87, ""])
        self.assertIn("Usage: kvrctl.exe", seen["bad"][2])

        code, out, err = seen["find"]
        self.assertEqual((code, err), (0, ""))
        lines = out.splitlines()
        self.assertEqual(lines[0], "mac,address,tcpport,firmware,port")
        self.assertEqual(sorted(line.split(",")[:3] + [line.split(",")[4]] for line in lines[1:]),
                         [["00:1a:2b:3d:4e:5f", "192.168.250.10", "9100", "COM3"],
                          ["00:1a:2b:3d:4e:60", "192.168.250.11", "515", ""],
                          [UNCONFIGURED, "0.0.0.0", "9100", ""]])
        self.assertEqual(seen["bind_mac"], [0, "COM4 bound to 192.168.250.11 515\r\n", ""])
        self.assertEqual(seen["com4"], [["IPAddress", "REG_DWORD", "0xbfaa8c0"], ["Port", "REG_DWORD", "0x302"],
                                        ["Port_", "REG_DWORD", "0x203"]])
        self.assertEqual(seen["bind_unknown"][:2], [3, ""])
        self.assertIn("No printer with MAC 00:00:00:00:00:99 answered", seen["bind_unknown"][2])
        self.assertEqual(seen["bind_unconfigured"][:2], [3, ""])
        self.assertIn("has no address (0.0.0.0)", seen["bind_unconfigured"][2])
        self.assertEqual(seen["com4_after"], seen["com4"], "a printer not found writes nothing")
        # The device goes, its binding stays.
        self.assertEqual(seen["remove_port"], [0, "COM4 removed\r\n", ""])
        self.assertEqual(seen["list_after_remove"], [0, "port,address,tcpport,state\r\n"
                                                        "COM3,192.168.250.10,9100,bound\r\n"
                                                        "COM4,192.168.250.11,515,orphaned\r\n", ""])
        self.assertEqual(seen["remove_again"][:2], [2, ""])

        # What one PC exports, another imports to the same store bytes; a file with a bad line
        # writes nothing there.
        self.assertEqual(seen["export"][0], 0)
        self.assertEqual(seen["exported"], seen["list_after_remove"][1])
        os.environ["KVR_CTL_EXPORTED"] = seen["exported"]
        other = report_from_own_prefix(__file__, "--import")
        self.assertEqual(other["add_port"][:2], [0, "COM4\r\n"])
        self.assertEqual(other["bad"][:2], [87, ""])
        self.assertIn("line 3: not a printer's IPv4 address: 192.168.250.256", other["bad"][2])
        self.assertIsNone(other["store_after_bad"])
        self.assertEqual(other["import"], [0, "COM3 bound to 192.168.250.10 9100\r\n"
                                              "COM4 bound to 192.168.250.11 515\r\n", ""])
        self.assertIsNotNone(seen["store"])
        self.assertEqual(other["store"], seen["store"])


if __name__ == "__main__":
    if "--inside" in sys.argv:
        inside()
    elif "--import" in sys.argv:
        inside_import()
    else:
        unittest.main()

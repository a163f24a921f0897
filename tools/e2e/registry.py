"""The Wine prefix's registry, written and restored by tests through the prefix's own reg.exe."""

import os
import subprocess
import tempfile

STORE = r"HKEY_LOCAL_MACHINE\SOFTWARE\KELVARO\TCPSIO"


def _reg(*args, check=True):
    # Run from an empty folder: a reg.exe in the current folder would be taken instead of Wine's.
    with tempfile.TemporaryDirectory(prefix="kvr_reg_") as folder:
        result = subprocess.run([os.environ["KVR_WINE"], "reg", *args], cwd=folder,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if check and result.returncode != 0:
        raise RuntimeError(f"reg {' '.join(args)} failed with {result.returncode}")
    return result.returncode


def key_exists(key):
    return _reg("query", key, check=False) == 0


def import_reg(sections):
    """Imports [(key, {value name: dword or None to leave it out})]; a key given as "-KEY" is deleted."""
    lines = ["REGEDIT4", ""]
    for key, values in sections:
        lines.append(f"[{key}]")
        lines += [f'"{name}"=dword:{value:08x}' for name, value in (values or {}).items()]
        lines.append("")
    with tempfile.TemporaryDirectory(prefix="kvr_reg_") as folder:
        path = os.path.join(folder, "import.reg")
        with open(path, "w", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")
        _reg("import", path)


def ip_dword(dotted):
    """An IPv4 address as the store keeps it: network byte order read as a little-endian DWORD."""
    return int.from_bytes(bytes(int(part) for part in dotted.split(".")), "little")


class PortBindings:
    """Bindings in the port assignment store for one test; restore() puts the store back as it
    was (removing the store key, or the KELVARO key, when the test created it)."""

    def __init__(self):
        self._created = []
        self._undo = None
        for key in (r"HKEY_LOCAL_MACHINE\SOFTWARE\KELVARO", STORE):
            if not key_exists(key):
                self._undo = key
                break

    def bind(self, port, ip=None):
        """Subkey `port` with "IPAddress" = ip, or without the value when ip is None."""
        import_reg([(f"{STORE}\\{port}", {"IPAddress": ip_dword(ip)} if ip is not None else {})])
        self._created.append(port)

    def restore(self):
        if self._undo:
            import_reg([("-" + self._undo, None)])
        elif self._created:
            import_reg([(f"-{STORE}\\{port}", None) for port in self._created])


def subkeys(key):
    """Names of the key's direct subkeys ([] when it does not exist)."""
    with tempfile.TemporaryDirectory(prefix="kvr_reg_") as folder:
        result = subprocess.run([os.environ["KVR_WINE"], "reg", "query", key], cwd=folder,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    prefix = key.lower() + "\\"
    return [line[len(prefix):] for line in result.stdout.decode("latin-1").splitlines()
            if line.lower().startswith(prefix)]


def delete_key(key):
    _reg("delete", key, "/f", check=False)

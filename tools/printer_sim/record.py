"""The 26-byte printer record carried by IMIN, SETT, SETC and FIRS datagrams.

Layout (offsets within the record):
    0..5   MAC address, first byte first
    6..9   IP address, dotted order (first byte 0 = not configured)
    10..13 subnet mask
    14..17 gateway
    18..19 TCP "Local Port" for print data, big-endian
    20     baud-rate code (see BAUD_CODES; other bytes are kept as they are)
    21, 22 firmware major, minor
    23     DHCP mode (1 = on, 0 = off)
    24..25 inactivity time in seconds, big-endian
"""

import ipaddress
import socket
import struct
from dataclasses import dataclass, replace

RECORD_LEN = 26
_LAYOUT = struct.Struct(">6s4s4s4sHBBBBH")
assert _LAYOUT.size == RECORD_LEN

# Baud rate -> code byte.
BAUD_CODES = {
    1200: 0xA0, 2400: 0xD0, 4800: 0xE8, 9600: 0xF4, 19200: 0xFA,
    38400: 0xFD, 57600: 0xFE, 115200: 0xFF, 230400: 0xBB,
}


def parse_int(text):
    """Decimal, or hexadecimal with a 0x prefix. Leading zeros are decimal ("08" is 8)."""
    if isinstance(text, int):
        return text
    text = str(text).strip()
    if text.lower().startswith("0x"):
        return int(text, 16)
    return int(text, 10)


def parse_mac(text):
    """'00:1a:2b:3d:4e:5f', '00-1A-...' or '001a2b3d4e5f' -> 6 bytes."""
    digits = str(text).replace(":", "").replace("-", "").strip()
    try:
        mac = bytes.fromhex(digits)
    except ValueError:
        mac = b""
    if len(mac) != 6:
        raise ValueError(f"MAC needs 6 bytes: {text!r}")
    return mac


def format_mac(mac):
    return ":".join(f"{b:02x}" for b in mac)


def parse_ipv4(text):
    """Dotted quad -> normalised dotted quad (raises ValueError on anything else)."""
    try:
        return str(ipaddress.IPv4Address(str(text).strip()))
    except ValueError:
        raise ValueError(f"not an IPv4 address: {text!r}") from None


def parse_baud(value):
    """A rate from BAUD_CODES (e.g. 9600) gives its code; a value 0..255 is taken as the code byte."""
    n = parse_int(value)
    if n in BAUD_CODES:
        return BAUD_CODES[n]
    if 0 <= n <= 0xFF:
        return n
    raise ValueError(f"unknown baud rate {value!r}")


def parse_firmware(text):
    """'1.10' -> (1, 10). Each part is one byte."""
    major, _, minor = str(text).partition(".")
    major, minor = parse_int(major), parse_int(minor or 0)
    if not (0 <= major <= 0xFF and 0 <= minor <= 0xFF):
        raise ValueError(f"firmware major and minor must be 0..255: {text!r}")
    return major, minor


@dataclass(frozen=True)
class Record:
    mac: bytes
    ip: str = "0.0.0.0"
    mask: str = "255.255.255.0"
    gateway: str = "0.0.0.0"
    port: int = 9100
    baud: int = 0xF4
    fw_major: int = 1
    fw_minor: int = 0
    dhcp: int = 0
    inactivity: int = 0

    @property
    def ip_configured(self):
        return not self.ip.startswith("0.")

    def pack(self):
        return _LAYOUT.pack(
            self.mac, socket.inet_aton(self.ip), socket.inet_aton(self.mask),
            socket.inet_aton(self.gateway), self.port, self.baud,
            self.fw_major, self.fw_minor, self.dhcp, self.inactivity)

    @classmethod
    def unpack(cls, data):
        if len(data) < RECORD_LEN:
            raise ValueError(f"record needs {RECORD_LEN} bytes, got {len(data)}")
        mac, ip, mask, gw, port, baud, fw_major, fw_minor, dhcp, inact = \
            _LAYOUT.unpack(bytes(data[:RECORD_LEN]))
        return cls(mac, socket.inet_ntoa(ip), socket.inet_ntoa(mask), socket.inet_ntoa(gw),
                   port, baud, fw_major, fw_minor, dhcp, inact)

    def with_settings_from(self, other):
        """What a printer keeps after SETT: everything from `other` except its own MAC and firmware."""
        return replace(other, mac=self.mac, fw_major=self.fw_major, fw_minor=self.fw_minor)

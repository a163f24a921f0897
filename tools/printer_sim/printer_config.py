"""Turns printer descriptions (compact "key=value,..." strings, JSON objects, --count) into
PrinterConfig objects.

Keys (all optional; unknown keys are an error so typos do not go unnoticed):
    record          the whole 26-byte record as hex; the other record keys below override it
    mac ip mask gw (or gateway) port baud fw dhcp inactivity
                    record fields; baud is a rate (9600) or a code byte (0xF4, 0x10);
                    fw is "major.minor" (1.10 -> 1, 10)
    delay_ms        answer FIND this many milliseconds late
    repeat          answer each FIND this many times (0 behaves like silent)
    repeat_gap_ms   pause between repeated answers
    raw_reply_hex   answer FIND with exactly these bytes instead of IMIN + record ("" = empty datagram)
    silent          never answer FIND (SETT and FIRS still work)
    ack_sett        answer SETT with SETC (default true)
    fw_listen       accept firmware connections (default true; false: refused, like a switched-off card)
    fw_reset_after  reset a firmware connection once this many of its bytes have arrived
    fw_stall_after  stop reading a firmware connection once this many of its bytes have arrived
                    (0: from the start); its receive buffer is kept small so the sender stalls soon
A printer without a MAC gets the next one after --base-mac.
"""

import ipaddress
import json
from dataclasses import dataclass

from record import (Record, parse_baud, parse_firmware, parse_int, parse_ipv4, parse_mac,
                    RECORD_LEN)

DEFAULT_BASE_MAC = "02:00:00:00:00:00"


@dataclass(frozen=True)
class PrinterConfig:
    record: Record
    delay_ms: float = 0.0
    repeat: int = 1
    repeat_gap_ms: float = 0.0
    raw_reply: bytes | None = None
    silent: bool = False
    ack_sett: bool = True
    fw_listen: bool = True
    fw_reset_after: int | None = None
    fw_stall_after: int | None = None


def parse_bool(value):
    if isinstance(value, bool):
        return value
    text = str(value).strip().lower()
    if text in ("1", "true", "yes", "on"):
        return True
    if text in ("0", "false", "no", "off"):
        return False
    raise ValueError(f"not a boolean: {value!r}")


def parse_compact(text):
    """'mac=..,ip=..,port=515' -> {'mac': .., 'ip': .., 'port': '515'}."""
    fields = {}
    for item in filter(None, (part.strip() for part in text.split(","))):
        key, sep, value = item.partition("=")
        if not sep:
            raise ValueError(f"expected key=value, got {item!r}")
        fields[key.strip().lower()] = value.strip()
    return fields


_RECORD_KEYS = {
    "mac": lambda v: {"mac": parse_mac(v)},
    "ip": lambda v: {"ip": parse_ipv4(v)},
    "mask": lambda v: {"mask": parse_ipv4(v)},
    "gw": lambda v: {"gateway": parse_ipv4(v)},
    "gateway": lambda v: {"gateway": parse_ipv4(v)},
    "port": lambda v: {"port": _ranged(v, 0xFFFF, "port")},
    "baud": lambda v: {"baud": parse_baud(v)},
    "fw": lambda v: dict(zip(("fw_major", "fw_minor"), parse_firmware(v))),
    "dhcp": lambda v: {"dhcp": _byte_or_bool(v, "dhcp")},
    "inactivity": lambda v: {"inactivity": _ranged(v, 0xFFFF, "inactivity")},
}

_BEHAVIOUR_KEYS = {
    "delay_ms": lambda v: {"delay_ms": float(v)},
    "repeat": lambda v: {"repeat": _ranged(v, 10**6, "repeat")},
    "repeat_gap_ms": lambda v: {"repeat_gap_ms": float(v)},
    "raw_reply_hex": lambda v: {"raw_reply": bytes.fromhex(str(v).replace(":", "").replace(" ", ""))},
    "silent": lambda v: {"silent": parse_bool(v)},
    "ack_sett": lambda v: {"ack_sett": parse_bool(v)},
    "fw_listen": lambda v: {"fw_listen": parse_bool(v)},
    "fw_reset_after": lambda v: {"fw_reset_after": _ranged(v, 2**32, "fw_reset_after")},
    "fw_stall_after": lambda v: {"fw_stall_after": _ranged(v, 2**32, "fw_stall_after")},
}


def _byte_or_bool(value, name):
    if isinstance(value, bool) or str(value).strip().lower() in ("true", "false", "yes", "no", "on", "off"):
        return int(parse_bool(value))
    return _ranged(value, 0xFF, name)


def _ranged(value, top, name):
    n = parse_int(value)
    if not 0 <= n <= top:
        raise ValueError(f"{name} must be 0..{top}: {value!r}")
    return n


def build_printer(fields, defaults=None, auto_mac=None):
    """fields/defaults: dicts of the keys above (values as strings or JSON values)."""
    merged = {k.lower(): v for k, v in (defaults or {}).items()}
    merged.update({k.lower(): v for k, v in fields.items()})

    record_fields, behaviour = {}, {}
    if "record" in merged:
        raw = bytes.fromhex(str(merged.pop("record")))
        if len(raw) != RECORD_LEN:
            raise ValueError(f"record needs {RECORD_LEN} bytes, got {len(raw)}")
        record_fields = vars(Record.unpack(raw)).copy()
    for key, value in merged.items():
        if key in _RECORD_KEYS:
            record_fields.update(_RECORD_KEYS[key](value))
        elif key in _BEHAVIOUR_KEYS:
            behaviour.update(_BEHAVIOUR_KEYS[key](value))
        else:
            raise ValueError(f"unknown printer key {key!r}")
    if "mac" not in record_fields:
        if auto_mac is None:
            raise ValueError("printer without a MAC")
        record_fields["mac"] = auto_mac
    return PrinterConfig(record=Record(**record_fields), **behaviour)


def consecutive_ips(base_ip, count):
    """`count` addresses from base_ip upwards, skipping last bytes .0 and .255."""
    addr = ipaddress.IPv4Address(parse_ipv4(base_ip))
    out = []
    while len(out) < count:
        if addr.packed[3] not in (0, 255):
            out.append(str(addr))
        addr += 1
    return out


class MacCounter:
    def __init__(self, base=DEFAULT_BASE_MAC):
        self._next = int.from_bytes(parse_mac(base), "big") + 1

    def __call__(self):
        mac = self._next.to_bytes(6, "big")
        self._next += 1
        return mac


def build_all(descs=(), defaults=None, count=0, base_ip=None, base_mac=DEFAULT_BASE_MAC):
    """descs: field dicts (from --printer / the config file); then `count` generated printers."""
    next_mac = MacCounter(base_mac)
    printers = [build_printer(desc, defaults, next_mac() if "mac" not in desc else None)
                for desc in descs]
    if count:
        if base_ip is None:
            raise ValueError("--count needs --base-ip")
        for ip in consecutive_ips(base_ip, count):
            printers.append(build_printer({"ip": ip}, defaults, next_mac()))
    return printers


def load_config_file(path):
    """JSON: either a list of printer objects, or {"defaults": {...}, "printers": [...]}.
    Returns (defaults, descs)."""
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    if isinstance(data, list):
        return {}, data
    unknown = set(data) - {"defaults", "printers"}
    if unknown:
        raise ValueError(f"unknown config keys: {sorted(unknown)}")
    return data.get("defaults", {}), data.get("printers", [])

// Where the port bindings and the system's COM port devices live in the registry (HKEY_LOCAL_MACHINE).
#pragma once

// One subkey per bound port (named after it, "COM3"), with REG_DWORD "Port_", "IPAddress" and "Port".
// Shared with the driver, which reads it.
constexpr const char kAssignmentStoreKey[] = "SOFTWARE\\KELVARO\\TCPSIO";
// One subkey per root-enumerated Ports-class device; "Device Parameters"\"PortName" holds its COM name.
constexpr const char kRootPortsKey[] = "SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS";
// Port names, instance names and store subkeys are read into buffers of this size (9 characters + NUL).
constexpr unsigned kPortNameBufferSize = 10;

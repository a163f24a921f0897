// Where the port bindings live in the registry (HKEY_LOCAL_MACHINE).
#pragma once

// One subkey per bound port (named after it, "COM3"), with REG_DWORD "Port_", "IPAddress" and "Port".
// Shared with the driver, which reads it.
constexpr const char kAssignmentStoreKey[] = "SOFTWARE\\KELVARO\\TCPSIO";
// Port names, instance names and store subkeys are read into buffers of this size (9 characters + NUL).
constexpr unsigned kPortNameBufferSize = 10;

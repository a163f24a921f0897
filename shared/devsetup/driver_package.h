// The KVRLANCOM driver package as the tools rely on it. The kernel driver and its INF come with the
// product; the tools only create, list and remove the devices it serves.
#pragma once

// The only entry of each virtual port device's hardware-ID list: lower case, with a backslash (not a
// tab) between the two words. Matched exactly, case-sensitively.
constexpr const char kDriverHardwareId[] = "kelvaro\\tcpsio";

// The INF, taken at install time from the installing program's current directory.
constexpr const char kDriverInfName[] = "kvrlancom.INF";

// The INF's [strings] key whose value names the maker; the uninstaller recognises the system's copy
// of the INF by kDriverMakerText in that value.
constexpr const char kDriverInfStringsSection[] = "strings";
constexpr const char kDriverInfMakerKey[] = "TCPSIO.Manufacturer";
constexpr const char kDriverMakerText[] = "KELVARO";

// The kernel driver file the INF installs into system32\drivers.
constexpr const char kDriverFileName[] = "KVRLANCOM.sys";

// Every device of the package is a root-enumerated instance of the Ports setup class
// ({4D36E978-E325-11CE-BFC1-08002BE10318}, read from the INF) under this key; its "Device Parameters" subkey holds
// "PortName", the name the COM port is opened by.
constexpr const char kRootPortsEnumKey[] = "SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS";
constexpr const char kDeviceParametersKey[] = "Device Parameters";
constexpr const char kPortNameValue[] = "PortName";

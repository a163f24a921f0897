// The port bindings as the tool reads them from the store, and the "Assign Info" answer for one
// printer. Plain C++: no Windows needed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What the "Assign Info" column shows for a printer that no port is bound to.
constexpr const char kNotAssigned[] = "Not Assigned";

// One binding: the port (the store's subkey name) and the printer's IPv4 address in network byte
// order (the first dotted part in the lowest byte in memory, as inet_addr gives it).
struct PortBinding {
    std::string port;
    uint32_t ip;
};
// In the store's enumeration order.
using PortBindings = std::vector<PortBinding>;

// The port bound to ip: the first binding in order whose address is ip; kNotAssigned when none is.
std::string AssignedPortOf(const PortBindings& bindings, uint32_t ip);

// The COM port names this tool binds and opens: "COM" and a decimal number from 1 to 256, without
// sign, blanks or leading zeros. Anything else that may stand in the store or in a list cell names
// no port of ours.
bool IsBindablePortName(const std::string& name);

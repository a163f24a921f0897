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

// How binding a port to a printer went: the earlier binding of another port is removed first, then
// the new one is written over the port's own, and either half can fail on its own. Codes are the registry's (0 when that half went
// well or had nothing to do).
struct BindingOutcome {
    std::string previousPort;  // the binding removed first; empty when there was none to remove
    std::string port;          // the port bound now
    long removeError = 0;
    long writeError = 0;
    // When the write failed: putting back what the port's key held before failed too (0 when the
    // earlier binding of port is as it was).
    long restoreError = 0;
};

// What the user is told when a binding did not go wholly as asked: which half failed, and so where
// the printer is bound now. Empty when there is nothing to tell (a failed removal of the very port
// that was then written whole leaves the binding as asked).
std::string BindingFailureText(const BindingOutcome& outcome);

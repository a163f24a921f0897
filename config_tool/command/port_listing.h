// What /list shows and how a port named on the command line is found in the port list. Plain C++:
// no Windows needed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One binding of the store as /list shows it.
struct ListedBinding {
    std::string port;   // the store's subkey name
    uint32_t ip;        // network byte order
    int tcpPort;        // -1 when the binding holds no readable TCP port
};

// The port names in the order the configuration dialog's sorted PORT list shows them: by text,
// ignoring letter case (COM10 before COM2).
std::vector<std::string> InPortListOrder(std::vector<std::string> names);

// The entry of ports that name stands for, compared ignoring letter case as Windows compares
// device and key names (com3 is COM3); null when there is none.
const std::string* FindListedPort(const std::vector<std::string>& ports, const std::string& name);

// /list's text, lines ending in "\r\n": one line per port of ports (in the given order) with the
// address and TCP port bound to it, or "Not Assigned"; then each binding whose port is not in
// ports, marked "(port no longer exists)".
std::string PortListingText(const std::vector<std::string>& ports, const std::vector<ListedBinding>& bindings);

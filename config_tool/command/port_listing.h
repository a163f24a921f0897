// What /list shows, the same as comma-separated lines that /export writes and /import reads back, and
// how a port named on the command line is found in the port list. Plain C++: no Windows needed.
#pragma once
#include "../printers/printer_record.h"
#include "../store/port_binding.h"

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

// The header of /list /csv, /export and /import.
constexpr const char kBindingsCsvHeader[] = "port,address,tcpport,state";

// /list /csv: the header, then the lines of PortListingText as "port,address,tcpport,state" with
// state "bound", "unbound" (address and TCP port empty) or "orphaned" (the port is gone); an
// unreadable TCP port is empty. Lines end in "\r\n"; no ports and no bindings: the header alone.
std::string PortListingCsv(const std::vector<std::string>& ports, const std::vector<ListedBinding>& bindings);

// One line of an imported file.
struct ImportedBinding {
    std::string port;
    bool bound = false;   // "bound" or "orphaned": to be bound; "unbound": nothing to do
    uint8_t ip[4] = {0};
    int tcpPort = 0;
};

// Reads a file PortListingCsv wrote (lines may end in "\r\n" or "\n"; blank lines are passed
// over). False at the first line that is not of that form, with problem naming its number and
// what is wrong; lines is then incomplete.
bool ParseBindingsCsv(const std::string& text, std::vector<ImportedBinding>& lines, std::string& problem);

// /find's text, one line per printer in the order the replies came: MAC, address, TCP port, firmware
// version and the port bound to the printer's address ("Not Assigned" when none); with csv the header
// "mac,address,tcpport,firmware,port" first and an unbound printer's port empty.
std::string FoundPrintersText(const std::vector<PrinterRecord>& printers, const PortBindings& bindings, bool csv);

#include "port_listing.h"

#include "command_line.h"

#include "../printers/list_text.h"
#include "../net/settings_record.h"
#include "../store/port_binding.h"

#include <algorithm>
#include <cstring>

namespace {
char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return Lower(x) == Lower(y);
           });
}

bool ListsBefore(const std::string& a, const std::string& b)
{
    auto caseless = [](char x, char y) { return Lower(x) < Lower(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), caseless))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), caseless))
        return false;
    return a < b;   // COM3 and com3: a fixed order all the same
}

// Port names have at most 9 characters: the second column lines up.
std::string Line(const std::string& port, const std::string& rest)
{
    return port + std::string(port.size() < 10 ? 10 - port.size() : 1, ' ') + rest + "\r\n";
}

std::string AddressText(const ListedBinding& binding)
{
    uint8_t ip[4];
    std::memcpy(ip, &binding.ip, sizeof ip);
    return DottedIpText(ip);
}

std::string BoundText(const ListedBinding& binding)
{
    return AddressText(binding) + " " + (binding.tcpPort >= 0 ? std::to_string(binding.tcpPort) : std::string("-"));
}

std::string CsvLine(const std::string& port, const ListedBinding* binding, const char* state)
{
    std::string tcpPort = binding && binding->tcpPort >= 0 ? std::to_string(binding->tcpPort) : std::string();
    return port + "," + (binding ? AddressText(*binding) : std::string()) + "," + tcpPort + "," + state + "\r\n";
}

// The comma-separated fields of one line.
std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// One line after the header; empty when it is good, else what is wrong with it.
std::string ParseCsvLine(const std::string& line, ImportedBinding& binding)
{
    std::vector<std::string> fields = Fields(line);
    if (fields.size() != 4)
        return "not port,address,tcpport,state";
    binding.port = fields[0];
    if (!IsBindablePortName(binding.port))
        return "not a COM port: " + fields[0];
    if (fields[3] == "unbound") {
        if (!fields[1].empty() || !fields[2].empty())
            return "an unbound port with an address";
        return std::string();
    }
    if (fields[3] != "bound" && fields[3] != "orphaned")
        return "state not bound, unbound or orphaned: " + fields[3];
    binding.bound = true;
    if (!ParsePrinterAddress(fields[1], binding.ip))
        return "not a printer's IPv4 address: " + fields[1];
    if (!ParseTcpPort(fields[2], binding.tcpPort))
        return "not a TCP port (1-65535): " + fields[2];
    return std::string();
}
}

std::vector<std::string> InPortListOrder(std::vector<std::string> names)
{
    std::stable_sort(names.begin(), names.end(), ListsBefore);
    return names;
}

const std::string* FindListedPort(const std::vector<std::string>& ports, const std::string& name)
{
    auto found = std::find_if(ports.begin(), ports.end(), [&name](const std::string& port) {
        return SameName(port, name);
    });
    return found != ports.end() ? &*found : nullptr;
}

std::string PortListingText(const std::vector<std::string>& ports, const std::vector<ListedBinding>& bindings)
{
    std::string text;
    for (const std::string& port : ports) {
        auto bound = std::find_if(bindings.begin(), bindings.end(), [&port](const ListedBinding& binding) {
            return SameName(binding.port, port);
        });
        text += Line(port, bound != bindings.end() ? BoundText(*bound) : std::string(kNotAssigned));
    }
    for (const ListedBinding& binding : bindings) {
        if (!FindListedPort(ports, binding.port))
            text += Line(binding.port, BoundText(binding) + " (port no longer exists)");
    }
    if (text.empty())
        text = "The package has no port, and no port is bound.\r\n";
    return text;
}

std::string PortListingCsv(const std::vector<std::string>& ports, const std::vector<ListedBinding>& bindings)
{
    std::string text = std::string(kBindingsCsvHeader) + "\r\n";
    for (const std::string& port : ports) {
        auto bound = std::find_if(bindings.begin(), bindings.end(), [&port](const ListedBinding& binding) {
            return SameName(binding.port, port);
        });
        text += bound != bindings.end() ? CsvLine(port, &*bound, "bound") : CsvLine(port, nullptr, "unbound");
    }
    for (const ListedBinding& binding : bindings) {
        if (!FindListedPort(ports, binding.port))
            text += CsvLine(binding.port, &binding, "orphaned");
    }
    return text;
}

bool ParseBindingsCsv(const std::string& text, std::vector<ImportedBinding>& lines, std::string& problem)
{
    lines.clear();
    size_t start = 0;
    bool headerSeen = false;
    for (int number = 1; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::string wrong;
        if (!headerSeen) {
            headerSeen = true;
            if (line != kBindingsCsvHeader)
                wrong = std::string("not the header ") + kBindingsCsvHeader;
        } else {
            ImportedBinding binding;
            wrong = ParseCsvLine(line, binding);
            if (wrong.empty())
                lines.push_back(binding);
        }
        if (!wrong.empty()) {
            problem = "line " + std::to_string(number) + ": " + wrong;
            return false;
        }
    }
    if (!headerSeen) {
        problem = std::string("no header ") + kBindingsCsvHeader;
        return false;
    }
    return true;
}

std::string FoundPrintersText(const std::vector<PrinterRecord>& printers, const PortBindings& bindings, bool csv)
{
    std::string text = csv ? "mac,address,tcpport,firmware,port\r\n" : "";
    for (const PrinterRecord& printer : printers) {
        std::string firmware = std::to_string(printer.firmwareMajor) + "." + std::to_string(printer.firmwareMinor);
        std::string port = AssignedPortOf(bindings, NetworkOrderAddress(printer.ip));
        if (csv) {
            text += MacText(printer) + "," + DottedIpText(printer.ip) + "," + PortText(printer) + "," + firmware + "," +
                    (port == kNotAssigned ? std::string() : port) + "\r\n";
        } else {
            std::string address = DottedIpText(printer.ip);
            std::string tcpPort = PortText(printer);
            text += MacText(printer) + "  " + address + std::string(address.size() < 16 ? 16 - address.size() : 1, ' ') +
                    tcpPort + std::string(tcpPort.size() < 7 ? 7 - tcpPort.size() : 1, ' ') + firmware +
                    std::string(firmware.size() < 8 ? 8 - firmware.size() : 1, ' ') + port + "\r\n";
        }
    }
    return text;
}

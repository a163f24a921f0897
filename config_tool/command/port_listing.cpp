#include "port_listing.h"

#include "../printers/list_text.h"
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

std::string BoundText(const ListedBinding& binding)
{
    uint8_t ip[4];
    std::memcpy(ip, &binding.ip, sizeof ip);
    return DottedIpText(ip) + " " + (binding.tcpPort >= 0 ? std::to_string(binding.tcpPort) : std::string("-"));
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

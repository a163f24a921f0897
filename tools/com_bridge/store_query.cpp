// kvrstorequery: answers questions about the port assignment store and the driver's ports from
// inside a Wine prefix, for the COM bridge (com_bridge.py) that stands in for the driver's data
// path. Runs for as long as the bridge does; one request line on standard input, one answer line
// on standard output. Every request opens the registry afresh, as the driver does.
//
//   binding COMn  ->  OK IPADDRESS PORT PORT_   the three DWORDs of SOFTWARE\KELVARO\TCPSIO\COMn
//                                               in hex, "-" for a value that cannot be read
//                 ->  NONE                      no such key
//   ports         ->  OK NAME...                PortName of every root-enumerated Ports device
//                                               whose hardware-ID list holds kelvaro\tcpsio
//   quit          ->  OK, and the program ends
//
// Wine keeps the registry in its server and writes the hive files only now and then, so a reader
// on the Linux side cannot rely on them; a registry call from inside the prefix sees every write
// at once and costs well under a millisecond.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kStoreRoot[] = "SOFTWARE\\KELVARO\\TCPSIO";
const char kPortsRoot[] = "SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS";
const char kHardwareId[] = "kelvaro\\tcpsio";

class Key {
public:
    Key(HKEY parent, const std::string& path)
    {
        if (::RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~Key()
    {
        if (key_)
            ::RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::string DwordField(HKEY key, const char* name)
{
    DWORD value = 0, type = 0, size = sizeof(value);
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof(value))
        return "-";
    char text[16];
    std::snprintf(text, sizeof(text), "%08lx", static_cast<unsigned long>(value));
    return text;
}

std::string Binding(const std::string& port)
{
    Key key(HKEY_LOCAL_MACHINE, std::string(kStoreRoot) + "\\" + port);
    if (!key.get())
        return "NONE";
    return "OK " + DwordField(key.get(), "IPAddress") + " " + DwordField(key.get(), "Port") + " "
        + DwordField(key.get(), "Port_");
}

bool HasDriverHardwareId(HKEY instance)
{
    char ids[1024] = {};
    DWORD type = 0, size = sizeof(ids) - 2;
    if (::RegQueryValueExA(instance, "HardwareID", nullptr, &type, reinterpret_cast<BYTE*>(ids), &size) != ERROR_SUCCESS
        || type != REG_MULTI_SZ)
        return false;
    for (const char* id = ids; *id; id += std::strlen(id) + 1) {
        if (std::strcmp(id, kHardwareId) == 0)
            return true;
    }
    return false;
}

std::string Ports()
{
    std::string answer = "OK";
    Key root(HKEY_LOCAL_MACHINE, kPortsRoot);
    if (!root.get())
        return answer;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof(name);
        LONG result = ::RegEnumKeyExA(root.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            continue;
        Key instance(root.get(), name);
        Key parameters(root.get(), std::string(name) + "\\Device Parameters");
        if (!instance.get() || !parameters.get() || !HasDriverHardwareId(instance.get()))
            continue;
        char port[64] = {};
        DWORD type = 0, size = sizeof(port) - 1;
        if (::RegQueryValueExA(parameters.get(), "PortName", nullptr, &type, reinterpret_cast<BYTE*>(port), &size) == ERROR_SUCCESS
            && type == REG_SZ && port[0] && !std::strchr(port, ' '))
            answer += std::string(" ") + port;
    }
    return answer;
}

}  // namespace

int main()
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    char line[512];
    while (std::fgets(line, sizeof(line), stdin)) {
        std::string request(line);
        while (!request.empty() && (request.back() == '\n' || request.back() == '\r'))
            request.pop_back();
        std::string answer;
        if (request == "quit") {
            std::fputs("OK\n", stdout);
            std::fflush(stdout);
            break;
        }
        if (request == "ports")
            answer = Ports();
        else if (request.compare(0, 8, "binding ") == 0 && request.size() > 8)
            answer = Binding(request.substr(8));
        else
            answer = "ERR unknown request";
        std::fputs((answer + "\n").c_str(), stdout);
        std::fflush(stdout);
    }
    return 0;
}

// The simulated printers the configuration tests talk to. with_printer_sim.sh starts the printer
// simulator in the private printers' namespace and names its event log in KVR_SIM_LOG; without it
// (outside the private namespaces) nothing may be sent, and the tests that send skip.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The Windows name of a host path: Wine shows the host's root as drive Z:.
inline std::string WinePathOf(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

inline bool PrinterSimulatorRunning()
{
    const char* log = std::getenv("KVR_SIM_LOG");
    return log && *log;
}

// Hex of every datagram the printers received so far, in arrival order ("53455454..." for "SETT").
inline std::vector<std::string> DatagramsReceivedByPrinters()
{
    std::vector<std::string> found;
    const char* log = std::getenv("KVR_SIM_LOG");
    if (!log)
        return found;
    FILE* file = std::fopen(WinePathOf(log).c_str(), "rb");
    if (!file)
        return found;
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, n);
    std::fclose(file);
    // One JSON object per line; only complete lines count.
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (line.find("\"event\": \"udp_in\"") == std::string::npos)
            continue;
        const std::string key = "\"hex\": \"";
        size_t at = line.find(key);
        if (at == std::string::npos)
            continue;
        at += key.size();
        found.push_back(line.substr(at, line.find('"', at) - at));
    }
    return found;
}

inline std::vector<std::string> SettingsReceivedByPrinters()
{
    std::vector<std::string> settings;
    for (const std::string& hex : DatagramsReceivedByPrinters())
        if (hex.compare(0, 8, "53455454") == 0)
            settings.push_back(hex);
    return settings;
}

// Waits until the printers have received count "SETT" datagrams in all.
inline bool WaitForSettingsAtPrinters(size_t count, DWORD timeoutMs = 3000)
{
    DWORD start = ::GetTickCount();
    while (SettingsReceivedByPrinters().size() < count) {
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(10);
    }
    return true;
}

// Sends one datagram to the tool's UDP port on this machine, as a printer's answer would arrive.
inline void SendToToolPort(const std::string& bytes)
{
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return;
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(48780);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::sendto(s, bytes.data(), static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ::closesocket(s);
}

inline std::string Hex(const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (uint8_t b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

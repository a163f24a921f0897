// kvrconfig's command line for unattended deployment. No argument: the configuration tool opens as
// ever. A switch does one job on the port assignment store with no window and nothing on the
// network, and ends with an exit code a deployment script can test:
//   /bind COMn ADDRESS PORT   bind the package's port COMn to the printer at ADDRESS, TCP PORT
//   /unbind COMn              remove COMn's binding
//   /list                     the package's ports and what each is bound to
// Plain C++: parsing needs no Windows, and takes any bytes (tools/fuzz/command_line_fuzz.cpp).
#pragma once
#include <cstdint>
#include <string>

// Exit codes of a switch.
enum CommandExitCode : int {
    kCommandDone = 0,
    kCommandFailed = 1,              // the registry refused; the message carries its error
    kCommandNotAPackagePort = 2,     // COMn is not in the port list; nothing written
    kCommandInvalidArgument = 87,    // ERROR_INVALID_PARAMETER; usage text, nothing written
};

enum class CommandKind { OpenTool, Bind, Unbind, List, Invalid };

struct Command {
    CommandKind kind = CommandKind::OpenTool;
    std::string port;          // Bind, Unbind: as typed
    uint8_t ip[4] = {0};       // Bind: the dotted parts in order
    int tcpPort = 0;           // Bind: 1..65535
    std::string problem;       // Invalid: what is wrong, one line
};

// arguments: the command line after the program's name (WinMain's), may be null. Arguments are
// separated by blanks; double quotes group blanks into one and are dropped. Switches are matched
// in any letter case. Blank or empty: OpenTool.
Command ParseCommandLine(const char* arguments);

// A dotted IPv4 address a printer can have: four decimal parts 0..255 without leading zeros
// (which some readers take for octal), not 0.0.0.0 and not the broadcast 255.255.255.255.
bool ParsePrinterAddress(const std::string& text, uint8_t ip[4]);

// A TCP port 1..65535 in decimal digits.
bool ParseTcpPort(const std::string& text, int& tcpPort);

// The short usage text shown with kCommandInvalidArgument, lines ending in "\r\n".
std::string CommandUsageText();

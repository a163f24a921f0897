// The command lines of unattended deployment. kvrconfig: no argument opens the configuration tool
// as ever; a switch does one job on the port assignment store with no window and nothing on the
// network, and ends with an exit code a deployment script can test:
//   /bind COMn ADDRESS PORT   bind the package's port COMn to the printer at ADDRESS, TCP PORT
//   /unbind COMn              remove COMn's binding
//   /list                     the package's ports and what each is bound to
// kvrctl, the console command, takes those and more (CommandUsageText(kCtl) lists them): the
// package's only port as "*", a printer by its MAC, the search, ports added and removed, the
// bindings exported and imported as CSV.
// Plain C++: parsing needs no Windows, and takes any bytes (tools/fuzz/command_line_fuzz.cpp).
#pragma once
#include <cstdint>
#include <string>

// Exit codes of a switch.
enum CommandExitCode : int {
    kCommandDone = 0,
    kCommandFailed = 1,              // the registry refused; the message carries its error
    kCommandNotAPackagePort = 2,     // COMn is not in the port list; nothing written
    kCommandPrinterNotFound = 3,     // kvrctl: no printer with that MAC answered, or it has no address
    kCommandInvalidArgument = 87,    // ERROR_INVALID_PARAMETER; usage text, nothing written
    kCommandRestartNeeded = 3010,    // ERROR_SUCCESS_REBOOT_REQUIRED: a port was added, it works after a restart
    kCommandNeedsElevation = 740,    // ERROR_ELEVATION_REQUIRED: a write, run without administrator rights
};

enum class CommandKind { OpenTool, Usage, Bind, Unbind, List, Find, AddPort, RemovePort, Export, Import, Invalid };

// Which program's command line: kvrconfig takes /bind, /unbind and /list; kvrctl every switch.
enum class CommandSet { kConfigTool, kCtl };

// The port "*" stands for: the package's port when it has exactly one (kvrctl).
constexpr const char kOnlyPort[] = "*";

struct Command {
    CommandKind kind = CommandKind::OpenTool;
    std::string port;          // Bind, Unbind, RemovePort: as typed, "\\.\" dropped; or kOnlyPort
    bool byMac = false;        // Bind: the printer is the one that answers a search with mac
    uint8_t mac[6] = {0};
    uint8_t ip[4] = {0};       // Bind by address: the dotted parts in order
    int tcpPort = 0;           // Bind: 1..65535; 0 by MAC without PORT: the port the printer reports
    bool csv = false;          // List, Find: comma-separated with a header
    std::string file;          // Export, Import
    std::string problem;       // Invalid: what is wrong, one line
};

// arguments: the command line after the program's name (WinMain's), may be null. Arguments are
// separated by blanks; double quotes group blanks into one and are dropped. Switches begin with
// "/" or "-" and are matched in any letter case; "\\.\COM10" names COM10. Blank or empty: OpenTool
// for kvrconfig, a missing argument (Invalid) for kvrctl, whose usage is "/?".
Command ParseCommandLine(const char* arguments, CommandSet set = CommandSet::kConfigTool);

// The arguments of a whole command line (GetCommandLineA): what follows the program's name, which
// is quoted or ends at the first blank.
const char* ArgumentsAfterProgramName(const char* commandLine);

// A MAC address as printed on a printer's label: six two-digit hexadecimal parts, separated all by
// ":" or all by "-", in either letter case.
bool ParseMacAddress(const std::string& text, uint8_t mac[6]);

// A dotted IPv4 address a printer can have: four decimal parts 0..255 without leading zeros
// (which some readers take for octal), not 0.0.0.0 and not the broadcast 255.255.255.255.
bool ParsePrinterAddress(const std::string& text, uint8_t ip[4]);

// A TCP port 1..65535 in decimal digits.
bool ParseTcpPort(const std::string& text, int& tcpPort);

// The program's short usage text, shown with kCommandInvalidArgument (and by kvrctl /?), lines
// ending in "\r\n".
std::string CommandUsageText(CommandSet set = CommandSet::kConfigTool);

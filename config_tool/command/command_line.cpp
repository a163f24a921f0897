#include "command_line.h"

#include <vector>

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string> SplitArguments(const char* arguments)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char* p = arguments ? arguments : ""; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            inWord = true;   // "" is an empty argument, not none
        } else if (IsBlank(*p) && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += *p;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

// word is the switch name ("/list") in any letter case, begun with "/" or "-".
bool SameSwitch(const std::string& word, const char* name)
{
    if (word.empty() || (word[0] != '/' && word[0] != '-'))
        return false;
    size_t i = 1;
    for (; i < word.size() && name[i]; ++i) {
        char c = word[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != name[i])
            return false;
    }
    return i == word.size() && !name[i];
}

// A port as typed: the device namespace form \\.\COM10 names COM10.
std::string PortArgument(const std::string& word)
{
    return word.compare(0, 4, "\\\\.\\") == 0 ? word.substr(4) : word;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decimal digits only, at most maxDigits of them; false for anything else.
bool ParseDecimal(const std::string& text, size_t maxDigits, unsigned& value)
{
    if (text.empty() || text.size() > maxDigits)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

Command Invalid(const std::string& problem)
{
    Command command;
    command.kind = CommandKind::Invalid;
    command.problem = problem;
    return command;
}

// Checks the count of a switch's arguments: words holds the switch and what followed it; form
// names them for the message.
bool HasArguments(const std::vector<std::string>& words, size_t count, const char* form, Command& refused)
{
    if (words.size() == count + 1)
        return true;
    refused = Invalid(words.size() <= count ? "Missing argument: " + words[0] + " " + form
                                            : "Unexpected argument: " + words[count + 1]);
    return false;
}
}

bool ParsePrinterAddress(const std::string& text, uint8_t ip[4])
{
    uint8_t parts[4];
    size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        size_t end = part < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos)
            return false;
        std::string digits = text.substr(start, end - start);
        unsigned value = 0;
        if (!ParseDecimal(digits, 3, value) || value > 255 || (digits.size() > 1 && digits[0] == '0'))
            return false;
        parts[part] = static_cast<uint8_t>(value);
        start = end + 1;
    }
    bool allZero = (parts[0] | parts[1] | parts[2] | parts[3]) == 0;
    bool allOnes = (parts[0] & parts[1] & parts[2] & parts[3]) == 0xFF;
    if (allZero || allOnes)
        return false;
    for (int part = 0; part < 4; ++part)
        ip[part] = parts[part];
    return true;
}

bool ParseTcpPort(const std::string& text, int& tcpPort)
{
    unsigned value = 0;
    if (!ParseDecimal(text, 5, value) || value < 1 || value > 65535)
        return false;
    tcpPort = static_cast<int>(value);
    return true;
}

const char* ArgumentsAfterProgramName(const char* commandLine)
{
    const char* p = commandLine ? commandLine : "";
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {
        }
        if (*p)
            ++p;
    } else {
        while (*p && !IsBlank(*p))
            ++p;
    }
    while (*p && IsBlank(*p))
        ++p;
    return p;
}

bool ParseMacAddress(const std::string& text, uint8_t mac[6])
{
    if (text.size() != 17 || (text[2] != ':' && text[2] != '-'))
        return false;
    uint8_t parts[6];
    for (size_t part = 0; part < 6; ++part) {
        size_t at = part * 3;
        int high = HexDigit(text[at]), low = HexDigit(text[at + 1]);
        if (high < 0 || low < 0 || (part < 5 && text[at + 2] != text[2]))
            return false;
        parts[part] = static_cast<uint8_t>(high * 16 + low);
    }
    for (size_t part = 0; part < 6; ++part)
        mac[part] = parts[part];
    return true;
}

namespace {
// /bind COMn ADDRESS PORT, and for kvrctl /bind COMn|* MAC [PORT].
Command ParseBind(const std::vector<std::string>& words, CommandSet set)
{
    Command command;
    const bool ctl = set == CommandSet::kCtl;
    if (ctl && words.size() >= 3 && ParseMacAddress(words[2], command.mac)) {
        command.byMac = true;
        if (words.size() > 4)
            return Invalid("Unexpected argument: " + words[4]);
        if (words.size() == 4 && !ParseTcpPort(words[3], command.tcpPort))
            return Invalid("Not a TCP port (1-65535): " + words[3]);
    } else {
        if (!HasArguments(words, 3, ctl ? "COMn|* ADDRESS|MAC [PORT]" : "COMn ADDRESS PORT", command))
            return command;
        if (!ParsePrinterAddress(words[2], command.ip))
            return Invalid(std::string(ctl ? "Neither a MAC nor a printer's IPv4 address: "
                                           : "Not a printer's IPv4 address: ") + words[2]);
        if (!ParseTcpPort(words[3], command.tcpPort))
            return Invalid("Not a TCP port (1-65535): " + words[3]);
    }
    command.kind = CommandKind::Bind;
    command.port = PortArgument(words[1]);
    return command;
}

// A switch that takes nothing but an optional /csv.
Command ParseListing(const std::vector<std::string>& words, CommandKind kind, CommandSet set)
{
    Command command;
    size_t count = words.size();
    if (set == CommandSet::kCtl && count == 2 && SameSwitch(words[1], "/csv")) {
        command.csv = true;
        --count;
    }
    if (count > 1)
        return Invalid("Unexpected argument: " + words[1]);
    command.kind = kind;
    return command;
}

Command ParseWithOne(const std::vector<std::string>& words, CommandKind kind, const char* form)
{
    Command command;
    if (!HasArguments(words, 1, form, command))
        return command;
    command.kind = kind;
    if (kind == CommandKind::Export || kind == CommandKind::Import)
        command.file = words[1];
    else
        command.port = PortArgument(words[1]);
    return command;
}
}

Command ParseCommandLine(const char* arguments, CommandSet set)
{
    std::vector<std::string> words = SplitArguments(arguments);
    const bool ctl = set == CommandSet::kCtl;
    if (words.empty())
        return ctl ? Invalid("Missing argument") : Command();
    Command command;
    const std::string& name = words[0];
    if (SameSwitch(name, "/list")) {
        command = ParseListing(words, CommandKind::List, set);
    } else if (SameSwitch(name, "/unbind")) {
        command = ParseWithOne(words, CommandKind::Unbind, ctl ? "COMn|*" : "COMn");
    } else if (SameSwitch(name, "/bind")) {
        command = ParseBind(words, set);
    } else if (ctl && SameSwitch(name, "/?")) {
        command = ParseListing(words, CommandKind::Usage, CommandSet::kConfigTool);
    } else if (ctl && SameSwitch(name, "/find")) {
        command = ParseListing(words, CommandKind::Find, set);
    } else if (ctl && SameSwitch(name, "/add-port")) {
        command = ParseListing(words, CommandKind::AddPort, CommandSet::kConfigTool);
    } else if (ctl && SameSwitch(name, "/remove-port")) {
        command = ParseWithOne(words, CommandKind::RemovePort, "COMn");
    } else if (ctl && SameSwitch(name, "/export")) {
        command = ParseWithOne(words, CommandKind::Export, "FILE");
    } else if (ctl && SameSwitch(name, "/import")) {
        command = ParseWithOne(words, CommandKind::Import, "FILE");
    } else {
        return Invalid("Unknown argument: " + name);
    }
    if (command.kind == CommandKind::Invalid)
        return command;
    if ((command.kind == CommandKind::Bind || command.kind == CommandKind::Unbind ||
         command.kind == CommandKind::RemovePort) && command.port.empty())
        return Invalid(name + " needs a port name");
    if ((command.kind == CommandKind::Export || command.kind == CommandKind::Import) && command.file.empty())
        return Invalid(name + " needs a file name");
    return command;
}

std::string CommandUsageText(CommandSet set)
{
    if (set == CommandSet::kCtl)
        return "Usage: kvrctl.exe /list [/csv] | /bind COMn|* ADDRESS PORT | /bind COMn|* MAC [PORT]\r\n"
               "                  | /unbind COMn|* | /add-port | /remove-port COMn | /find [/csv]\r\n"
               "                  | /export FILE | /import FILE | /?\r\n"
               "  /list [/csv]        the package's ports and the printer each is bound to; /csv:\r\n"
               "                      port,address,tcpport,state (bound, unbound, orphaned)\r\n"
               "  /bind COMn ADDRESS PORT\r\n"
               "                      bind the package's port COMn to the printer at ADDRESS (dotted\r\n"
               "                      IPv4) and TCP PORT (1-65535); * is the package's only port\r\n"
               "  /bind COMn MAC [PORT]\r\n"
               "                      search once and bind the printer whose MAC (00:1a:2b:3d:4e:5f\r\n"
               "                      or 00-1a-...) answered, at the TCP port it reports unless PORT\r\n"
               "  /unbind COMn|*      remove the binding of COMn\r\n"
               "  /add-port           add a virtual port from the package folder's INF; prints its name\r\n"
               "  /remove-port COMn   remove the package's port COMn\r\n"
               "  /find [/csv]        search the printers on every network adapter (3.1 s)\r\n"
               "  /export FILE        write the bindings as /list /csv does\r\n"
               "  /import FILE        check every line of such a file, then bind each bound port\r\n"
               "Writes (bind, unbind, add-port, remove-port, import) need administrator rights.\r\n"
               "Exit code: 0 done, 1 failed, 2 not a port of the package, 3 printer not found,\r\n"
               "87 invalid argument, 740 needs administrator rights, 3010 done, restart needed.\r\n";
    return "Usage: kvrconfig.exe [/bind COMn ADDRESS PORT | /unbind COMn | /list]\r\n"
           "  /bind COMn ADDRESS PORT  bind the package's port COMn to the printer at ADDRESS\r\n"
           "                           (dotted IPv4) and TCP PORT (1-65535)\r\n"
           "  /unbind COMn             remove the binding of COMn\r\n"
           "  /list                    the package's ports and the printer each is bound to\r\n"
           "Without an argument the configuration tool opens.\r\n"
           "Exit code: 0 done, 1 failed, 2 COMn is not a port of the package, 87 invalid argument.\r\n";
}

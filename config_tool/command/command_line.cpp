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

bool SameSwitch(const std::string& word, const char* name)
{
    size_t i = 0;
    for (; i < word.size() && name[i]; ++i) {
        char c = word[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != name[i])
            return false;
    }
    return i == word.size() && !name[i];
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

Command ParseCommandLine(const char* arguments)
{
    std::vector<std::string> words = SplitArguments(arguments);
    if (words.empty())
        return Command();
    Command command;
    const std::string& name = words[0];
    if (SameSwitch(name, "/list")) {
        if (!HasArguments(words, 0, "", command))
            return command;
        command.kind = CommandKind::List;
    } else if (SameSwitch(name, "/unbind")) {
        if (!HasArguments(words, 1, "COMn", command))
            return command;
        command.kind = CommandKind::Unbind;
        command.port = words[1];
    } else if (SameSwitch(name, "/bind")) {
        if (!HasArguments(words, 3, "COMn ADDRESS PORT", command))
            return command;
        if (!ParsePrinterAddress(words[2], command.ip))
            return Invalid("Not a printer's IPv4 address: " + words[2]);
        if (!ParseTcpPort(words[3], command.tcpPort))
            return Invalid("Not a TCP port (1-65535): " + words[3]);
        command.kind = CommandKind::Bind;
        command.port = words[1];
    } else {
        return Invalid("Unknown argument: " + name);
    }
    if (command.kind != CommandKind::List && command.port.empty())
        return Invalid(name + " needs a port name");
    return command;
}

std::string CommandUsageText()
{
    return "Usage: kvrconfig.exe [/bind COMn ADDRESS PORT | /unbind COMn | /list]\r\n"
           "  /bind COMn ADDRESS PORT  bind the package's port COMn to the printer at ADDRESS\r\n"
           "                           (dotted IPv4) and TCP PORT (1-65535)\r\n"
           "  /unbind COMn             remove the binding of COMn\r\n"
           "  /list                    the package's ports and the printer each is bound to\r\n"
           "Without an argument the configuration tool opens.\r\n"
           "Exit code: 0 done, 1 failed, 2 COMn is not a port of the package, 87 invalid argument.\r\n";
}

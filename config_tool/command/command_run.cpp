#include "command_run.h"

#include "console_output.h"
#include "port_devices.h"
#include "port_listing.h"
#include "printer_search.h"
#include "../net/settings_record.h"
#include "../printers/list_text.h"
#include "../store/assignment_store.h"
#include "../store/port_list.h"

#include "handles.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {
// "registry error 5: Access is denied."
std::string SystemErrorText(const char* kind, LONG error)
{
    std::string text = std::string(kind) + " " + std::to_string(error);
    char message[256] = {0};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                    static_cast<DWORD>(error), 0, message, sizeof message, nullptr);
    while (length > 0 && (message[length - 1] == '\r' || message[length - 1] == '\n' || message[length - 1] == ' '))
        message[--length] = '\0';
    return length > 0 ? text + ": " + message : text;
}

std::string RegistryErrorText(LONG error)
{
    return SystemErrorText("registry error", error);
}

int Failed(const std::string& what, LONG error, CommandOutput& output, const char* kind = "registry error")
{
    output.errors += "Error : " + what + " (" + SystemErrorText(kind, error) + ")\r\n";
    return kCommandFailed;
}

// The ports the configuration dialog's PORT list shows, in its order. A machine without any
// root-enumerated port has no device key: no ports, not a failure.
LONG ReadPackagePorts(std::vector<std::string>& ports)
{
    LONG result = ListPortNames(ports);
    ports = InPortListOrder(ports);
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

// The ports as above and the store's bindings; before the first binding there is no store: no
// bindings, not a failure.
LONG ReadPortsAndBindings(std::vector<std::string>& ports, PortBindings& bindings)
{
    LONG result = ReadPackagePorts(ports);
    if (result != ERROR_SUCCESS)
        return result;
    result = ReadPortBindings(bindings);
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

int NotAPackagePort(const std::string& name, const std::vector<std::string>& ports, CommandOutput& output)
{
    output.errors += name + " is not a port of the package (" + (ports.empty() ? "it has none" : "its ports: " + Joined(ports)) +
                     "). Nothing was written.\r\n";
    return kCommandNotAPackagePort;
}

// The package's port that name stands for: the port list's entry, or for "*" its only port. Null,
// with the exit code and the user told, when there is none.
const std::string* ResolvePort(const std::string& name, const std::vector<std::string>& ports, CommandOutput& output,
                               int& refusal)
{
    if (name == kOnlyPort) {
        if (ports.size() == 1)
            return &ports[0];
        output.errors += std::string("* stands for the package's only port, but ") +
                         (ports.empty() ? "it has none" : "it has several: " + Joined(ports)) +
                         ". Name one. Nothing was written.\r\n";
        refusal = kCommandNotAPackagePort;
        return nullptr;
    }
    const std::string* port = FindListedPort(ports, name);
    if (!port)
        refusal = NotAPackagePort(name, ports, output);
    return port;
}

// Binds the package's port to the printer: what the configuration dialog's Save writes for this
// port, its key's earlier content replaced; other bindings of the same printer stay. As in the
// dialog, the values written decide: leftovers of the earlier binding that could not be removed
// leave the binding as asked.
int BindPort(const std::string& port, const uint8_t ip[4], int tcpPort, CommandOutput& output)
{
    std::string printer = DottedIpText(ip) + " " + std::to_string(tcpPort);
    BindingOutcome outcome = WritePortBinding(port.c_str(), port.c_str(), NetworkOrderAddress(ip), tcpPort);
    if (outcome.writeError != ERROR_SUCCESS) {
        Failed("Cannot bind " + port + " to " + printer, outcome.writeError, output);
        output.errors += outcome.restoreError == ERROR_SUCCESS
                             ? port + " keeps its earlier binding, as it was.\r\n"
                             : "Error : " + port + "'s earlier binding could not be put back (" +
                                   RegistryErrorText(outcome.restoreError) + "): it may be incomplete.\r\n";
        return kCommandFailed;
    }
    output.text += port + " bound to " + printer + "\r\n";
    return kCommandDone;
}

// The printer that answers a search with mac: its address, and its TCP port unless tcpPort is set.
int FindPrinterByMac(const uint8_t mac[6], uint8_t ip[4], int& tcpPort, CommandOutput& output)
{
    std::vector<PrinterRecord> printers;
    std::string problem;
    if (!SearchPrinters(printers, problem)) {
        output.errors += "Error : The search failed: " + problem + "\r\n";
        return kCommandFailed;
    }
    auto found = std::find_if(printers.begin(), printers.end(), [mac](const PrinterRecord& printer) {
        return std::memcmp(printer.mac, mac, sizeof printer.mac) == 0;
    });
    PrinterRecord wanted = {};
    std::memcpy(wanted.mac, mac, sizeof wanted.mac);
    if (found == printers.end()) {
        output.errors += "No printer with MAC " + MacText(wanted) + " answered the search. Nothing was written.\r\n";
        return kCommandPrinterNotFound;
    }
    const uint8_t none[4] = {0, 0, 0, 0};
    if (std::memcmp(found->ip, none, sizeof none) == 0) {
        output.errors += "The printer with MAC " + MacText(wanted) +
                         " has no address (0.0.0.0): configure it first. Nothing was written.\r\n";
        return kCommandPrinterNotFound;
    }
    if (tcpPort == 0 && RecordPort(*found) == 0) {
        output.errors += "The printer with MAC " + MacText(wanted) +
                         " reports no TCP port: name one. Nothing was written.\r\n";
        return kCommandPrinterNotFound;
    }
    std::memcpy(ip, found->ip, 4);
    if (tcpPort == 0)
        tcpPort = static_cast<int>(RecordPort(*found));
    return kCommandDone;
}

int Bind(const Command& command, CommandOutput& output)
{
    std::vector<std::string> ports;
    if (LONG error = ReadPackagePorts(ports))
        return Failed("Cannot read the port list", error, output);
    int refusal = kCommandDone;
    const std::string* port = ResolvePort(command.port, ports, output, refusal);
    if (!port)
        return refusal;
    uint8_t ip[4];
    std::memcpy(ip, command.ip, sizeof ip);
    int tcpPort = command.tcpPort;
    if (command.byMac) {
        int found = FindPrinterByMac(command.mac, ip, tcpPort, output);
        if (found != kCommandDone)
            return found;
    }
    return BindPort(*port, ip, tcpPort, output);
}

// A store key of a binding under the name the registry matches in any case: DeleteAssignment
// takes only names that begin with "COM" as written.
std::string StoreKeyName(std::string name)
{
    for (size_t i = 0; i < 3 && i < name.size(); ++i)
        name[i] = static_cast<char>(::toupper(static_cast<unsigned char>(name[i])));
    return name;
}

int Unbind(const Command& command, CommandOutput& output)
{
    std::vector<std::string> ports;
    PortBindings bindings;
    LONG error = ReadPortsAndBindings(ports, bindings);
    if (error != ERROR_SUCCESS)
        return Failed("Cannot read the port list or the bindings", error, output);
    std::vector<std::string> bound;
    for (const PortBinding& binding : bindings)
        bound.push_back(binding.port);
    int refusal = kCommandDone;
    std::string wanted = command.port;
    if (wanted == kOnlyPort) {
        const std::string* only = ResolvePort(wanted, ports, output, refusal);
        if (!only)
            return refusal;
        wanted = *only;
    }
    // A binding whose port device is gone can still be removed, under the name the store gives it.
    const std::string* port = FindListedPort(ports, wanted);
    const std::string* binding = FindListedPort(bound, wanted);
    if (!port && !binding)
        return NotAPackagePort(wanted, ports, output);
    const std::string& name = binding ? *binding : *port;
    if ((error = DeleteAssignment(StoreKeyName(name).c_str())) != ERROR_SUCCESS)
        return Failed("Cannot unbind " + name, error, output);
    output.text += name + (binding ? " unbound" : " was not bound") + "\r\n";
    return kCommandDone;
}

// The port list and the bindings as /list prints them, or in CSV as /list /csv prints them and
// /export writes them. kCommandDone, or kCommandFailed with the reason in output.
int ListingText(bool csv, std::string& text, CommandOutput& output)
{
    std::vector<std::string> ports;
    PortBindings bindings;
    if (LONG error = ReadPortsAndBindings(ports, bindings))
        return Failed("Cannot read the port list or the bindings", error, output);
    std::vector<ListedBinding> listed;
    for (const PortBinding& binding : bindings)
        listed.push_back(ListedBinding{binding.port, binding.ip, ReadBindingTcpPort(binding.port.c_str())});
    text = csv ? PortListingCsv(ports, listed) : PortListingText(ports, listed);
    return kCommandDone;
}

int List(const Command& command, CommandOutput& output)
{
    std::string text;
    int code = ListingText(command.csv, text, output);
    output.text += text;
    return code;
}

int Export(const Command& command, CommandOutput& output)
{
    std::string text;
    if (int code = ListingText(true, text, output))
        return code;
    UniqueKernelHandle file(::CreateFileA(command.file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        return Failed("Cannot write " + command.file, static_cast<LONG>(::GetLastError()), output, "error");
    output.text += "Bindings written to " + command.file + "\r\n";
    return kCommandDone;
}

// A file to import, whole; files of bindings are small.
bool ReadWholeFile(const std::string& path, std::string& text, DWORD& error)
{
    UniqueKernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ::GetLastError();
        return false;
    }
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
        if (text.size() > (1u << 20)) {
            error = ERROR_FILE_TOO_LARGE;
            return false;
        }
    }
    return true;
}

int Import(const Command& command, CommandOutput& output)
{
    std::string text;
    DWORD error = 0;
    if (!ReadWholeFile(command.file, text, error))
        return Failed("Cannot read " + command.file, static_cast<LONG>(error), output, "error");
    std::vector<ImportedBinding> lines;
    std::string problem;
    if (!ParseBindingsCsv(text, lines, problem)) {
        output.errors += command.file + ", " + problem + ". Nothing was written.\r\n";
        return kCommandInvalidArgument;
    }
    std::vector<std::string> ports;
    if (LONG result = ReadPackagePorts(ports))
        return Failed("Cannot read the port list", result, output);
    // Every port to bind is checked before the first is written.
    std::vector<std::string> strangers;
    for (const ImportedBinding& line : lines) {
        if (line.bound && !FindListedPort(ports, line.port))
            strangers.push_back(line.port);
    }
    if (!strangers.empty())
        return NotAPackagePort(Joined(strangers), ports, output);
    int exitCode = kCommandDone;
    for (const ImportedBinding& line : lines) {
        if (!line.bound) {
            output.text += line.port + " is not bound in " + command.file + ": left as it is\r\n";
            continue;
        }
        if (BindPort(*FindListedPort(ports, line.port), line.ip, line.tcpPort, output) != kCommandDone)
            exitCode = kCommandFailed;
    }
    return exitCode;
}

int Find(const Command& command, CommandOutput& output)
{
    std::vector<PrinterRecord> printers;
    std::string problem;
    if (!SearchPrinters(printers, problem)) {
        output.errors += "Error : The search failed: " + problem + "\r\n";
        return kCommandFailed;
    }
    PortBindings bindings;
    ReadPortBindings(bindings);   // no store: every printer unbound
    output.text += FoundPrintersText(printers, bindings, command.csv);
    return kCommandDone;
}

int AddPort(CommandOutput& output)
{
    std::vector<std::string> before, after;
    ReadPackagePorts(before);
    std::string folder = ProgramFolder();
    DWORD result = AddPackagePort(folder);
    if (result != ERROR_SUCCESS && result != ERROR_SUCCESS_REBOOT_REQUIRED)
        return Failed("Cannot add a port from " + folder + "\\kvrlancom.INF", static_cast<LONG>(result), output,
                      "error");
    ReadPackagePorts(after);
    std::vector<std::string> added;
    for (const std::string& port : after) {
        if (!FindListedPort(before, port))
            added.push_back(port);
    }
    // Where the system names the port only once it restarts, there is no name yet to print.
    output.text += (added.empty() ? std::string("A port was added") : Joined(added)) +
                   (result == ERROR_SUCCESS_REBOOT_REQUIRED ? " (it works after a restart)" : "") + "\r\n";
    return result == ERROR_SUCCESS_REBOOT_REQUIRED ? kCommandRestartNeeded : kCommandDone;
}

int RemovePort(const Command& command, CommandOutput& output)
{
    std::vector<std::string> ports;
    ReadPackagePorts(ports);
    const std::string* listed = FindListedPort(ports, command.port);
    const std::string name = listed ? *listed : command.port;
    DWORD result = RemovePackagePort(name);
    if (result == ERROR_NOT_FOUND)
        return NotAPackagePort(command.port, ports, output);
    if (result != ERROR_SUCCESS && result != ERROR_SUCCESS_REBOOT_REQUIRED)
        return Failed("Cannot remove " + name, static_cast<LONG>(result), output, "error");
    output.text += name + (result == ERROR_SUCCESS_REBOOT_REQUIRED ? " removed (gone after a restart)\r\n" : " removed\r\n");
    return result == ERROR_SUCCESS_REBOOT_REQUIRED ? kCommandRestartNeeded : kCommandDone;
}

bool Writes(CommandKind kind)
{
    return kind == CommandKind::Bind || kind == CommandKind::Unbind || kind == CommandKind::AddPort ||
           kind == CommandKind::RemovePort || kind == CommandKind::Import;
}

// The program's usage text for the kind of command line it reads.
std::string UsageFor(const Command& command, CommandSet set)
{
    return command.problem + "\r\n" + CommandUsageText(set);
}

int Run(const Command& command, CommandSet set, CommandOutput& output)
{
    switch (command.kind) {
    case CommandKind::Bind:
        return Bind(command, output);
    case CommandKind::Unbind:
        return Unbind(command, output);
    case CommandKind::List:
        return List(command, output);
    case CommandKind::Find:
        return Find(command, output);
    case CommandKind::AddPort:
        return AddPort(output);
    case CommandKind::RemovePort:
        return RemovePort(command, output);
    case CommandKind::Export:
        return Export(command, output);
    case CommandKind::Import:
        return Import(command, output);
    case CommandKind::Usage:
        output.text += CommandUsageText(CommandSet::kCtl);
        return kCommandDone;
    case CommandKind::OpenTool:
    case CommandKind::Invalid:
        break;
    }
    output.errors += UsageFor(command, set);
    return kCommandInvalidArgument;
}
}

int RunCommand(const Command& command, CommandOutput& output)
{
    return Run(command, CommandSet::kConfigTool, output);
}

int RunCommand(const Command& command, std::string& output)
{
    CommandOutput parts;
    int exitCode = RunCommand(command, parts);
    output += parts.text + parts.errors;
    return exitCode;
}

int RunCtlCommand(const Command& command, bool elevated, CommandOutput& output)
{
    if (Writes(command.kind) && !elevated) {
        output.errors += "This needs administrator rights: run kvrctl from an elevated prompt, or as SYSTEM. "
                         "Nothing was written.\r\n";
        return kCommandNeedsElevation;
    }
    return Run(command, CommandSet::kCtl, output);
}

int RunCommandOnConsole(const Command& command)
{
    std::string output;
    int exitCode = RunCommand(command, output);
    WriteToStartingConsole(output);
    return exitCode;
}

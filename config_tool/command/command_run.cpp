#include "command_run.h"

#include "console_output.h"
#include "port_listing.h"
#include "../net/settings_record.h"
#include "../printers/list_text.h"
#include "../store/assignment_store.h"
#include "../store/port_list.h"

#include <windows.h>

namespace {
// "registry error 5: Access is denied."
std::string RegistryErrorText(LONG error)
{
    std::string text = "registry error " + std::to_string(error);
    char message[256] = {0};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                    static_cast<DWORD>(error), 0, message, sizeof message, nullptr);
    while (length > 0 && (message[length - 1] == '\r' || message[length - 1] == '\n' || message[length - 1] == ' '))
        message[--length] = '\0';
    return length > 0 ? text + ": " + message : text;
}

int Failed(const std::string& what, LONG error, std::string& output)
{
    output += "Error : " + what + " (" + RegistryErrorText(error) + ")\r\n";
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

int NotAPackagePort(const std::string& name, const std::vector<std::string>& ports, std::string& output)
{
    std::string known;
    for (const std::string& port : ports)
        known += (known.empty() ? "" : ", ") + port;
    output += name + " is not a port of the package (" + (known.empty() ? "it has none" : "its ports: " + known) +
              "). Nothing was written.\r\n";
    return kCommandNotAPackagePort;
}

int Bind(const Command& command, std::string& output)
{
    std::vector<std::string> ports;
    if (LONG error = ReadPackagePorts(ports))
        return Failed("Cannot read the port list", error, output);
    const std::string* port = FindListedPort(ports, command.port);
    if (!port)
        return NotAPackagePort(command.port, ports, output);
    // What the configuration dialog's Save writes for this port: its key replaced by the three
    // values; other bindings of the same printer stay. As in the dialog, the values written decide:
    // a failed removal of the very port then written whole leaves the binding as asked.
    std::string printer = DottedIpText(command.ip) + " " + std::to_string(command.tcpPort);
    BindingOutcome outcome =
        WritePortBinding(port->c_str(), port->c_str(), NetworkOrderAddress(command.ip), command.tcpPort);
    if (outcome.writeError != ERROR_SUCCESS)
        return Failed("Cannot bind " + *port + " to " + printer, outcome.writeError, output);
    output += *port + " bound to " + printer + "\r\n";
    return kCommandDone;
}

int Unbind(const Command& command, std::string& output)
{
    std::vector<std::string> ports;
    PortBindings bindings;
    LONG error = ReadPortsAndBindings(ports, bindings);
    if (error != ERROR_SUCCESS)
        return Failed("Cannot read the port list or the bindings", error, output);
    std::vector<std::string> bound;
    for (const PortBinding& binding : bindings)
        bound.push_back(binding.port);
    // A binding whose port device is gone can still be removed, under the name the store gives it.
    const std::string* port = FindListedPort(ports, command.port);
    const std::string* binding = FindListedPort(bound, command.port);
    if (!port && !binding)
        return NotAPackagePort(command.port, ports, output);
    const std::string& name = binding ? *binding : *port;
    if ((error = DeleteAssignment(name.c_str())) != ERROR_SUCCESS)
        return Failed("Cannot unbind " + name, error, output);
    output += name + (binding ? " unbound" : " was not bound") + "\r\n";
    return kCommandDone;
}

int List(std::string& output)
{
    std::vector<std::string> ports;
    PortBindings bindings;
    LONG error = ReadPortsAndBindings(ports, bindings);
    if (error != ERROR_SUCCESS)
        return Failed("Cannot read the port list or the bindings", error, output);
    std::vector<ListedBinding> listed;
    for (const PortBinding& binding : bindings)
        listed.push_back(ListedBinding{binding.port, binding.ip, ReadBindingTcpPort(binding.port.c_str())});
    output += PortListingText(ports, listed);
    return kCommandDone;
}
}

int RunCommand(const Command& command, std::string& output)
{
    switch (command.kind) {
    case CommandKind::Bind:
        return Bind(command, output);
    case CommandKind::Unbind:
        return Unbind(command, output);
    case CommandKind::List:
        return List(output);
    case CommandKind::OpenTool:
    case CommandKind::Invalid:
        break;
    }
    output += command.problem + "\r\n" + CommandUsageText();
    return kCommandInvalidArgument;
}

int RunCommandOnConsole(const Command& command)
{
    std::string output;
    int exitCode = RunCommand(command, output);
    WriteToStartingConsole(output);
    return exitCode;
}

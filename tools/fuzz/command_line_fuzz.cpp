// libFuzzer target: kvrconfig's and kvrctl's command lines come from whoever starts them, and
// kvrctl's /import file from wherever it was copied; whatever they hold, the parsers must neither
// crash nor let through a binding the store must not get.
#include "command/command_line.h"
#include "command/port_listing.h"
#include "store/port_binding.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
bool NoAddress(const uint8_t ip[4])
{
    return (ip[0] | ip[1] | ip[2] | ip[3]) == 0 || (ip[0] & ip[1] & ip[2] & ip[3]) == 0xFF;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    std::string text = line.substr(0, line.find('\0'));
    for (CommandSet set : {CommandSet::kConfigTool, CommandSet::kCtl}) {
        Command command = ParseCommandLine(text.c_str(), set);
        bool noPort = command.port.empty() || command.tcpPort < (command.byMac ? 0 : 1) || command.tcpPort > 65535;
        if (command.kind == CommandKind::Bind && ((!command.byMac && NoAddress(command.ip)) || noPort))
            __builtin_trap();
    }
    std::vector<ImportedBinding> imported;
    std::string problem;
    if (ParseBindingsCsv(line, imported, problem)) {
        for (const ImportedBinding& binding : imported) {
            if (!IsBindablePortName(binding.port) ||
                (binding.bound && (NoAddress(binding.ip) || binding.tcpPort < 1 || binding.tcpPort > 65535)))
                __builtin_trap();
        }
    }
    return 0;
}

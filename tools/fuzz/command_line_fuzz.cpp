// libFuzzer target: kvrconfig's command line comes from whoever starts it; whatever it holds, the
// parser must neither crash nor let through a binding the store must not get.
#include "command/command_line.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    Command command = ParseCommandLine(line.substr(0, line.find('\0')).c_str());
    const uint8_t* ip = command.ip;
    bool noAddress = (ip[0] | ip[1] | ip[2] | ip[3]) == 0 || (ip[0] & ip[1] & ip[2] & ip[3]) == 0xFF;
    bool noPort = command.port.empty() || command.tcpPort < 1 || command.tcpPort > 65535;
    if (command.kind == CommandKind::Bind && (noAddress || noPort))
        __builtin_trap();
    return 0;
}

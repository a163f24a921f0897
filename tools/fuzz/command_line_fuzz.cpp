// libFuzzer target: kvrconfig's command line comes from whoever starts it; whatever it holds, the
// parser must neither crash nor accept a binding the store must not get.
#include "command/command_line.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.substr(0, line.find('\0'));
    Command command = ParseCommandLine(line.c_str());
    bool broken = false;
    switch (command.kind) {
    case CommandKind::Bind: {
        bool none = (command.ip[0] | command.ip[1] | command.ip[2] | command.ip[3]) == 0;
        bool broadcast = (command.ip[0] & command.ip[1] & command.ip[2] & command.ip[3]) == 0xFF;
        broken = command.port.empty() || none || broadcast || command.tcpPort < 1 || command.tcpPort > 65535;
        break;
    }
    case CommandKind::Unbind:
        broken = command.port.empty();
        break;
    case CommandKind::Invalid:
        broken = command.problem.empty();
        break;
    case CommandKind::List:
    case CommandKind::OpenTool:
        break;
    }
    if (broken)
        __builtin_trap();
    return 0;
}

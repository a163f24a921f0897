#include "port_actions.h"

#include "handles.h"
#include "../store/assignment_store.h"
#include "../store/port_binding.h"

namespace {
bool WriteBlock(HANDLE port, const std::vector<uint8_t>& block)
{
    DWORD written = 0;
    return ::WriteFile(port, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
           written == block.size();
}
}

TestPrintOutcome PrintTestPage(const std::string& port)
{
    // Administrator rights would open any device by name: only a port this tool binds is opened.
    TestPage page;
    if (!IsBindablePortName(port) || !BuildTestPage(port, page))
        return TestPrintOutcome::CannotOpen;
    UniqueKernelHandle device(::CreateFileA(PortDevicePath(port).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!device.Valid())
        return TestPrintOutcome::CannotOpen;
    return WriteTestPage(device.Get(), page);
}

TestPrintOutcome WriteTestPage(HANDLE device, const TestPage& page)
{
    for (const std::vector<uint8_t>& block : page) {
        if (!WriteBlock(device, block))
            return TestPrintOutcome::WriteFailed;
    }
    return TestPrintOutcome::Printed;
}

DetachOutcome DetachPort(const std::string& port, LONG* error)
{
    LONG result = DeleteAssignment(port.c_str());
    if (result == ERROR_INVALID_NAME)
        return DetachOutcome::NotAPort;
    if (result != ERROR_SUCCESS) {
        if (error)
            *error = result;
        return DetachOutcome::Failed;
    }
    return DetachOutcome::Detached;
}

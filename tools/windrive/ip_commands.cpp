// IP address controls of the program under test.
#include "commands.h"
#include "remote_buffer.h"
#include "target.h"

#include <commctrl.h>

#include <cstdio>

void IpGet(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    HWND control = TargetControl(window, request, 1, answer);
    if (!control)
        return;
    // IPM_GETADDRESS writes through its pointer in the control's own process.
    RemoteBuffer value(control, sizeof(DWORD));
    if (!value.Valid()) {
        answer.Fail("cannot reach the control's process");
        return;
    }
    LRESULT filled = 0;
    DWORD address = 0;
    if (!SendToTarget(control, IPM_GETADDRESS, 0, value.At(), &filled) ||
        !value.Read(0, &address, sizeof address)) {
        answer.Fail("no answer");
        return;
    }
    char dotted[16];
    std::snprintf(dotted, sizeof dotted, "%u.%u.%u.%u", static_cast<unsigned>(FIRST_IPADDRESS(address)),
                  static_cast<unsigned>(SECOND_IPADDRESS(address)), static_cast<unsigned>(THIRD_IPADDRESS(address)),
                  static_cast<unsigned>(FOURTH_IPADDRESS(address)));
    answer.Add(dotted).Add(static_cast<long long>(filled));
}

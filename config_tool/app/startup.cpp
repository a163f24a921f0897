#include <winsock2.h>

#include "startup.h"

#include "msgbox.h"
#include "../net/winsock_control.h"

#include <commctrl.h>

#include <cstdio>

void EnableControlHosting(HINSTANCE hInstance)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterWinsockControlClass(hInstance);
}

bool StartSocketLayer(WORD version)
{
    WSADATA wsaData;
    // The socket layer's own result says why: before it has started there is no socket error to ask for.
    int started = ::WSAStartup(version, &wsaData);
    if (started == 0)
        return true;
    char text[128];
    std::snprintf(text, sizeof text, "Error : Failure to create Socket Object! : %d, %d", started,
                  static_cast<int>(::GetLastError()));
    AfxMessageBox(text, MB_OK);
    return false;
}

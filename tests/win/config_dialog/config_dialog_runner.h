// Runs the real configuration dialog (132) on the test's thread while a driver function works it
// from a second thread.
#pragma once
#include <winsock2.h>

#include "dialog_driver.h"
#include "dialogs/printer_config_dlg.h"
#include "net/winsock_control.h"

#include <functional>
#include <future>
#include <string>
#include <thread>

// What the tool's start-up does before any dialog opens: the common controls, the endpoint control's
// window class, the socket layer.
inline void StartUpLikeTheTool()
{
    static const bool started = [] {
        INITCOMMONCONTROLSEX controls = {sizeof controls,
                                         ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES};
        ::InitCommonControlsEx(&controls);
        RegisterWinsockControlClass(::GetModuleHandleA(nullptr));
        WSADATA wsa;
        return ::WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    }();
    (void)started;
}

class ConfigDialogUnderTest : public CPrinterConfigDlg {
public:
    std::promise<HWND> opened;

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CPrinterConfigDlg::OnInitDialog();
        opened.set_value(m_hWnd);
        return result;
    }
};

// Opens the dialog for the printer at position printerNo, shown as bound to assignedPort, and hands
// its window to driver on a second thread. Returns the dialog's result once driver has finished and
// the dialog has ended (anything driver left open is closed then).
inline INT_PTR RunConfigDialog(int printerNo, const std::string& assignedPort, std::function<void(HWND)> driver)
{
    StartUpLikeTheTool();
    ConfigDialogUnderTest dlg;
    dlg.m_nPrinterNo = printerNo;
    dlg.m_strAssignedPort = assignedPort;
    std::future<HWND> opened = dlg.opened.get_future();
    std::thread worker([&] {
        HWND hwnd = opened.get();
        driver(hwnd);
        CloseDialogAndBoxes(hwnd);
    });
    INT_PTR result = dlg.DoModal();
    worker.join();
    return result;
}

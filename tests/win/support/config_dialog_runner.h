// Runs the real configuration dialog (132) on the test's thread while a driver function works it
// from a second thread.
#pragma once
#include <winsock2.h>

#include "app/startup.h"
#include "dialog_driver.h"
#include "dialogs/printer_config_dlg.h"
#include "net/winsock_control.h"

#include <functional>
#include <future>
#include <string>
#include <thread>

// The tool's own start-up before any dialog opens: the common controls, the endpoint control's
// window class, the socket layer. Once per test program.
inline void StartUpLikeTheTool()
{
    static const bool started = [] {
        EnableControlHosting(::GetModuleHandleA(nullptr));
        return StartSocketLayer(MAKEWORD(2, 2));
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

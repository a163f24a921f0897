// "STEP 3 - Test Print" and "Detach the assigned port" of the main window. Both act on the port the
// chosen row's "Assign Info" cell names, as the store stood when the list was last filled.
#include "../app/config_tool_dlg.h"

#include "handles.h"
#include "msgbox.h"
#include "test_page.h"
#include "../printers/printer_list.h"
#include "../store/assignment_store.h"

namespace {
constexpr const char kNotAssignedMessage[] = "Not assigned!!!";
constexpr const char kCannotOpen[] = "Setting Information does not update, ReAssign the Port";
constexpr const char kFirstWriteFailed[] = "Printer test Failed!!!";
constexpr const char kPrinted[] = "Printer Test Success!!!";

bool WriteBlock(HANDLE port, const std::vector<uint8_t>& block)
{
    DWORD written = 0;
    return ::WriteFile(port, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) != FALSE;
}
}

bool CConfigToolDlg::GetSelectedBoundPort(std::string& port)
{
    if (!CheckSelection())
        return false;
    port = SelectedAssignInfo();
    if (port == kNotAssigned) {
        AfxMessageBox(kNotAssignedMessage, MB_OK);
        return false;
    }
    return true;
}

void CConfigToolDlg::OnTestPrint()
{
    std::string port;
    if (!GetSelectedBoundPort(port))
        return;
    // A name too long for the page's port line is no port this tool bound: treated like one that
    // cannot be opened.
    TestPage page;
    UniqueKernelHandle device;
    if (BuildTestPage(port, page)) {
        // Exclusive, and the line settings as the driver holds them.
        device.Reset(::CreateFileA(PortDevicePath(port).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (!device.Valid()) {
        AfxMessageBox(kCannotOpen, MB_OK);
        return;
    }
    if (!WriteBlock(device.Get(), page[0])) {
        device.Reset();
        AfxMessageBox(kFirstWriteFailed, MB_OK);
        return;
    }
    // Once the first block went through, the port works; the rest is written without checking.
    for (size_t block = 1; block < page.size(); ++block)
        WriteBlock(device.Get(), page[block]);
    device.Reset();
    AfxMessageBox(kPrinted, MB_OK);
}

void CConfigToolDlg::OnDetachPort()
{
    std::string port;
    if (!GetSelectedBoundPort(port))
        return;
    // Only the binding goes; a name that is no COM port (or an empty one of a stale row) changes nothing.
    if (DeleteAssignment(port.c_str()))
        m_lstPrinters.SetItemText(m_nSelected - 1, kColumnAssignInfo, kNotAssigned);
}

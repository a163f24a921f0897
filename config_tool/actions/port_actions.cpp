// "STEP 3 - Test Print" and "Detach the assigned port" of the main window.
#include "../app/config_tool_dlg.h"

void CConfigToolDlg::OnTestPrint()
{
    if (!CheckSelection())
        return;
}

void CConfigToolDlg::OnDetachPort()
{
    if (!CheckSelection())
        return;
}

// How the uninstaller (kvrlancom_uninstaller) reports from the device setup routines.
#include "device_setup_report.h"

void ReportRemoveFailed()
{
    // A device that cannot be removed is passed over without a word; the uninstall goes on.
}

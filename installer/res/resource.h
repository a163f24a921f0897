// Resource and control identifiers of kvrlancom_installer.
#pragma once

#define IDD_KVRLANCOM_INSTALLER_DIALOG 102
#define IDR_MAINFRAME                  128

#define IDC_STATUS                     1000

#ifndef IDC_STATIC
#define IDC_STATIC                     (-1)
#endif

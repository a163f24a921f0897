// Resource identifiers of kvrlancom_uninstaller.
#pragma once

#define IDD_KVRLANCOM_UNINSTALLER_DIALOG 102
#define IDR_MAINFRAME                    128

#ifndef IDC_STATIC
#define IDC_STATIC                       (-1)
#endif

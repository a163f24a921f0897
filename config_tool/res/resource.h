// Resource and control identifiers of kvrconfig.
#pragma once

// System menu item of the main window (a system command: below 0xF000, low four bits clear).
#define IDM_FIRMWARE_UPLOAD     0x0010

#define IDD_KVRCONFIG_DIALOG    102
#define IDR_MAINFRAME           128
#define IDD_SEARCH_DIALOG       130
#define IDD_CONFIG_DIALOG       132
#define IDD_PORT_MANAGE_DIALOG  134
#define IDD_FIRMWARE_DIALOG     135

#define IDC_WINSOCK             1000
#define IDC_SEARCH              1001
#define IDC_CONFIGURE           1002
#define IDC_FIRMWARE_UPLOAD     1003
#define IDC_TEST_PRINT          1004
#define IDC_PRINTER_LIST        1005
#define IDC_PORT_MANAGE         1006
#define IDC_DETACH_PORT         1007
#define IDC_PROGRESS            1009
#define IDC_SEARCH_STATUS       1010
#define IDC_FOUND_COUNT         1012
#define IDC_DHCP_MODE           1013
#define IDC_PORT_LIST           1014
#define IDC_IP_ADDRESS          1015
#define IDC_GATEWAY             1017
#define IDC_LOCAL_PORT          1018
#define IDC_INACTIVITY_TIME     1019
#define IDC_SUBNET_MASK         1020
#define IDC_BAUD_RATE           1021
#define IDC_FIRMWARE_VERSION    1022
#define IDC_ADD_PORT            1024
#define IDC_DELETE_ALL_PORT     1025
#define IDC_PERCENT             1027

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

// The main window's printer list, built from the printer table.
#pragma once
#include "controls.h"

#include <string>

// Column headers, widths (pixels) and order of the printer list; every column is centred.
void InsertPrinterListColumns(CListCtrl& list);

// Deletes every row, then adds one row per record of the printer table: No, Mac Address,
// IP Address, Port and Assign Info (the port bound to the printer's address).
void FillPrinterList(CListCtrl& list);

// The port bound to ip (an IPv4 address in network byte order, as inet_addr gives it) in the
// assignment store: the first subkey, in enumeration order, whose "IPAddress" equals ip; else
// "Not Assigned". Subkeys without a readable "IPAddress" and names too long for a port name are
// passed over.
std::string FindAssignedPort(unsigned long ip);

constexpr int kColumnAssignInfo = 4;
constexpr const char kNotAssigned[] = "Not Assigned";

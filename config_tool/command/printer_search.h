// One printer search with no window on screen, as "STEP 1 - Printer Search" makes it: "FIND"
// broadcast once on every adapter from UDP port 48780, every "IMIN" reply taken for 3.1 s.
#pragma once
#include "../printers/printer_record.h"

#include <string>
#include <vector>

// The records of the replies in the order they came. False when the search could not be made
// (problem then names why: the UDP port held by another program, the socket layer missing).
bool SearchPrinters(std::vector<PrinterRecord>& printers, std::string& problem);

// Texts of the main window's printer list, one function per column.
#pragma once
#include "printer_record.h"

#include <string>

std::string NumberText(int number);                      // column "No": "%d"
std::string MacText(const PrinterRecord& r);             // "00:1a:2b:3d:4e:5f"
std::string DottedIpText(const uint8_t ip[4]);           // "192.168.0.10", also for 0.0.0.0
std::string IpColumnText(const PrinterRecord& r);        // dotted address, or "Not Configuration" when ip[0] is 0
std::string PortText(const PrinterRecord& r);            // "%d" of the big-endian port

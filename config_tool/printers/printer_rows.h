// The main window's printer list: its columns, and the texts of one row per printer of the table.
// Plain C++: no Windows needed.
#pragma once
#include "printer_record.h"

#include <cstdint>
#include <string>
#include <vector>

struct PrinterListColumn {
    const char* heading;
    int width;  // pixels; every column is centred
};
constexpr int kPrinterListColumnCount = 5;
extern const PrinterListColumn kPrinterListColumns[kPrinterListColumnCount];
constexpr int kColumnNo = 0;
constexpr int kColumnMac = 1;
constexpr int kColumnAssignInfo = 4;

struct PrinterRow {
    std::string cells[kPrinterListColumnCount];  // No, Mac Address, IP Address, Port, Assign Info
    uint32_t ip;  // the printer's address in network byte order, looked up for "Assign Info"
};

// The row of the record at 1-based position n: every cell but "Assign Info", which is the
// store's to answer.
PrinterRow MakePrinterRow(int n, const PrinterRecord& record);

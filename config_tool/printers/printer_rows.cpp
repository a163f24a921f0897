#include "printer_rows.h"

#include "list_text.h"

#include <cstring>

const PrinterListColumn kPrinterListColumns[kPrinterListColumnCount] = {
    {"No", 25}, {"Mac Address", 110}, {"IP Address", 110}, {"Port", 57}, {"Assign Info", 80},
};

PrinterRow MakePrinterRow(int n, const PrinterRecord& record)
{
    PrinterRow row;
    row.cells[kColumnNo] = NumberText(n);
    row.cells[kColumnMac] = MacText(record);
    row.cells[2] = IpColumnText(record);
    row.cells[3] = PortText(record);
    // Looked up for 0.0.0.0 as well: the store may bind a port to it. The record's bytes are the
    // dotted parts in order, which is the network byte order the store keeps.
    std::memcpy(&row.ip, record.ip, sizeof row.ip);
    return row;
}

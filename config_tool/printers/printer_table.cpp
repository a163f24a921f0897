#include "printer_table.h"

#include <deque>

namespace {
// A deque keeps every record at its address while later ones are added, without a heap block
// per record.
std::deque<PrinterRecord>& Table()
{
    static std::deque<PrinterRecord> table;
    return table;
}
}

void ClearPrinterTable()
{
    // Swapped out rather than cleared: the memory of a large search goes back at once.
    std::deque<PrinterRecord>().swap(Table());
}

bool AddPrinterRecord(const PrinterRecord& record)
{
    if (Table().size() >= kMaxPrinterRecords)
        return false;
    Table().push_back(record);
    return true;
}

PrinterRecord* GetPrinterRecord(int position)
{
    if (position < 1 || static_cast<size_t>(position) > Table().size())
        return nullptr;
    return &Table()[static_cast<size_t>(position) - 1];
}

size_t PrinterTableSize()
{
    return Table().size();
}

#include "printer_table.h"

#include <memory>
#include <vector>

namespace {
// One heap copy per record, so a record keeps its address while later ones are added.
std::vector<std::unique_ptr<PrinterRecord>>& Table()
{
    static std::vector<std::unique_ptr<PrinterRecord>> table;
    return table;
}
}

void ClearPrinterTable()
{
    Table().clear();
}

bool AddPrinterRecord(const PrinterRecord& record)
{
    Table().push_back(std::make_unique<PrinterRecord>(record));
    return true;
}

PrinterRecord* GetPrinterRecord(int position)
{
    if (position < 1 || static_cast<size_t>(position) > Table().size())
        return nullptr;
    return Table()[static_cast<size_t>(position) - 1].get();
}

size_t PrinterTableSize()
{
    return Table().size();
}

// The printers found by the last search, in the order their replies arrived, at 1-based positions.
// Process-wide; used only on the user-interface thread.
#pragma once
#include "printer_record.h"

#include <cstddef>

// Frees every record; the table is empty afterwards.
void ClearPrinterTable();
// At most this many records: one search lists no more printers than this.
constexpr size_t kMaxPrinterRecords = 65535;

// Appends a copy of record at the end. Duplicates are kept. Returns false, adding nothing, when
// the table already holds kMaxPrinterRecords.
bool AddPrinterRecord(const PrinterRecord& record);
// The record at the 1-based position, owned by the table and valid until the next ClearPrinterTable;
// null for a position below 1 or past the last record.
PrinterRecord* GetPrinterRecord(int position);
size_t PrinterTableSize();

#include "install_log.h"

#include "msi_handles.h"

void LogLine(MSIHANDLE install, const std::string& line)
{
    // The line goes in field 1 and the format in field 0 takes it as it is: brackets or braces in
    // a program's output are not read as the installer's formatting.
    UniqueMsiHandle record(::MsiCreateRecord(1));
    if (!record)
        return;
    ::MsiRecordSetStringA(record.Get(), 0, "[1]");
    ::MsiRecordSetStringA(record.Get(), 1, line.c_str());
    ::MsiProcessMessage(install, INSTALLMESSAGE_INFO, record.Get());
}

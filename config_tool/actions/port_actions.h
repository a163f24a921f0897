// "STEP 3 - Test Print" and "Detach the assigned port": what they do to a bound COM port and its
// binding. They take the port name the main window's "Assign Info" cell shows and return what
// happened; the main window tells the user.
#pragma once
#include <windows.h>

#include "test_page.h"

#include <string>

enum class TestPrintOutcome {
    Printed,           // every block written whole
    CannotOpen,        // no port this tool binds, or the port could not be opened
    WriteFailed,       // a block was not written whole
};

// Writes the test page to port: opened exclusively, the line settings left as the driver holds
// them, each block in one write call. Only names this tool binds ("COM" and 1..256) are opened.
TestPrintOutcome PrintTestPage(const std::string& port);

// Writes each block of page to the open device in one write call, in order, and stops at the first
// one that is not written whole: Printed, or WriteFailed.
TestPrintOutcome WriteTestPage(HANDLE device, const TestPage& page);

enum class DetachOutcome {
    Detached,   // the binding is gone
    NotAPort,   // a name that does not begin with "COM": nothing was touched
    Failed,     // the registry refused; *error says why, the binding stays
};

// Deletes the binding of port from the store; the port device and the printer are not touched.
// error (may be null) receives the registry's code when the deletion failed.
DetachOutcome DetachPort(const std::string& port, LONG* error);

// The system's root-enumerated COM ports, from the device registry
// (HKEY_LOCAL_MACHINE "SYSTEM\CurrentControlSet\Enum\Root\PORTS").
#pragma once
#include "controls.h"
#include "dialog.h"

// Reads "PortName" of the instance's "Device Parameters" into buffer (size bytes, NUL-terminated).
// On any failure, and for a name that does not fit, buffer is left as it was.
void ReadPortName(const char* instanceName, char* buffer, DWORD size);

// Adds the port name of every root-enumerated Ports device to comboBox, each distinct name once
// (exact, case-sensitive), without emptying it first; then selects item 0 and pushes owner's members
// to its controls. Returns false, touching nothing, when the device registry key cannot be opened.
bool FillPortList(CComboBox& comboBox, CDialog& owner);

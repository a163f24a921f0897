// The port assignment store: HKEY_LOCAL_MACHINE "SOFTWARE\KELVARO\TCPSIO", one subkey per bound COM
// port holding the printer's address and TCP port. Written by the configuration dialog, read by the
// main window and the driver, one binding deleted by detach.
#pragma once
#include <windows.h>

// Creates or opens the key of portName under the store and sets valueName to a 4-byte REG_DWORD.
// Registry failures are not reported (the store is then unchanged); always returns true.
bool WriteAssignmentValue(const char* portName, const char* valueName, DWORD value);

// Deletes the binding of portName with everything under it, when portName begins with "COM"
// (case-sensitive); returns true then, whatever the deletion's outcome. Otherwise deletes nothing
// and returns false.
bool DeleteAssignment(const char* portName);

// Binds port to a printer: deletes previousPort's binding first unless previousPort is
// "Not Assigned", then writes "Port_" = tcpPort, "IPAddress" = ipAddress (network byte order, as
// inet_addr gives it) and "Port" = htons of tcpPort's low 16 bits, in that order.
// An empty or null port writes nothing (never values under the store root itself).
void WritePortBinding(const char* previousPort, const char* port, unsigned long ipAddress, int tcpPort);

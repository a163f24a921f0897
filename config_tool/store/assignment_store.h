// The port assignment store: HKEY_LOCAL_MACHINE "SOFTWARE\KELVARO\TCPSIO", one subkey per bound COM
// port holding the printer's address and TCP port. Written by the configuration dialog, read by the
// main window and the driver, one binding deleted by detach. Nothing is cached: every call reads or
// writes the registry afresh. Errors are the registry's codes, ERROR_SUCCESS when all went well.
#pragma once
#include "port_binding.h"

#include <windows.h>

// Every binding in the store's enumeration order: each subkey with a port-sized name (at most 9
// characters) and a REG_DWORD "IPAddress". Subkeys without one bind nothing and are passed over.
// Returns ERROR_SUCCESS, or the error that kept the store from being read (bindings is then
// empty; ERROR_FILE_NOT_FOUND when there is no store yet).
LONG ReadPortBindings(PortBindings& bindings);

// The "Assign Info" text of the printer at ip (network byte order): the port of the first binding
// of ip, or "Not Assigned". For one printer; a whole list reads the store once (ReadPortBindings).
std::string FindAssignedPort(unsigned long ip);

// The TCP port of portName's binding: "Port" (network byte order), or "Port_" where that is missing,
// as the driver may read either; -1 when neither can be read.
int ReadBindingTcpPort(const char* portName);

// Creates or opens the key of portName under the store and sets valueName to a 4-byte REG_DWORD.
LONG WriteAssignmentValue(const char* portName, const char* valueName, DWORD value);

// Deletes the binding of portName with everything under it. Only names beginning with "COM"
// (case-sensitive) are touched: ERROR_INVALID_NAME, deleting nothing, for any other. A binding that
// does not exist counts as deleted.
LONG DeleteAssignment(const char* portName);

// Binds port to a printer: deletes previousPort's binding first unless it is "Not Assigned" or port
// itself, then writes "Port_" = tcpPort, "IPAddress" = ipAddress (network byte order) and "Port" =
// htons of tcpPort's low 16 bits, in that order, into port's key, and then removes whatever else
// that key held. A write the registry refuses leaves port's earlier binding as it was (restoreError
// says when even that failed). Each half reports its first error, so that a removal without the
// new binding, or the reverse, can be told apart. An empty port writes nothing (never values under
// the store root itself).
BindingOutcome WritePortBinding(const char* previousPort, const char* port, unsigned long ipAddress, int tcpPort);

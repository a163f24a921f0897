// kvrconfig's start-up steps before its main window opens; the test programs start the same way.
#pragma once
#include <windows.h>

// Registers the common controls the dialogs use and the UDP endpoint control.
void EnableControlHosting(HINSTANCE hInstance);

// Starts the socket layer at version. On failure the user is told, with the socket layer's own
// result and the system's last error, and the tool goes on without sockets. True when started
// (WSACleanup is then due at the end).
bool StartSocketLayer(WORD version);

// The window class of the UDP endpoint control that dialogs 130, 132 and 135 host as control 1000,
// and its initial properties as the dialog templates give them (the control's window text).
// Included by the resource script as well, so it holds only preprocessor definitions.
#pragma once

#define KVR_WINSOCK_CLASS "KvrWinsockControl"
#define KVR_WINSOCK_INITIAL_PROPERTIES "Protocol=UDP;RemoteHost=255.255.255.255;RemotePort=48781;LocalPort=48780"
// The firmware upload's endpoint: it only sends, so a port it cannot bind costs it no reply.
#define KVR_WINSOCK_SEND_ONLY_PROPERTIES "Protocol=UDP;RemoteHost=255.255.255.255;RemotePort=48781;LocalPort=48780;SendOnly=1"

// The UDP endpoint's initial properties as the dialog templates give them.
#include "net/endpoint_properties.h"
#include "net/winsock_control_class.h"

#include <gtest/gtest.h>

TEST(EndpointProperties, TheTemplatesTextGivesTheDefaults)
{
    EndpointProperties p = ParseEndpointProperties(KVR_WINSOCK_INITIAL_PROPERTIES);
    EXPECT_EQ(p.remoteHost, "255.255.255.255");
    EXPECT_EQ(p.remotePort, 48781);
    EXPECT_EQ(p.localPort, 48780);
    EndpointProperties none = ParseEndpointProperties(nullptr);
    EXPECT_EQ(none.remoteHost, p.remoteHost);
    EXPECT_EQ(none.remotePort, p.remotePort);
    EXPECT_EQ(none.localPort, p.localPort);
}

TEST(EndpointProperties, NamedValuesReplaceTheDefaultsAndBadOnesArePassedOver)
{
    EndpointProperties p = ParseEndpointProperties("LocalPort=9;RemoteHost=10.0.0.1;Unknown=1;RemotePort=7");
    EXPECT_EQ(p.localPort, 9);
    EXPECT_EQ(p.remotePort, 7);
    EXPECT_EQ(p.remoteHost, "10.0.0.1");
    for (const char* text : {"LocalPort=65536", "LocalPort=-1", "LocalPort=", "LocalPort=12x", "LocalPort", ";;;="})
        EXPECT_EQ(ParseEndpointProperties(text).localPort, 48780) << text;
}

TEST(EndpointProperties, ABindFailureIsNamedByItsCauseAndByWhatTheDialogLoses)
{
    EXPECT_EQ(BindFailureText(48780, true, 10048, false),
              "Error : UDP port 48780 is in use by another program!\r\nReplies from the printers cannot be received.");
    EXPECT_EQ(BindFailureText(48780, false, 10013, false),
              "Error : UDP port 48780 cannot be used (socket error 10013)!\r\nReplies from the printers cannot be received.");
    EXPECT_EQ(BindFailureText(48780, true, 10048, true),
              "Error : UDP port 48780 is in use by another program!\r\n"
              "The firmware upload cannot send its start message from this port: it goes out from another one.");
    EXPECT_TRUE(ParseEndpointProperties(KVR_WINSOCK_SEND_ONLY_PROPERTIES).sendOnly);
    EXPECT_FALSE(ParseEndpointProperties(KVR_WINSOCK_INITIAL_PROPERTIES).sendOnly);
}

// The "Assign Info" answer from the bindings as read, and which names are ports of ours.
#include "store/port_binding.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
uint32_t Ip(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    const uint8_t bytes[4] = {a, b, c, d};
    uint32_t ip;
    std::memcpy(&ip, bytes, sizeof ip);
    return ip;
}
}

TEST(AssignedPortOf, TheFirstBindingOfTheAddressInStoreOrderWins)
{
    const PortBindings bindings = {{"COM4", Ip(192, 168, 0, 100)}, {"COM3", Ip(192, 168, 0, 10)},
                                   {"COM5", Ip(192, 168, 0, 10)}, {"COM7", Ip(0, 0, 0, 0)}};
    EXPECT_EQ(AssignedPortOf(bindings, Ip(192, 168, 0, 10)), "COM3");
    EXPECT_EQ(AssignedPortOf(bindings, Ip(0, 0, 0, 0)), "COM7");
    EXPECT_EQ(AssignedPortOf(bindings, Ip(192, 168, 0, 11)), "Not Assigned");
    EXPECT_EQ(AssignedPortOf({}, Ip(192, 168, 0, 10)), "Not Assigned");
}

TEST(IsBindablePortName, ComAndANumberFromOneTo256Only)
{
    for (const char* name : {"COM1", "COM9", "COM10", "COM256"})
        EXPECT_TRUE(IsBindablePortName(name)) << name;
    for (const char* name : {"", "COM", "COM0", "COM257", "COM007", "com3", "COM3 ", "COM-1", "COM+3", "NUL", "CONOUT$",
                             "TAPE0", "C:", "COM1000000", "LPT1"})
        EXPECT_FALSE(IsBindablePortName(name)) << name;
}

TEST(BindingFailureText, SaysWhichHalfFailedAndWhereThePrinterIsBoundNow)
{
    auto text = [](const char* previous, const char* port, long removeError, long writeError) {
        BindingOutcome o;
        o.previousPort = previous;
        o.port = port;
        o.removeError = removeError;
        o.writeError = writeError;
        return BindingFailureText(o);
    };
    EXPECT_EQ(text("COM3", "COM4", 0, 0), "");
    EXPECT_EQ(text("", "COM4", 0, 5), "Error : Fail to assign COM4 to this printer (registry error 5).");
    EXPECT_EQ(text("COM3", "COM4", 0, 5), "Error : Fail to assign COM4 to this printer (registry error 5).\r\n"
                                          "Its binding to COM3 was removed: the printer is bound to no port now.");
    EXPECT_EQ(text("COM3", "COM4", 5, 0), "Error : Fail to remove the binding of COM3 (registry error 5).\r\n"
                                          "COM4 is assigned to this printer, and COM3 stays bound to it as well.");
    EXPECT_EQ(text("COM3", "COM4", 5, 1021),
              "Error : Fail to assign COM4 to this printer (registry error 1021).\r\n"
              "Its binding to COM3 could not be removed either (registry error 5): it stays bound to COM3.");
    // The same port: its removal failed, but the values written over it make the binding as asked.
    EXPECT_EQ(text("COM4", "COM4", 5, 0), "");
    EXPECT_EQ(text("COM4", "COM4", 0, 5), "Error : Fail to assign COM4 to this printer (registry error 5).\r\n"
                                          "Its binding to COM4 stays as it was.");
}

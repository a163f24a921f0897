#include "net/broadcast_routes.h"

#include <gtest/gtest.h>

TEST(BroadcastRoutes, OneRoutePerAdapterThatIsUpAndNotALoopbackWithItsSubnetBroadcast)
{
    std::vector<AdapterAddress> listed = {
        {1, true, true, 0x7F000001, 0xFF000000},   // loopback
        {2, true, false, 0x0A4D0001, 0xFFFFFF00},  // 10.77.0.1/24
        {2, true, false, 0x0A4D0101, 0xFFFFFF00},  // a second address of the same adapter
        {3, false, false, 0xC0A80001, 0xFFFF0000}, // down
        {4, true, false, 0xAC100001, 0xFFF00000},  // 172.16.0.1/12
        {5, true, false, 0, 0},                    // no address yet
    };
    std::vector<BroadcastRoute> routes = BroadcastRoutes(listed);
    ASSERT_EQ(routes.size(), 2u);
    EXPECT_EQ(routes[0].interfaceIndex, 2u);
    EXPECT_EQ(routes[0].directedBroadcast, 0x0A4D00FFu);
    EXPECT_EQ(routes[1].interfaceIndex, 4u);
    EXPECT_EQ(routes[1].directedBroadcast, 0xAC1FFFFFu);
    EXPECT_TRUE(BroadcastRoutes({listed[0], listed[3]}).empty());
}

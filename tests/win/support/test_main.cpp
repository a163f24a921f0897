// main of every Windows test program.
#include "registry_as_found.h"
#include "unexpected_box.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    InstallUnexpectedMessageBoxWatch();
    InstallRegistryAsFound();
    return RUN_ALL_TESTS();
}

// main of every Windows test program.
#include "unexpected_box.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    InstallUnexpectedMessageBoxWatch();
    return RUN_ALL_TESTS();
}

#include "core/Clock.h"
#include "core/RunMode.h"

#include <gtest/gtest.h>

// Tests run the real stand-ins offscreen, on the virtual clock, and never wait for a dialog.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    platform::runMode().capture = true;
    platform::Clock::instance().useVirtual(0.0);
    return RUN_ALL_TESTS();
}

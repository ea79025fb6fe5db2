// Entry point of every test binary: GoogleTest with headless SDL drivers.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Tests never open a real display or sound card, whatever the environment says.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include <csignal>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // A hung-up pseudo-terminal must show up as an error code, never end the test program.
    std::signal(SIGPIPE, SIG_IGN);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

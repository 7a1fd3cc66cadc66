// The library's tests run without Qt: windows are message-only handles served by GetMessage and
// PeekMessage on the test's own thread.
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

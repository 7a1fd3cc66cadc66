// The controls' tests: one application object for all of them (the loader refuses to
// start a plug-in before it exists).
#include <QApplication>

#include "testsupport/pooled_threads.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    plat::test::endPooledThreads();
    return result;
}

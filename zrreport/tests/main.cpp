// The viewer's tests run headless: one QApplication on the offscreen platform for all of them.
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

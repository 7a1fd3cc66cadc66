// The platform tests run in one process with a QApplication, so that Gui suites can open dialogs
// and message boxes; everything is headless (offscreen platform).
#include <QApplication>

#include "testsupport/pooled_threads.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    plat::test::endPooledThreads();
    return result;
}

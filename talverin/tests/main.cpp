// The main program's tests run headless: one QApplication on the offscreen platform for all of them.
#include <QApplication>

#include "testsupport/pooled_threads.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("TALVERIN_COMPONENTS")) // run by hand: the build's controls
        qputenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    plat::test::endPooledThreads();
    return result;
}

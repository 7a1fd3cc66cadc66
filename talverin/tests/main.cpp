// The main program's tests run headless: one QApplication on the offscreen platform for all of them.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("TALVERIN_COMPONENTS")) // run by hand: the build's controls
        qputenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

// The parameter editor's tests: one application object (the loader starts no plug-in before it).
#include <QApplication>

#include "testsupport/pooled_threads.h"

#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const int result = RUN_ALL_TESTS();
    plat::test::endPooledThreads();
    return result;
}

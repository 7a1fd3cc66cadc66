// The component layer's tests: one application object for all of them (the loader refuses to
// start a plug-in before it exists). Started with --create-before-application CLSID, the program
// instead tries to create that class before any application object exists and exits with 0 when
// the loader refused with CO_E_NOTINITIALIZED.
#include <component/loader.h>

#include <QApplication>

#include "testsupport/pooled_threads.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--create-before-application") == 0) {
        auto r = comp::Loader::instance().create(std::string_view(argv[2]));
        return !r.ok() && r.status == comp::CO_E_NOTINITIALIZED ? 0 : 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    plat::test::endPooledThreads();
    return result;
}

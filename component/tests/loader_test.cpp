#include "log_capture.h"
#include "sample_control.h"

#include <component/loader.h>
#include <component/registry.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("comploader-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_file = (m_dir / "components.ini").string();
        fs::remove(m_file);
        comp::Registry::setDefaultPath(m_file);
    }
    void TearDown() override
    {
        comp::Registry::setDefaultPath("");
        fs::remove_all(m_dir);
    }

    void registerSample(const std::string& path)
    {
        comp::ClassEntry e;
        e.clsid = *comp::Guid::fromString(sample::kClass.clsid);
        e.progId = std::string(sample::kClass.progId);
        e.path = path;
        ASSERT_TRUE(comp::Registry(m_file).writeClass(e));
    }

    fs::path m_dir;
    std::string m_file;
};

int pluginCounter(const char* name)
{
    void* h = dlopen(TEST_PLUGIN_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (!h)
        return -1;
    auto fn = reinterpret_cast<int (*)()>(dlsym(h, name));
    const int v = fn ? fn() : -1;
    dlclose(h);
    return v;
}

} // namespace

TEST_F(LoaderTest, CreatesByClassIdStartingTheModuleOnceAndNeverUnloadingIt)
{
    registerSample(TEST_PLUGIN_PATH);
    auto a = comp::Loader::instance().create(sample::kClass.clsid);
    ASSERT_TRUE(a.ok()) << a.error;
    auto b = comp::Loader::instance().create(std::string_view("{11111111-2222-3333-4444-555555555555}"));
    ASSERT_TRUE(b.ok());
    EXPECT_NE(a.control.get(), b.control.get());
    EXPECT_EQ(pluginCounter("TestPluginInits"), 1);
    // A new control arrives in its reset state and answers by id.
    EXPECT_EQ(a.control->invoke(1, comp::InvokeKind::PropertyGet).value, comp::Variant::fromI4(7));

    // Shut down with a control still alive: the module keeps its state until it is gone.
    a.control.reset();
    EXPECT_FALSE(comp::Loader::instance().shutdown());
    EXPECT_EQ(pluginCounter("TestPluginExits"), 0);
    b.control.reset();
    EXPECT_TRUE(comp::Loader::instance().shutdown());
    EXPECT_EQ(pluginCounter("TestPluginExits"), 1);
    comp::Loader::instance().shutdown();
    EXPECT_EQ(pluginCounter("TestPluginExits"), 1);
    // Still mapped, and it starts again on the next creation.
    auto c = comp::Loader::instance().create(sample::kClass.clsid);
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(pluginCounter("TestPluginInits"), 2);
}

TEST_F(LoaderTest, NoPluginStartsBeforeTheApplicationExists)
{
    registerSample(TEST_PLUGIN_PATH);
    // A fresh process that has no application object yet.
    const std::string command = "TALVERIN_COMPONENTS=" + m_file + " /proc/" + std::to_string(::getpid())
                                + "/exe --create-before-application " + std::string(sample::kClass.clsid)
                                + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST_F(LoaderTest, FailuresAreStatusesWithAnExplanationAndALogLine)
{
    LogCapture log;
    auto r = comp::Loader::instance().create("{99999999-2222-3333-4444-555555555555}");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.status, comp::REGDB_E_CLASSNOTREG);
    EXPECT_NE(r.error.find("not registered"), std::string::npos);
    EXPECT_EQ(r.problem, comp::CreateProblem::NotRegistered);
    EXPECT_TRUE(log.contains("{99999999-2222-3333-4444-555555555555} is not registered"));

    r = comp::Loader::instance().create("not-a-guid");
    EXPECT_EQ(r.status, comp::REGDB_E_CLASSNOTREG);

    registerSample((m_dir / "missing.so").string());
    r = comp::Loader::instance().create(sample::kClass.clsid);
    EXPECT_EQ(r.status, comp::CO_E_DLLNOTFOUND);
    EXPECT_NE(r.error.find("missing.so"), std::string::npos);
    EXPECT_EQ(r.problem, comp::CreateProblem::FileMissing);
    EXPECT_EQ(r.file, (m_dir / "missing.so").string());

    // A shared object that is not a control plug-in.
    registerSample(std::string(TALVERIN_BIN_DIR) + "/libtalverin-component.so");
    r = comp::Loader::instance().create(sample::kClass.clsid);
    EXPECT_EQ(r.status, comp::CO_E_ERRORINDLL);
    EXPECT_EQ(r.problem, comp::CreateProblem::BadPlugin);

    // A plug-in asked for a class it does not provide.
    comp::ClassEntry other;
    other.clsid = *comp::Guid::fromString("{99999999-2222-3333-4444-555555555555}");
    other.path = TEST_PLUGIN_PATH;
    ASSERT_TRUE(comp::Registry(m_file).writeClass(other));
    r = comp::Loader::instance().create(other.clsid);
    EXPECT_EQ(r.status, comp::CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(log.lines.size(), 5u);
}

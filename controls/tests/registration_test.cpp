#include "control_tables.h"

#include <RegControls.h>

#include <component/plugin_api.h>
#include <component/registry.h>
#include <platform/profile.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("ctlreg-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_file = (m_dir / "components.ini").string();
    }
    void TearDown() override
    {
        comp::Registry::setDefaultPath("");
        fs::remove_all(m_dir);
    }

    int run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--registry", m_file});
        m_out.str("");
        m_err.str("");
        return ctl::runRegControls(args, m_out, m_err);
    }

    std::vector<std::string> pluginArgs(const char* command)
    {
        std::vector<std::string> args{command};
        for (const auto& c : allControls())
            args.emplace_back(c.plugin);
        return args;
    }

    void expectAllRegistered()
    {
        comp::Registry reg(m_file);
        for (const auto& c : allControls()) {
            const ctl::Identity& id = *c.identity;
            SCOPED_TRACE(std::string(id.name));
            auto e = reg.findClass(*comp::Guid::fromString(id.clsid));
            ASSERT_TRUE(e);
            EXPECT_EQ(e->progId, id.progId);
            EXPECT_EQ(e->typeName, std::string(id.name) + " Control");
            EXPECT_EQ(e->path, fs::canonical(c.plugin).string());
            EXPECT_EQ(e->threadingModel, "Apartment");
            EXPECT_EQ(e->verbs, id.verbs);
            EXPECT_EQ(e->miscStatus, id.name == std::string_view("ZROSCILLO") ? 0xA0191u : 0x20191u);
            EXPECT_EQ(e->insertable, id.name != std::string_view("ZRCN2"));
            EXPECT_EQ(e->typeLib->toString(), id.libId);
            EXPECT_EQ(reg.clsidFromProgId(std::string(id.progId))->toString(), id.clsid);

            auto lib = reg.findTypeLib(*comp::Guid::fromString(id.libId));
            ASSERT_TRUE(lib);
            EXPECT_EQ(lib->name, std::string(id.name) + "Lib");
            EXPECT_EQ(lib->version, "1.0");
            EXPECT_EQ(lib->lcid, 1033);
            EXPECT_EQ(lib->helpFile, std::string(id.name) + ".hlp");
            ASSERT_EQ(lib->interfaces.size(), 2u);
            for (const auto& i : lib->interfaces) {
                if (i.role == "dispatch") {
                    EXPECT_EQ(i.iid.toString(), id.dispIid);
                    EXPECT_EQ(i.name, "_D" + std::string(id.name));
                } else {
                    EXPECT_EQ(i.iid.toString(), id.eventIid);
                    EXPECT_EQ(i.name, "_D" + std::string(id.name) + "Events");
                }
            }
        }
    }

    fs::path m_dir;
    std::string m_file;
    std::ostringstream m_out, m_err;
};

} // namespace

TEST_F(RegistrationTest, EveryIdentityEntryIsWrittenAndRemovedAndCanBeWrittenAgain)
{
    ASSERT_EQ(run(pluginArgs("register")), 0) << m_err.str();
    expectAllRegistered();
    // ZRCN2 has no Insertable entry at all.
    EXPECT_FALSE(plat::profile::find(m_file, "CLSID\\{D1AA4539-6A83-4396-8FF9-2C353052B00F}", "Insertable"));

    ASSERT_EQ(run({"list"}), 0);
    EXPECT_NE(m_out.str().find("ZRTERMED.ZRTERMEDCtrl.1  \"ZRTERMED Control\"  misc 0x20191  insertable"),
              std::string::npos)
        << m_out.str();

    ASSERT_EQ(run(pluginArgs("unregister")), 0) << m_err.str();
    EXPECT_TRUE(comp::Registry(m_file).classes().empty());
    EXPECT_TRUE(plat::profile::sectionNames(m_file).empty());

    ASSERT_EQ(run(pluginArgs("register")), 0) << m_err.str();
    expectAllRegistered();
    // Registering twice leaves one entry per class.
    ASSERT_EQ(run(pluginArgs("register")), 0);
    EXPECT_EQ(comp::Registry(m_file).classes().size(), 5u);
}

TEST_F(RegistrationTest, AnUnwritableTypeLibraryStepFailsFirstAndRegistersNoClass)
{
    comp::Registry::setDefaultPath((m_dir / "missing" / "components.ini").string());
    void* h = dlopen(ZRCN2_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(h, nullptr);
    auto reg = reinterpret_cast<comp::DllRegisterServerFn>(dlsym(h, comp::kDllRegisterServer));
    auto unreg = reinterpret_cast<comp::DllUnregisterServerFn>(dlsym(h, comp::kDllUnregisterServer));
    ASSERT_TRUE(reg && unreg);
    EXPECT_EQ(static_cast<std::uint32_t>(reg()), 0x80040200u);
    EXPECT_FALSE(fs::exists(m_dir / "missing"));
    // Removing from a registry that is not there has nothing to fail on.
    EXPECT_EQ(unreg(), comp::S_OK);

    comp::Registry::setDefaultPath(m_file);
    EXPECT_EQ(reg(), comp::S_OK);
    EXPECT_TRUE(comp::Registry(m_file).findClass(*comp::Guid::fromString(ctl::kZRCN2Identity.clsid)));
}

TEST_F(RegistrationTest, TheProgramReportsBadUseAndBadFiles)
{
    std::ostringstream out, err;
    EXPECT_EQ(ctl::runRegControls({}, out, err), 2);
    EXPECT_NE(err.str().find("usage:"), std::string::npos);
    EXPECT_EQ(run({"register"}), 2);
    EXPECT_EQ(run({"frobnicate", ZRCN2_PLUGIN}), 2);
    EXPECT_EQ(run({"list", "extra"}), 2);

    EXPECT_EQ(run({"register", (m_dir / "nothing.so").string(), ZRCN2_PLUGIN}), 1);
    EXPECT_NE(m_err.str().find("nothing.so: cannot be loaded"), std::string::npos);
    // The good file in the same call is still registered.
    EXPECT_EQ(comp::Registry(m_file).classes().size(), 1u);

    const std::string notAPlugin = std::string(TALVERIN_BIN_DIR) + "/libtalverin-component.so";
    EXPECT_EQ(run({"register", notAPlugin}), 1);
    EXPECT_NE(m_err.str().find("not a control plug-in"), std::string::npos);
}

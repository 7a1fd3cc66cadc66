#include <component/registry.h>

#include <platform/paths.h>
#include <platform/profile.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("compreg-" + std::to_string(::getpid()) + "-"
                                             + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_file = (m_dir / "components.ini").string();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static comp::ClassEntry entry(const char* clsid, const char* progId, bool insertable)
    {
        comp::ClassEntry e;
        e.clsid = *comp::Guid::fromString(clsid);
        e.progId = progId;
        e.typeName = "Row Control";
        e.path = "/opt/plugins/librow.so";
        e.miscStatus = 0xA0191;
        e.insertable = insertable;
        e.verbs = "Properties";
        e.typeLib = comp::Guid::fromString("{7E342BCC-F288-4919-85FE-045B77DAFE15}");
        return e;
    }

    fs::path m_dir;
    std::string m_file;
};

const char* kRow = "{D1AA4539-6A83-4396-8FF9-2C353052B00F}";

} // namespace

TEST_F(RegistryTest, ClassEntriesReadBackAndTheProgIdLeadsToTheClass)
{
    comp::Registry reg(m_file);
    ASSERT_TRUE(reg.writeClass(entry(kRow, "Row.RowCtrl.1", false)));
    auto e = reg.findClass(*comp::Guid::fromString(kRow));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->progId, "Row.RowCtrl.1");
    EXPECT_EQ(e->typeName, "Row Control");
    EXPECT_EQ(e->path, "/opt/plugins/librow.so");
    EXPECT_EQ(e->miscStatus, 0xA0191u);
    EXPECT_FALSE(e->insertable);
    EXPECT_EQ(e->threadingModel, "Apartment");
    EXPECT_EQ(e->typeLib->toString(), "{7E342BCC-F288-4919-85FE-045B77DAFE15}");
    // Not insertable means no entry at all, not "Insertable=0".
    EXPECT_FALSE(plat::profile::find(m_file, std::string("CLSID\\") + kRow, "Insertable"));
    EXPECT_EQ(reg.clsidFromProgId("Row.RowCtrl.1")->toString(), kRow);
    EXPECT_EQ(reg.classes().size(), 1u);
}

TEST_F(RegistryTest, ReRegisteringReplacesTheOldEntryAndItsOldProgId)
{
    comp::Registry reg(m_file);
    ASSERT_TRUE(reg.writeClass(entry(kRow, "Row.RowCtrl.1", true)));
    ASSERT_TRUE(reg.writeClass(entry(kRow, "Row.RowCtrl.2", false)));
    EXPECT_FALSE(reg.clsidFromProgId("Row.RowCtrl.1"));
    EXPECT_TRUE(reg.clsidFromProgId("Row.RowCtrl.2"));
    EXPECT_FALSE(reg.findClass(*comp::Guid::fromString(kRow))->insertable);

    ASSERT_TRUE(reg.removeClass(*comp::Guid::fromString(kRow)));
    EXPECT_FALSE(reg.findClass(*comp::Guid::fromString(kRow)));
    EXPECT_FALSE(reg.clsidFromProgId("Row.RowCtrl.2"));
    // Removing what is not there is not a failure.
    EXPECT_TRUE(reg.removeClass(*comp::Guid::fromString(kRow)));
}

TEST_F(RegistryTest, TypeLibrariesCarryTheirInterfacesAndLeaveWithThem)
{
    comp::Registry reg(m_file);
    comp::TypeLibEntry lib;
    lib.libId = *comp::Guid::fromString("{7E342BCC-F288-4919-85FE-045B77DAFE15}");
    lib.name = "RowLib";
    lib.lcid = 1033;
    lib.helpFile = "Row.hlp";
    lib.path = "/opt/plugins/librow.so";
    lib.interfaces = {{*comp::Guid::fromString("{E7A82BEA-A28B-4831-BC8B-77DD86D51060}"), "_DRow", "dispatch"},
                      {*comp::Guid::fromString("{65EAD829-11ED-4C60-8363-27C848269C04}"), "_DRowEvents", "events"}};
    ASSERT_TRUE(reg.writeTypeLib(lib));
    // Some other library's interface stays put.
    ASSERT_TRUE(plat::profile::setString(m_file, "Interface\\{00000000-0000-0000-0000-000000000001}", "TypeLib",
                                         "{00000000-0000-0000-0000-000000000002}"));
    auto back = reg.findTypeLib(lib.libId);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, "RowLib");
    EXPECT_EQ(back->version, "1.0");
    EXPECT_EQ(back->lcid, 1033);
    EXPECT_EQ(back->helpFile, "Row.hlp");
    ASSERT_EQ(back->interfaces.size(), 2u);

    ASSERT_TRUE(reg.removeTypeLib(lib.libId));
    EXPECT_FALSE(reg.findTypeLib(lib.libId));
    for (const auto& s : plat::profile::sectionNames(m_file))
        EXPECT_EQ(s.find("E7A82BEA"), std::string::npos) << s;
    EXPECT_TRUE(plat::profile::hasSection(m_file, "Interface\\{00000000-0000-0000-0000-000000000001}"));
}

TEST_F(RegistryTest, AnUnwritableLocationFailsAndLeavesNothingBehind)
{
    comp::Registry reg((m_dir / "no-such-folder" / "components.ini").string());
    EXPECT_FALSE(reg.writeClass(entry(kRow, "Row.RowCtrl.1", true)));
    EXPECT_FALSE(reg.findClass(*comp::Guid::fromString(kRow)));
    EXPECT_FALSE(fs::exists(m_dir / "no-such-folder"));
}

TEST_F(RegistryTest, DefaultLocationFollowsOverrideThenEnvironmentThenProgramFolder)
{
    const char* saved = std::getenv("TALVERIN_COMPONENTS");
    const std::string savedValue = saved ? saved : "";
    ::setenv("TALVERIN_COMPONENTS", m_file.c_str(), 1);
    EXPECT_EQ(comp::Registry::defaultPath(), m_file);
    comp::Registry::setDefaultPath("/elsewhere/reg.ini");
    EXPECT_EQ(comp::Registry::defaultPath(), "/elsewhere/reg.ini");
    comp::Registry::setDefaultPath("");
    ::unsetenv("TALVERIN_COMPONENTS");
    EXPECT_EQ(comp::Registry::defaultPath(), plat::JoinPath(plat::GetProgramFolder(), "components.ini"));
    if (saved)
        ::setenv("TALVERIN_COMPONENTS", savedValue.c_str(), 1);
}

TEST_F(RegistryTest, PluginsBelowTheRegistryAreStoredRelativeSoACopiedFolderFindsThem)
{
    comp::Registry reg(m_file);
    comp::ClassEntry below = entry(kRow, "Row.Control.1", false);
    below.path = (m_dir / "plugins" / "librow.so").string();
    ASSERT_TRUE(reg.writeClass(below));
    EXPECT_EQ(plat::profile::getString(m_file, std::string("CLSID\\") + kRow, "Path"), "plugins/librow.so");
    EXPECT_EQ(reg.findClass(below.clsid)->path, below.path);

    const fs::path copy = m_dir / "copied";
    fs::create_directories(copy);
    fs::copy_file(m_file, copy / "components.ini");
    const comp::Registry moved((copy / "components.ini").string());
    EXPECT_EQ(moved.findClass(below.clsid)->path, (copy / "plugins" / "librow.so").string());

    comp::ClassEntry outside = entry(kRow, "Row.Control.1", false); // /opt/plugins/librow.so
    ASSERT_TRUE(reg.writeClass(outside));
    EXPECT_EQ(reg.classes().at(0).path, "/opt/plugins/librow.so");
    EXPECT_EQ(reg.classes().size(), 1u);
}

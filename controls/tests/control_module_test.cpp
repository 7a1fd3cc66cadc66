// The module skeleton on its own: start and end with the extras, the registering flag, the
// live-object count, the factory and the registration result codes.
#include <skeleton/ControlModule.h>
#include <skeleton/SkeletonControl.h>

#include <component/registry.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using comp::MemberKind;
using T = comp::VarType;

constexpr comp::MemberInfo kMembers[] = {
    {1, "Size", MemberKind::Property, T::I4},
    {2, "Caption", MemberKind::Property, T::BStr},
    {3, "Shown", MemberKind::Property, T::Bool},
    {4, "Go", MemberKind::Method, T::I4, {T::I4}},
};

constexpr ctl::PropertySpec kProps[] = {
    {2, true, 0, "none"},
    {1, true, 12},
    {3, false, 1},
};

comp::ClassInfo makeInfo(std::string_view clsid)
{
    return {"TEST", clsid, "Test.TestCtrl.1", "TEST Control", "{00000000-0000-0000-0000-0000000000A1}",
            "TESTLib", "TEST.hlp", "TEST", "{00000000-0000-0000-0000-0000000000A2}", "_DTEST",
            "{00000000-0000-0000-0000-0000000000A3}", "_DTESTEvents", comp::kRegInsertable | comp::kRegApartment,
            0x20191, "Edit,Properties", 5, kMembers, {}};
}

const comp::ClassInfo kGood = makeInfo("{00000000-0000-0000-0000-0000000000A0}");
const comp::ClassInfo kBadClass = makeInfo("not a class id");

class TestModule : public ctl::ControlModule {
public:
    explicit TestModule(const comp::ClassInfo& info = kGood)
        : ControlModule(info, [](ControlModule& m) { return new ctl::SkeletonControl(m, m.classInfo(), kProps); })
    {
    }
    void flags(bool onRegister, bool onUnregister) { setRegisteringFlags(onRegister, onUnregister); }

    bool extrasMake = true;
    int inits = 0;
    int exits = 0;

protected:
    bool initInstance() override
    {
        ++inits;
        return extrasMake;
    }
    void exitInstance() override { ++exits; }
};

} // namespace

TEST(ControlModuleTest, StartsOnceEndsOnceAndAFailedExtraFailsTheStart)
{
    TestModule m;
    EXPECT_EQ(m.moduleInit(), comp::S_OK);
    EXPECT_EQ(m.moduleInit(), comp::S_OK);
    EXPECT_EQ(m.inits, 1);
    m.moduleExit();
    m.moduleExit();
    EXPECT_EQ(m.exits, 1);

    TestModule failing;
    failing.extrasMake = false;
    EXPECT_EQ(failing.moduleInit(), comp::E_FAIL);
    EXPECT_FALSE(failing.started());
    EXPECT_EQ(failing.exits, 1); // what was made is undone
    failing.moduleExit();
    EXPECT_EQ(failing.exits, 1);
}

TEST(ControlModuleTest, RegisteringSkipsTheModulesOwnCleanUp)
{
    const auto dir = std::filesystem::temp_directory_path() / ("ctlmod-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    comp::Registry::setDefaultPath((dir / "components.ini").string());

    TestModule both;
    both.flags(true, true);
    ASSERT_EQ(both.moduleInit(), comp::S_OK);
    EXPECT_EQ(both.unregisterServer(), comp::S_OK);
    EXPECT_TRUE(both.registering());
    both.moduleExit();
    EXPECT_EQ(both.exits, 0);

    TestModule onlyRegister;
    onlyRegister.flags(true, false);
    ASSERT_EQ(onlyRegister.moduleInit(), comp::S_OK);
    EXPECT_EQ(onlyRegister.unregisterServer(), comp::S_OK);
    EXPECT_FALSE(onlyRegister.registering());
    EXPECT_EQ(onlyRegister.registerServer(), comp::S_OK);
    EXPECT_TRUE(onlyRegister.registering());

    // A class step that fails after the type library was written answers SELFREG_E_CLASS.
    TestModule bad(kBadClass);
    EXPECT_EQ(static_cast<std::uint32_t>(bad.registerServer()), 0x80040201u);

    comp::Registry::setDefaultPath("");
    std::filesystem::remove_all(dir);
}

TEST(ControlModuleTest, TheFactoryServesOnlyItsClassAndCountsLiveControls)
{
    TestModule m;
    comp::ClassFactory* f = nullptr;
    const auto other = comp::Guid::fromString("{00000000-0000-0000-0000-0000000000FF}");
    EXPECT_EQ(m.getClassObject(&*other, &f), comp::CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(m.getClassObject(nullptr, &f), comp::CLASS_E_CLASSNOTAVAILABLE);
    const auto own = comp::Guid::fromString(kGood.clsid);
    ASSERT_EQ(m.getClassObject(&*own, &f), comp::S_OK);

    EXPECT_EQ(m.canUnloadNow(), comp::S_OK);
    comp::Control* a = nullptr;
    comp::Control* b = nullptr;
    ASSERT_EQ(f->createInstance(&a), comp::S_OK);
    ASSERT_EQ(f->createInstance(&b), comp::S_OK);
    EXPECT_EQ(m.objectCount(), 2);
    EXPECT_EQ(m.canUnloadNow(), comp::S_FALSE);
    delete a;
    delete b;
    EXPECT_EQ(m.canUnloadNow(), comp::S_OK);
    EXPECT_EQ(f->createInstance(nullptr), comp::E_POINTER);
}

TEST(ControlModuleTest, SkeletonPropertiesPersistInTheirOwnOrderAndMethodsAreNotImplemented)
{
    TestModule m;
    ctl::SkeletonControl c(m, kGood, kProps);
    EXPECT_EQ(c.property(1), comp::Variant::fromI4(12));
    EXPECT_EQ(c.property(3), comp::Variant::fromBool(true));
    EXPECT_EQ(c.invoke(4, comp::InvokeKind::Method, {comp::Variant::fromI4(1)}).status, comp::E_NOTIMPL);

    ASSERT_TRUE(c.invoke(1, comp::InvokeKind::PropertyPut, {comp::Variant::fromI4(40)}).ok());
    ASSERT_TRUE(c.invoke(3, comp::InvokeKind::PropertyPut, {comp::Variant::fromBool(false)}).ok());
    comp::PropertyBag bag;
    ASSERT_EQ(c.saveProperties(bag), comp::S_OK);
    // The version, then the persisted ones in the listed order; the unpersisted one is not saved.
    ASSERT_EQ(bag.entries().size(), 3u);
    EXPECT_EQ(bag.entries()[1].first, "Caption");
    EXPECT_EQ(bag.entries()[2].first, "Size");

    c.resetState();
    EXPECT_EQ(c.property(1), comp::Variant::fromI4(12));
    EXPECT_EQ(c.property(2), comp::Variant::fromString("none"));
    EXPECT_EQ(c.property(3), comp::Variant::fromBool(false)); // not persisted: a reset leaves it
}

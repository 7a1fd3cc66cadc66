// Every control created by class id alone from the build's registry, and called by dispatch id
// alone, as the host does.
#include "control_tables.h"

#include <component/loader.h>
#include <component/plugin_api.h>
#include <platform/named_objects.h>
#include <model/SharedData.h>

#include <gtest/gtest.h>

#include <QWidget>

#include <dlfcn.h>

using comp::InvokeKind;
using comp::Variant;

namespace {

std::unique_ptr<comp::Control> create(const ctl::Identity& id)
{
    auto r = comp::Loader::instance().create(id.clsid);
    EXPECT_TRUE(r.ok()) << r.error;
    return std::move(r.control);
}

// Controls whose methods all have their behaviour; the others answer "not implemented" still.
bool implemented(const ctl::Identity* id)
{
    return id == &ctl::kZRSLIDERIdentity || id == &ctl::kZROSCILLOIdentity || id == &ctl::kZRTERMEDIdentity
           || id == &ctl::kZRCN2Identity || id == &ctl::kZRPARAMIdentity;
}

std::vector<Variant> argumentsFor(const comp::MemberInfo& m)
{
    std::vector<Variant> args;
    int seed = 0;
    for (comp::VarType t : m.params.span())
        args.push_back(sampleValue(t, seed++));
    return args;
}

} // namespace

TEST(ControlContractTest, MemberTablesAreCompleteAndKeepTheReservedPositionEmpty)
{
    for (const auto& c : allControls()) {
        SCOPED_TRACE(std::string(c.identity->name));
        const comp::ClassInfo& info = *c.info;
        EXPECT_EQ(info.clsid, c.identity->clsid);
        for (int id = 1; id <= c.positions; ++id) {
            if (id == c.identity->reservedDispid)
                EXPECT_EQ(info.findMember(id), nullptr);
            else
                EXPECT_NE(info.findMember(id), nullptr) << id;
        }
        const std::size_t stock = info.findMember(comp::DISPID_REFRESH) ? 1 : 0;
        EXPECT_EQ(info.members.size(), static_cast<std::size_t>(c.positions - 1) + stock);
        for (std::size_t i = 0; i < info.events.size(); ++i)
            EXPECT_EQ(info.events[i].id, static_cast<comp::DISPID>(i + 1));
    }
    EXPECT_EQ(ctl::zrcn2::kClass.findMember(18)->name, "Export");
    EXPECT_EQ(ctl::zrtermed::kClass.findMember(-550)->name, "Refresh");
    EXPECT_EQ(ctl::zrparam::kClass.findMember(26)->name, "IsCommomMemoryParent");
    EXPECT_EQ(ctl::zroscillo::kClass.findMember(20)->name, "SetGuidLine");
    EXPECT_EQ(ctl::zroscillo::kClass.findMember(21)->params.types[3], comp::VarType::IntPtr);
}

TEST(ControlContractTest, EachControlAnswersEveryDispatchIdAsItsTableSays)
{
    for (const auto& c : allControls()) {
        SCOPED_TRACE(std::string(c.identity->name));
        auto control = create(*c.identity);
        ASSERT_TRUE(control);
        EXPECT_EQ(control->classInfo().clsid, c.identity->clsid);

        EXPECT_EQ(control->invoke(c.identity->reservedDispid, InvokeKind::Method).status, comp::DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(control->invoke(c.identity->reservedDispid, InvokeKind::PropertyGet).status,
                  comp::DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(control->invoke(c.positions + 1, InvokeKind::Method).status, comp::DISP_E_MEMBERNOTFOUND);

        int seed = 0;
        for (const comp::MemberInfo& m : c.info->members) {
            SCOPED_TRACE(std::string(m.name));
            if (m.kind == comp::MemberKind::Property) {
                auto got = control->invoke(m.id, InvokeKind::PropertyGet);
                ASSERT_TRUE(got.ok());
                EXPECT_EQ(got.value.type(), m.type);
                const Variant v = sampleValue(m.type, seed++);
                ASSERT_TRUE(control->invoke(m.id, InvokeKind::PropertyPut, {v}).ok());
                EXPECT_EQ(control->invoke(m.id, InvokeKind::PropertyGet).value, v);
                continue;
            }
            const auto args = argumentsFor(m);
            auto r = control->invoke(m.id, InvokeKind::Method, args);
            if (m.id == comp::DISPID_REFRESH || implemented(c.identity))
                EXPECT_TRUE(r.ok());
            else
                EXPECT_EQ(r.status, comp::E_NOTIMPL);
            if (!args.empty()) {
                // One argument of the wrong kind is refused before the member is reached.
                auto wrong = args;
                wrong.back() = wrong.back().type() == comp::VarType::BStr ? Variant::fromI4(1) : Variant::fromString("x");
                EXPECT_EQ(control->invoke(m.id, InvokeKind::Method, wrong).status, comp::DISP_E_TYPEMISMATCH);
            }
        }
    }
}

TEST(ControlContractTest, DefaultsAfterResetAndTheBagRoundTripsInPersistenceOrder)
{
    for (const auto& c : allControls()) {
        SCOPED_TRACE(std::string(c.identity->name));
        auto a = create(*c.identity);
        auto b = create(*c.identity);
        ASSERT_TRUE(a && b);
        auto check = [&](comp::Control& ctl, const std::vector<Variant>* expected) {
            for (std::size_t i = 0; i < c.persisted.size(); ++i) {
                const comp::MemberInfo* m = c.info->findMember(c.persisted[i].first);
                ASSERT_TRUE(m);
                EXPECT_EQ(ctl.invoke(m->id, InvokeKind::PropertyGet).value,
                          expected ? (*expected)[i] : c.persisted[i].second)
                    << m->name;
            }
        };
        check(*a, nullptr);

        std::vector<Variant> changed;
        int seed = 0;
        for (const auto& [name, def] : c.persisted) {
            const comp::MemberInfo* m = c.info->findMember(name);
            changed.push_back(sampleValue(m->type, seed++));
            ASSERT_TRUE(a->invoke(m->id, InvokeKind::PropertyPut, {changed.back()}).ok());
        }
        comp::PropertyBag bag;
        ASSERT_EQ(a->saveProperties(bag), comp::S_OK);
        ASSERT_EQ(bag.entries().size(), c.persisted.size() + 1);
        EXPECT_EQ(bag.entries()[0].first, "_Version");
        EXPECT_EQ(bag.entries()[0].second, Variant::fromI4(0x10000));
        for (std::size_t i = 0; i < c.persisted.size(); ++i)
            EXPECT_EQ(bag.entries()[i + 1].first, c.persisted[i].first);

        ASSERT_EQ(b->loadProperties(bag), comp::S_OK);
        check(*b, &changed);
        a->resetState();
        check(*a, nullptr);
    }
}

TEST(ControlContractTest, FiftyPinRowsLiveSideBySideInOneForm)
{
    QWidget form;
    std::vector<std::unique_ptr<comp::Control>> rows;
    for (int i = 0; i < 50; ++i) {
        rows.push_back(create(ctl::kZRCN2Identity));
        ASSERT_TRUE(rows.back());
        QWidget* w = rows.back()->createWidget(&form);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget(), &form);
        ASSERT_TRUE(rows.back()->invoke(ctl::zrcn2::Number, InvokeKind::PropertyPut, {Variant::fromI4(i + 1)}).ok());
    }
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(rows[i]->invoke(ctl::zrcn2::Number, InvokeKind::PropertyGet).value, Variant::fromI4(i + 1));
    EXPECT_EQ(form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 50);

    void* h = dlopen(ZRCN2_PLUGIN, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(h, nullptr);
    auto canUnload = reinterpret_cast<comp::DllCanUnloadNowFn>(dlsym(h, comp::kDllCanUnloadNow));
    EXPECT_EQ(canUnload(), comp::S_FALSE);
    rows.clear();
    EXPECT_EQ(canUnload(), comp::S_OK);
    // Destroying a control took its window with it.
    EXPECT_TRUE(form.findChildren<QWidget*>().isEmpty());
    dlclose(h);
}

TEST(ControlContractTest, ModuleMutexesAreThisProcesssOwnAndTheHostFindsThem)
{
    auto scope = create(ctl::kZROSCILLOIdentity);
    ASSERT_TRUE(scope);
    std::string name;
    model::FormatSharedMutexName(name);
    char pid[16];
    std::snprintf(pid, sizeof pid, "%x", static_cast<unsigned>(::getpid()));
    EXPECT_NE(name.find(pid), std::string::npos) << name;
    // The plug-in opened or made both; the data store's create finds the same objects.
    bool existed = false;
    auto data = plat::NamedMutex::create(name, false, &existed);
    EXPECT_TRUE(existed);
    auto oscillo = plat::NamedMutex::create(name + model::kOscilloMutexSuffix, false, &existed);
    EXPECT_TRUE(existed);
}

TEST(ControlContractTest, NumbersTheHostDependsOnReachTheirMembers)
{
    auto row = create(ctl::kZRCN2Identity);
    ASSERT_TRUE(row);
    char buffer[64] = {};
    // 18 is Export (17 is the empty position): its argument kinds are checked, then it answers.
    EXPECT_EQ(row->invoke(17, InvokeKind::Method, {Variant::fromUnknown(buffer), Variant::fromI4(64), Variant::fromBool(true)}).status,
              comp::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(row->invoke(18, InvokeKind::Method, {Variant::fromUnknown(buffer), Variant::fromI4(64), Variant::fromBool(true)}).value,
              Variant::fromI4(0));
    EXPECT_STREQ(buffer, "99,-1,,,,0");
    EXPECT_EQ(row->invoke(18, InvokeKind::Method, {Variant::fromI4(0), Variant::fromI4(64), Variant::fromBool(true)}).status,
              comp::DISP_E_TYPEMISMATCH);
    // 13 and 14 are the two box colours.
    ASSERT_TRUE(row->invoke(14, InvokeKind::PropertyPut, {Variant::fromI4(0x00FFFF)}).ok());
    EXPECT_EQ(row->invoke(13, InvokeKind::PropertyGet).value, Variant::fromI4(0xFFFFFF));

    auto terminal = create(ctl::kZRTERMEDIdentity);
    ASSERT_TRUE(terminal);
    QWidget parent;
    ASSERT_NE(terminal->createWidget(&parent), nullptr);
    EXPECT_TRUE(terminal->invoke(-550, InvokeKind::Method).ok());
    EXPECT_EQ(terminal->invoke(-550, InvokeKind::Method).value.type(), comp::VarType::Empty);
    EXPECT_EQ(terminal->invoke(3, InvokeKind::PropertyPut, {Variant::fromBool(true)}).status, comp::DISP_E_MEMBERNOTFOUND);
}

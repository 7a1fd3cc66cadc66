// The screens' forms built from their templates: with the real plug-ins of the build's registry,
// with the recording plug-in for event routing, and with controls that cannot be made.
#include "recorder_fixture.h"

#include "controlhost/CZRCN2.h"

#include <model/CN2PinRecord.h>
#include "controlhost/CZROSCILLO.h"
#include "controlhost/CZRSLIDER.h"
#include "controlhost/ControlFailures.h"
#include "controlhost/ControlSite.h"
#include "controlhost/FormBuilder.h"
#include "controlhost/ScreenEvents.h"
#include "platform/qt/dialog_units.h"

#include <controls/ZRCN2Members.h>
#include <component/log.h>
#include <controls/ZRSLIDERMembers.h>
#include <platform/message_box.h>
#include <platform/paths.h>

#include <QCoreApplication>
#include <QLabel>
#include <QWidget>

#include <fstream>
#include <map>
#include <set>

using comp::Variant;
using namespace talverin;
using plat::qt::DialogBaseUnits;
using plat::qt::MapDialogRect;

namespace {

std::set<int> idsOf(const FormBuildResult& r)
{
    std::set<int> ids;
    for (ControlSite* s : r.sites)
        ids.insert(s->controlId());
    return ids;
}

std::set<int> range(int first, int last)
{
    std::set<int> ids;
    for (int i = first; i <= last; ++i)
        ids.insert(i);
    return ids;
}

} // namespace

TEST(FormBuilderGuiTest, EveryScreenTemplateBuildsWithTheRealControls)
{
    const std::map<int, std::set<int>> expected = {
        {130, {1003, 1126, 1127, 1128, 1129, 1033, 1036, 1038, 1021, 1022, 1023, 1024}},
        {131, {1234}},
        {132, range(2901, 2950)},
        {180, {1234}},
        {183, {1005}},
        {204, {1005}},
    };
    for (const auto& [dialog, ids] : expected) {
        SCOPED_TRACE(dialog);
        QWidget form;
        FormBuildResult r = BuildForm(&form, dialog);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(idsOf(r), ids);
        const FormTemplate* tpl = FindFormTemplate(dialog);
        for (ControlSite* site : r.sites) {
            EXPECT_EQ(ControlSite::find(&form, site->controlId()), site);
            EXPECT_EQ(site->control()->classInfo().clsid, tpl->item(site->controlId())->clsid);
            EXPECT_EQ(site->geometry(), MapDialogRect(tpl->item(site->controlId())->dialogRect, form.font()));
            ASSERT_NE(site->control()->widget(), nullptr);
            EXPECT_EQ(site->control()->widget()->size(), site->size());
        }
    }
}

TEST(FormBuilderGuiTest, InitialPropertiesOfTheTemplateReachTheControls)
{
    QWidget form;
    FormBuildResult io = BuildForm(&form, 132);
    ASSERT_TRUE(io.ok());
    for (int pin = 1; pin <= 50; ++pin) {
        ControlSite* row = ControlSite::find(&form, 2900 + pin);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->invoke(ctl::zrcn2::Number, comp::InvokeKind::PropertyGet).value, Variant::fromI4(pin));
        // Pins without an I/O number show their badge only; the others keep the default.
        EXPECT_EQ(CZRCN2(row).GetViewMode(), model::CN2PinRecord::PinToBitIndex(pin) < 0 ? 0 : 1) << pin;
    }
    // All fifty are separate controls.
    CZRCN2(&form, 2917).SetNameBackColor(0xFFFF00);
    EXPECT_EQ(CZRCN2(&form, 2917).GetNameBackColor(), 0xFFFF00);
    EXPECT_EQ(CZRCN2(&form, 2918).GetNameBackColor(), 0xFFFFFF);

    QWidget scope;
    ASSERT_TRUE(BuildForm(&scope, 130).ok());
    EXPECT_EQ(CZRSLIDER(&scope, 1127).GetViewMode(), 1);
    EXPECT_EQ(CZRSLIDER(&scope, 1129).GetViewMode(), 1);
    EXPECT_EQ(CZRSLIDER(&scope, 1126).GetViewMode(), 0);
    EXPECT_EQ(CZRSLIDER(&scope, 1126).GetBorderStyle(), 1);

    // The template's placement is taken as it is; later ones go through the control's filter
    // (the oscilloscope starts with its position locked).
    ControlSite* face = ControlSite::find(&scope, 1003);
    ASSERT_NE(face, nullptr);
    const QRect placed = MapDialogRect(QRect(16, 10, 190, 120), scope.font());
    EXPECT_EQ(face->geometry(), placed);
    face->place(QRect(0, 0, 300, 450));
    EXPECT_EQ(face->geometry(), placed);
}

TEST(FormBuilderGuiTest, DialogUnitsFollowTheFontsBaseUnits)
{
    QFont font;
    font.setPixelSize(13);
    const QSize base = DialogBaseUnits(font);
    EXPECT_GT(base.width(), 0);
    EXPECT_GT(base.height(), 0);
    EXPECT_EQ(MapDialogRect(QRect(0, 0, 4, 8), font), QRect(0, 0, base.width(), base.height()));
    EXPECT_EQ(MapDialogRect(QRect(40, 80, 400, 800), font),
              QRect(10 * base.width(), 10 * base.height(), 100 * base.width(), 100 * base.height()));
    font.setPixelSize(26);
    EXPECT_GT(DialogBaseUnits(font).height(), base.height());
}

class FormBuilderRecorderGuiTest : public RecorderFixture {};

TEST_F(FormBuilderRecorderGuiTest, AControlThatCannotBeMadeIsToldOnceAndANoteTakesItsPlace)
{
    ForgetControlFailures();
    plat::ScriptedMessageBoxes boxes;
    plat::ScopedMessageBoxService service(boxes.answer(plat::IDOK).answer(plat::IDOK));
    std::vector<std::string> log;
    comp::LogHandler previous = comp::setLogHandler([&](std::string_view line) { log.emplace_back(line); });
    // The scope's class is not registered; the sliders are.
    comp::Registry(m_registry).removeClass(*comp::Guid::fromString(ctl::kZROSCILLOIdentity.clsid));
    QWidget form;
    FormBuildResult r = BuildForm(&form, 130);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedControlId, 1003);
    EXPECT_TRUE(r.error.startsWith("Control 1003 (ZROSCILLO {7025C863-186F-4C39-BD96-292B68D23BF7}) of dialog 130 "
                                   "cannot be created: "))
        << r.error.toStdString();
    EXPECT_TRUE(r.error.contains("not registered"));
    EXPECT_EQ(r.sites.size(), 11u);
    const QLabel* note = form.findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_TRUE(note && note->geometry() == MapDialogRect(QRect(16, 10, 190, 120), form.font()));
    EXPECT_EQ(note->toolTip(), "The oscilloscope control could not be loaded.");
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(boxes.last().text, "The oscilloscope control could not be loaded: it is not registered in " + m_registry
                                     + ".\n\nRebuild the program or register the control with talverin-regcontrols.");
    // Calls on the missing control are logged once; the same failure again gets no second box.
    log.clear();
    for (int i = 0; i < 3; ++i)
        CZROSCILLO(&form, 1003).Redraw(plat::TRUE);
    EXPECT_EQ(log.size(), 1u);
    BuildForm(&form, 130);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(boxes.count(), 1u);

    // A registered class whose plug-in file is gone, and one the dynamic loader refuses: one box.
    registerAs(ctl::kZROSCILLOIdentity, RECORDER_PLUGIN);
    registerAs(ctl::kZRSLIDERIdentity, (m_dir / "gone.so").string());
    std::ofstream(m_dir / "junk.so") << "junk";
    registerAs(ctl::kZRPARAMIdentity, (m_dir / "junk.so").string());
    r = BuildForm(&form, 130);
    EXPECT_EQ(r.failedControlId, 1126);
    EXPECT_TRUE(r.error.contains("Control 1126 (ZRSLIDER")) << r.error.toStdString();
    EXPECT_TRUE(r.error.contains("gone.so"));
    EXPECT_FALSE(BuildForm(&form, 131).ok());
    QCoreApplication::sendPostedEvents();
    const std::string text = boxes.last().text;
    EXPECT_EQ(text.find("The slider control could not be loaded: " + (m_dir / "gone.so").string() + " is missing.\nThe "
                        "parameter editor control could not be loaded: " + (m_dir / "junk.so").string() + " cannot be "),
              0u)
        << text;
    EXPECT_NE(text.find("register the controls with talverin-regcontrols."), std::string::npos);
    plat::SetProgramFolder(m_dir.string()); // neither registered nor built: the file is named as missing
    comp::Registry(m_registry).removeClass(*comp::Guid::fromString(ctl::kZRTERMEDIdentity.clsid));
    EXPECT_EQ(ControlFailureText(ctl::kZRTERMEDIdentity.clsid, comp::Loader::instance().create(ctl::kZRTERMEDIdentity.clsid)),
              QString::fromStdString("The terminal editor control could not be loaded: " + (m_dir / "zrtermed.so").string()
                                     + " is missing."));
    plat::SetProgramFolder({});
    comp::setLogHandler(std::move(previous));

    r = BuildForm(&form, 999);
    EXPECT_EQ(r.error, "Dialog 999 has no control template.");
    EXPECT_FALSE(BuildForm(nullptr, 131).ok());
}

namespace {

struct Delivered {
    int controlId;
    comp::DISPID eventId;
    std::vector<Variant> args;
};

} // namespace

TEST_F(FormBuilderRecorderGuiTest, PinRowEventsArriveThroughTheRangeWithTheRowsId)
{
    std::vector<Delivered> got;
    EventSinkMap sinks = MakeEventSinkMap(ViewIOEvents(), [&](const EventSubscription& e, int id, std::span<const Variant> args) {
        got.push_back({id, e.eventId, {args.begin(), args.end()}});
    });
    QWidget form;
    FormBuildResult r = BuildForm(&form, 132, &sinks);
    ASSERT_TRUE(r.ok());
    fire(ControlSite::find(&form, 2917)->control(), ctl::zrcn2::Change, {Variant::fromI4(66)});
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].controlId, 2917);
    EXPECT_EQ(got[0].args, (std::vector<Variant>{Variant::fromI4(2917), Variant::fromI4(66)}));

    // Every event of the row control reaches the screen, from the first and the last row.
    std::int32_t flag = 1;
    char buffer[64] = {};
    fire(ControlSite::find(&form, 2901)->control(), ctl::zrcn2::ABGCClick,
         {Variant::fromString("A"), Variant::fromUnknown(buffer), Variant::fromPtrBool(&flag)});
    fire(ControlSite::find(&form, 2950)->control(), ctl::zrcn2::RButtonDown,
         {Variant::fromI4(1000), Variant::fromIntPtr(0x1234), Variant::fromI4(0)});
    fire(ControlSite::find(&form, 2950)->control(), ctl::zrcn2::CtrlHelp,
         {Variant::fromUnknown(nullptr), Variant::fromPtrBool(&flag)});
    fire(ControlSite::find(&form, 2950)->control(), ctl::zrcn2::ShowToolBars, {Variant::fromI4(0)});
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[1].args[0], Variant::fromI4(2901));
    EXPECT_EQ(got[1].args[3], Variant::fromPtrBool(&flag));
    EXPECT_EQ(got[2].args[2], Variant::fromIntPtr(0x1234));
    EXPECT_EQ(got[4].eventId, ctl::zrcn2::ShowToolBars);

    // An event whose arguments do not match its declaration never reaches the screen.
    fire(ControlSite::find(&form, 2917)->control(), ctl::zrcn2::Change, {Variant::fromI2(66)});
    EXPECT_EQ(got.size(), 5u);
}

TEST_F(FormBuilderRecorderGuiTest, OscilloscopeSlidersDeliverOnlyTheirSubsetOfEvents)
{
    std::map<int, std::set<comp::DISPID>> got;
    std::vector<Delivered> ranged;
    EventSinkMap sinks = MakeEventSinkMap(ViewOscilloEvents(), [&](const EventSubscription& e, int id, std::span<const Variant> args) {
        got[id].insert(e.eventId);
        if (e.range)
            ranged.push_back({id, e.eventId, {args.begin(), args.end()}});
    });
    QWidget form;
    ASSERT_TRUE(BuildForm(&form, 130, &sinks).ok());
    std::int64_t value = 5;
    const std::vector<std::pair<comp::DISPID, std::vector<Variant>>> events = {
        {ctl::zrslider::OnChanging, {Variant::fromI4(9), Variant::fromI4(10)}},
        {ctl::zrslider::OnChanged, {Variant::fromI4(9), Variant::fromI4(11)}},
        {ctl::zrslider::OnSliderDblClk, {Variant::fromI4(9), Variant::fromI4(0), Variant::fromI4(3), Variant::fromI4(4)}},
        {ctl::zrslider::OnChangingI64, {Variant::fromI4(9), Variant::fromUnknown(&value)}},
        {ctl::zrslider::OnChangedI64, {Variant::fromI4(9), Variant::fromUnknown(&value)}},
    };
    for (int id : {1126, 1127, 1128, 1129, 1033, 1036, 1038, 1021, 1022, 1023, 1024})
        for (const auto& [event, args] : events)
            fire(ControlSite::find(&form, id)->control(), event, args);
    fire(ControlSite::find(&form, 1003)->control(), 1, {Variant::fromI4(8)});

    const std::map<int, std::set<comp::DISPID>> expected = {
        {1003, {1}},
        {1126, {1, 3}}, {1127, {1, 3}}, {1128, {1, 2, 3}}, {1129, {1, 2, 3}},
        {1033, {1, 2}}, {1036, {1, 2}}, {1038, {1, 2}},
        {1021, {1}}, {1022, {1}}, {1023, {1}}, {1024, {1}},
    };
    EXPECT_EQ(got, expected);
    ASSERT_EQ(ranged.size(), 4u);
    EXPECT_EQ(ranged[2].args, (std::vector<Variant>{Variant::fromI4(1023), Variant::fromI4(9), Variant::fromI4(10)}));
}

TEST_F(FormBuilderRecorderGuiTest, ParameterAndTerminalScreensTakeTheirEvents)
{
    for (int dialog : {131, 180}) {
        std::set<comp::DISPID> got;
        EventSinkMap sinks = MakeEventSinkMap(dialog == 131 ? ViewParamEvents() : CommandWndEvents(),
                                              [&](const EventSubscription& e, int id, std::span<const Variant>) {
                                                  EXPECT_EQ(id, 1234);
                                                  got.insert(e.eventId);
                                              });
        QWidget form;
        ASSERT_TRUE(BuildForm(&form, dialog, &sinks).ok());
        comp::Control* c = ControlSite::find(&form, 1234)->control();
        std::int32_t flag = 0;
        int node = 0;
        fire(c, 1, {Variant::fromUnknown(&node), Variant::fromI4(0)});
        fire(c, 2, {Variant::fromUnknown(&node), Variant::fromI4(0)});
        fire(c, 3, {Variant::fromUnknown(nullptr), Variant::fromPtrBool(&flag)});
        fire(c, 4, {Variant::fromBool(true), Variant::fromI4(3), Variant::fromI4(1), Variant::fromUnknown(&node)});
        fire(c, 5, {Variant::fromString("P1"), Variant::fromString("ON"), Variant::fromI4(2), Variant::fromUnknown(&node)});
        fire(c, 6, {Variant::fromPtrBool(&flag)});
        EXPECT_EQ(got, (std::set<comp::DISPID>{1, 2, 3, 4, 5, 6}));
    }
    for (int dialog : {183, 204}) {
        std::vector<Delivered> got;
        EventSinkMap sinks = MakeEventSinkMap(dialog == 183 ? ViewTerminalEvents() : TerminalDlgEvents(),
                                              [&](const EventSubscription& e, int id, std::span<const Variant> args) {
                                                  got.push_back({id, e.eventId, {args.begin(), args.end()}});
                                              });
        QWidget form;
        ASSERT_TRUE(BuildForm(&form, dialog, &sinks).ok());
        comp::Control* c = ControlSite::find(&form, 1005)->control();
        fire(c, 1, {Variant::fromString("VER")});
        fire(c, 2, {Variant::fromI4('V')});
        for (comp::DISPID never : {3, 4, 5, 6})
            fire(c, never, {});
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].args, std::vector<Variant>{Variant::fromString("VER")});
        EXPECT_EQ(got[1].args, std::vector<Variant>{Variant::fromI4('V')});
    }
}

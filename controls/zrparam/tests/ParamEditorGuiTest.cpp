// The plug-in in the parameter screen's form (template 131, control 1234) over the sample unit's
// data store, created by class id and driven as the host drives it: by dispatch id, keys, the
// popup-menu and drag seams and the manual clock.
#include <controls/HelpInfo.h>
#include <controls/ZRPARAMMembers.h>
#include <component/loader.h>
#include <model/DataFile.h>
#include <platform/clock.h>
#include <platform/language.h>
#include <platform/message_box.h>
#include <platform/qt/dialog_units.h>
#include <platform/qt/drag.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/qt/popup_menu.h>
#include <platform/qt/pump.h>
#include <zrparam/CommitRules.h>
#include <zrparam/ImageRoles.h>

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using comp::InvokeKind;
using comp::Variant;
namespace ids = ctl::zrparam;

namespace {

struct Recorder : comp::EventSink {
    void onEvent(comp::Control&, comp::DISPID id, std::span<const Variant> args) override
    {
        events.emplace_back(id, std::vector<Variant>(args.begin(), args.end()));
        if (id == ids::IsConnected)
            *args[0].toPtrBool() = connected;
        if (id == ids::CtrlHelp)
            help = *static_cast<ctl::HelpInfo*>(args[0].toUnknown());
    }
    std::vector<comp::DISPID> ids() const
    {
        std::vector<comp::DISPID> out;
        for (const auto& e : events)
            out.push_back(e.first);
        return out;
    }
    std::vector<std::pair<comp::DISPID, std::vector<Variant>>> events;
    bool connected = true;
    ctl::HelpInfo help;
};

class ParamEditorGuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(store.LoadDefinition(TALVERIN_SAMPLE_DATA_DIR "/unit/kvx100.ini"), 1);
        auto made = comp::Loader::instance().create(ctl::kZRPARAMIdentity.clsid);
        ASSERT_TRUE(made.ok()) << made.error;
        control = std::move(made.control);
        control->setEventSink(&events);
        window = control->createWidget(&form);
        ASSERT_TRUE(window);
        form.resize(700, 520);
        window->setGeometry(plat::qt::MapDialogRect(QRect(6, 8, 327, 249), form.font()));
        put(ids::strHelpFolder, Variant::fromString(TALVERIN_SAMPLE_DATA_DIR "/Help_en"));
        form.show();
        QApplication::setActiveWindow(&form);
        pump();
        tree = window->findChild<QTreeWidget*>(QStringLiteral("1000"));
        list = window->findChild<QTreeView*>(QStringLiteral("1001"));
        edit = list->findChild<QLineEdit*>(QStringLiteral("1002"));
        ASSERT_TRUE(tree && list && edit);
        call(ids::LoadFile, {Variant::fromString(""), Variant::fromString("")});
    }
    void TearDown() override { control.reset(); }

    static void pump() { plat::qt::PumpAllPending(); }
    void advance(int ms)
    {
        clock.advance(static_cast<std::uint64_t>(ms));
        pump();
    }
    Variant call(comp::DISPID id, std::initializer_list<Variant> args = {})
    {
        auto r = control->invoke(id, InvokeKind::Method, args);
        EXPECT_TRUE(r.ok()) << id;
        return r.value;
    }
    void put(comp::DISPID id, Variant v) { control->invoke(id, InvokeKind::PropertyPut, {v}); }
    void show(const char* path) { ASSERT_NE(call(ids::ShowTreeItem, {Variant::fromI4(0), Variant::fromString(path)}).toIntPtr(), 0) << path; }
    int row(const QString& name) const
    {
        for (int r = 0; r < list->model()->rowCount(); ++r) {
            if (list->model()->index(r, 0).data().toString() == name)
                return r;
        }
        return -1;
    }
    QString cell(int r, int c) const { return list->model()->index(r, c).data().toString(); }
    QStringList titles() const
    {
        QStringList out;
        for (int c = 0; c < list->model()->columnCount(); ++c)
            out << list->model()->headerData(c, Qt::Horizontal).toString();
        return out;
    }
    QColor background(int r)
    {
        const QRect rect = list->visualRect(list->model()->index(r, 0));
        return list->viewport()->grab().toImage().pixelColor(2, rect.top() + 2);
    }
    model::CZRParamClass* node(const char* name) { return store.FindTreeItem(name); }
    void select(int r)
    {
        list->setFocus();
        list->setCurrentIndex(list->model()->index(r, 0));
        pump();
    }
    void openEditor(int r)
    {
        select(r);
        QTest::keyClick(list, Qt::Key_F2);
        advance(10); // timer 1001
        ASSERT_TRUE(edit->isVisible());
        events.events.clear();
    }
    void key(QWidget* w, plat::UINT vk, Qt::KeyboardModifiers mods = {})
    {
        plat::qt::SendKeyEvent(w, vk, true, mods);
        plat::qt::SendKeyEvent(w, vk, false, mods);
        pump();
    }
    std::map<QString, int> roles() const
    {
        std::map<QString, int> out;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            out[(*it)->text(0) + QString::number(reinterpret_cast<quintptr>(*it))] =
                (*it)->data(0, zrparam::kNormalImageDataRole).toInt();
        return out;
    }

    plat::ManualClock clock;
    plat::ScopedClock useClock{clock};
    model::CDataFile store;
    Recorder events;
    QWidget form;
    std::unique_ptr<comp::Control> control;
    QWidget* window = nullptr;
    QTreeWidget* tree = nullptr;
    QTreeView* list = nullptr;
    QLineEdit* edit = nullptr;
};

} // namespace

TEST_F(ParamEditorGuiTest, TreeAndListFollowTheStoreAndRowsDrawTheirState)
{
    EXPECT_FALSE(call(ids::IsCommomMemoryParent).toBool());
    EXPECT_EQ(call(ids::LoadData, {Variant::fromUnknown(nullptr), Variant::fromIntPtr(0)}).toI4(), 16); // 3 groups, 13 items
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Motor");
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), "SPD:Speed");
    EXPECT_EQ(control->invoke(ids::hWndTreeView, InvokeKind::PropertyGet).value.toIntPtr() != 0, true);

    show("Motor\\SPD:anything");
    EXPECT_EQ(tree->currentItem()->text(0), "SPD:Speed");
    EXPECT_EQ(titles(), (QStringList{"Command", "Range", "Set value", "Unit", "Name"}));
    ASSERT_EQ(list->model()->rowCount(), 5);
    EXPECT_EQ((QStringList{cell(2, 0), cell(2, 1), cell(2, 2), cell(2, 3), cell(2, 4)}),
              (QStringList{"GAIN", "1.00", "1.00", "", "Gain"}));
    show("Monitor"); // a '#' group: the short layout
    EXPECT_EQ(titles(), (QStringList{"Command", "Range", "Name"}));
    EXPECT_EQ(cell(row("TRQ"), 2), "Torque");
    show("Motor");
    EXPECT_EQ(list->model()->columnCount(), 5);

    const int spd = row("SPD");
    const int acc = row("ACC");
    select(row("OFS"));
    node("SPD")->m_record->m_status = 0x2000000b;
    node("ACC")->m_record->m_currentValue = 60;
    events.events.clear();
    EXPECT_EQ(call(ids::SetDataChange, {Variant::fromUnknown(node("ACC"))}).toI4(), acc);
    EXPECT_TRUE(events.events.empty()); // the host's report fires nothing
    EXPECT_EQ(cell(acc, 2), "60");
    list->viewport()->repaint();
    EXPECT_EQ(background(spd), QColor(255, 224, 224));
    EXPECT_EQ(background(acc), QColor(224, 224, 255));
    EXPECT_EQ(background(row("DIR")), QColor(255, 255, 255));

    call(ids::LoadFile, {Variant::fromString("unit.ini"), Variant::fromString("Parameter")});
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_EQ(list->model()->rowCount(), 0);
}

TEST_F(ParamEditorGuiTest, EditorKeysCommitWithTheirEventsAndThePopupSteps)
{
    show("Motor\\GAIN");
    const int gain = row("GAIN");
    openEditor(gain);
    EXPECT_EQ(plat::qt::KeyboardHookChain::instance().hookCount(), 1);
    QTest::keyClicks(edit, "1.505");
    key(edit, plat::qt::VK_RETURN);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(plat::qt::KeyboardHookChain::instance().hookCount(), 0);
    EXPECT_EQ(node("GAIN")->m_record->m_status, zrparam::kStatusInvalidValue);
    EXPECT_EQ(cell(gain, 2), "1.505");
    EXPECT_EQ(events.ids(), (std::vector<comp::DISPID>{ids::ItemSelect}));

    openEditor(gain);
    QTest::keyClicks(edit, "1.5");
    key(edit, plat::qt::VK_TAB);
    EXPECT_EQ(events.ids(), (std::vector<comp::DISPID>{ids::ItemSelect, ids::OnParamChange}));
    EXPECT_EQ(events.events[1].second[0].toUnknown(), node("GAIN"));
    EXPECT_EQ(cell(gain, 2), "1.50");

    openEditor(gain);
    QTest::keyClicks(edit, "7");
    key(edit, plat::qt::VK_ESCAPE);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(events.events.empty());
    EXPECT_DOUBLE_EQ(node("GAIN")->m_record->m_currentValue, 1.5);

    // A number outside the range is refused with a box, whatever the line; the editor keeps it.
    plat::ScriptedMessageBoxes boxes;
    plat::ScopedMessageBoxService useBoxes{boxes.answer(plat::IDOK)};
    openEditor(gain);
    QTest::keyClicks(edit, "100");
    key(edit, plat::qt::VK_RETURN);
    EXPECT_EQ(boxes.last().caption + ": " + boxes.last().text,
              "Range error: GAIN setting is out of range.\nSetting range is from 0.01 through 99.99.");
    EXPECT_TRUE(edit->isVisible() && edit->text() == "100" && events.events.empty());
    EXPECT_DOUBLE_EQ(node("GAIN")->m_record->m_currentValue, 1.5);
    key(edit, plat::qt::VK_ESCAPE);

    // The popup shows 200 ms after the editor; Ctrl+Up adds the fine step, Ctrl+Home the default.
    openEditor(gain);
    QWidget* popup = list->findChild<QWidget*>(QStringLiteral("207"));
    EXPECT_FALSE(popup->isVisible());
    key(edit, plat::qt::VK_UP, Qt::ControlModifier);
    EXPECT_TRUE(events.events.empty());
    advance(200);
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->findChild<QPushButton*>(QStringLiteral("2004"))->text(), "+0.01");
    key(edit, plat::qt::VK_UP, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(node("GAIN")->m_record->m_currentValue, 1.51);
    key(edit, plat::qt::VK_HOME, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(node("GAIN")->m_record->m_currentValue, 1.0);
    EXPECT_EQ(events.ids(), (std::vector<comp::DISPID>{ids::OnParamChange, ids::OnParamChange}));
    EXPECT_EQ(call(ids::SetDataChange, {Variant::fromUnknown(nullptr)}).toI4(), gain);
    EXPECT_FALSE(edit->isVisible());

    // An action command sends at Space and never opens the editor; a text value goes to the host.
    show("Switches\\RESET");
    events.events.clear();
    select(row("RESET"));
    QTest::keyClick(list, Qt::Key_Space);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row("RESET"), 1)).center());
    advance(10);
    EXPECT_FALSE(edit->isVisible());
    node("SW")->m_record->m_currentText = "ON";
    select(row("SW"));
    QTest::keyClick(list, Qt::Key_Space);
    const auto got = events.ids();
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(std::count(got.begin(), got.end(), ids::QueryUpdate), 2);
    EXPECT_EQ(got.back(), ids::OnParamChange);
    const auto& str = *std::find_if(events.events.begin(), events.events.end(),
                                    [](const auto& e) { return e.first == ids::SetStrChange; });
    EXPECT_EQ(str.second[1].toString(), "OFF");
    EXPECT_EQ(str.second[2].toI4(), 1);
    const plat::ScopedLanguage japanese(plat::LANG_JAPANESE); // the Reset step in the language too
    store.PublishSharedBlock();
    call(ids::LoadFile, {Variant::fromString(""), Variant::fromString("")});
    show("Motor\\GAIN");
    openEditor(row("GAIN"));
    EXPECT_EQ(popup->findChild<QPushButton*>("2003")->text(), QString::fromUtf8("\xE3\x83\xAA\xE3\x82\xBB\xE3\x83\x83\xE3\x83\x88"));
}

TEST_F(ParamEditorGuiTest, ReadOnlyModesMenusHelpAndDrag)
{
    show("Motor\\SPD");
    const int spd = row("SPD");
    select(spd);
    auto menuStates = [&](QWidget* pane, QPoint at) {
        std::vector<bool> states;
        plat::qt::ScopedPopupMenuRunner look([&](QMenu& m, const QPoint&) {
            for (QAction* a : m.actions())
                if (!a->isSeparator())
                    states.push_back(a->isEnabled());
            return nullptr;
        });
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, pane->mapToGlobal(at));
        QApplication::sendEvent(pane, &e);
        return states;
    };
    const QPoint onRow = list->visualRect(list->model()->index(spd, 0)).center();
    EXPECT_EQ(menuStates(list->viewport(), onRow), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(call(ids::SetReadOnly, {Variant::fromI4(static_cast<std::int32_t>(0x80000000u))}).toI4(), 0);
    EXPECT_EQ(menuStates(list->viewport(), onRow), (std::vector<bool>{false, false, false, true}));
    const QPoint onItem = tree->visualItemRect(tree->currentItem()).center();
    EXPECT_EQ(menuStates(tree->viewport(), onItem), (std::vector<bool>{false, false, true}));
    events.events.clear();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onRow);
    advance(10);
    EXPECT_FALSE(edit->isVisible());
    call(ids::SetReadOnly, {Variant::fromI4(1)});
    EXPECT_EQ(call(ids::AddEnableCmdType, {Variant::fromString("I")}).toI4(), 1);
    EXPECT_EQ(call(ids::AddEnableCmdType, {Variant::fromString("O")}).toI4(), 2);
    QTest::keyClick(list, Qt::Key_F2);
    advance(10);
    EXPECT_FALSE(edit->isVisible()); // SPD is no input or output item
    call(ids::SetReadOnly, {Variant::fromI4(0)});

    // Command help from the menu: the command's page, then the close button; drag-out as text.
    plat::qt::ScopedPopupMenuRunner help(plat::qt::PickMenuItem("Command Help"));
    menuStates(list->viewport(), onRow);
    advance(100);
    auto* pane = window->findChild<QTextBrowser*>(QStringLiteral("1002"));
    EXPECT_TRUE(pane->source().toString().endsWith("/Help_en/cmd_spd.html")) << pane->source().toString().toStdString();
    EXPECT_TRUE(pane->findChild<QPushButton*>(QStringLiteral("101"))->isVisible());
    QString dropped;
    plat::qt::ScopedDragRunner drop([&](QDrag& d, Qt::DropActions) {
        dropped = d.mimeData()->text();
        return Qt::CopyAction;
    });
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, onRow);
    for (int dx : {1, 40}) {
        QMouseEvent move(QEvent::MouseMove, onRow + QPoint(dx, 0), list->viewport()->mapToGlobal(onRow + QPoint(dx, 0)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(list->viewport(), &move);
    }
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, onRow + QPoint(40, 0));
    EXPECT_EQ(dropped.toStdString(), "WR,SPD,1,rpm,100,0,Speed,0-3000,1,10,100,0"); // the node's letters

    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_F1);
    EXPECT_EQ(events.help.iCtrlId, 1000);
    // The stacked layout shows no help pane: command help does nothing there.
    put(ids::ShowStyle, Variant::fromI4(0x80));
    menuStates(list->viewport(), onRow);
    advance(20);
    EXPECT_EQ(control->invoke(ids::ShowStyle, InvokeKind::PropertyGet).value.toI4(), 0x80);
    EXPECT_FALSE(pane->isVisible());
}

TEST_F(ParamEditorGuiTest, MarksAfterCommitsEqualARecountOnANestedGroup)
{
    store.ParseParameterTree("*,,,,,,Outer\r{\r*,,,,,,Inner\r{\rWR,SPD,,,,,Speed\r}\rWR,ACC,,,,,Accel\r}\r");
    store.PublishSharedBlock();
    call(ids::LoadFile, {Variant::fromString(""), Variant::fromString("")});
    call(ids::UpdateTreeIcon, {Variant::fromIntPtr(0)});
    auto change = [&](const char* name, double value) {
        node(name)->m_record->m_currentValue = value;
        call(ids::SetDataChange, {Variant::fromUnknown(node(name))});
        const auto incremental = roles();
        call(ids::UpdateTreeIcon, {Variant::fromIntPtr(0)});
        EXPECT_EQ(incremental, roles()) << name << " " << value;
    };
    QTreeWidgetItem* outer = tree->topLevelItem(3);
    ASSERT_EQ(outer->text(0), "Outer");
    auto role = [](QTreeWidgetItem* item) { return static_cast<zrparam::ImageRole>(item->data(0, zrparam::kNormalImageDataRole).toInt()); };
    change("SPD", 7);
    EXPECT_EQ(role(outer), zrparam::ImageRole::GroupChanged);
    EXPECT_EQ(role(outer->child(0)->child(0)), zrparam::ImageRole::Changed);
    EXPECT_EQ(role(tree->topLevelItem(0)), zrparam::ImageRole::GroupChanged); // Motor shows SPD too
    change("ACC", 9);
    change("SPD", 100);
    EXPECT_EQ(role(outer->child(0)), zrparam::ImageRole::Group);
    EXPECT_EQ(role(outer), zrparam::ImageRole::GroupChanged);
    change("ACC", 50);
    EXPECT_EQ(role(outer), zrparam::ImageRole::Group);
}

TEST_F(ParamEditorGuiTest, BadInputAReloadAndAClosedStoreTouchNothing)
{
    show("Motor\\SPD");
    const Variant foreign = Variant::fromIntPtr(0x7f00deadbeef);
    EXPECT_EQ(call(ids::GetNextItem, {Variant::fromI4(4), foreign}).toIntPtr(), 0);
    EXPECT_EQ(call(ids::InsertItem, {Variant::fromString("x"), foreign, foreign}).toIntPtr(), 0);
    EXPECT_EQ(call(ids::ShowTreeItem, {Variant::fromI4(0), Variant::fromString("")}).toIntPtr(), 0);
    char buffer[8];
    EXPECT_EQ(call(ids::ExportData, {Variant::fromUnknown(buffer), Variant::fromI4(8), foreign}).toI4(), -1);
    EXPECT_EQ(call(ids::ExportData, {Variant::fromUnknown(buffer), Variant::fromI4(8), Variant::fromIntPtr(0)}).toI4(), -1);
    const int stray = call(ids::ListInsertItem, {Variant::fromI4(99), Variant::fromString("ZZZ"), Variant::fromI4(-1), foreign}).toI4();
    EXPECT_EQ(stray, 5);
    EXPECT_EQ(call(ids::ListGetItemData, {Variant::fromI4(stray)}).toIntPtr(), foreign.toIntPtr());
    select(stray);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(call(ids::SetDataChange, {Variant::fromUnknown(reinterpret_cast<void*>(0x7f00deadbeef))}).toI4(), -1);
    EXPECT_TRUE(events.ids().size() <= 1u); // at most the stray row's selection

    // The host reloads its lists without telling the control, then closes its store.
    select(row("SPD"));
    openEditor(row("SPD"));
    ASSERT_EQ(store.LoadDefinition(), 1);
    list->viewport()->repaint();
    QTest::keyClick(list, Qt::Key_Space);
    call(ids::UpdateTreeIcon, {Variant::fromIntPtr(0)});
    store.Close();
    key(edit, plat::qt::VK_RETURN);
    list->viewport()->repaint();
    tree->setCurrentItem(tree->topLevelItem(1));
    EXPECT_EQ(call(ids::LoadData, {Variant::fromUnknown(nullptr), Variant::fromIntPtr(0)}).toI4(), 0);
    call(ids::LoadFile, {Variant::fromString(""), Variant::fromString("")});
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    call(ids::InitControl, {Variant::fromI4(0)});
}

TEST_F(ParamEditorGuiTest, GroupSetToDefaultResetsShowsAndReportsEachItemInTreeOrder)
{
    // A group the command may reset (letters W and R), holding SPD twice.
    store.ParseParameterTree("WR,,,,,,Both\r{\rWR,SPD,,,,,Speed\rWR,GAIN,,,,,Gain\rR,VF,,,,,Feedback\rWR,SPD,,,,,Again\r}\r");
    call(ids::LoadFile, {Variant::fromString(""), Variant::fromString("")});
    for (const char* name : {"SPD", "GAIN", "VF"}) {
        model::CZRParamData& r = *store.FindParameter(name);
        r.m_referenceValue = r.m_defaultValue;
        r.m_currentValue = r.m_defaultValue + 2;
    }
    show("Both");
    const int gain = row("GAIN");
    const auto groupRole = [this] {
        return static_cast<zrparam::ImageRole>(tree->currentItem()->data(0, zrparam::kNormalImageDataRole).toInt());
    };
    for (const char* name : {"SPD", "GAIN"})
        call(ids::SetDataChange, {Variant::fromUnknown(node(name))});
    ASSERT_EQ(groupRole(), zrparam::ImageRole::GroupChanged);
    events.events.clear();
    plat::qt::ScopedPopupMenuRunner pick(plat::qt::PickMenuItem("Set to default"));
    const QPoint at = tree->visualItemRect(tree->currentItem()).center();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &menu);
    pump();

    std::vector<std::string> written;
    for (const auto& [id, args] : events.events)
        if (id == ids::OnParamChange)
            written.push_back(static_cast<model::CZRParamClass*>(args[0].toUnknown())->m_record->m_name);
    EXPECT_EQ(written, (std::vector<std::string>{"SPD", "GAIN"})); // once each; VF cannot be written
    for (const char* name : {"SPD", "GAIN", "VF"})
        EXPECT_EQ(store.FindParameter(name)->m_currentValue, store.FindParameter(name)->m_defaultValue) << name;
    EXPECT_EQ(cell(gain, 2), "1.00");
    // Back at the reference values: no item and no group shows a change.
    EXPECT_EQ(groupRole(), zrparam::ImageRole::Group);
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const auto role = static_cast<zrparam::ImageRole>((*it)->data(0, zrparam::kNormalImageDataRole).toInt());
        EXPECT_NE(role, zrparam::ImageRole::Changed) << (*it)->text(0).toStdString();
        EXPECT_NE(role, zrparam::ImageRole::GroupChanged) << (*it)->text(0).toStdString();
    }
}

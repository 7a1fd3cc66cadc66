// The I/O editor without a driver: drops of parameter lines, the logic toggle, Reset without a
// default line, Enter as Tab, and edits made while disconnected waiting as pending records.
#include "AppFixture.h"
#include "../../connection/FakeDriverQueue.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "controlhost/CZRCN2.h"
#include "screens/io/CViewIO.h"

#include <controls/ZRCN2Members.h>
#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <platform/language.h>
#include <platform/messages.h>
#include <platform/qt/popup_menu.h>

#include <QAbstractButton>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

using talverin::CViewIO;

namespace {

class ViewIOGui : public apptest::AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        // The rows come from the build's registry, not the temporary program folder.
        ::setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 0);
        ASSERT_TRUE(Start());
        frame().show();
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
        ASSERT_TRUE(frame().SwitchView(talverin::VIEW_IO));
        view = dynamic_cast<CViewIO*>(frame().GetView(talverin::VIEW_IO));
        ASSERT_NE(view, nullptr);
    }

    // A drag of `text` over pin's row, then dropped there: whether the move was taken.
    bool dragAndDrop(int pin, const QString& text)
    {
        QMimeData data;
        data.setText(text);
        QWidget* site = view->Row(pin).site();
        const QPoint at = site->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view->Form(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view->Form(), &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view->Form(), &drop);
        return move.isAccepted() && drop.isAccepted();
    }

    std::string data(int pin)
    {
        return view->Row(pin).site()->invoke(ctl::zrcn2::Data, comp::InvokeKind::PropertyGet).value.toString();
    }

    CViewIO* view = nullptr;
};

const QString kSpeedLine = QStringLiteral("WRI,SPD,1,rpm,100,0,Speed,0-3000,1,10/100/1,250,0");

} // namespace

TEST_F(ViewIOGui, DroppedParametersAssignInputsOnlyAndWaitForTheDriver)
{
    // An unassigned pin has no logic yet: the drop waits for it, and says so.
    m_boxes.answer(plat::IDOK);
    EXPECT_TRUE(dragAndDrop(5, kSpeedLine));
    EXPECT_EQ(m_boxes.last().text.rfind("The setting of 5 is not complete: logic is empty.", 0), 0u);
    EXPECT_EQ(view->Row(5).GetName(), "SPD");
    EXPECT_EQ(data(5), "250");
    ASSERT_NE(store().GetPinRecord(5), nullptr);
    EXPECT_EQ(store().GetPinRecord(5)->m_status, 1u); // pending until a driver is connected
    EXPECT_TRUE(doc().IsModified());

    // An output, a badge-only row and text that is no definition line refuse the drop.
    EXPECT_FALSE(dragAndDrop(30, kSpeedLine));
    EXPECT_FALSE(dragAndDrop(1, kSpeedLine));
    EXPECT_FALSE(dragAndDrop(6, QStringLiteral("garbage")));
    EXPECT_EQ(view->Row(30).GetName(), "");
    m_boxes.answer(plat::IDOK);
    EXPECT_TRUE(dragAndDrop(30, QStringLiteral("WRO,OUT1,2,,0,0,Out,0-1,1,1,,0")));
    EXPECT_EQ(data(30), "0"); // an empty value drops as "0"

    // Leaving: full rows go into their records, badge-only pins lose theirs.
    (*store().GetPinArray())[0] = std::make_unique<model::CN2PinRecord>();
    view->Row(7).SetName("12");
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_BLANK));
    EXPECT_EQ(store().GetPinRecord(1), nullptr);
    ASSERT_NE(store().GetPinRecord(7), nullptr);
    EXPECT_EQ(store().GetPinRecord(7)->m_function, "12");
    EXPECT_EQ(store().GetPinRecord(5)->m_function, "SPD");
}

TEST_F(ViewIOGui, LogicToggleResetAndEnter)
{
    // The logic button: outputs go to P from anything else, then P <-> N; inputs A <-> B.
    auto click = [this](int pin) {
        static_cast<QAbstractButton*>(view->Row(pin).site()->findChild<QWidget*>(QStringLiteral("999")))->click();
        return view->Row(pin).GetSetten();
    };
    for (const char* logic : {"P", "N", "P"})
        EXPECT_EQ(click(30), logic);
    for (const char* logic : {"A", "B", "A"})
        EXPECT_EQ(click(5), logic);

    // Reset on a pin the unit has no line for: ",,,", the row changed and pending.
    view->Row(6).SetName("7");
    plat::qt::ScopedPopupMenuRunner pick(plat::qt::PickMenuItem(QStringLiteral("Reset(D)")));
    QTest::mouseClick(view->Row(6).site()->findChild<QWidget*>(QStringLiteral("1001")), Qt::RightButton);
    plat::qt::PumpAllPending();
    EXPECT_EQ(view->Row(6).GetName(), "");
    EXPECT_EQ(view->Row(6).GetSetten(), "");
    EXPECT_EQ(store().GetPinRecord(6)->m_status, 1u);

    // Enter in a box moves on through the screen's hook and never reaches the box.
    auto* name = view->Row(7).site()->findChild<QLineEdit*>(QStringLiteral("1000"));
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), view->Row(7).site()->findChild<QWidget*>(QStringLiteral("1001")));
}

// The legend under the pin columns and the channel editor's bar keep every word whole, in
// either language.
TEST_F(ViewIOGui, LegendAndChannelBarShowTheirWholeTexts)
{
    plat::ScopedLanguage keep(plat::GetLanguage());
    for (const char* language : {"1033", "1041"}) {
        SetSetting("Setting", "LANG", language);
        ASSERT_TRUE(Restart());
        frame().show();
        ASSERT_TRUE(frame().SwitchView(talverin::VIEW_IO));
        auto* io = dynamic_cast<CViewIO*>(frame().GetView(talverin::VIEW_IO));
        QList<QLabel*> legend;
        for (QLabel* label : io->Form()->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                legend.push_back(label);
        ASSERT_EQ(legend.size(), 16) << language;
        for (qsizetype i = 0; i < legend.size(); ++i) {
            const QString text = legend[i]->text();
            EXPECT_GE(legend[i]->width(), legend[i]->fontMetrics().horizontalAdvance(text)) << language << text.toStdString();
            for (qsizetype j = i + 1; j < legend.size(); ++j)
                EXPECT_FALSE(legend[i]->geometry().intersects(legend[j]->geometry())) << language << text.toStdString();
        }

        ASSERT_TRUE(frame().SwitchView(talverin::VIEW_CHANNEL));
        QWidget* channel = frame().GetView(talverin::VIEW_CHANNEL);
        const QString caption = QCoreApplication::translate("CViewChannel", "Channel");
        QLabel* label = nullptr;
        for (QLabel* l : channel->findChildren<QLabel*>())
            if (l->text() == caption)
                label = l;
        ASSERT_NE(label, nullptr) << language;
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(caption)) << language;
        EXPECT_LT(label->x() + label->fontMetrics().horizontalAdvance(caption), channel->findChild<QWidget*>("1004")->x())
            << language;
    }
}

TEST_F(ViewIOGui, TrafficThroughTheQueueIsResumedThriceThenTheLineGoes)
{
    struct Row { plat::WPARAM event; int deliveries; std::intptr_t tag; std::vector<std::string> calls; bool lineDropped; };
    const Row rows[] = {
        {COMM_EVENT_TIMEOUT, 4, 301, {"resume 1", "resume 1", "resume 1", "remove 0"}, true},
        {COMM_EVENT_INVALID_DATA, 4, 201, {"resume 1", "resume 1", "resume 1", "remove 0"}, true},
        {COMM_EVENT_ABORTED, 1, 400, {"remove 1"}, false},
        {COMM_EVENT_COMPLETED, 1, 301, {"remove 1"}, false},
    };
    for (const Row& r : rows) {
        talverin_test::FakeDriverQueue q;
        talverin::ScopedDriverQueue use(q);
        const CommandId id = q.add("TPI1\r", r.tag);
        for (int i = 0; i < r.deliveries; ++i)
            plat::SendMessage(view->GetSafeHwnd(), WM_COMM_COMMAND, r.event, id);
        EXPECT_EQ(q.calls, r.calls) << r.event;
        plat::MSG posted{};
        EXPECT_EQ(plat::PeekMessage(&posted, model::GetMainWindow(), talverin::WM_COMM_ERROR, talverin::WM_COMM_ERROR,
                                    plat::PM_REMOVE) != 0, r.lineDropped) << r.event;
        EXPECT_EQ(posted.wParam, r.lineDropped ? r.event : 0);
        EXPECT_EQ(posted.lParam, r.lineDropped ? talverin::comm_error::kDisconnect : 0);
    }
}

// The I/O editor on the simulated KVX-100, connected by the frame: entering (queries, then
// IO1/IO0 on the timer), an edit sent and read back, a refused function, a driver error twice
// (one box), a setting refused while locked and sent again on unlocking, a driver gone silent,
// Disconnect sending only what was changed; the channel editor's writes that miss the driver.
#include "FrameFixture.h"

#include "app/CTalverinDocTemplate.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "connection/ConnectionRules.h"
#include "connection/DriverQueue.h"
#include "controlhost/CZRCN2.h"
#include "screens/channel/CViewChannel.h"
#include "screens/io/CViewIO.h"
#include "connection/CBusyDlg.h"
#include "connection/DriverConnection.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <model/DataFile.h>
#include <platform/messages.h>
#include <platform/qt/popup_menu.h>
#include <testsupport/wait.h>
#include <zrcomm/zrcomm_api.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>


using talverin::CViewIO;
using talverin::CZRCN2;

namespace {

class ViewIOPty : public apptest::FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        // The rows come from the build's registry, not the temporary program folder.
        ::setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 0);
        ASSERT_TRUE(driver.load(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/unit/kvx100.ini"));
        driver.install(sim);
        driver.setLocked(false);
        std::string error;
        ASSERT_TRUE(sim.start(&error)) << error;
        SetSetting("ExtPort", "COM7", sim.slavePath().c_str());
        SetSetting("Port", "Connect", "COM7");
        ASSERT_TRUE(Start());
    }

    void TearDown() override
    {
        ZRComm_RemoveCommand(-1);
        ZRComm_Term();
        plat::qt::PumpAllPending();
        FrameFixture::TearDown();
        sim.stop();
    }

    static bool waitFor(const std::function<bool()>& done, int timeoutMs = 10000)
    {
        return plat::test::waitUntil([&] {
            plat::qt::PumpAllPending();
            return done();
        }, timeoutMs);
    }
    bool idle()
    {
        return waitFor([] { return ZRComm_GetCommandCount(1) == 0; });
    }
    bool connect()
    {
        doc().SetModifiedFlag(false); // nothing to ask
        frame().Commands().execute(talverin::ID_CONNECT);
        return waitFor([&] { return frame().Connection().m_connectionPhase == talverin::Phase::Connected; }) && idle();
    }
    bool disconnect()
    {
        frame().Commands().execute(talverin::ID_DISCONNECT);
        return waitFor([&] { return frame().Connection().m_connectionPhase == talverin::Phase::Idle; });
    }
    // Those of lines(from) that begin with the prefix.
    std::vector<std::string> sent(std::size_t from, const std::string& prefix) const
    {
        auto out = lines(from);
        std::erase_if(out, [&](const std::string& line) { return line.rfind(prefix, 0) != 0; });
        return out;
    }
    // The command lines the driver received since `from`, without the state requests.
    std::vector<std::string> lines(std::size_t from = 0) const
    {
        std::vector<std::string> out;
        const auto all = sim.transcript();
        for (std::size_t i = from; i < all.size(); ++i) {
            const std::string s = all[i].str();
            if (s != "L IO0" && s != "L IO1" && s.rfind("L WWC", 0) != 0 && s != "L MI" && s != "L "
                && s.rfind("B ", 0) != 0)
                out.push_back(s);
        }
        return out;
    }
    CViewIO* view() { return dynamic_cast<CViewIO*>(frame().GetView(talverin::VIEW_IO)); }
    CZRCN2 row(int pin) { return view()->Row(pin); }

    drivesim::DriverSim sim;
    drivesim::DriverModel driver;
};

} // namespace

TEST_F(ViewIOPty, PinsAreQueriedWatchedAssignedRefusedAndResent)
{
    frame().show();
    std::vector<std::pair<plat::WPARAM, plat::LPARAM>> commErrors;
    frame().Messages().Set(talverin::WM_COMM_ERROR, [&](plat::WPARAM w, plat::LPARAM l) {
        commErrors.emplace_back(w, l);
        return plat::LRESULT{0};
    });
    auto typeInto = [&](int pin, int box, const char* text) {
        auto* edit = row(pin).site()->findChild<QLineEdit*>(QString::number(box));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return); // Enter moves on, and leaving the box sends
        EXPECT_NE(QApplication::focusWidget(), edit);
    };

    // Connected by the frame; then entering: the pins with records are read back, the state
    // requests follow on the timer.
    frame().Commands().execute(talverin::ID_CONNECT);
    ASSERT_TRUE(waitFor([&] { return frame().Connection().m_connectionPhase == talverin::Phase::Connected; }));
    doc().SetModifiedFlag(false);
    ASSERT_TRUE(idle());
    frame().activateWindow(); // typed keys need the frame active (the please-wait dialog had it)
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    const std::size_t entered = sim.transcript().size();
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_IO));
    ASSERT_TRUE(idle());
    EXPECT_EQ(lines(entered), (std::vector<std::string>{"L TPI0", "L TPI1", "L TPI7", "L TPO0", "L TPO1"}));
    EXPECT_EQ(row(11).GetName(), "5");
    EXPECT_EQ(row(29).GetSetten(), "N");
    for (const char* request : {"L IO1", "L IO0"}) {
        const std::size_t before = sim.transcript().size();
        m_clock.advance(CViewIO::kMonitorPeriodMs);
        ASSERT_TRUE(waitFor([&] {
            const auto t = sim.transcript();
            return t.size() > before && t.back().str() == request && ZRComm_GetCommandCount(1) == 0;
        }));
        plat::qt::PumpAllPending();
    }
    EXPECT_EQ(row(4).GetDataBackColor(), 0xC0F0C0);     // IO1: input 1's function is on
    EXPECT_EQ(row(29).GetNumberBackColor(), 0x00F0F0);  // IO0: output 1's terminal
    EXPECT_EQ(row(28).GetNumberBackColor(), 0xF0F0F0);

    // An assignment typed into pin 5 is sent as one block, then read back.
    std::size_t mark = sim.transcript().size();
    row(5).SetSetten("B");
    row(5).SetName("4");
    typeInto(5, 1001, "0");
    ASSERT_TRUE(idle());
    EXPECT_EQ(lines(mark), (std::vector<std::string>{"L PI2", "A FN4", "A AB1", "A NW0", "A ", "L TPI2"}));
    EXPECT_EQ(driver.pin(drivesim::PinSide::Input, 2).function, "4");
    EXPECT_EQ(row(5).GetState(), 0);
    EXPECT_TRUE(doc().IsModified());

    // A function the driver refuses: the row shows it red and the record keeps the driver's error.
    typeInto(5, 1000, "99");
    ASSERT_TRUE(idle());
    EXPECT_EQ(static_cast<std::uint32_t>(row(5).GetState()), 0x80010000u);
    EXPECT_EQ(store().GetPinRecord(5)->m_reserved2, 0x4000000F);
    EXPECT_EQ(driver.pin(drivesim::PinSide::Input, 2).function, "4");

    // Locked: the same driver error twice gives one box.
    driver.setLocked(true);
    m_boxes.answer(plat::IDOK);
    typeInto(3, 1001, "1");
    ASSERT_TRUE(idle());
    typeInto(3, 1001, "0");
    ASSERT_TRUE(idle());
    ASSERT_EQ(m_boxes.count(), 1u);
    EXPECT_EQ(m_boxes.last().caption, "Error during I/O setting");
    EXPECT_EQ(m_boxes.last().text.rfind("Error during I/O setting.\nPlease check driver unit\nError:", 0), 0u);
    EXPECT_EQ(store().GetPinRecord(3)->m_reserved2, 0x40000012);
    EXPECT_EQ(static_cast<std::uint32_t>(row(3).GetState()), 0x80000000u);

    // Unlocked: the pins in error are sent again; pin 3 goes through, pin 5's function is still refused.
    driver.setLocked(false);
    mark = sim.transcript().size();
    plat::SendMessage(view()->GetSafeHwnd(), talverin::WM_LOCK_STATE_CHANGED, 1, 0);
    ASSERT_TRUE(idle());
    EXPECT_EQ(lines(mark), (std::vector<std::string>{"L PI0", "A FN1", "A AB0", "A NW0", "A ", "L PI2", "A FN99",
                                                     "A AB1", "A NW0", "A ", "L TPI0"}));
    EXPECT_EQ(store().GetPinRecord(3)->m_reserved2, 0);
    EXPECT_EQ(row(3).GetState(), 0);
    EXPECT_EQ(m_boxes.count(), 1u);

    // Silence: three resumes, then the frame is told and the watching stops. The read is asked
    // for from the pin's menu.
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::Silence).always());
    const int retries = talverin::CurrentDriverQueue().retries();
    plat::qt::ScopedPopupMenuRunner pick(plat::qt::PickMenuItem(QStringLiteral("Refresh(U)")));
    QTest::mouseClick(row(11).site()->findChild<QWidget*>(QStringLiteral("1000")), Qt::RightButton);
    plat::qt::PumpAllPending();
    ASSERT_EQ(pick.menus(), std::vector<QString>{QStringLiteral("203")});
    // The library's give-up on a silent line takes some real passes besides the clock.
    ASSERT_TRUE(waitFor([&] { return m_clock.advance(1000), !commErrors.empty(); }, 60000));
    ASSERT_EQ(commErrors.size(), 1u);
    EXPECT_EQ(commErrors[0].second, 0x8000);
    EXPECT_EQ(talverin::CurrentDriverQueue().retries(), retries + 4);
    EXPECT_EQ(view()->MonitoringState(), 0);
    EXPECT_EQ(ZRComm_GetCommandCount(1), 0);
}

// A function typed into an unassigned pin waits until logic and value are there: never the
// driver's reset, one box per state of the row; an emptied function is the reset again.
TEST_F(ViewIOPty, IncompleteRowsWaitForTheirLogicAndValue)
{
    frame().show();
    ASSERT_TRUE(connect());
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_IO));
    ASSERT_TRUE(idle());
    auto typeInto = [&](int box, const char* text) {
        auto* edit = row(5).site()->findChild<QLineEdit*>(QString::number(box));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        ASSERT_TRUE(idle());
    };
    const std::string tail = " is empty.\nIt is sent to the driver unit when function, logic and value are all set.";
    const std::size_t mark = sim.transcript().size();
    m_boxes.answer(plat::IDOK);
    typeInto(1000, "4");
    ASSERT_EQ(m_boxes.count(), 1u);
    EXPECT_EQ(m_boxes.last().caption, "Error during I/O setting");
    EXPECT_EQ(m_boxes.last().text, "The setting of 5 is not complete: logic and value" + tail);
    EXPECT_EQ(store().GetPinRecord(5)->m_status, 1);
    EXPECT_EQ(row(5).GetState(), 1);
    m_boxes.answer(plat::IDOK);
    typeInto(1001, "0");
    ASSERT_EQ(m_boxes.count(), 2u);
    EXPECT_EQ(m_boxes.last().text, "The setting of 5 is not complete: logic" + tail);
    // Leaving and coming back tries again without a word; the driver heard nothing.
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_PARAM));
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_IO));
    ASSERT_TRUE(idle());
    EXPECT_EQ(m_boxes.count(), 2u);
    EXPECT_EQ(sent(mark, "L P"), std::vector<std::string>{});
    EXPECT_EQ(row(5).GetName(), "4");

    row(5).SetSetten("A");
    typeInto(1001, "0");
    EXPECT_EQ(sent(mark, "L P"), std::vector<std::string>{"L PI2"});
    EXPECT_EQ(driver.pin(drivesim::PinSide::Input, 2).function, "4");
    typeInto(1000, "");
    EXPECT_EQ(sent(mark, "L P"), (std::vector<std::string>{"L PI2", "L PI2/RS"}));
    EXPECT_EQ(m_boxes.count(), 2u);
}

// Leaving while the driver keeps a command waiting: past half a second the please-wait dialog
// offers Cancel, which keeps this screen (entered again) and the queue as it was.
TEST_F(ViewIOPty, ASwitchWaitingOnTheDriverCanBeGivenUp)
{
    frame().show();
    ASSERT_TRUE(connect());
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_IO));
    ASSERT_TRUE(idle());
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::Silence).always());
    const CommandId waiting = ZRComm_SendCommandText(view()->GetSafeHwnd(), "TPI0\r", 300 + 3);
    ASSERT_NE(waiting, 0);
    QString shown;
    QTimer canceller; // runs in the switch's wait
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        talverin::CBusyDlg* dialog = frame().Connection().BusyDialog();
        if (dialog && dialog->isVisible() && shown.isEmpty()) {
            shown = dialog->Text();
            QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
        }
    });
    canceller.start(0);
    const std::uint64_t start = m_clock.tickCount64();
    EXPECT_FALSE(frame().SwitchView(talverin::VIEW_PARAM));
    canceller.stop();
    EXPECT_EQ(shown, "Switching screens.\n\nPlease wait.");
    EXPECT_GE(m_clock.tickCount64() - start, 500u);
    EXPECT_LT(m_clock.tickCount64() - start, 40000u) << "given up, not timed out";
    EXPECT_EQ(frame().GetCurrentViewId(), talverin::VIEW_IO);
    EXPECT_TRUE(frame().isEnabled());
    EXPECT_EQ(ZRComm_GetCommandParam(waiting), 303) << "the queued command stays";
}

// A document this program saved after the I/O screen was seen lists every pin; after the read-all
// of Connect the unassigned ones have no record. Disconnecting must not reset the driver's pins
// (input 3 got a function meanwhile), and a change the locked driver refuses on the way out is
// told once.
TEST_F(ViewIOPty, DisconnectSendsOnlyRowsTheUserChanged)
{
    frame().show();
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_IO));
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_PARAM));
    const std::string path = m_folder.file("saved.zrd");
    ASSERT_EQ(store().SaveDocument(path), 1);
    ASSERT_NE(apptest::ReadText(path).find("PI16\nFN\nAB1\nNW\n"), std::string::npos);
    app().GetDocTemplate().OpenDocumentFile(path);
    ASSERT_TRUE(connect());
    for (int pin : {5, 6, 20, 35})
        EXPECT_FALSE(row(pin).GetModifyFlg()) << pin;
    ASSERT_TRUE(driver.setPin(drivesim::PinSide::Input, 3, {"7", false, "0"}));
    std::size_t mark = sim.transcript().size();
    ASSERT_TRUE(disconnect());
    EXPECT_EQ(sent(mark, "L P"), std::vector<std::string>{}); // no resets
    EXPECT_EQ(driver.pin(drivesim::PinSide::Input, 3).function, "7");

    // Typed into pin 5 and not left: sent on the way out, refused by the locked driver, told once.
    ASSERT_TRUE(connect());
    frame().activateWindow(); // the please-wait dialog had it
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_IO));
    ASSERT_TRUE(idle());
    row(5).SetSetten("B");
    row(5).SetName("4");
    auto* value = row(5).site()->findChild<QLineEdit*>(QStringLiteral("1001"));
    value->setFocus();
    QTest::keyClicks(value, "1");
    driver.setLocked(true);
    mark = sim.transcript().size();
    m_boxes.answer(plat::IDOK);
    ASSERT_TRUE(disconnect());
    EXPECT_EQ(sent(mark, "L P"), std::vector<std::string>{"L PI2"});
    ASSERT_EQ(m_boxes.count(), 1u);
    EXPECT_EQ(m_boxes.last().caption + ": " + m_boxes.last().text,
              "Error during I/O setting: Error during I/O setting.\nThe settings of these pins were not written to the "
              "driver unit: 5\nError: PASSWORD REQUIRED");
}

// A channel write that misses the driver keeps the program: leaving or saving says so, a switch
// asks and No moves on, no read (a save's, a connection's) replaces it, an unlock or the next
// connection writes it; so for a write the port's close cut. Closing asks after the write-back.
TEST_F(ViewIOPty, ChannelWritesThatDoNotReachTheDriverKeepTheProgram)
{
    ASSERT_TRUE(driver.setChannel(0, {"SPD500"}));
    frame().show();
    ASSERT_TRUE(connect());
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_CHANNEL));
    auto* view = dynamic_cast<talverin::CViewChannel*>(frame().GetView(talverin::VIEW_CHANNEL));
    const auto settled = [&] { return waitFor([&] { return !view->IsBusy(); }) && idle(); };
    const auto type = [&](int row, int column, const char* text) {
        view->OpenCellEditor(row, column);
        view->CellEditor()->setText(QString::fromLatin1(text));
        return view->CommitCellEdit();
    };
    const auto press = [&](const char* button) { view->findChild<QPushButton*>(button)->click(); };
    const auto channel0 = [&] { return store().GetChannelProgram(0); };
    const auto unwritten = [](std::string reply, bool question) {
        return "Channel 0 was not written to the driver unit.\nReply of the driver unit: " + reply +
               "\nThe program stays in this document, marked as not written." +
               (question ? "\nResume edit without moving channel?" : "");
    };
    ASSERT_TRUE(settled());

    driver.setLocked(true);
    type(1, 2, "END");
    m_boxes.answer(plat::IDOK);
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_PARAM));
    EXPECT_EQ(m_boxes.last().caption + ": " + m_boxes.last().text,
              "Command setting error: " + unwritten("PASSWORD REQUIRED", false));
    // Saved from another screen: the read-all before it leaves the program, which goes into the file.
    const std::string saved = m_folder.file("pending.zrd");
    m_files.accept(saved);
    AcceptComment();
    frame().Commands().execute(talverin::ID_FILE_SAVE);
    ASSERT_TRUE(waitFor([&] { return apptest::ReadText(saved).find("CH0\nSPD500\nEND\n\n") != std::string::npos; }));
    std::size_t mark = sim.transcript().size();
    ASSERT_TRUE(frame().SwitchView(talverin::VIEW_CHANNEL));
    m_boxes.answer(plat::IDNO);
    press("1002");
    ASSERT_TRUE(settled());
    EXPECT_EQ(m_boxes.last().text, unwritten("PASSWORD REQUIRED", true));
    EXPECT_EQ(view->CurrentChannel(), 1);
    EXPECT_EQ(sent(mark, "L TC0"), std::vector<std::string>{});
    EXPECT_EQ(std::pair(channel0()->m_lines.size(), channel0()->m_currentLine), std::pair(std::size_t{2}, -1));

    ASSERT_TRUE(frame().Commands().execute(talverin::ID_LOCK_DISABLE));
    ASSERT_TRUE(waitFor([&] { return channel0()->m_currentLine == 0; }) && settled());
    EXPECT_EQ(driver.channel(0), (std::vector<std::string>{"SPD500", "END"}));

    press("1005");
    ASSERT_TRUE(settled());
    ASSERT_TRUE(type(2, 2, "MOV") && type(2, 3, "+5"));
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::DropLine).on("CH0"));
    m_boxes.answer(plat::IDOK).answer(plat::IDOK); // this one, then the frame's line error
    press("1002");
    ASSERT_TRUE(waitFor([&] { return m_clock.advance(1000), frame().Connection().m_connectionPhase == talverin::Phase::Idle; }, 60000));
    EXPECT_EQ(m_boxes.shown().at(m_boxes.count() - 2).text, unwritten("No response", false));
    EXPECT_EQ(std::pair(channel0()->m_lines.size(), channel0()->m_currentLine), std::pair(std::size_t{3}, -1));
    EXPECT_TRUE(view->CurrentChannel() == 0 && driver.channel(0).empty());

    m_boxes.answer(plat::IDCANCEL);
    frame().Commands().execute(talverin::ID_CONNECT);
    EXPECT_EQ(m_boxes.last().text.substr(0, 134), "Connecting will clear current changes.\nChannel(s) 0 are cleared or "
                                                   "only partly written on the driver unit; their programs are only in ");
    EXPECT_EQ(frame().Connection().m_connectionPhase, talverin::Phase::Idle);
    // A switch's write queued behind an unanswered lock command goes with the line: not written.
    ASSERT_TRUE(connect() && settled() && type(0, 3, "600"));
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::DropLine).on("KP0").always());
    ASSERT_TRUE(frame().Commands().execute(talverin::ID_LOCK_ENABLE));
    m_boxes.answer(plat::IDNO).answer(plat::IDOK).answer(plat::IDNO); // the switch, the line, Connect
    press("1002");
    ASSERT_TRUE(waitFor([&] { return m_clock.advance(1000), frame().Connection().m_connectionPhase == talverin::Phase::Idle; }, 60000));
    EXPECT_EQ(m_boxes.shown().at(m_boxes.count() - 2).text, unwritten("No connection / No response", true));
    frame().Commands().execute(talverin::ID_CONNECT); // its read-all keeps channel 0, which it writes
    ASSERT_TRUE(waitFor([&] { return driver.channel(0) == std::vector<std::string>{"SPD600", "END", "MOV+5"}; }));
    // Saved on the channel editor while the locked driver refuses channel 1: said, and saved.
    driver.setLocked(true);
    ASSERT_TRUE(settled() && type(0, 2, "SPD") && type(0, 3, "100"));
    AcceptComment();
    m_boxes.answer(plat::IDOK);
    frame().Commands().execute(talverin::ID_FILE_SAVE);
    ASSERT_TRUE(waitFor([&] { return apptest::ReadText(saved).find("CH1\nSPD100\n\n") != std::string::npos; }));
    // Closing: the save question comes after the write-back and names channel 1, as does the
    // document's own after No (the disconnection's write-back failed too).
    m_boxes.answer(plat::IDOK).answer(plat::IDOK).answer(plat::IDNO).answer(plat::IDNO);
    EXPECT_TRUE(frame().close());
    EXPECT_EQ(m_boxes.shown().at(m_boxes.count() - 2).text + m_boxes.last().text.substr(0, 34),
              "Channel(s) 1 are cleared or only partly written on the driver unit; their programs are only in this "
              "document.\nsave changes to 'pending'Channel(s) 1 are cleared or only p");
}

// The channel editor against the simulated KVX-100 on a pseudo-terminal: reads on entering and in
// the background, a rejected write-back (resume, then drop), an emptied channel, a channel insert
// with the channel-255 warning and one the driver refuses, a leave vetoed, and a read that times
// out.
#include "ChannelViewFixture.h"

#include "common/AppMessages.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <zrcomm/zrcomm_api.h>

#include <QPushButton>

#include <chrono>
#include <thread>

using talverin::CViewChannel;

namespace {

struct ChannelPty : ChannelViewFixture {
    void SetUp() override
    {
        ChannelViewFixture::SetUp();
        std::string error;
        ASSERT_TRUE(driver.load(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/unit/kvx100.ini", &error)) << error;
        driver.setLocked(false);
        driver.setChannel(0, {"SPD500", "END"});
        driver.setChannel(2, {"MOV+10"});
        driver.install(sim);
        ASSERT_TRUE(sim.start(&error)) << error;
        for (int ch = 3; ch < 256; ++ch) // known: only 0-2 are read
            setChannel(ch, {});
        plat::DCB dcb;
        ASSERT_EQ(ZRComm_GetDefaultCommConfig(sim.slavePath().c_str(), &dcb), 1);
        ASSERT_EQ(ZRComm_InitFromDCB(mainBridge->hwnd(), sim.slavePath().c_str(), &dcb), COMM_OK);
        ASSERT_TRUE(waitFor([] { return ZRComm_IsConnected(nullptr, nullptr) != 0; }));
        traffic();
    }
    void TearDown() override
    {
        ZRComm_Term();
        plat::qt::PumpAllPending();
        ChannelViewFixture::TearDown();
    }
    bool waitFor(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            plat::qt::PumpAllPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    bool idle()
    {
        return waitFor([this] { return !view->IsBusy() && ZRComm_GetCommandCount(1) == 0; });
    }
    // The channel traffic since the last call ("L CC0", "A SPD500", ...).
    std::string traffic()
    {
        const auto all = sim.transcript();
        std::string out;
        for (; seen < all.size(); ++seen) {
            const std::string s = all[seen].str();
            if (s.rfind("L C", 0) == 0 || s.rfind("L T", 0) == 0 || s.rfind("A ", 0) == 0)
                out += s + "|";
        }
        return out;
    }
    void type(int row, int column, const char* text)
    {
        view->OpenCellEditor(row, column);
        view->CellEditor()->setText(QString::fromLatin1(text));
        view->CommitCellEdit();
    }

    drivesim::DriverSim sim;
    drivesim::DriverModel driver;
    std::size_t seen = 0;
};

} // namespace

TEST_F(ChannelPty, ReadsWritesAndChannelCommands)
{
    // Entering reads the current channel (busy), then the unread others one by one.
    ASSERT_TRUE(view->OnViewSwitch(true, 174));
    EXPECT_TRUE(view->IsBusy());
    ASSERT_TRUE(idle());
    ASSERT_TRUE(waitFor([this] { return store.GetChannelProgram(2)->m_lineCount == 1; }));
    EXPECT_EQ(traffic(), "L TC0|L TC1|L TC2|");
    EXPECT_EQ(rows(), "SPD/500 END/ / ");
    EXPECT_EQ(store.GetChannelProgram(2)->m_lines[0].text, "MOV\t+10");

    // A refused line: the switch waits on the write, Yes resumes editing here.
    type(2, 2, "XYZ");
    type(2, 3, "10");
    boxes.answer(plat::IDYES);
    view->findChild<QPushButton*>("1002")->click();
    ASSERT_TRUE(idle());
    EXPECT_EQ(traffic(), "L CC0|L CH0|A SPD500|A END|A XYZ10|A |");
    EXPECT_EQ(boxes.last().caption, "Command setting error");
    EXPECT_EQ(view->CurrentChannel(), 0);
    EXPECT_EQ(rows(), "SPD/500 END/ XYZ/10! / ");
    // No drops the refused line and moves on; the channel is read again later.
    boxes.answer(plat::IDNO);
    view->findChild<QPushButton*>("1002")->click();
    ASSERT_TRUE(idle());
    EXPECT_EQ(view->CurrentChannel(), 1);
    EXPECT_EQ(store.GetChannelProgram(0)->m_lines.size(), 2u);
    EXPECT_EQ(store.GetChannelProgram(0)->m_lineCount, -1);
    EXPECT_EQ(driver.channel(0), (std::vector<std::string>{"SPD500", "END"}));
    traffic();

    // An emptied channel is cleared and not written.
    view->SelectChannel(2, 1);
    view->List()->selectionModel()->select(view->List()->model()->index(0, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_TRUE(view->Commands().execute(CViewChannel::ID_DELETE_LINE));
    view->SelectChannel(3, 1);
    ASSERT_TRUE(idle());
    EXPECT_EQ(traffic(), "L CC2|");
    EXPECT_TRUE(driver.channel(2).empty());
    EXPECT_EQ(store.GetChannelProgram(2)->m_currentLine, 0);

    // Insert: the warning for channel 255, then the new channel read from the driver.
    setChannel(255, {"END\t\t"});
    driver.setChannel(255, {"END"});
    boxes.answer(plat::IDYES);
    ASSERT_TRUE(view->Commands().execute(CViewChannel::ID_INSERT_CHANNEL));
    EXPECT_EQ(boxes.last().text, "Will insert channel.\nBy inserting channel, the contents of channel 255 will be lost. \nOK?");
    ASSERT_TRUE(idle());
    // The successful read goes on with channel 0, unread since its refusal.
    ASSERT_TRUE(waitFor([this] { return store.GetChannelProgram(0)->m_lineCount == 2 && idle(); }));
    EXPECT_EQ(traffic(), "L CI3|L TC3|L TC0|");
    EXPECT_TRUE(store.GetChannelProgram(255)->m_lines.empty());

    // A refused insert is made here and written later, never read over.
    driver.setLocked(true);
    boxes.answer(plat::IDYES);
    ASSERT_TRUE(view->Commands().execute(CViewChannel::ID_INSERT_CHANNEL));
    EXPECT_EQ(boxes.last().text, "Will insert channel.OK?");
    ASSERT_TRUE(idle());
    EXPECT_EQ(traffic(), "L CI3|");
    EXPECT_EQ(store.GetChannelProgram(3)->m_currentLine, 1);
    EXPECT_EQ(store.GetChannelProgram(3)->m_lineCount, 0);

    // Leaving with a refused line: Yes keeps the editor current.
    driver.setLocked(false);
    type(0, 2, "QQQ1");
    boxes.answer(plat::IDYES);
    EXPECT_FALSE(view->OnViewSwitch(false, 131));
    EXPECT_TRUE(view->IsViewCurrent());
    EXPECT_EQ(traffic(), "L CC3|L CH3|A QQQ1|A |");

    // A read that times out ends its busy period and reports the line as failed.
    CommExternalData data{};
    data.size = sizeof data;
    data.replyTimeoutMs = 300;
    ASSERT_EQ(ZRComm_InitExternalData(&data), 1);
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::DropPrompt).on("TC1"));
    store.GetChannelProgram(1)->m_lineCount = -1;
    view->ShowChannel(1, 1);
    EXPECT_TRUE(view->IsBusy());
    ASSERT_TRUE(waitFor([this] { return !view->IsBusy(); }));
    EXPECT_NE(std::find(mainMessages.begin(), mainMessages.end(), std::make_pair(talverin::WM_COMM_ERROR, plat::WPARAM{COMM_EVENT_TIMEOUT})),
              mainMessages.end());
}

TEST_F(ChannelPty, WriteBackTellsItsProgress)
{
    ASSERT_TRUE(view->OnViewSwitch(true, 174));
    ASSERT_TRUE(idle());
    std::vector<std::string> lines(40, "SPD500\t\t");
    setChannel(3, lines, 1);
    statusTexts.clear();
    ASSERT_EQ(view->StartChannelWrite(3), 0);
    ASSERT_TRUE(idle());
    ASSERT_EQ(driver.channel(3).size(), 40u);
    ASSERT_GE(statusTexts.size(), 2u);
    EXPECT_EQ(statusTexts.front(), "Writing channel 3: 0 of 40 lines");
    for (std::size_t i = 1; i + 1 < statusTexts.size(); ++i)
        EXPECT_EQ(statusTexts[i].rfind("Writing channel 3: ", 0), 0u) << statusTexts[i];
    EXPECT_EQ(statusTexts.back(), "(idle)") << "the pane is given back when the write ends";
}

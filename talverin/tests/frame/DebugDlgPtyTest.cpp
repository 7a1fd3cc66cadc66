// The debug window on a real port: the simulated driver on a pseudo-terminal, commands queued
// through the communication library, listed, shown and removed; and its once-a-second listing
// on the manual clock.
#include "frame/CDebugDlg.h"

#include <drivesim/DriverSim.h>
#include <platform/clock.h>
#include <platform/messages.h>
#include <platform/qt/pump.h>
#include <zrcomm/zrcomm_api.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

using talverin::CDebugDlg;

TEST(DebugDlgPty, ListsShowsAndRemovesQueuedCommands)
{
    drivesim::DriverSim sim;
    ASSERT_TRUE(sim.start());
    const plat::HWND replies = plat::CreateMessageWindow([](plat::HWND, plat::UINT, plat::WPARAM, plat::LPARAM) {
        return plat::LRESULT{0};
    });
    plat::DCB dcb;
    ASSERT_EQ(ZRComm_GetDefaultCommConfig(sim.slavePath().c_str(), &dcb), 1);
    ASSERT_EQ(ZRComm_InitFromDCB(replies, sim.slavePath().c_str(), &dcb), COMM_OK);
    const CommandId first = ZRComm_SendCommandText(replies, "MI\r", 5);
    const CommandId second = ZRComm_SendCommandText(replies, "?SPD\r?ACC\r", 255);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);

    CDebugDlg dialog;
    dialog.OnList();
    EXPECT_EQ(dialog.Log()->toPlainText(), QStringLiteral("000:ID=%1, Param=5\n001:ID=%2, Param=ff\n").arg(first).arg(second));
    ASSERT_EQ(dialog.Ids()->count(), 2);
    EXPECT_EQ(dialog.Ids()->itemData(1).toInt(), second);

    dialog.Log()->clear();
    dialog.Ids()->setCurrentIndex(1);
    dialog.OnShow();
    EXPECT_EQ(dialog.Log()->toPlainText(), QStringLiteral("Sent data:---->\n?SPD\n<----------------\n"));

    dialog.OnRemove();
    EXPECT_EQ(ZRComm_GetCommandCount(1), 1);
    dialog.Log()->clear();
    dialog.OnList();
    EXPECT_EQ(dialog.Log()->toPlainText(), QStringLiteral("000:ID=%1, Param=5\n").arg(first));

    // A closed port: no ids, and a stale id shows nothing (the library answers with a code).
    EXPECT_EQ(ZRComm_Term(), COMM_OK);
    dialog.Log()->clear();
    dialog.OnShow();
    dialog.OnList();
    EXPECT_EQ(dialog.Log()->toPlainText(), QStringLiteral("There are no command ids.\n"));
    EXPECT_EQ(dialog.Ids()->count(), 0);
    plat::DestroyWindow(replies);
}

TEST(DebugDlgGui, ListsEverySecondWhileChecked)
{
    plat::ManualClock clock;
    plat::ScopedClock useClock(clock);
    CDebugDlg dialog;
    auto lines = [&] { return dialog.Log()->toPlainText().count(QLatin1Char('\n')); };
    dialog.AutoList()->setChecked(true);
    clock.advance(999);
    plat::qt::PumpAllPending();
    EXPECT_EQ(lines(), 0);
    clock.advance(1);
    plat::qt::PumpAllPending();
    EXPECT_EQ(lines(), 1);
    clock.advance(1000);
    plat::qt::PumpAllPending();
    EXPECT_EQ(lines(), 2);
    dialog.AutoList()->setChecked(false);
    for (int i = 0; i < 2; ++i) {
        clock.advance(1000);
        plat::qt::PumpAllPending();
    }
    EXPECT_EQ(lines(), 2);
}

// The channel editor offscreen, without a driver: keys in the editor, the step panel and the
// channel box, the clipboard, and dropped files.
#include "ChannelViewFixture.h"
#include "../../connection/FakeDriverQueue.h"

#include "common/AppMessages.h"
#include "common/ClipboardHelpers.h"
#include "screens/channel/CPresetStepDlg.h"
#include "screens/channel/ChannelRowDelegate.h"

#include <platform/clock.h>
#include <platform/qt/colors.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using talverin::CViewChannel;
using namespace plat::qt;

TEST_F(ChannelViewFixture, GuiEditorKeysAndStepPanel)
{
    plat::ManualClock clock;
    plat::ScopedClock useClock(clock);
    readAll();
    setChannel(0, {"SPD\t500\t"});
    ASSERT_TRUE(view->OnViewSwitch(true, 174));
    EXPECT_EQ(rows(), "SPD/500 / ");
    EXPECT_EQ(view->findChild<QLabel*>("1023")->text(), " Remains : 1023");
    view->List()->setFocus();
    EXPECT_TRUE(key(VK_F(2)));
    ASSERT_TRUE(view->IsEditorOpen());
    QLineEdit* editor = view->CellEditor();
    EXPECT_EQ(editor->text(), "SPD");
    editor->clear();
    QTest::keyClicks(editor, "A B");
    EXPECT_EQ(editor->text(), "AB");
    EXPECT_EQ(beeps.count(), 1u);
    EXPECT_TRUE(key(VK_ESCAPE)); // nothing committed
    EXPECT_EQ(rows(), "SPD/500 / ");
    // In the list, Left and Right only choose the edit column.
    EXPECT_TRUE(key(VK_RIGHT));
    EXPECT_EQ(view->Core().editColumn(), 3);
    EXPECT_TRUE(key(VK_RIGHT));
    EXPECT_TRUE(key(VK_LEFT));
    EXPECT_EQ(view->Core().editColumn(), 2);
    EXPECT_FALSE(view->IsEditorOpen());

    view->OpenCellEditor(1, 2); // the blank last row
    QTest::keyClicks(editor, "END");
    EXPECT_TRUE(key(VK_RETURN));
    EXPECT_EQ(rows(), "SPD/500 END/ / ");
    EXPECT_EQ(view->Core().editColumn(), 3);
    EXPECT_TRUE(documentModified);
    editor->setCursorPosition(0);
    EXPECT_TRUE(key(VK_LEFT)); // column 3 at its start: back to the command
    EXPECT_EQ(view->Core().editColumn(), 2);
    EXPECT_TRUE(key(VK_UP)); // the list moves, the editor follows
    EXPECT_EQ(view->Core().currentRow(), 0);
    EXPECT_FALSE(plat::qt::GetKeyState(VK_UP) & 0x8000); // passed on, not left held
    EXPECT_EQ(editor->text(), "SPD");
    EXPECT_TRUE(key(VK_RIGHT));
    EXPECT_EQ(editor->text(), "500");

    // The panel shows 200 ms after the data cell opened; Ctrl keys press its buttons.
    EXPECT_FALSE(view->StepPanel()->isVisible());
    clock.advance(200);
    PumpAllPending();
    ASSERT_TRUE(view->StepPanel()->isVisible());
    EXPECT_EQ(view->StepPanel()->geometry().right() + 1, view->List()->visualRect(view->List()->model()->index(0, 3)).left());
    EXPECT_TRUE(key(VK_UP, Qt::ControlModifier));
    EXPECT_EQ(editor->text(), "501");
    EXPECT_TRUE(key(VK_PRIOR, Qt::ControlModifier));
    EXPECT_EQ(editor->text(), "511");
    EXPECT_TRUE(key(VK_HOME, Qt::ControlModifier));
    EXPECT_EQ(editor->text(), "100");
    EXPECT_TRUE(key(VK_RETURN));
    EXPECT_EQ(rows(), "SPD/100 END/ / ");
    EXPECT_FALSE(view->StepPanel()->isVisible());

    // Left, the screen takes no keys.
    ASSERT_TRUE(view->OnViewSwitch(false, 131));
    view->List()->setFocus();
    EXPECT_FALSE(key(VK_F(2)));
    EXPECT_FALSE(view->IsEditorOpen());
}

TEST_F(ChannelViewFixture, GuiChannelBoxRefusesBadNumbers)
{
    readAll();
    setChannel(7, {"END\t\t"});
    ASSERT_TRUE(view->OnViewSwitch(true, 174));
    QComboBox* box = view->ChannelBox();
    box->setFocus();
    for (const char* text : {"300", "", "12a"}) {
        boxes.answer(plat::IDOK);
        box->setEditText(QString::fromLatin1(text));
        EXPECT_TRUE(key(VK_RETURN)) << text;
        EXPECT_EQ(boxes.last().text, "Specify channel number between 0 and 255");
        EXPECT_EQ(boxes.last().caption, "Channel number error");
        EXPECT_EQ(view->CurrentChannel(), 0);
        EXPECT_EQ(box->currentText(), "0") << text; // not the refused number
    }
    // Escape drops a typed number, valid or not.
    QTest::keyClicks(box->lineEdit(), "12");
    ASSERT_EQ(box->currentText(), "12");
    EXPECT_TRUE(key(VK_ESCAPE)); // the frame's hook hands keys to the screen this way
    EXPECT_EQ(box->currentText(), "0");
    box->setEditText("7");
    EXPECT_TRUE(key(VK_RETURN));
    EXPECT_EQ(view->CurrentChannel(), 7);
    EXPECT_EQ(rows(), "END/ / ");
    EXPECT_EQ(boxes.count(), 3u);
}

TEST_F(ChannelViewFixture, GuiClipboardCopiesAndReplacesWholeChannels)
{
    readAll();
    setChannel(3, {"SPD\t10\t", "END\t\t"});
    store.m_editChannel = 3;
    ASSERT_TRUE(view->OnViewSwitch(true, 174));
    view->List()->setFocus();
    QTest::keyClick(view->List(), Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(talverin::GetClipboardText(), ";CH=3\r\n0\tSPD\t10\tSpeed\r\n1\tEND\t\tEnd of program\r\n");
    EXPECT_EQ(view->MenuActions()[3]->text(), "Copy other channel\tCtrl+Alt+C");

    view->SelectChannel(5, 1);
    EXPECT_TRUE(view->Commands().execute(CViewChannel::ID_EDIT_PASTE));
    EXPECT_EQ(rows(), "SPD/10 END/ / ");
    EXPECT_TRUE(talverin::GetClipboardText().empty()); // a whole channel is pasted once

    view->List()->selectionModel()->select(view->List()->model()->index(1, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_TRUE(view->Commands().execute(CViewChannel::ID_EDIT_CUT));
    EXPECT_EQ(talverin::GetClipboardText(), "1\tEND\t\tEnd of program\r\n");
    EXPECT_EQ(rows(), "SPD/10 / ");
    view->Core().setCurrentRow(0);
    EXPECT_TRUE(view->Commands().execute(CViewChannel::ID_EDIT_PASTE));
    EXPECT_EQ(rows(), "END/ SPD/10 / ");
    EXPECT_FALSE(talverin::GetClipboardText().empty());
}

TEST_F(ChannelViewFixture, GuiDroppedFilesAreCheckedAndImported)
{
    readAll();
    ASSERT_TRUE(view->OnViewSwitch(true, 174));
    QTemporaryDir dir;
    const QString prog = dir.filePath("PROG.TXT");
    QFile file(prog);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("spd 10\rmov-5\r\x01\x02\r  end"); // CR-only lines, a binary one
    file.close();
    struct { QList<QUrl> urls; const char* caption; } refused[] = {
        {{QUrl::fromLocalFile(prog), QUrl::fromLocalFile(prog)}, "File number error"},
        {{QUrl("http://example.invalid/a.txt")}, "File name error"},
        {{QUrl::fromLocalFile(dir.filePath("prog.csv"))}, "File format error"},
        {{QUrl::fromLocalFile(dir.filePath("gone.txt"))}, "Cannot open file"},
    };
    for (const auto& r : refused) {
        boxes.answer(plat::IDOK);
        view->OnDropFiles(r.urls);
        EXPECT_EQ(boxes.last().caption, r.caption);
    }
    EXPECT_EQ(rows(), "/ ");
    view->OnDropFiles({QUrl::fromLocalFile(prog)});
    EXPECT_EQ(rows(), "SPD/10 MOV-/5 END/ / ");
    EXPECT_EQ(view->Core().rows().at(0).comment, "Speed");
    EXPECT_EQ(boxes.count(), 4u);
}

TEST_F(ChannelViewFixture, GuiRowsArePaintedFromTheirState)
{
    readAll();
    setChannel(0, {"SPD\t500\t", "\t5\t", "END\t\t"});
    ASSERT_TRUE(view->OnViewSwitch(true, 174));
    view->Core().rows().setRejected(2, 1);
    view->List()->setFocus();
    view->List()->selectionModel()->select(view->List()->model()->index(0, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const auto sys = [](int i) { return plat::ColorFromColorRef(plat::GetSysColor(i)); };
    // A pixel of the cell away from its text and the grid.
    const auto colour = [this](int row, int column) {
        const QImage image = view->List()->viewport()->grab().toImage();
        const QRect r = view->List()->visualRect(view->List()->model()->index(row, column));
        return image.pixelColor(r.right() - 3, r.top() + 2);
    };
    const QColor red = QColor::fromRgb(talverin::kRejectedRowColor);
    const QColor grey = QColor::fromRgb(talverin::kEditCellColor);
    struct { int row, column; QColor expected; } cells[] = {
        {0, 3, sys(plat::COLOR_HIGHLIGHT)}, // selected, the list has the focus
        {0, 2, grey},                        // the edit column of the current row
        {1, 3, red},                         // no command above the last row
        {2, 3, red},                         // refused by the driver
        {3, 3, sys(plat::COLOR_WINDOW)},     // the blank last row
    };
    for (const auto& c : cells)
        EXPECT_EQ(colour(c.row, c.column), c.expected) << c.row << "," << c.column;
    view->ChannelBox()->setFocus();
    EXPECT_EQ(colour(0, 3), sys(plat::COLOR_BTNFACE)); // selected without the focus
}

TEST_F(ChannelViewFixture, GuiHeaderLinesAndRowsPastTheLimitAreRefusedWithABox)
{
    readAll();
    setChannel(9, std::vector<std::string>(1022, "END\t\t")); // two lines left
    store.m_editChannel = 2;
    ASSERT_TRUE(view->OnViewSwitch(true, 174));
    boxes.answer(plat::IDOK).answer(plat::IDOK).answer(plat::IDOK).answer(plat::IDOK);
    const std::string header = " of channel 2 reads as a channel header (\"CH\" and a number) and cannot be stored.\n"
                               "Change the line.";
    // Typed (the editor keeps it), pasted or imported, a line of "CH" and a number goes nowhere.
    view->OpenCellEditor(0, 2);
    view->CellEditor()->setText("CH52");
    EXPECT_TRUE(key(VK_RETURN));
    EXPECT_EQ(boxes.last().caption + ": " + boxes.last().text, "Channel information: Line 0" + header);
    EXPECT_TRUE(view->IsEditorOpen() && view->CellEditor()->text() == "CH52");
    EXPECT_TRUE(key(VK_ESCAPE));
    talverin::CopyTextToClipboard("0\tEND\t\t\r\n1\tCH\t+3\t\r\n");
    EXPECT_TRUE(view->Commands().execute(CViewChannel::ID_EDIT_PASTE));
    EXPECT_EQ(boxes.last().text, "Line 1" + header);
    QTemporaryDir dir;
    QFile file(dir.filePath("prog.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("spd 10\rch7\r") > 0 && file.flush());
    view->OnDropFiles({QUrl::fromLocalFile(file.fileName())});
    EXPECT_EQ(boxes.last().text, "Line 1" + header);
    EXPECT_EQ(rows(), "/ ");

    // Three rows with two lines left: two go in, one box counts the third.
    talverin::CopyTextToClipboard("0\tA\t1\t\r\n1\tB\t2\t\r\n2\tC\t3\t\r\n");
    EXPECT_TRUE(view->Commands().execute(CViewChannel::ID_EDIT_PASTE));
    EXPECT_EQ(rows(), "A/1 B/2 ");
    EXPECT_EQ(boxes.last().text, "1 row(s) were not pasted: all channel programs together may hold at most 1024 lines.");
    EXPECT_EQ(boxes.count(), 4u);
}

TEST_F(ChannelViewFixture, TrafficRetriesFailedWritesAndGarbledRepliesTwiceThenDropsTheLine)
{
    struct Row { plat::WPARAM event; int deliveries; std::vector<std::string> calls; bool lineDropped; };
    const Row rows[] = {
        {COMM_EVENT_WRITE_FAILED, 3, {"resume 1", "resume 1", "remove 1", "remove 0"}, true},
        {COMM_EVENT_INVALID_DATA, 3, {"resume 1", "resume 1", "remove 1", "remove 0"}, true}, // no longer without end
        {COMM_EVENT_NO_ECHO, 1, {"remove 1", "remove 0"}, true},
        {COMM_EVENT_COMPLETED, 1, {"remove 1"}, false},
    };
    for (const Row& r : rows) {
        talverin_test::FakeDriverQueue q;
        talverin::ScopedDriverQueue use(q);
        mainMessages.clear();
        const CommandId id = q.add("TC5\r", 5); // the read of channel 5
        q.cmds.back().state = r.event == COMM_EVENT_COMPLETED ? 0 : CMD_SEND_FAILED;
        for (int i = 0; i < r.deliveries; ++i)
            plat::SendMessage(view->GetSafeHwnd(), WM_COMM_COMMAND, r.event, id);
        EXPECT_EQ(q.calls, r.calls) << r.event;
        const bool dropped = std::count(mainMessages.begin(), mainMessages.end(), std::pair{talverin::WM_COMM_ERROR, r.event}) == 1;
        EXPECT_EQ(dropped, r.lineDropped) << r.event;
    }
}

// The start screen: headings, rows, sizes from the bitmap (a bad file counts as none), the posted
// choices, the operation-running flag and the main window, repaints on mouse moves, help.
#include "FrameFixture.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "frame/CStartDlg.h"
#include "frame/HelpWindow.h"
#include "frame/StartScreenRules.h"

#include <platform/messages.h>

#include <QApplication>
#include <QBuffer>
#include <QMouseEvent>
#include <QRadioButton>

using namespace talverin;

TEST(StartScreenRules, Headings)
{
    const std::pair<const char*, bool> cases[] = {
        {"[Monitor]", true}, {"<Tools>", true}, {"\xE3\x80\x8E" "Edit" "\xE3\x80\x8F", true},
        {"x\xE3\x80\x90" "y" "\xE3\x80\x91", true}, {"[Monitor", false}, {"<", false},
        {"\xE3\x80\x8E" "only", false}, {"", false},
    };
    for (const auto& [text, heading] : cases)
        EXPECT_EQ(IsStartMenuHeading(text), heading) << text;
}

namespace {

class StartScreenGui : public apptest::FrameFixture {
protected:
    StartScreenGui() { m_showStartScreen = true; }
    // The settings' start menu replaced by these entries ("1" .. "10").
    void SetMenu(const std::vector<const char*>& entries)
    {
        ASSERT_TRUE(plat::profile::removeSection(Settings(), "StartMenu"));
        for (std::size_t i = 0; i < entries.size(); ++i)
            SetSetting("StartMenu", std::to_string(i + 1).c_str(), entries[i]);
    }
    CStartDlg& Shown()
    {
        plat::qt::PumpAllPending(); // start-up posted WM_SHOW_START_DIALOG
        EXPECT_NE(frame().StartDialog(), nullptr);
        return *frame().StartDialog();
    }
    void RecordChoices()
    {
        frame().Messages().Set(WM_START_CHOICE, [this](plat::WPARAM w, plat::LPARAM l) {
            m_choices.emplace_back(w, l);
            return plat::LRESULT{0};
        });
    }
    std::vector<std::pair<plat::WPARAM, plat::LPARAM>> m_choices;
};

void MoveTo(QWidget& widget, int y)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(300, y), QPointF(300, y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

} // namespace

TEST_F(StartScreenGui, RowsChoicesAndTheMainWindow)
{
    SetMenu({"100,Edit parameter", "0,[Monitor]", "400,Oscilloscope", "", "500,<Tools>", "300,I/O edit"});
    ASSERT_TRUE(Start());
    RecordChoices();
    CStartDlg& start = Shown();
    EXPECT_TRUE(start.isVisible() && !start.parentWidget() && !frame().isEnabled());
    EXPECT_EQ(app().m_transferRunning, 1);
    EXPECT_TRUE(start.windowTitle().startsWith(QStringLiteral("KVX TALVERIN  ")));
    EXPECT_EQ(start.size(), QSize(565, 400)); // the test folder has no start.bmp
    std::vector<bool> shown;
    for (int i = 0; i < CStartDlg::kRowCount; ++i)
        shown.push_back(!start.Row(i)->isHidden() && start.Row(i)->isEnabled());
    EXPECT_EQ(shown, (std::vector<bool>{true, false, true, false, false, true, false, false, false, false}));
    EXPECT_EQ(std::make_pair(start.CheckedRow(), start.HotRow()), std::make_pair(0, 0));

    // A click on a row's band moves the check; OK posts its index and number.
    const QPoint row5 = start.RowRect(5).center();
    QMouseEvent press(QEvent::MouseButtonPress, row5, row5, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&start, &press);
    EXPECT_EQ(start.CheckedRow(), 5);
    start.accept();
    plat::qt::PumpAllPending();
    EXPECT_EQ(m_choices, (std::vector<std::pair<plat::WPARAM, plat::LPARAM>>{{6, 300}}));
    EXPECT_TRUE(frame().isEnabled() && !start.isVisible());
    EXPECT_EQ(app().m_transferRunning, 0);

    // The frame's own handler: the screen command posted, the screen gone.
    ASSERT_TRUE(Restart());
    CountCommand(ID_VIEW_IO);
    EXPECT_FALSE(Shown().isHidden() || frame().isEnabled());
    plat::SendMessage(frame().GetSafeHwnd(), WM_START_CHOICE, 6, 300);
    EXPECT_TRUE(!frame().StartDialog() && frame().isEnabled());
    EXPECT_EQ(app().m_transferRunning, 0);
    plat::qt::PumpAllPending();
    EXPECT_EQ(m_ran[ID_VIEW_IO], 1);

    // A screen switch takes it away too, and Connect is no longer blocked.
    frame().ShowStartDialog();
    EXPECT_EQ(app().m_transferRunning, 1);
    frame().SwitchView(frame().GetCurrentViewId());
    EXPECT_TRUE(!frame().StartDialog() && frame().isEnabled());
    EXPECT_EQ(app().m_transferRunning, 0);

    // Headings only: OK does nothing, Cancel posts (0, 0).
    SetMenu({"0,[Monitor]", "0,<Tools>"});
    ASSERT_TRUE(Restart());
    RecordChoices();
    m_choices.clear();
    CStartDlg& headings = Shown();
    EXPECT_EQ(headings.CheckedRow(), -1);
    headings.accept();
    plat::qt::PumpAllPending();
    EXPECT_TRUE(m_choices.empty() && headings.isVisible());
    headings.reject();
    plat::qt::PumpAllPending();
    EXPECT_EQ(m_choices, (std::vector<std::pair<plat::WPARAM, plat::LPARAM>>{{0, 0}}));
}

TEST_F(StartScreenGui, SizeFromASoundBitmapOnly)
{
    QImage picture(120, 90, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "BMP"));
    QByteArray badOffset = bytes;
    badOffset[11] = '\x7F';
    const std::string start = m_folder.file("start.bmp");
    auto write = [&](const QByteArray& content) {
        ASSERT_TRUE(plat::WriteFileAtomic(start, std::string_view(content.data(), std::size_t(content.size()))));
    };
    const std::pair<QByteArray, bool> cases[] = {
        {bytes, true}, {badOffset, false}, {QByteArray("BM not a bitmap, just text"), false},
        {QByteArray(), false}, {bytes.left(bytes.size() - 10), false}, // cut off: the screen gets this one below
    };
    for (const auto& [content, sound] : cases) {
        write(content);
        EXPECT_EQ(LoadStartBitmap(QString::fromStdString(start)).size(), sound ? QSize(120, 90) : QSize(0, 0));
    }
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Shown().size() == QSize(565, 400) && !Shown().HasBitmap());
    write(bytes);
    ASSERT_TRUE(Restart());
    EXPECT_TRUE(Shown().size() == QSize(120, 90) && Shown().HasBitmap());
}

TEST_F(StartScreenGui, MouseMovesRepaintTwoRowsAndF1OpensHelp)
{
    ASSERT_TRUE(Start());
    CStartDlg& start = Shown();
    plat::qt::PumpAllPending();
    ASSERT_GT(start.RowsDrawn(), 0);
    const int before = start.RowsDrawn();
    MoveTo(start, start.RowRect(3).center().y());
    plat::qt::PumpAllPending();
    EXPECT_TRUE(start.HotRow() == 3 && start.RowsDrawn() - before == 2) << start.RowsDrawn() - before;
    MoveTo(start, start.height() - 2);
    plat::qt::PumpAllPending();
    EXPECT_TRUE(start.HotRow() == -1 && start.RowsDrawn() - before == 3) << "only the row that lost the pointer";

    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&start, &f1);
    HelpWindow* help = frame().GetHelpWindow();
    ASSERT_TRUE(help && help->CurrentPage().endsWith(QStringLiteral("_RESOURCE/3_3_1_Start_screen.htm")));
    EXPECT_TRUE(help->isEnabled()) << "usable while the frame is disabled";
    start.reject();
}

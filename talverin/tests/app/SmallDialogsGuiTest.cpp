// The small dialogs and helpers on their own: the unit list, the comment's limits, the About
// text, the clipboard, the child-window rectangles and the help window.
#include "AppFixture.h"

#include "app/CAboutDlg.h"
#include "app/CNewDlg.h"
#include "common/ClipboardHelpers.h"
#include "common/CommandIds.h"
#include "frame/HelpWindow.h"
#include "screens/oscillo/ChildWindows.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

using namespace talverin;

namespace {

class SmallDialogsGui : public apptest::AppFixture {};

} // namespace

TEST_F(SmallDialogsGui, NewOffersNamedUnitsWithAPath)
{
    ASSERT_TRUE(plat::WriteFileAtomic(Settings(), "[Unit]\r\nA = .\\a.ini \r\n=x.ini\r\nB=\r\n\tC=c.ini\r\n"));
    CNewDlg dialog(Settings());
    ASSERT_EQ(dialog.Units()->count(), 2);
    EXPECT_EQ(dialog.Units()->itemText(0), "A");
    EXPECT_EQ(dialog.Units()->itemText(1), "C");
    dialog.Units()->setCurrentIndex(1);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_unitName, "C");
    EXPECT_EQ(dialog.m_unitPath, "c.ini");

    ASSERT_TRUE(plat::WriteFileAtomic(Settings(), "[Unit]\r\n"));
    CNewDlg empty(Settings());
    EXPECT_FALSE(empty.findChild<QPushButton*>("1")->isEnabled());
    empty.accept();
    EXPECT_NE(empty.result(), QDialog::Accepted);
}

TEST_F(SmallDialogsGui, CommentLimitsAndSemicolon)
{
    model::CDataFile store;
    store.m_documentModelInfo = "KVX100A1.00/SYS1.00";
    store.m_alarmText = "AL1\n;AL2";
    CCommentDlg dialog(store, QStringLiteral("line1\r\nline2"));
    EXPECT_EQ(dialog.CommentEdit()->text(), "line1line2");
    EXPECT_EQ(dialog.IdentificationEdit()->toPlainText(), "KVX100A1.00\nSYS1.00");
    EXPECT_EQ(dialog.AlarmEdit()->toPlainText(), "AL1\nAL2");
    EXPECT_TRUE(dialog.IdentificationEdit()->isHidden());

    dialog.CommentEdit()->clear();
    QTest::keyClicks(dialog.CommentEdit(), QString(81, QLatin1Char('x')));
    EXPECT_EQ(dialog.CommentEdit()->text().size(), 80);

    // A longer comment from the file is kept whole; it can be shortened but not lengthened.
    CCommentDlg longer(store, QString(100, QLatin1Char('y')));
    EXPECT_EQ(longer.CommentEdit()->text().size(), 100);
    longer.CommentEdit()->end(false);
    QTest::keyClick(longer.CommentEdit(), Qt::Key_Backspace);
    QTest::keyClicks(longer.CommentEdit(), QStringLiteral("zz"));
    EXPECT_EQ(longer.CommentEdit()->text().size(), 99);

    dialog.CommentEdit()->setText(QStringLiteral("a;b"));
    m_boxes.answer(plat::IDOK);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_boxes.last().text, "Comments cannot include characters \";\"");
    EXPECT_EQ(m_boxes.last().caption, "Comments error");
    dialog.CommentEdit()->setText(QStringLiteral("fine"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_comment, "fine");
}

TEST_F(SmallDialogsGui, AboutAndClipboard)
{
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About KVX Talverin");
    EXPECT_EQ(about.VersionText()->text(), "KVX Talverin Ver 3.1.1");

    EXPECT_EQ(CopyTextToClipboard("x"), 1);
    EXPECT_EQ(GetClipboardText(), "x");
    EXPECT_EQ(CopyTextToClipboard(""), 0);
    EXPECT_EQ(GetClipboardText(), "x");
    EXPECT_EQ(CopyTextToClipboard(nullptr), 1);
    EXPECT_EQ(GetClipboardText(), "");
}

TEST_F(SmallDialogsGui, ChildRectanglesRelativeToTheWindow)
{
    QWidget window;
    window.setGeometry(100, 50, 300, 200);
    auto* a = new QWidget(&window);
    a->setObjectName("1001");
    a->setGeometry(10, 20, 30, 40);
    auto* inner = new QWidget(a);
    inner->setObjectName("1002");
    inner->setGeometry(1, 2, 3, 4);
    (new QWidget(&window))->setObjectName("label"); // no control id: left out
    std::vector<ChildWindowRecord> list;
    EnumChildWindows(&window, list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(OffsetRectsToWindow(&window, list), 1);
    EXPECT_EQ(list[0].controlId, 1001);
    EXPECT_EQ((std::vector<int>{list[0].left, list[0].top, list[0].right, list[0].bottom}),
              (std::vector<int>{10, 20, 40, 60}));
    EXPECT_EQ((std::vector<int>{list[1].left, list[1].top, list[1].right, list[1].bottom}),
              (std::vector<int>{11, 22, 14, 26}));
}

TEST_F(SmallDialogsGui, HelpWindowPagesAnchorsAndFind)
{
    ASSERT_TRUE(Start());
    frame().ShowHelp(CMainFrame::HelpTopicPage());
    HelpWindow* help = frame().GetHelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->PageMissing());
    EXPECT_EQ(help->CurrentPage().toStdString(), store().m_helpFolder + "/_RESOURCE/1_1_1_introduction.htm");
    EXPECT_TRUE(help->Browser()->toPlainText().contains(help->CurrentPage()));

    const std::string page = m_folder.file("page.htm");
    ASSERT_TRUE(plat::WriteFileAtomic(page, "<html><body><p>alpha</p><a name=\"b\"></a><p>beta gamma</p></body></html>"));
    frame().ShowHelp(QString::fromStdString(page), QStringLiteral("b"));
    EXPECT_FALSE(help->PageMissing());
    EXPECT_EQ(help->Browser()->source().fragment(), "b");
    EXPECT_TRUE(frame().Commands().execute(ID_HELP_FINDER));
    EXPECT_TRUE(help->FindField()->isVisible());
    help->FindField()->setText(QStringLiteral("gamma"));
    EXPECT_TRUE(help->FindNext());
    EXPECT_TRUE(help->FindNext()); // wraps to the top
    help->FindField()->setText(QStringLiteral("delta"));
    EXPECT_FALSE(help->FindNext());
}

// Help as the user meets it: F1 on the start screen, on every screen and in both tool windows, and
// Help > Topic, open a shipped page at an anchor it has, in English and Japanese; Help > Search
// finds a word on the pages the contents page leads to, not only on the page shown.
#include "FrameFixture.h"

#include "screens/param/CCommandWnd.h"
#include "frame/CStartDlg.h"
#include "screens/terminal/CTerminalDlg.h"
#include "screens/CViewBase.h"
#include "common/CommandIds.h"
#include "frame/HelpPages.h"
#include "frame/HelpWindow.h"

#include <platform/language.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/qt/virtual_keys.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>

#include <set>

using namespace talverin;

namespace {

class HelpGui : public apptest::FrameFixture {
protected:
    HelpGui() { m_showStartScreen = true; }

    void PressF1(QWidget* widget)
    {
        ASSERT_NE(widget, nullptr);
        QWidget* target = widget->focusWidget() ? widget->focusWidget() : widget;
        plat::qt::SendKeyEvent(target, plat::qt::VK_F1, true);
        plat::qt::SendKeyEvent(target, plat::qt::VK_F1, false);
        plat::qt::PumpAllPending();
    }
    // The page shown must be one of the language's pages, at an anchor it has (none: the contents).
    void ExpectShown(const std::string& where, const QString& contents)
    {
        HelpWindow* help = frame().GetHelpWindow();
        ASSERT_TRUE(help && !help->PageMissing()) << where << (help ? help->CurrentPage().toStdString() : "");
        const QString page = QFileInfo(help->CurrentPage()).absoluteFilePath();
        const QString anchor = help->Browser()->source().fragment();
        EXPECT_TRUE(HelpPages::Reachable(contents).contains(page)) << where << " " << page.toStdString();
        EXPECT_TRUE(anchor.isEmpty() ? page == contents : HelpPages::Read(page).anchors.contains(anchor))
            << where << " " << page.toStdString() << "#" << anchor.toStdString();
        m_opened.insert(page);
    }
    std::set<QString> m_opened;
};

} // namespace

TEST_F(HelpGui, F1OpensAShippedTopicEverywhereInBothLanguages)
{
    const plat::ScopedLanguage restore(plat::GetLanguage());
    for (const auto& [language, folder] : {std::pair{"1033", "Help_en"}, std::pair{"1041", "Help"}}) {
        SCOPED_TRACE(language);
        const std::string help = std::string(TALVERIN_BIN_DIR "/") + folder;
        SetSetting("Setting", "LANG", language);
        SetSetting("Setting", "HelpFolder", help.c_str());
        ASSERT_TRUE(Restart());
        const QString contents = QFileInfo(QDir(QString::fromStdString(help)).filePath(CMainFrame::HelpTopicPage()))
                                     .absoluteFilePath();
        m_opened.clear();
        plat::qt::PumpAllPending();
        ASSERT_NE(frame().StartDialog(), nullptr);
        PressF1(frame().StartDialog());
        ExpectShown("start screen", contents);
        frame().StartDialog()->reject();
        plat::qt::PumpAllPending();

        QApplication::setActiveWindow(&frame());
        for (const auto& [command, view] : {std::pair{ID_VIEW_OSCILLO, VIEW_OSCILLO}, {ID_VIEW_IO, VIEW_IO},
                                            {ID_VIEW_PARAM, VIEW_PARAM}, {ID_VIEW_CHANNEL, VIEW_CHANNEL},
                                            {ID_VIEW_TERMINAL, VIEW_TERMINAL}}) {
            ASSERT_TRUE(frame().Commands().execute(command));
            plat::qt::PumpAllPending();
            CViewBase* screen = frame().GetView(view);
            ASSERT_TRUE(screen && screen->isVisible()) << view;
            QApplication::setActiveWindow(&frame());
            if (!screen->isAncestorOf(QApplication::focusWidget()))
                screen->setFocus();
            PressF1(screen);
            ExpectShown("screen " + std::to_string(view), contents);
        }
        ASSERT_TRUE(frame().Commands().execute(ID_VIEW_OSCILLO));
        ASSERT_TRUE(frame().Commands().execute(ID_COMMAND_WINDOW));
        PressF1(frame().findChild<talverin::CCommandWnd*>());
        ExpectShown("command window", contents);
        frame().ShowTerminalWindow(true);
        PressF1(frame().TerminalWindow());
        ExpectShown("terminal window", contents);
        ASSERT_TRUE(frame().Commands().execute(ID_HELP_INDEX));
        ExpectShown("Help > Topic", contents);
        EXPECT_EQ(m_opened.size(), 9u) << "each screen and window has its own page";
    }
}

TEST_F(HelpGui, SearchFindsAWordOnAnotherPage)
{
    m_showStartScreen = false;
    const apptest::fs::path resource = m_folder.path / "help/_RESOURCE";
    apptest::fs::create_directories(resource);
    const auto write = [&resource](const char* name, const std::string& body) {
        ASSERT_TRUE(plat::WriteFileAtomic((resource / name).string(),
                                          "<html><head><title>" + std::string(name) + "</title></head><body>" + body +
                                              "</body></html>"));
    };
    write("1_1_1_introduction.htm", "<a href=\"a.htm\">A</a> <a href=\"b.htm\">B</a> shared");
    write("a.htm", "<p>Alpha shared</p>");
    write("b.htm", "<p>Zeppelin one</p><p>and zeppelin two</p>");
    SetSetting("Setting", "HelpFolder", (m_folder.path / "help").c_str());
    ASSERT_TRUE(Start());

    ASSERT_TRUE(frame().Commands().execute(ID_HELP_FINDER));
    HelpWindow* help = frame().GetHelpWindow();
    ASSERT_TRUE(help && help->FindField()->isVisible());
    EXPECT_TRUE(help->CurrentPage().endsWith("1_1_1_introduction.htm"));
    const auto shownPage = [help] { return QFileInfo(help->CurrentPage()).fileName().toStdString(); };
    const auto selected = [help] { return help->Browser()->textCursor().selectedText().toStdString(); };

    // Only on b: found there, listed alone, and found again further down b, then from b's top.
    help->FindField()->setText(QStringLiteral("ZEPPELIN"));
    EXPECT_TRUE(help->FindNext());
    EXPECT_EQ(shownPage(), "b.htm");
    EXPECT_EQ(selected(), "Zeppelin");
    ASSERT_EQ(help->Results()->count(), 1);
    EXPECT_EQ(help->Results()->item(0)->text(), "b.htm");
    EXPECT_TRUE(help->FindNext());
    EXPECT_EQ(selected(), "zeppelin");
    EXPECT_TRUE(help->FindNext());
    EXPECT_EQ(selected(), "Zeppelin") << "round to the first place";

    // On two pages: Find Next goes on from the page shown to the next one that holds it.
    help->FindField()->setText(QStringLiteral("shared"));
    EXPECT_TRUE(help->FindNext());
    EXPECT_EQ(shownPage(), "1_1_1_introduction.htm") << "the contents page comes first";
    EXPECT_EQ(help->Results()->count(), 2);
    EXPECT_TRUE(help->FindNext());
    EXPECT_EQ(shownPage(), "a.htm");
    help->Results()->setCurrentRow(0);
    emit help->Results()->itemActivated(help->Results()->item(0));
    EXPECT_EQ(shownPage(), "1_1_1_introduction.htm");

    help->FindField()->setText(QStringLiteral("nowhere"));
    EXPECT_FALSE(help->FindNext());
    EXPECT_EQ(help->Results()->count(), 0);
    EXPECT_FALSE(help->Results()->isVisible());
}

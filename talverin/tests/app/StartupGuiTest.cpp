// Start-up and shut-down of the whole program, offscreen: caption, unit, language, command bar,
// the desktop registration, the command-line document, and the failures that end start-up.
#include "AppFixture.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"

#include <model/CommandSupport.h>
#include <platform/language.h>
#include <platform/messages.h>

#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace talverin;
using apptest::ReadText;

namespace {

// The sample document with one text replaced.
std::string SampleDocument(const std::string& from = {}, const std::string& to = {})
{
    std::string text = ReadText(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/sample/kvx100_sample.zrd");
    if (!from.empty())
        text.replace(text.find(from), from.size(), to);
    return text;
}

class StartupGui : public apptest::AppFixture {
protected:
    std::string Document(const std::string& name, const std::string& text)
    {
        const std::string path = m_folder.file(name);
        EXPECT_TRUE(plat::WriteFileAtomic(path, text));
        return path;
    }
};

} // namespace

TEST_F(StartupGui, NewDocumentOnTheBlankScreen)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(frame().windowTitle().toStdString(), "KVX TALVERIN  3.1.1 - Oscilloscope [NewDocument]");
    EXPECT_TRUE(frame().isVisible());
    EXPECT_EQ(frame().size(), QSize(710, 526));
    EXPECT_EQ(frame().GetCurrentViewId(), VIEW_BLANK);
    EXPECT_EQ(store().m_unitName, "KVX-100");
    EXPECT_EQ(store().m_unitFilePath, m_folder.file("unit/kvx100.ini"));
    EXPECT_TRUE(store().m_documentPath.empty());
    EXPECT_EQ(store().m_newDocument, 1);
    EXPECT_EQ(doc().GetTitle(), "NewDocument");
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(model::GetMainWindow(), frame().GetSafeHwnd());

    int startScreen = 0;
    frame().Messages().Set(WM_SHOW_START_DIALOG, [&](plat::WPARAM, plat::LPARAM) { return plat::LRESULT{++startScreen}; });
    plat::qt::PumpAllPending();
    EXPECT_EQ(startScreen, 1);
    // Every id of the two menus is known to the command table.
    for (plat::UINT id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_APP_EXIT, ID_HELP_INDEX,
                          ID_HELP_FINDER, ID_APP_ABOUT, ID_FILE_MRU_FILE1 + 3})
        EXPECT_TRUE(frame().Commands().contains(id)) << id;
    EXPECT_FALSE(frame().Commands().isEnabled(ID_FILE_MRU_FILE1)); // no recent file yet
}

TEST_F(StartupGui, TheProgramOpensOnTheOscilloscope)
{
    ::setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 0); // the scope's controls
    m_startOnScope = true;
    ASSERT_TRUE(Start());
    EXPECT_EQ(frame().GetCurrentViewId(), VIEW_OSCILLO);
    EXPECT_NE(frame().GetView(VIEW_OSCILLO), nullptr);
    EXPECT_EQ(frame().windowTitle().toStdString(), "KVX TALVERIN  3.1.1 - Oscilloscope [NewDocument]");
    frame().Commands().refresh();
    EXPECT_TRUE(frame().Commands().state(ID_VIEW_OSCILLO).checked());
    EXPECT_FALSE(frame().Commands().state(ID_VIEW_PARAM).checked());
}

TEST_F(StartupGui, DesktopRegistrationOnceAndNeverFatal)
{
    ASSERT_TRUE(Start());
    const std::string desktop = ReadText(m_folder.file("xdg/applications/talverin.desktop"));
    EXPECT_NE(desktop.find("Exec=\"" + plat::GetModuleFileName() + "\" %f\n"), std::string::npos);
    EXPECT_NE(desktop.find("MimeType=application/x-talverin-document;\n"), std::string::npos);
    EXPECT_NE(ReadText(m_folder.file("xdg/mime/packages/talverin.xml")).find("<glob pattern=\"*.zrd\"/>"),
              std::string::npos);
    EXPECT_EQ(m_mimeUpdates, std::vector<std::string>{m_folder.file("xdg/mime")});
    ASSERT_TRUE(Restart());
    EXPECT_EQ(m_mimeUpdates.size(), 1u); // nothing changed: nothing written, nothing rebuilt

    // A data folder that cannot be written to is no reason not to start.
    ::setenv("XDG_DATA_HOME", "/proc/no-such-folder", 1);
    ASSERT_TRUE(Restart());
    EXPECT_EQ(m_mimeUpdates.size(), 1u);
}

TEST_F(StartupGui, WithoutAUnitNothingStarts)
{
    const char* settings[] = {nullptr, "[Unit]\r\n", "[Unit]\r\nno equals here\r\n[Other]\r\nA=b\r\n"};
    for (const char* text : settings) {
        std::filesystem::remove(Settings());
        if (text) {
            ASSERT_TRUE(plat::WriteFileAtomic(Settings(), text));
        }
        m_boxes.answer(plat::IDOK);
        EXPECT_FALSE(Start());
        EXPECT_EQ(m_app->GetMainFrame(), nullptr);
        const auto box = m_boxes.last();
        EXPECT_EQ(box.text, "Failed to read unit information\nFile may be damaged, or setting may be incorrect.\n"
                            "Re-install the application." + apptest::Reason(text ? 0 : ENOENT));
        EXPECT_EQ(box.caption, "Setting file error");
        EXPECT_EQ(box.type, plat::MB_ICONWARNING);
        EXPECT_EQ(box.owner, nullptr);
    }
}

TEST_F(StartupGui, SettingsFileWithCrOnlyLinesAndAMissingUnitFile)
{
    std::string text;
    for (const char c : ReadText(Settings())) {
        if (c != '\r')
            text.push_back(c == '\n' ? '\r' : c);
    }
    ASSERT_TRUE(plat::WriteFileAtomic(Settings(), text));
    ASSERT_TRUE(Start());
    EXPECT_EQ(store().m_unitName, "KVX-100");

    std::filesystem::remove(m_folder.file("unit/kvx100.ini"));
    m_boxes.answer(plat::IDOK);
    EXPECT_FALSE(Restart());
    EXPECT_EQ(m_boxes.last().text, "Setting file does not exist.\nFile required for application does not exist.\n"
                                   "Need to re-install." + apptest::Reason(ENOENT));
    EXPECT_EQ(m_boxes.last().caption, "File reading error");
    EXPECT_EQ(m_app->GetMainFrame(), nullptr);
}

TEST_F(StartupGui, LanguageAndCommandBar)
{
    plat::ScopedLanguage keep(plat::GetLanguage());
    SetSetting("Setting", "LANG", "1041");
    ASSERT_TRUE(plat::profile::removeSection(Settings(), "ExtBar"));
    SetSetting("ExtBar", "1", "Go,JOG\\s100\\r");
    SetSetting("ExtBar", "3", "Only");
    ASSERT_TRUE(Start());
    EXPECT_EQ(app().m_language, 1041);
    EXPECT_TRUE(plat::IsJapanese());
    const QString caption = frame().windowTitle();
    EXPECT_FALSE(caption.startsWith(QStringLiteral("KVX TALVERIN"))) << caption.toStdString(); // translated
    EXPECT_TRUE(caption.contains(QStringLiteral(" 3.1.1 - "))) << caption.toStdString();
    EXPECT_NE(doc().GetTitle(), "NewDocument");
    EXPECT_TRUE(app().m_extBarPresent);
    EXPECT_EQ(app().m_extBar[0].command, "JOG 100\r");
    EXPECT_EQ(app().m_extBar[2].caption, "Only");
    EXPECT_FALSE(app().m_extBar[2].hasCommand);
    EXPECT_TRUE(app().m_extBar[4].caption.empty());
    const QString yes = QMessageBox(QMessageBox::Question, {}, {}, QMessageBox::Yes).button(QMessageBox::Yes)->text();

    SetSetting("Setting", "LANG", "1033");
    ASSERT_TRUE(plat::profile::removeSection(Settings(), "ExtBar"));
    ASSERT_TRUE(Restart());
    EXPECT_FALSE(plat::IsJapanese());
    EXPECT_TRUE(frame().windowTitle().startsWith(QStringLiteral("KVX TALVERIN  3.1.1")));
    EXPECT_FALSE(app().m_extBarPresent);
    const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm";
    if (!QFile::exists(qm))
        GTEST_SKIP() << "Qt's Japanese texts unchecked: " << qm.toStdString() << " is missing (qt6-translations-l10n)";
    EXPECT_EQ(yes, QString::fromUtf8("\xE3\x81\xAF\xE3\x81\x84(&Y)")) << "a box's Yes button under LANG=1041";
}

TEST_F(StartupGui, CommandLineDocumentChoosesItsUnit)
{
    std::filesystem::copy_file(m_folder.file("unit/kvx100.ini"), m_folder.file("unit/b.ini"));
    SetSetting("Unit", "B", ".\\unit\\b.ini");
    const std::string b = Document("b.zrd", SampleDocument(";Unit:KVX-100", ";Unit:B"));
    ASSERT_TRUE(Start({"--verbose", b}));
    EXPECT_EQ(store().m_unitName, "B");
    EXPECT_EQ(store().m_unitFilePath, m_folder.file("unit/b.ini"));
    EXPECT_EQ(frame().windowTitle().toStdString(), "KVX TALVERIN  3.1.1 - Oscilloscope [b.zrd]");
    EXPECT_EQ(store().m_newDocument, 0);
    EXPECT_EQ(store().m_commentText, "Bench sample");
    EXPECT_EQ(doc().GetPathName(), b);

    // A document of a unit the settings file does not list, and one that is not a document.
    const std::string z = Document("z.zrd", SampleDocument(";Unit:KVX-100", ";Unit:Z"));
    m_boxes.answer(plat::IDOK);
    EXPECT_FALSE(Restart({z}));
    EXPECT_EQ(m_boxes.last().text,
              "Cannot find driver definition file.\nCannot continue because definition file for unit Zis not found.");
    EXPECT_EQ(m_app->GetMainFrame(), nullptr);
    m_boxes.answer(plat::IDOK);
    EXPECT_FALSE(Restart({Document("bin.zrd", std::string("\x7f" "ELF\0\x01\x02", 7))}));
    EXPECT_EQ(m_boxes.last().text, "File type mismatch, or file is damaged.\nCheck file.");
}

TEST_F(StartupGui, PostedDestroyClosesWithoutQuestionsAndWritesSettings)
{
    ASSERT_TRUE(Start());
    doc().SetModifiedFlag(true);
    store().m_editChannel = 7;
    plat::PostMessage(frame().GetSafeHwnd(), WM_DESTROY, 0, 0);
    plat::qt::PumpAllPending();
    EXPECT_TRUE(frame().IsDestroyed());
    EXPECT_FALSE(frame().isVisible());
    EXPECT_EQ(plat::profile::getInt(Settings(), "Setting", "EditChannel", 0), 7);
    EXPECT_EQ(m_boxes.count(), 0u);
}

TEST_F(StartupGui, SettingsThatCannotBeSavedAreToldOnceWithTheReason)
{
    // A read-only folder, a full disk: every write of the way out fails, one box says so.
    using apptest::WriteStep;
    for (const auto& [step, err] : {std::pair{WriteStep::Create, EROFS}, std::pair{WriteStep::Write, ENOSPC}}) {
        ASSERT_TRUE(Start());
        const std::string before = ReadText(Settings());
        store().m_editChannel = 9;
        m_boxes.clear();
        m_boxes.answer(plat::IDOK);
        apptest::ScopedWriteFault fault(step, err);
        EXPECT_TRUE(frame().close());
        app().ExitInstance();
        ASSERT_EQ(m_boxes.count(), 1u);
        EXPECT_EQ(m_boxes.last().text, "The settings could not be saved to '" + Settings() + "'." + apptest::Reason(err));
        EXPECT_EQ(m_boxes.last().caption, "Talverin");
        EXPECT_EQ(ReadText(Settings()), before);
    }
}

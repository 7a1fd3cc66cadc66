// The document through the running program: the save question and its outcomes, saves that must
// fail before they write, the comment, every way an open can fail, re-opening, the recent files,
// and the New command.
#include "AppFixture.h"

#include "app/CNewDlg.h"
#include "app/CTalverinDocTemplate.h"
#include "common/CommandIds.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace talverin;
using apptest::ReadText;
using apptest::Reason;

namespace {

class DocumentGui : public apptest::AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    std::string Sample(const std::string& name, const std::string& from = {}, const std::string& to = {})
    {
        std::string text = ReadText(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/sample/kvx100_sample.zrd");
        if (!from.empty())
            text.replace(text.find(from), from.size(), to);
        const std::string path = m_folder.file(name);
        EXPECT_TRUE(plat::WriteFileAtomic(path, text));
        return path;
    }
    // A file this process cannot open for writing: a read-only file, or, for a user who may write
    // anything, a read-only kernel attribute. Empty when there is none.
    std::string Unwritable()
    {
        const std::string path = m_folder.file("readonly.zrd");
        plat::WriteFileAtomic(path, "x");
        ::chmod(path.c_str(), 0444);
        for (const std::string& candidate : {path, std::string("/sys/kernel/mm/transparent_hugepage/hpage_pmd_size"),
                                             std::string("/sys/devices/system/cpu/online")}) {
            const int fd = ::open(candidate.c_str(), O_WRONLY | O_APPEND);
            if (fd >= 0)
                ::close(fd);
            else if (plat::FileExists(candidate))
                return candidate;
        }
        return {};
    }
    OpenResult Open(const std::string& path) { return app().GetDocTemplate().OpenDocumentFile(path); }
};

} // namespace

TEST_F(DocumentGui, SaveModifiedOutcomes)
{
    struct Case {
        bool modified; int ask; int wording; int answer; bool titled; const char* saveAs;
        BOOL result; int outcome; bool stillModified;
    };
    const Case cases[] = {
        {false, 1, 0, 0, false, nullptr, TRUE, kSaveNothingToDo, false},
        {true, 1, 0, plat::IDCANCEL, false, nullptr, FALSE, kSaveCancelled, true},
        {true, 1, 1, plat::IDNO, false, nullptr, TRUE, kSaveDone, false},
        {true, 1, 0, plat::IDYES, false, "", FALSE, kSaveFailed, true},          // Save As cancelled
        {true, 1, 0, plat::IDYES, false, "first.zrd", TRUE, kSaveDone, false},
        {true, 0, 0, 0, true, nullptr, TRUE, kSaveDone, false},                  // the frame asked already
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        doc().OnNewDocument();
        if (c.titled)
            doc().SetPathName(m_folder.file("titled.zrd"), false);
        doc().SetModifiedFlag(c.modified);
        app().m_askBeforeSave = c.ask;
        app().m_connectSaveWording = c.wording;
        if (c.answer)
            m_boxes.answer(c.answer);
        if (c.saveAs && *c.saveAs)
            m_files.accept(m_folder.file(c.saveAs));
        else if (c.saveAs)
            m_files.cancel();
        if (c.result && c.modified && c.answer != plat::IDNO)
            AcceptComment();
        const std::size_t boxes = m_boxes.count();
        EXPECT_EQ(doc().SaveModified(), c.result);
        EXPECT_EQ(app().m_saveOutcome, c.outcome);
        EXPECT_EQ(doc().IsModified(), c.stillModified);
        EXPECT_EQ(app().m_askBeforeSave, 1);
        ASSERT_EQ(m_boxes.count(), boxes + (c.answer ? 1 : 0));
        if (c.answer) {
            EXPECT_EQ(m_boxes.last().text, c.wording ? "Connecting will clear current changes.\nsave changes to 'NewDocument'?"
                                                     : "save changes to 'NewDocument'?");
            EXPECT_EQ(m_boxes.last().type, plat::MB_YESNOCANCEL | plat::MB_ICONQUESTION);
        }
        app().m_connectSaveWording = 0;
    }
    EXPECT_TRUE(plat::FileExists(m_folder.file("first.zrd")));
    EXPECT_TRUE(plat::FileExists(m_folder.file("titled.zrd")));
}

TEST_F(DocumentGui, SavesThatMustNotWrite)
{
    const std::string readOnly = Unwritable();
    if (!readOnly.empty()) {
        // Refused before the comment is asked for (no dialog is scripted), also when Save As chose it.
        m_boxes.answer(plat::IDOK);
        EXPECT_FALSE(doc().OnSaveDocument(readOnly));
        EXPECT_EQ(m_boxes.last().text, "Cannot open file.\nSpecified file does not exist, or the file is used by "
                                       "another application." + Reason(EACCES));
        EXPECT_EQ(m_boxes.last().caption, "Cannot open file");
        // Save of a document whose file cannot be written asks for another name.
        doc().SetPathName(readOnly, false);
        m_files.cancel();
        EXPECT_FALSE(doc().OnFileSave());
        EXPECT_EQ(m_files.requests().back().title, "Save As");
        EXPECT_EQ(m_files.requests().back().filter, "KVX TALVERIN FILE(*.zrd)|*.zrd|All Files (*.*)|*.*||");
    }

    // Cancel in the comment dialog writes nothing, over an existing file too.
    const std::string existing = Sample("existing.zrd");
    const std::string bytes = ReadText(existing);
    doc().SetModifiedFlag(true);
    m_files.accept(existing);
    AnswerDialog([](QDialog& d) { d.reject(); return d.result(); });
    EXPECT_FALSE(doc().OnFileSaveAs());
    EXPECT_EQ(ReadText(existing), bytes);
    EXPECT_TRUE(doc().IsModified());

    // A save that fails on the way leaves no file and keeps the changes.
    const std::string nowhere = m_folder.file("missing/x.zrd");
    m_files.accept(nowhere);
    AcceptComment();
    m_boxes.answer(plat::IDOK);
    EXPECT_FALSE(doc().OnFileSaveAs());
    EXPECT_EQ(m_boxes.last().caption, "Cannot open file");
    EXPECT_TRUE(m_boxes.last().text.ends_with("another application." + Reason(ENOENT))) << m_boxes.last().text;
    EXPECT_FALSE(plat::FileExists(nowhere));
    EXPECT_TRUE(doc().IsModified());

    // A comment of several lines is stored without its empty lines.
    m_files.accept(m_folder.file("lines.zrd"));
    AnswerDialog([](QDialog& d) {
        dynamic_cast<CCommentDlg&>(d).m_comment = QStringLiteral("a\r\n\r\n\r\nb");
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(doc().OnFileSaveAs());
    EXPECT_EQ(store().m_commentText, "a\n;b");
    EXPECT_EQ(doc().GetTitle(), "lines");
    EXPECT_EQ(frame().windowTitle().toStdString(), "KVX TALVERIN  3.1.1 - Oscilloscope [lines.zrd]");

    // A full disk says so.
    m_files.accept(m_folder.file("full.zrd"));
    AcceptComment();
    m_boxes.answer(plat::IDOK);
    apptest::ScopedWriteFault full(apptest::WriteStep::Write, ENOSPC);
    EXPECT_FALSE(doc().OnFileSaveAs());
    EXPECT_TRUE(m_boxes.last().text.ends_with("another application." + Reason(ENOSPC))) << m_boxes.last().text;
}

TEST_F(DocumentGui, FailedOpensLeaveTheDocumentAsItWas)
{
    SetSetting("Setting", "UnitfileFollow", "1");
    SetSetting("Unit", "B", ".\\unit\\missing.ini");
    struct Case { std::string path; const char* text; const char* caption; plat::UINT icon; int err = 0; };
    const char* readError = "Cannot read data file.\nFile may be deleted or set read-only by another application.\n"
                            "Check the file.";
    const char* mismatch = "File type mismatch, or file is damaged.\nCheck file.";
    const Case cases[] = {
        {m_folder.file("nothing.zrd"), readError, "File read error", plat::MB_ICONWARNING, ENOENT},
        {m_folder.path.string(), readError, "File read error", plat::MB_ICONWARNING, EISDIR},
        {Sample("bad-channel.zrd", "CC/AL\n", "CC/AL\nCH300\n"), mismatch, "File error", plat::MB_ICONERROR},
        {Sample("no-parts.zrd", "PI/CL", "XX/XX"), mismatch, "File error", plat::MB_ICONERROR},
        {Sample("z.zrd", ";Unit:KVX-100", ";Unit:Z"),
         "Cannot find driver definition file.\nCannot continue because definition file for unit Zis not found.",
         "File error", plat::MB_ICONERROR},
        {Sample("b.zrd", ";Unit:KVX-100", ";Unit:B"),
         "Cannot find driver definition file.\nCannot continue because definition file for unit Bis not found.",
         "File error", plat::MB_ICONERROR, ENOENT},
    };
    const QString caption = frame().windowTitle();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        store().m_commentText = "keep";
        m_boxes.answer(plat::IDOK);
        EXPECT_EQ(Open(c.path), OpenResult::Failed);
        EXPECT_EQ(m_boxes.last().text, c.text + Reason(c.err));
        EXPECT_EQ(m_boxes.last().caption, c.caption);
        EXPECT_EQ(m_boxes.last().type, c.icon);
        EXPECT_EQ(store().m_commentText, "keep");
        EXPECT_TRUE(doc().GetPathName().empty());
        EXPECT_EQ(frame().windowTitle(), caption);
        EXPECT_FALSE(frame().IsDestroyed());
    }
}

TEST_F(DocumentGui, OpenReadsAgainAndTheRecentFilesOutliveTheProgram)
{
    int reloads = 0;
    QObject::connect(&frame().Notices(), &talverin::FrameNotices::dataReloaded, [&](bool keep) { reloads += keep ? 100 : 1; });
    std::vector<std::string> paths;
    for (int i = 1; i <= 5; ++i) {
        paths.push_back(Sample("d" + std::to_string(i) + ".zrd"));
        ASSERT_EQ(Open(paths.back()), OpenResult::Done);
    }
    EXPECT_EQ(reloads, 5);
    EXPECT_EQ(frame().windowTitle().toStdString(), "KVX TALVERIN  3.1.1 - Oscilloscope [d5.zrd]");
    EXPECT_EQ(doc().GetTitle(), "d5");
    EXPECT_EQ(store().m_newDocument, 0);

    Sample("d5.zrd", ";Bench sample", ";Edited outside");
    ASSERT_EQ(Open(paths[4]), OpenResult::Done);
    EXPECT_EQ(store().m_commentText, "Edited outside");

    ASSERT_TRUE(Restart());
    EXPECT_EQ(plat::profile::getString(Settings(), "Recent File List", "File1"), paths[4]);
    EXPECT_EQ(plat::profile::getString(Settings(), "Recent File List", "File4"), paths[1]);
    EXPECT_FALSE(plat::profile::find(Settings(), "Recent File List", "File5"));

    std::filesystem::remove(paths[4]);
    m_boxes.answer(plat::IDOK);
    EXPECT_TRUE(frame().Commands().execute(ID_FILE_MRU_FILE1));
    EXPECT_EQ(m_boxes.last().caption, "File read error");
    EXPECT_EQ(app().GetDocTemplate().RecentFiles().Paths(), (std::vector<std::string>{paths[3], paths[2], paths[1]}));
}

TEST_F(DocumentGui, NewCommand)
{
    int starting = 0;
    int done = 0;
    QObject::connect(&frame().Notices(), &talverin::FrameNotices::newDocumentStarting, [&] { ++starting; });
    QObject::connect(&frame().Notices(), &talverin::FrameNotices::newDocumentDone, [&] { ++done; });
    auto chooseFirstUnit = [](QDialog& d) {
        auto& dialog = dynamic_cast<CNewDlg&>(d);
        EXPECT_EQ(dialog.Units()->currentText(), "KVX-100");
        dialog.accept();
        return dialog.result();
    };

    doc().SetModifiedFlag(true);
    m_boxes.answer(plat::IDNO);
    AnswerDialog([](QDialog& d) { d.reject(); return d.result(); });
    EXPECT_TRUE(frame().Commands().execute(ID_FILE_NEW));
    EXPECT_TRUE(doc().IsModified()); // the changes are still there
    EXPECT_EQ(starting, 0);

    m_boxes.answer(plat::IDNO);
    AnswerDialog(chooseFirstUnit);
    EXPECT_TRUE(frame().Commands().execute(ID_FILE_NEW));
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(starting, 1);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(store().m_unitFilePath, m_folder.file("unit/kvx100.ini"));

    // The unit's definition has gone: the program ends, its settings written.
    std::filesystem::remove(m_folder.file("unit/kvx100.ini"));
    store().m_editChannel = 9;
    AnswerDialog(chooseFirstUnit);
    m_boxes.answer(plat::IDOK);
    EXPECT_TRUE(frame().Commands().execute(ID_FILE_NEW));
    EXPECT_EQ(m_boxes.last().caption, "File reading error");
    plat::qt::PumpAllPending();
    EXPECT_TRUE(frame().IsDestroyed());
    EXPECT_EQ(plat::profile::getInt(Settings(), "Setting", "EditChannel", 0), 9);
}

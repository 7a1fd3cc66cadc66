// Starting the program headless: a temporary program folder with the sample settings file and
// unit, a temporary $XDG_DATA_HOME, the manual clock, and scripted message boxes, file dialogs and
// modal dialogs (an unscripted one fails the test). Start() makes the application object and runs
// its start-up; TearDown runs its shut-down.
#pragma once

#include "app/CCommentDlg.h"
#include "app/CTalverinApp.h"
#include "app/CTalverinDoc.h"
#include "app/ShellRegistration.h"
#include "common/AppMessages.h"
#include "connection/DriverConnection.h"
#include "frame/CMainFrame.h"

#include "../../platform/src/atomic_write_faults.h"

#include <platform/clock.h>
#include <platform/errors.h>
#include <platform/file_dialog.h>
#include <platform/message_box.h>
#include <platform/paths.h>
#include <platform/profile.h>
#include <platform/qt/modal_dialog.h>
#include <platform/qt/pump.h>
#include <platform/text.h>

#include <QDialog>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace apptest {

namespace fs = std::filesystem;

struct TempFolder {
    fs::path path;
    TempFolder()
    {
        char pattern[] = "/tmp/talverin-appXXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~TempFolder()
    {
        std::error_code ec;
        for (const auto& entry : fs::recursive_directory_iterator(path, ec))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
};

inline std::string ReadText(const std::string& path)
{
    std::string bytes;
    plat::ReadFileBytes(path, bytes);
    return bytes;
}

// The line a file box adds for the system's reason (none for 0).
inline std::string Reason(int err) { return err ? "\n" + plat::SystemErrorText(err) : std::string(); }

// Atomic writes fail at a step while it lives: a full disk, a read-only folder (not so for root).
using WriteStep = plat::detail::AtomicWriteStep;
struct ScopedWriteFault {
    ScopedWriteFault(WriteStep step, int err) { plat::detail::SetAtomicWriteFault(step, err); }
    ~ScopedWriteFault() { plat::detail::SetAtomicWriteFault(WriteStep::None, 0); }
};

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path sample = TALVERIN_SAMPLE_DATA_DIR;
        fs::create_directories(m_folder.path / "unit");
        fs::copy_file(sample / "Talverin.ini", m_folder.path / "Talverin.ini");
        fs::copy_file(sample / "unit/kvx100.ini", m_folder.path / "unit/kvx100.ini");
        plat::SetProgramFolder(m_folder.path.string());
        const char* xdg = std::getenv("XDG_DATA_HOME");
        m_savedXdg = xdg ? std::optional<std::string>(xdg) : std::nullopt;
        ::setenv("XDG_DATA_HOME", m_folder.file("xdg").c_str(), 1);
        m_savedUpdater = talverin::SetMimeDatabaseUpdater([this](const std::string& folder) { m_mimeUpdates.push_back(folder); });
    }

    void TearDown() override
    {
        if (m_app)
            m_app->ExitInstance();
        m_app.reset();
        plat::qt::PumpAllPending(plat::qt::PumpDeferredDeletes);
        talverin::SetMimeDatabaseUpdater(std::move(m_savedUpdater));
        if (m_savedXdg)
            ::setenv("XDG_DATA_HOME", m_savedXdg->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        plat::SetProgramFolder({});
        EXPECT_TRUE(m_dialogs.empty()) << m_dialogs.size() << " scripted dialogs were not shown";
        EXPECT_EQ(m_boxes.pending(), 0u) << "scripted boxes were not shown";
    }

    // Makes the application object and runs start-up.
    bool Start(std::vector<std::string> arguments = {})
    {
        if (m_app)
            m_app->ExitInstance();
        m_app.reset();
        m_app = std::make_unique<talverin::CTalverinApp>(std::move(arguments));
        if (!m_startOnScope)
            m_app->m_firstView = talverin::VIEW_BLANK;
        const bool started = m_app->InitInstance() != 0;
        // The start screen disables the frame: it comes up only in the tests that ask for it.
        if (started && !m_showStartScreen && m_app->GetMainFrame())
            frame().Messages().Set(talverin::WM_SHOW_START_DIALOG, [](plat::WPARAM, plat::LPARAM) { return plat::LRESULT{0}; });
        return started;
    }
    // Start-up again in a new application object, after the shut-down of the last one.
    bool Restart(std::vector<std::string> arguments = {}) { return Start(std::move(arguments)); }

    talverin::CTalverinApp& app() { return *m_app; }
    talverin::CMainFrame& frame() { return *m_app->GetMainFrame(); }
    talverin::CTalverinDoc& doc() { return *m_app->GetDocument(); }
    model::CDataFile& store() { return m_app->m_dataFile; }

    std::string Settings() const { return m_folder.file("Talverin.ini"); }
    void SetSetting(const char* section, const char* key, const char* value)
    {
        ASSERT_TRUE(plat::profile::setString(Settings(), section, key, value));
    }

    // The next modal dialog is answered by `answer` (it sees the dialog; returns its result).
    void AnswerDialog(std::function<int(QDialog&)> answer) { m_dialogs.push_back(std::move(answer)); }
    // The comment dialog, confirmed with the text (a null text keeps the one it shows).
    void AcceptComment(const QString& text = {})
    {
        AnswerDialog([text](QDialog& dialog) {
            auto& comment = dynamic_cast<talverin::CCommentDlg&>(dialog);
            if (!text.isNull())
                comment.CommentEdit()->setText(text);
            comment.accept();
            return comment.result();
        });
    }

    TempFolder m_folder;
    plat::ManualClock m_clock;
    plat::ScopedClock m_useClock{m_clock};
    plat::ScriptedMessageBoxes m_boxes{[](const std::string& what) { ADD_FAILURE() << what; }};
    plat::ScopedMessageBoxService m_useBoxes{m_boxes};
    plat::ScriptedFileDialogs m_files{[](const std::string& what) { ADD_FAILURE() << what; }};
    plat::ScopedFileDialogService m_useFiles{m_files};
    std::deque<std::function<int(QDialog&)>> m_dialogs;
    plat::qt::ScopedDialogRunner m_runner{[this](QDialog& dialog) {
        if (m_dialogs.empty()) {
            ADD_FAILURE() << "unscripted dialog " << dialog.objectName().toStdString();
            return int(QDialog::Rejected);
        }
        auto answer = std::move(m_dialogs.front());
        m_dialogs.pop_front();
        return answer(dialog);
    }};
    std::vector<std::string> m_mimeUpdates;
    bool m_showStartScreen = false; // set before Start
    bool m_startOnScope = false;    // set before Start: open on the oscilloscope as the program does
    std::unique_ptr<talverin::CTalverinApp> m_app;

private:
    std::optional<std::string> m_savedXdg;
    talverin::MimeDatabaseUpdater m_savedUpdater;
};

} // namespace apptest

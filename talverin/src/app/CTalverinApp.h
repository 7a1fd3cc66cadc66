// The application object: the shared state of the program (ProgramState: the data store, the
// settings every window reads, the document's save-question flags, the flags and guard the frame
// and the dialogs share), the document template and the frame it makes, the caption, start-up
// (InitInstance) and shut-down (ExitInstance). main() makes exactly one, right after the
// QApplication; theApp() reaches it from the application's own folder. Tests make one per test
// (see talverin/tests/AppFixture.h).
#pragma once

#include "app/CTalverinDoc.h"
#include "app/DocumentHost.h"
#include "common/CommandIds.h"

#include <platform/types.h>

#include <QBrush>
#include <QCoreApplication>
#include <QRect>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat::qt {
class JapaneseTexts;
}

namespace talverin {

using plat::BOOL;
using plat::FALSE;
using plat::TRUE;

class CMainFrame;
class CTalverinDocTemplate;
class SessionEnd;

class CTalverinApp : public DocumentHost {
    Q_DECLARE_TR_FUNCTIONS(CTalverinApp)

public:
    enum Brush { BrushLightRed, BrushLightBlue, BrushWindow, BrushCount };

    // arguments: the command line without the program name.
    explicit CTalverinApp(std::vector<std::string> arguments = {});
    ~CTalverinApp();
    CTalverinApp(const CTalverinApp&) = delete;
    CTalverinApp& operator=(const CTalverinApp&) = delete;

    // The one that exists, or null.
    static CTalverinApp* Instance();

    // Start-up; false ends the program (nothing is shown).
    BOOL InitInstance();
    // The event loop; a loop ended from outside with the frame still standing (the session's
    // end) closes the frame without questions. The loop's exit code.
    int Run();
    // Shut-down after the event loop (also after a failed start-up); returns exitCode.
    int ExitInstance(int exitCode = 0);
    // Termination signals and the session's end (from start-up on), else null.
    SessionEnd* Session() const { return m_sessionEnd.get(); }

    void UpdateTitle(const std::optional<QString>& viewTitle, const std::optional<QString>& documentName) override;
    QString Caption() const { return m_caption; }
    QString BaseCaption() const override;

    void OnAppAbout() override;

    CMainFrame* GetMainFrame() const override { return m_frame.get(); }
    CMainFrame* GetMainWnd() const override { return m_mainWndSet ? m_frame.get() : nullptr; }
    plat::HWND GetMainWindowHandle() const override;
    CTalverinDocTemplate& GetDocTemplate() { return *m_docTemplate; }
    CTalverinDoc* GetDocument() const override;
    RecentFileList& RecentFiles() override;
    void OnFileOpen() override;
    void OnOpenRecentFile(int index) override;
    bool AskNewDocumentUnit(QWidget* parent, std::string& unitName, std::string& unitPath) override;

    CMainFrame& EnsureMainFrame() override;
    void DiscardMainFrame() override;
    void OnMainFrameDestroyed() override;

    const std::vector<std::string>& Arguments() const { return m_arguments; }

    // The shared state (ProgramState) is read and written by the frame, the connection and the
    // dialogs; what follows is the application's own.

    std::array<std::optional<QBrush>, BrushCount> m_brushes;

    QString m_documentName;              // last document name given to UpdateTitle

    // The screen the program opens on once every screen is registered (tests that bring their own
    // screens keep the blank one).
    int m_firstView = VIEW_OSCILLO;

private:
    bool readUnitSection();
    void readExtBar();
    void chooseLanguage();
    void loadDocumentUnit(const std::string& path);

    std::vector<std::string> m_arguments;
    std::unique_ptr<CTalverinDocTemplate> m_docTemplate;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_mainWndSet = false;
    bool m_exited = false;
    QString m_caption;
    std::unique_ptr<plat::qt::JapaneseTexts> m_translator;
    std::unique_ptr<SessionEnd> m_sessionEnd;
};

// The application object (it must exist).
CTalverinApp& theApp();

// The older program's lookup would read a system registry, which Linux does not have: always 0
// (nothing read), out emptied.
int ReadRegistryString(const char* subkey, const char* valueName, std::string& out);

} // namespace talverin

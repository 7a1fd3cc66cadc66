// The application object: the data store, the settings every window reads (language, paths,
// command-bar entries, brushes, titles), the save-question flags of the document, the flags and
// guard the frame and the dialogs share, start-up (InitInstance) and shut-down (ExitInstance).
// main() makes exactly one, right after the QApplication; theApp() reaches it from everywhere.
// Tests make one per test (see talverin/tests/AppFixture.h).
#pragma once

#include "common/CommandIds.h"
#include "common/ScreenSwitchGuard.h"
#include "common/SettingsSaveReport.h"
#include "common/StartupRules.h"
#include "common/WindowPlacement.h"

#include <model/DataFile.h>
#include <platform/types.h>

#include <QBrush>
#include <QCoreApplication>
#include <QRect>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QTranslator;

namespace talverin {

using plat::BOOL;
using plat::FALSE;
using plat::TRUE;

class CMainFrame;
class CTalverinDoc;
class CTalverinDocTemplate;

inline constexpr int kExtBarEntryCount = 5;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOW = 5;


// SaveOutcome values.
enum SaveOutcome : int {
    kSaveNothingToDo = 0,
    kSaveDone = 1,       // saved, or the changes were dropped
    kSaveFailed = 2,     // the save failed or the document is still modified
    kSaveCancelled = 4,
};

class CTalverinApp {
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
    // Shut-down after the event loop (also after a failed start-up); returns exitCode.
    int ExitInstance(int exitCode = 0);

    // One value of the settings file (at most 1023 characters); the number of characters read.
    int GetProfileText(std::string_view section, std::string_view key, std::string_view defaultValue,
                       std::string& text) const;
    BOOL WriteProfileText(std::string_view section, std::string_view key, std::string_view text) const;

    // Sets the main window's caption; a given document name replaces the stored one, a missing
    // view title uses the stored one (which the frame sets on every screen switch).
    void UpdateTitle(const std::optional<QString>& viewTitle, const std::optional<QString>& documentName);
    QString Caption() const { return m_caption; }
    // The caption's first part: product title and version.
    static QString BaseCaption();

    void OnAppAbout();

    // The frame from its creation in start-up on; GetMainWnd() only once start-up made the
    // first document (as the framework's main window).
    CMainFrame* GetMainFrame() const { return m_frame.get(); }
    CMainFrame* GetMainWnd() const { return m_mainWndSet ? m_frame.get() : nullptr; }
    // The owner of the program's boxes: the frame's handle once it exists, else none.
    plat::HWND GetMainWindowHandle() const;
    CTalverinDocTemplate& GetDocTemplate() { return *m_docTemplate; }
    CTalverinDoc* GetDocument() const;

    // Used by the document template: makes the frame when there is none.
    CMainFrame& EnsureMainFrame();
    // Tears a frame down that start-up could not use.
    void DiscardMainFrame();
    // The frame ran its destroy path: the event loop ends.
    void OnMainFrameDestroyed();

    const std::vector<std::string>& Arguments() const { return m_arguments; }

    // ---- Shared state (read and written by the frame, the screens and the dialogs) ------------

    model::CDataFile m_dataFile;
    plat::LANGID m_language = plat::LANG_ENGLISH_US;
    std::string m_programFolder;
    std::string m_settingsPath;
    std::string m_helpFolder;            // the help pages' folder (the store's [Setting] HelpFolder)

    bool m_extBarPresent = false;        // the settings file has a non-empty [ExtBar]
    std::array<ExtBarEntry, kExtBarEntryCount> m_extBar;

    std::array<std::optional<QBrush>, BrushCount> m_brushes;

    QString m_documentName;              // last document name given to UpdateTitle
    QString m_viewTitle;                 // the current screen's title

    std::string m_oldProgramPath;        // an older installed program: never found here
    std::string m_oldProgramVersion;

    // The screen the program opens on once every screen is registered (tests that bring their own
    // screens keep the blank one).
    int m_firstView = VIEW_OSCILLO;
    int m_askBeforeSave = 1;             // 1: SaveModified asks; the frame sets 0 to save unasked
    int m_saveOutcome = kSaveNothingToDo;
    int m_connectSaveWording = 0;        // 1: the save question uses the connect wording
    int m_transferRunning = 0;           // 1 while the upload / download dialog runs
    int m_lockState = 0;                 // the driver's password lock as last read (0 enabled)
    ScreenSwitchGuard m_switchGuard;
    WindowPlacement m_placement; // the frame's saved placement ([Setting] WinPos): what the first show does
    SettingsSaveReport m_settingsReport; // the settings writes of the way out, told once by ExitInstance

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
    std::unique_ptr<QTranslator> m_translator;
};

// The application object (it must exist).
CTalverinApp& theApp();

// The older program's lookup reads the system registry of the original platform, which does not
// exist here: always 0 (nothing read), out emptied.
int ReadRegistryString(const char* subkey, const char* valueName, std::string& out);

} // namespace talverin

// What the program's parts share: the data store, the settings every window reads (language,
// paths, command-bar entries, the older program), the document's save-question flags, the flags
// and guard the frame and the dialogs share, and the one document. The application object is the
// one that exists (CTalverinApp derives from it); the frame, the connection and the dialogs are
// handed it, the screens only what their ScreenHost gives.
#pragma once

#include "common/ScreenSwitchGuard.h"
#include "common/SettingsSaveReport.h"
#include "common/StartupRules.h"
#include "common/WindowPlacement.h"

#include <model/DataFile.h>
#include <platform/types.h>

#include <QString>

#include <array>
#include <string>
#include <string_view>

namespace talverin {

class DocumentAccess;

inline constexpr int kExtBarEntryCount = 5;

// SaveOutcome values.
enum SaveOutcome : int {
    kSaveNothingToDo = 0,
    kSaveDone = 1,       // saved, or the changes were dropped
    kSaveFailed = 2,     // the save failed or the document is still modified
    kSaveCancelled = 4,
};

class ProgramState {
public:
    ProgramState() = default;
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    // The one document, null until start-up made it.
    virtual DocumentAccess* GetDocument() const = 0;

    // One value of the settings file (at most 1023 characters); the number of characters read.
    int GetProfileText(std::string_view section, std::string_view key, std::string_view defaultValue,
                       std::string& text) const;
    plat::BOOL WriteProfileText(std::string_view section, std::string_view key, std::string_view text) const;

    model::CDataFile m_dataFile;
    plat::LANGID m_language = plat::LANG_ENGLISH_US;
    std::string m_programFolder;
    std::string m_settingsPath;
    std::string m_helpFolder;            // the help pages' folder (the store's [Setting] HelpFolder)

    bool m_extBarPresent = false;        // the settings file has a non-empty [ExtBar]
    std::array<ExtBarEntry, kExtBarEntryCount> m_extBar;

    QString m_viewTitle;                 // the current screen's title

    std::string m_oldProgramPath;        // an older installed program: never found here
    std::string m_oldProgramVersion;

    int m_askBeforeSave = 1;             // 1: SaveModified asks; the frame sets 0 to save unasked
    int m_saveOutcome = kSaveNothingToDo;
    int m_connectSaveWording = 0;        // 1: the save question uses the connect wording
    int m_transferRunning = 0;           // 1 while the upload / download dialog runs
    int m_lockState = 0;                 // the driver's password lock as last read (0 enabled)
    ScreenSwitchGuard m_switchGuard;
    WindowPlacement m_placement; // the frame's saved placement ([Setting] WinPos): what the first show does
    SettingsSaveReport m_settingsReport; // the settings writes of the way out, told once by ExitInstance

protected:
    ~ProgramState() = default;
};

} // namespace talverin

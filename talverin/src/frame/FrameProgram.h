// What the main frame asks of the program that made it, beside the shared state: the recent
// files and the Open commands of the document template, the caption, About, and the end of the
// event loop once the frame is gone. The application object is the one.
#pragma once

#include "common/ProgramState.h"

#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace talverin {

class RecentFileList;

class FrameProgram : public ProgramState {
public:
    virtual RecentFileList& RecentFiles() = 0;
    // File > Open and a recent file's item.
    virtual void OnFileOpen() = 0;
    virtual void OnOpenRecentFile(int index) = 0;
    // File > New: the unit of the new document, asked for over `parent`; false when the user
    // cancelled.
    virtual bool AskNewDocumentUnit(QWidget* parent, std::string& unitName, std::string& unitPath) = 0;
    // Sets the main window's caption; a given document name replaces the stored one, a missing
    // view title uses the stored one (which the frame sets on every screen switch).
    virtual void UpdateTitle(const std::optional<QString>& viewTitle, const std::optional<QString>& documentName) = 0;
    // The caption's first part: product title and version.
    virtual QString BaseCaption() const = 0;
    virtual void OnAppAbout() = 0;
    // The frame ran its destroy path: the event loop ends.
    virtual void OnMainFrameDestroyed() = 0;

protected:
    ~FrameProgram() = default;
};

} // namespace talverin

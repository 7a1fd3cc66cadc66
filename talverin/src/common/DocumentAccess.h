// The one document as the frame, the connection, the upload/download dialog and the screens use
// it: its modified flag, its title, the save question and the File commands. The document itself
// (app/CTalverinDoc) sits above all of them; they reach it through the shared state
// (ProgramState::GetDocument), never by its class.
#pragma once

#include <platform/types.h>

#include <QString>

#include <string>

namespace talverin {

class DocumentAccess {
public:
    virtual bool IsModified() const = 0;
    virtual void SetModifiedFlag(bool modified = true) = 0;
    // The name in the save questions: the file name without ".zrd", or "NewDocument".
    virtual const std::string& GetTitle() const = 0;
    // TRUE lets the caller go on (close, new, open, connect); ProgramState::m_saveOutcome tells
    // what happened.
    virtual plat::BOOL SaveModified() = 0;
    virtual plat::BOOL OnNewDocument() = 0;
    virtual plat::BOOL OnFileSave() = 0;
    virtual plat::BOOL OnFileSaveAs() = 0;
    // The question SaveModified asks (Yes, No, Cancel).
    virtual QString SaveQuestion() const = 0;
    // The question before the program closes while connected; it names the channel programs that
    // are only in the document.
    virtual QString CloseSaveQuestion() const = 0;

protected:
    ~DocumentAccess() = default;
};

} // namespace talverin

// The one document. Its content lives in the data store of the application object; the document
// ties New, Open, Save, Save As and closing to it: it reads the unit definition for a new
// document, checks and loads a document file (optionally switching to the unit the file names),
// saves through the store after asking for a comment, and asks whether to save changes.
//
// Failures are message boxes in the user's language and FALSE. A failed unit definition on New and
// a failed load on Open end the program: during start-up by start-up's FALSE, once running by the
// frame's destroy path (settings written, no questions).
#pragma once

#include "common/DocumentAccess.h"

#include <platform/types.h>

#include <QCoreApplication>

#include <string>

namespace talverin {

using plat::BOOL;
using plat::FALSE;
using plat::TRUE;

class DocumentHost;
class RecentFileList;

// What the document asks of its template: the file box, the documents' extension and the recent
// files (CTalverinDocTemplate).
class DocumentFiles {
public:
    // The open and save boxes: true with the chosen path.
    virtual bool PromptFileName(bool save, std::string& path) const = 0;
    // ".zrd"
    virtual std::string FileExtension() const = 0;
    virtual RecentFileList& RecentFiles() = 0;

protected:
    ~DocumentFiles() = default;
};

class CTalverinDoc : public DocumentAccess {
    Q_DECLARE_TR_FUNCTIONS(CTalverinDoc)

public:
    CTalverinDoc(DocumentHost& app, DocumentFiles& files);

    bool IsModified() const override { return m_modified; }
    void SetModifiedFlag(bool modified = true) override { m_modified = modified; }
    // The name in the save questions: the file name without ".zrd", or "NewDocument".
    const std::string& GetTitle() const override { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }
    const std::string& GetPathName() const { return m_pathName; }
    // The path (absolute), the title from it, and the path at the top of the recent files.
    void SetPathName(const std::string& path, bool addToRecentFiles = true);

    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(const std::string& path);
    BOOL OnSaveDocument(const std::string& path);
    // TRUE lets the caller go on (close, new, open, connect); the application's m_saveOutcome
    // tells what happened.
    BOOL SaveModified() override;
    QString SaveQuestion() const override;
    QString CloseSaveQuestion() const override;
    // An empty path asks for one (Save As). A failed save never deletes anything.
    BOOL DoSave(const std::string& path, bool replace = true);

    // File > Save: a document without a path, or whose file is missing or read-only, is saved
    // as a new file (Save As).
    BOOL OnFileSave() override;
    BOOL OnFileSaveAs() override { return DoSave(std::string()); }

private:
    // `reason`: the system's, for a failure of its own ("" for one of the file's content).
    void reportOpenFailure(const std::string& path, int code, const std::string& reason);
    void reportUnitMissing(const std::string& unit, const std::string& reason = {});
    // Ends the program after a failure that left no usable document.
    void endProgram();
    plat::HWND owner() const;

    DocumentHost& m_app;
    DocumentFiles& m_template;
    bool m_modified = false;
    std::string m_title;
    std::string m_pathName;
};

} // namespace talverin

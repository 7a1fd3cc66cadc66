// The single-document template: one CTalverinDoc in one CMainFrame. It makes the frame and the
// document for the first New or Open, opens documents the framework's way (save question first,
// the modified flag restored when an open fails, the path and the recent-file list set when it
// succeeds, the open document read again when it is opened again), prompts for file names and
// keeps the recent-file list.
#pragma once

#include "app/CTalverinDoc.h"
#include "frame/RecentFileList.h"

#include <platform/types.h>

#include <QCoreApplication>
#include <QString>

#include <memory>
#include <string>

namespace talverin {

class DocumentHost;

enum class OpenResult {
    Done,
    Cancelled, // the save question of the open document was cancelled, or no file was chosen
    Failed,    // the document could not be made or read (the user was told)
};

class CTalverinDocTemplate : public DocumentFiles {
    Q_DECLARE_TR_FUNCTIONS(CTalverinDocTemplate)

public:
    static constexpr int kResourceId = 128;
    // The fields of the document string.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    explicit CTalverinDocTemplate(DocumentHost& app);
    ~CTalverinDocTemplate();

    // String 128: "KVX TALVERIN\n\nZRDOC\nKVX TALVERIN FILE(*.zrd)\n.zrd\nTalverin.Document\nTalverin Document".
    static QString DocumentString();
    std::string GetDocString(DocStringIndex index) const;
    // "KVX TALVERIN FILE(*.zrd)|*.zrd|All Files (*.*)|*.*||"
    std::string FileFilter() const;
    std::string FileExtension() const override { return GetDocString(filterExt); }

    CTalverinDoc* GetDocument() const { return m_document.get(); }
    RecentFileList& RecentFiles() override { return m_recentFiles; }

    // An empty path makes a new document (only at start-up: later New is the frame's command);
    // otherwise the document is opened. The first call also makes the frame, and a frame made
    // for a call that fails is torn down again.
    OpenResult OpenDocumentFile(const std::string& path);
    // The open and save dialogs: true with the chosen path.
    bool PromptFileName(bool save, std::string& path) const override;

    // File > Open: the dialog, then OpenDocumentFile.
    OpenResult OnFileOpen();
    // A recent file: opened; an entry that cannot be opened leaves the list.
    OpenResult OnOpenRecentFile(int index);

private:
    DocumentHost& m_app;
    std::unique_ptr<CTalverinDoc> m_document;
    RecentFileList m_recentFiles;
};

} // namespace talverin

#include "app/CTalverinDocTemplate.h"

#include "app/DocumentHost.h"
#include "common/CommandIds.h"
#include "frame/CMainFrame.h"

#include <platform/file_dialog.h>

#include <QStringList>

namespace talverin {

CTalverinDocTemplate::CTalverinDocTemplate(DocumentHost& app) : m_app(app), m_recentFiles(kRecentFileCount) {}

CTalverinDocTemplate::~CTalverinDocTemplate() = default;

QString CTalverinDocTemplate::DocumentString()
{
    return tr("KVX TALVERIN\n\nZRDOC\nKVX TALVERIN FILE(*.zrd)\n.zrd\nTalverin.Document\nTalverin Document");
}

std::string CTalverinDocTemplate::GetDocString(DocStringIndex index) const
{
    const QStringList fields = DocumentString().split(QLatin1Char('\n'));
    return index < fields.size() ? fields[index].toStdString() : std::string();
}

std::string CTalverinDocTemplate::FileFilter() const
{
    const std::string extension = GetDocString(filterExt);
    return GetDocString(filterName) + "|*" + extension + "|" + tr("All Files (*.*)").toStdString() + "|*.*||";
}

OpenResult CTalverinDocTemplate::OpenDocumentFile(const std::string& path)
{
    const bool firstDocument = !m_document;
    if (firstDocument)
        m_document = std::make_unique<CTalverinDoc>(m_app, *this);
    else if (!m_document->SaveModified())
        return OpenResult::Cancelled;

    const bool frameMade = !m_app.GetMainFrame();
    m_app.EnsureMainFrame();

    CTalverinDoc& doc = *m_document;
    if (path.empty()) {
        if (!doc.OnNewDocument()) {
            if (frameMade)
                m_app.DiscardMainFrame();
            return OpenResult::Failed;
        }
        return OpenResult::Done;
    }

    const bool wasModified = doc.IsModified();
    doc.SetModifiedFlag(false);
    if (!doc.OnOpenDocument(path)) {
        if (frameMade)
            m_app.DiscardMainFrame();
        else
            doc.SetModifiedFlag(wasModified);
        return OpenResult::Failed;
    }
    doc.SetPathName(path);
    return OpenResult::Done;
}

bool CTalverinDocTemplate::PromptFileName(bool save, std::string& path) const
{
    plat::FileDialogRequest request;
    request.owner = m_app.GetMainWindowHandle();
    request.save = save;
    request.title = (save ? tr("Save As") : tr("Open")).toStdString();
    request.initialPath = path;
    request.filter = FileFilter();
    std::string extension = GetDocString(filterExt);
    if (!extension.empty() && extension[0] == '.')
        extension.erase(0, 1);
    request.defaultExtension = extension;
    request.flags = save ? plat::OFN_HIDEREADONLY | plat::OFN_OVERWRITEPROMPT | plat::OFN_PATHMUSTEXIST
                         : plat::OFN_HIDEREADONLY | plat::OFN_FILEMUSTEXIST;
    const plat::FileDialogResult result = plat::PromptFileName(request);
    if (!result.accepted || result.path.empty())
        return false;
    path = result.path;
    return true;
}

OpenResult CTalverinDocTemplate::OnFileOpen()
{
    std::string path;
    if (!PromptFileName(false, path))
        return OpenResult::Cancelled;
    return OpenDocumentFile(path);
}

OpenResult CTalverinDocTemplate::OnOpenRecentFile(int index)
{
    if (index < 0 || index >= static_cast<int>(m_recentFiles.Paths().size()))
        return OpenResult::Failed;
    const std::string path = m_recentFiles.Paths()[index];
    const OpenResult result = OpenDocumentFile(path);
    if (result == OpenResult::Failed)
        m_recentFiles.Remove(index);
    return result;
}

} // namespace talverin

#include "app/CTalverinDoc.h"

#include "app/CCommentDlg.h"
#include "app/DocumentHost.h"
#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "common/StartupRules.h"
#include "connection/ConnectionRules.h"
#include "frame/RecentFileList.h"
#include "frame/CMainFrame.h"
#include "screens/channel/ChannelTable.h"

#include <model/DocumentFile.h>
#include <model/SharedData.h>
#include <platform/errors.h>
#include <platform/messages.h>
#include <platform/paths.h>
#include <platform/profile.h>
#include <platform/qt/modal_dialog.h>

#include <QApplication>
#include <QDialog>

#include <cerrno>
#include <filesystem>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talverin {

namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

// False with the system's reason in the last error.
bool canOpen(const std::string& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        plat::SetLastErrorFromErrno(errno);
        return false;
    }
    ::close(fd);
    return true;
}

// Nothing when the file can be read; else the system's reason ("" for no path or no plain file).
std::optional<std::string> whyUnreadable(const std::string& path)
{
    struct stat info {};
    if (path.empty())
        return std::string();
    if (::stat(path.c_str(), &info) != 0)
        return plat::SystemErrorText(errno);
    if (!S_ISREG(info.st_mode))
        return std::string();
    if (canOpen(path, O_RDONLY))
        return std::nullopt;
    return plat::LastErrorReason();
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

CTalverinDoc::CTalverinDoc(DocumentHost& app, DocumentFiles& files) : m_app(app), m_template(files) {}

plat::HWND CTalverinDoc::owner() const
{
    return m_app.GetMainWindowHandle();
}

void CTalverinDoc::SetPathName(const std::string& path, bool addToRecentFiles)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    m_pathName = ec ? path : absolute.lexically_normal().string();
    m_title = DocumentTitleFromPath(m_pathName);
    if (addToRecentFiles)
        m_template.RecentFiles().Add(m_pathName);
}

void CTalverinDoc::endProgram()
{
    // During start-up the FALSE that follows ends it; once running the frame is told to go.
    if (CMainFrame* frame = m_app.GetMainWnd())
        plat::PostMessage(frame->GetSafeHwnd(), WM_DESTROY, 0, 0);
}

BOOL CTalverinDoc::OnNewDocument()
{
    m_pathName.clear();
    m_modified = false;

    model::CDataFile& store = m_app.m_dataFile;
    store.m_driverModelInfo.clear();
    store.m_documentModelInfo.clear();
    store.m_commentText.clear();
    store.m_alarmText.clear();

    if (!store.LoadDefinition()) {
        const plat::DWORD error = plat::GetLastError();
        const QString text = error == plat::ERROR_FILE_NOT_FOUND || error == plat::ERROR_PATH_NOT_FOUND
                               ? tr("Setting file does not exist.\nFile required for application does not exist.\n"
                                    "Need to re-install.")
                               : tr("Cannot read setting file.\nMake sure file is not being used by another application.");
        AppMessageBox(owner(), WithLastReason(text), tr("File reading error"), plat::MB_ICONWARNING);
        endProgram();
        return FALSE;
    }

    const QString name = tr("NewDocument");
    store.m_documentPath.clear();
    store.m_oscillo.ClearSamples();
    // Without a path: the empty document path is what tells the connect command that the data
    // must be read from the driver.
    store.ResetToDefaults();
    m_title = name.toStdString();
    m_app.UpdateTitle(std::nullopt, name);
    store.m_dataReceivedFlag = 0;
    m_modified = false;
    store.m_newDocument = 1;
    return TRUE;
}

void CTalverinDoc::reportUnitMissing(const std::string& unit, const std::string& reason)
{
    QString text = tr("Cannot find driver definition file.\n");
    if (!unit.empty())
        text += tr("Cannot continue because definition file for unit %1is not found.").arg(QString::fromStdString(unit));
    AppMessageBox(owner(), WithReason(text, reason), tr("File error"), plat::MB_ICONERROR);
}

void CTalverinDoc::reportOpenFailure(const std::string& path, int code, const std::string& reason)
{
    if (code == model::kDocumentNoSection) {
        std::string unit;
        std::string modelInfo;
        if (m_app.m_dataFile.ReadDocumentUnit(path, unit, modelInfo) == model::kDocumentUnitUnknown) {
            reportUnitMissing(unit);
            return;
        }
    }
    if (code == model::kDocumentNoSection || code == model::kDocumentBadChannel || code == model::kDocumentBadPin) {
        AppMessageBox(owner(), tr("File type mismatch, or file is damaged.\nCheck file."), tr("File error"),
                      plat::MB_ICONERROR);
        return;
    }
    AppMessageBox(owner(),
                  WithReason(tr("Cannot read data file.\nFile may be deleted or set read-only by another application.\n"
                                "Check the file."),
                             reason),
                  tr("File read error"), plat::MB_ICONWARNING);
}

BOOL CTalverinDoc::OnOpenDocument(const std::string& path)
{
    model::CDataFile& store = m_app.m_dataFile;
    const std::string savedComment = store.m_commentText;
    const std::string savedAlarm = store.m_alarmText;

    int code = model::kDocumentOk;
    if (!store.CheckDocument(path, code)) {
        reportOpenFailure(path, code, plat::LastErrorReason());
        return FALSE;
    }

    // The definition the document is read against is checked before anything is cleared: a
    // document loaded against another unit's parameter list would silently lose its values.
    std::string unit = store.m_unitName;
    std::string definition = store.m_unitFilePath;
    std::string followed; // empty: the current unit's definition
    if (plat::profile::getInt(m_app.m_settingsPath, "Setting", "UnitfileFollow", 0) != 0) {
        std::string documentUnit;
        std::string modelInfo;
        store.ReadDocumentUnit(path, documentUnit, modelInfo);
        const std::string value = documentUnit.empty()
                                    ? std::string()
                                    : store.GetProfilePath("Unit", documentUnit, "", m_app.m_settingsPath);
        if (!value.empty()) {
            unit = documentUnit;
            definition = followed = value;
        }
    }
    if (const std::optional<std::string> reason = whyUnreadable(definition)) {
        store.m_commentText = savedComment;
        store.m_alarmText = savedAlarm;
        reportUnitMissing(unit, *reason);
        return FALSE;
    }

    // The screens that show the store's parameter nodes let them go before the lists are replaced.
    if (CMainFrame* frame = m_app.GetMainFrame())
        frame->PrepareDataLoad();
    store.ClearAll(1);
    store.m_oscillo.ClearSamples();
    int loadCode = model::kDocumentOk;
    const bool loaded = store.LoadDefinition(followed) && store.LoadSettings() && store.LoadDocument(path, loadCode);
    if (!loaded) {
        AppMessageBox(owner(),
                      WithLastReason(tr("Failed to read data file.\nFile may be deleted or set read-only by another "
                                        "application.\nApplication will close.")),
                      tr("File read error"), plat::MB_ICONWARNING);
        endProgram();
        return FALSE;
    }

    store.m_dataReceivedFlag = 0;
    m_app.UpdateTitle(std::nullopt, QString::fromStdString(plat::FileNameOf(path)));
    if (const plat::HWND main = owner())
        plat::SendMessage(main, WM_DATA_RELOADED, 0, 0);
    m_modified = false;
    store.m_newDocument = 0;
    return TRUE;
}

BOOL CTalverinDoc::OnSaveDocument(const std::string& path)
{
    const QString cannotOpen =
        tr("Cannot open file.\nSpecified file does not exist, or the file is used by another application.");
    if (plat::FileExists(path) && !canOpen(path, O_WRONLY | O_APPEND)) {
        AppMessageBox(owner(), WithLastReason(cannotOpen), tr("Cannot open file"), plat::MB_ICONWARNING);
        return FALSE;
    }
    if (const plat::HWND main = owner()) {
        if (plat::SendMessage(main, WM_COLLECT_VIEW_DATA, 0, 0) == 0)
            return FALSE;
    }

    model::CDataFile& store = m_app.m_dataFile;
    std::string comment;
    model::ReadDocumentCommentBlock(path, "Comment:", comment);
    if (comment.empty()) {
        comment = store.m_commentText;
        replaceAll(comment, "\r\n;", "\n;");
        replaceAll(comment, "\r;", "\n;");
        replaceAll(comment, "\n;", "\r\n");
    }

    CCommentDlg dialog(store, QString::fromStdString(comment), m_app.GetMainFrame());
    const int result = plat::qt::RunModal(dialog);
    if (result == QDialog::Rejected)
        return FALSE;
    if (result == QDialog::Accepted) {
        comment = dialog.m_comment.toStdString();
        while (comment.find("\r\n\r\n") != std::string::npos)
            replaceAll(comment, "\r\n\r\n", "\r\n");
        replaceAll(comment, "\r\n", "\n;");
        store.m_commentText = comment;
    }

    if (!store.SaveDocument(path)) {
        AppMessageBox(owner(), WithLastReason(cannotOpen), tr("Cannot open file"), plat::MB_ICONWARNING);
        return FALSE;
    }
    m_app.UpdateTitle(std::nullopt, QString::fromStdString(plat::FileNameOf(path)));
    m_modified = false;
    return TRUE;
}

BOOL CTalverinDoc::SaveModified()
{
    m_app.m_saveOutcome = kSaveNothingToDo;
    if (!m_modified)
        return TRUE;

    if (m_app.m_askBeforeSave == 1) {
        const int answer = AppMessageBox(owner(), SaveQuestion(), tr("Verify Save"),
                                         plat::MB_YESNOCANCEL | plat::MB_ICONQUESTION);
        if (answer == plat::IDCANCEL) {
            m_app.m_saveOutcome = kSaveCancelled;
            return FALSE;
        }
        if (answer == plat::IDNO) {
            m_app.m_saveOutcome = kSaveDone;
            m_modified = false;
            return TRUE;
        }
    } else {
        m_app.m_askBeforeSave = 1;
    }

    if (m_pathName.empty()) {
        m_modified = true;
        const plat::HWND main = owner();
        const plat::LRESULT handled = main ? plat::SendMessage(main, plat::WM_COMMAND, ID_FILE_SAVE_AS, 0)
                                           : OnFileSaveAs();
        if (!m_modified) {
            m_app.m_saveOutcome = kSaveDone;
            return handled != 0 ? TRUE : FALSE;
        }
        m_app.m_saveOutcome = kSaveFailed;
        return FALSE;
    }
    if (OnSaveDocument(m_pathName)) {
        m_app.m_saveOutcome = kSaveDone;
        m_modified = false;
        return TRUE;
    }
    m_app.m_saveOutcome = kSaveFailed;
    return FALSE;
}

QString CTalverinDoc::SaveQuestion() const
{
    const QString title = QString::fromStdString(m_title);
    // Channel programs that are only in this document are named: discarded, they are gone.
    std::string unwritten;
    {
        model::SharedLock lock(m_app.m_dataFile.GetDataMutex());
        unwritten = UnwrittenChannelList(m_app.m_dataFile.GetChannelArray());
    }
    const QString channels = QString::fromStdString(unwritten);
    if (m_app.m_connectSaveWording == 1) {
        const CMainFrame* frame = m_app.GetMainFrame();
        if (!unwritten.empty() && frame && ConnectReadsAllData(frame->GetCurrentViewId()))
            return tr("Connecting will clear current changes.\nChannel(s) %1 are cleared or only partly "
                      "written on the driver unit; their programs are only in this document.\n"
                      "save changes to '%2'?")
                .arg(channels, title);
        return tr("Connecting will clear current changes.\nsave changes to '%1'?").arg(title);
    }
    return unwritten.empty() ? tr("save changes to '%1'?").arg(title)
                             : tr("Channel(s) %1 are cleared or only partly written on the driver "
                                  "unit; their programs are only in this document.\n"
                                  "save changes to '%2'?")
                                   .arg(channels, title);
}

QString CTalverinDoc::CloseSaveQuestion() const
{
    std::string unwritten;
    {
        model::SharedLock lock(m_app.m_dataFile.GetDataMutex());
        unwritten = UnwrittenChannelList(m_app.m_dataFile.GetChannelArray());
    }
    if (unwritten.empty())
        return tr("save changes to '%1'").arg(QString::fromStdString(m_title));
    return tr("Channel(s) %1 are cleared or only partly written on the driver unit; their programs are only in "
              "this document.\nsave changes to '%2'")
        .arg(QString::fromStdString(unwritten), QString::fromStdString(m_title));
}

BOOL CTalverinDoc::DoSave(const std::string& path, bool replace)
{
    std::string target = path;
    if (target.empty()) {
        target = m_pathName;
        if (replace && target.empty())
            target = FileNameFromTitle(m_title, m_template.FileExtension());
        if (!m_template.PromptFileName(true, target))
            return FALSE;
    }
    BOOL saved = FALSE;
    {
        const WaitCursor wait;
        saved = OnSaveDocument(target);
    }
    // A failed save leaves whatever was there: the store writes atomically, and nothing here
    // deletes the file.
    if (!saved)
        return FALSE;
    if (replace)
        SetPathName(target);
    return TRUE;
}

BOOL CTalverinDoc::OnFileSave()
{
    const bool writable = !m_pathName.empty() && plat::FileExists(m_pathName) && canOpen(m_pathName, O_WRONLY | O_APPEND);
    return DoSave(writable ? m_pathName : std::string());
}

} // namespace talverin

#include "app/CTalverinApp.h"

#include "app/CAboutDlg.h"
#include "app/CNewDlg.h"
#include "app/CTalverinDoc.h"
#include "app/CTalverinDocTemplate.h"
#include "app/ProgramScreens.h"
#include "app/ShellRegistration.h"
#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "controlhost/ControlFailures.h"
#include "frame/CMainFrame.h"

#include <model/DocumentFile.h>
#include <platform/clock.h>
#include <platform/language.h>
#include <platform/messages.h>
#include <platform/paths.h>
#include <platform/profile.h>
#include <platform/qt/modal_dialog.h>
#include <platform/text.h>

#include <QApplication>
#include <QPalette>
#include <QThread>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace talverin {

namespace {

CTalverinApp* g_app = nullptr;

constexpr plat::DWORD kExtBarSectionSize = 1024;
constexpr plat::DWORD kUnitSectionSize = 8192;
constexpr int kStartDialogPosts = 5;
constexpr const char* kOldProgramKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Talverin.exe";

std::vector<std::string> readSection(const char* section, plat::DWORD size, const std::string& file)
{
    std::vector<char> buffer(size, '\0');
    const plat::DWORD n = plat::GetPrivateProfileSection(section, buffer.data(), size, file.c_str());
    return SplitProfileList(buffer.data(), n);
}

// The Japanese texts: beside the settings file, or beside the program when the program folder
// was moved elsewhere.
std::unique_ptr<QTranslator> loadTranslator(const std::string& programFolder)
{
    auto translator = std::make_unique<QTranslator>();
    for (const std::string& folder : {programFolder, plat::FolderOf(plat::GetModuleFileName())}) {
        if (translator->load(QString::fromStdString(plat::JoinPath(folder, "translations/talverin_ja.qm"))))
            return translator;
    }
    return nullptr;
}

} // namespace

CTalverinApp::CTalverinApp(std::vector<std::string> arguments) : m_arguments(std::move(arguments))
{
    if (g_app) {
        std::fputs("CTalverinApp: a second application object\n", stderr);
        std::abort();
    }
    g_app = this;
    ForgetControlFailures();
}

CTalverinApp::~CTalverinApp()
{
    ExitInstance();
    m_frame.reset();
    m_docTemplate.reset();
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
    g_app = nullptr;
}

CTalverinApp* CTalverinApp::Instance()
{
    return g_app;
}

CTalverinApp& theApp()
{
    if (!g_app) {
        std::fputs("theApp(): no application object\n", stderr);
        std::abort();
    }
    return *g_app;
}

int ReadRegistryString(const char*, const char*, std::string& out)
{
    out.clear();
    return 0;
}

BOOL CTalverinApp::InitInstance()
{
    // The hosted controls' registry is found by the component loader itself, and the older
    // program's App Paths entry cannot exist here: both steps find nothing to do.
    m_oldProgramPath.clear();
    m_oldProgramVersion.clear();
    std::string oldFolder;
    ReadRegistryString(kOldProgramKey, "Path", oldFolder);

    m_docTemplate = std::make_unique<CTalverinDocTemplate>(*this);

    m_programFolder = plat::GetProgramFolder();
    m_settingsPath = plat::JoinPath(m_programFolder, "Talverin.ini");
    m_dataFile.m_programFolder = m_programFolder;
    m_dataFile.m_settingsPath = m_settingsPath;

    chooseLanguage();
    readExtBar();
    if (!readUnitSection())
        return FALSE;

    m_docTemplate->RecentFiles().ReadList(m_settingsPath);
    m_dataFile.LoadSettings();
    m_helpFolder = m_dataFile.m_helpFolder;

    RegisterShellFileTypes(plat::GetModuleFileName());

    const std::optional<std::string> document = CommandLineDocument(m_arguments);
    if (document)
        loadDocumentUnit(*document);
    if (m_docTemplate->OpenDocumentFile(document.value_or(std::string())) != OpenResult::Done)
        return FALSE;
    m_mainWndSet = true;

    m_brushes[BrushLightRed] = QBrush(QColor(255, 224, 224));
    m_brushes[BrushLightBlue] = QBrush(QColor(224, 224, 255));
    m_brushes[BrushWindow] = QBrush(QApplication::palette().color(QPalette::Base));

    m_viewTitle = tr("Oscilloscope");
    UpdateTitle(m_viewTitle, std::nullopt);

    CMainFrame& frame = *m_frame;
    if (m_placement.showCmd == SW_SHOWMAXIMIZED)
        frame.showMaximized();
    else
        frame.show();
    frame.update();
    frame.setAcceptDrops(true);

    for (int i = 0; i < kStartDialogPosts; ++i) {
        if (plat::PostMessage(frame.GetSafeHwnd(), WM_SHOW_START_DIALOG, 0, 0))
            break;
    }
    return TRUE;
}

void CTalverinApp::chooseLanguage()
{
    std::string lang;
    GetProfileText("Setting", "LANG", "", lang);
    m_language = LanguageFromSetting(lang, plat::LanguageFromEnvironment());
    const bool japanese = m_language == plat::LANG_JAPANESE;
    plat::SetLanguage(japanese ? plat::LANG_JAPANESE : plat::LANG_ENGLISH_US);
    if (japanese && !m_translator) {
        m_translator = loadTranslator(m_programFolder);
        if (m_translator)
            QCoreApplication::installTranslator(m_translator.get());
    }
}

void CTalverinApp::readExtBar()
{
    m_extBarPresent = !readSection("ExtBar", kExtBarSectionSize, m_settingsPath).empty();
    m_extBar = {};
    if (!m_extBarPresent)
        return;
    for (int n = 1; n <= kExtBarEntryCount; ++n) {
        std::string value;
        GetProfileText("ExtBar", std::to_string(n), "", value);
        m_extBar[n - 1] = ParseExtBarValue(value);
    }
}

bool CTalverinApp::readUnitSection()
{
    const std::optional<UnitEntry> unit = FirstUnitEntry(readSection("Unit", kUnitSectionSize, m_settingsPath));
    if (!unit) {
        // Only a settings file that cannot be read at all has a system reason to add.
        std::string bytes;
        const std::string reason = plat::ReadFileBytes(m_settingsPath, bytes) ? std::string() : plat::LastErrorReason();
        AppMessageBox(nullptr,
                      WithReason(tr("Failed to read unit information\nFile may be damaged, or setting may be "
                                    "incorrect.\nRe-install the application."),
                                 reason),
                      tr("Setting file error"), plat::MB_ICONWARNING);
        return false;
    }
    m_dataFile.m_unitName = unit->name;
    std::string path = unit->path;
    m_dataFile.MakeAbsolutePath(path);
    m_dataFile.m_unitFilePath = path;
    return true;
}

void CTalverinApp::loadDocumentUnit(const std::string& path)
{
    std::string unit = m_dataFile.m_unitName;
    std::string modelInfo;
    m_dataFile.ReadDocumentUnit(path, unit, modelInfo);
    m_dataFile.m_unitName = unit;
    // A unit the settings file does not list has no definition: the load fails and the open
    // that follows says which unit is missing.
    m_dataFile.m_unitFilePath = m_dataFile.GetProfilePath("Unit", unit, "", m_settingsPath);
    m_dataFile.LoadDefinition();
}

int CTalverinApp::ExitInstance(int exitCode)
{
    if (m_exited)
        return exitCode;
    m_exited = true;
    // The recent files first, while everything they need is still there.
    if (m_docTemplate && !m_settingsPath.empty())
        m_settingsReport.Note(m_docTemplate->RecentFiles().WriteList(m_settingsPath), m_settingsPath);
    // A frame that was never closed (a test, a failed start) still runs its destroy path.
    m_mainWndSet = false;
    m_frame.reset();
    // Once for everything that could not be kept.
    m_settingsReport.Show(nullptr);
    plat::Sleep(10);
    m_dataFile.Close();
    m_brushes = {};
    plat::Sleep(10);
    return exitCode;
}

QString CTalverinApp::BaseCaption() const
{
    const QString product = tr("KVX TALVERIN", "product title");
    return product + (plat::IsJapanese() ? QStringLiteral(" ") : QStringLiteral("  "))
         + QString::fromStdString(model::GetProgramVersionText());
}

void CTalverinApp::UpdateTitle(const std::optional<QString>& viewTitle, const std::optional<QString>& documentName)
{
    if (documentName)
        m_documentName = *documentName;
    const QString view = viewTitle ? *viewTitle : m_viewTitle;
    m_caption = QString::fromStdString(
        FormatMainCaption(BaseCaption().toStdString(), view.toStdString(), m_documentName.toStdString()));
    if (m_frame)
        m_frame->setWindowTitle(m_caption);
}

void CTalverinApp::OnAppAbout()
{
    CAboutDlg dialog(m_frame.get());
    plat::qt::RunModal(dialog);
}

plat::HWND CTalverinApp::GetMainWindowHandle() const
{
    return m_frame ? m_frame->GetSafeHwnd() : nullptr;
}

CTalverinDoc* CTalverinApp::GetDocument() const
{
    return m_docTemplate ? m_docTemplate->GetDocument() : nullptr;
}

RecentFileList& CTalverinApp::RecentFiles()
{
    return m_docTemplate->RecentFiles();
}

void CTalverinApp::OnFileOpen()
{
    m_docTemplate->OnFileOpen();
}

void CTalverinApp::OnOpenRecentFile(int index)
{
    m_docTemplate->OnOpenRecentFile(index);
}

bool CTalverinApp::AskNewDocumentUnit(QWidget* parent, std::string& unitName, std::string& unitPath)
{
    CNewDlg dialog(m_settingsPath, parent);
    if (plat::qt::RunModal(dialog) != QDialog::Accepted)
        return false;
    unitName = dialog.m_unitName;
    unitPath = dialog.m_unitPath;
    return true;
}

CMainFrame& CTalverinApp::EnsureMainFrame()
{
    // The frame registers the screens while it is made (ProgramScreens.cpp).
    if (!m_frame) {
        m_frame = std::make_unique<CMainFrame>(*this, [](CMainFrame& frame) { RegisterProgramScreens(frame); });
        // Registered after the frame's first switch, which shows the blank screen; the program
        // then opens on the oscilloscope.
        RegisterOpeningScreen(*m_frame);
        if (m_firstView != VIEW_BLANK && m_frame->IsViewRegistered(m_firstView))
            m_frame->SwitchView(m_firstView);
    }
    return *m_frame;
}

void CTalverinApp::DiscardMainFrame()
{
    if (!m_frame)
        return;
    m_frame->DestroyFrame();
    m_frame.reset();
}

void CTalverinApp::OnMainFrameDestroyed()
{
    // Only a running loop is told to end: outside one, exit() would make the next loop (a later
    // dialog's) return at once.
    if (m_mainWndSet && QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

} // namespace talverin
